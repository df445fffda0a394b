#include "tools/artgen/ArtSet.h"

#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/Palette.h"
#include "tools/artgen/Png.h"

#include <cstdio>

std::vector<ArtFile> generateArt() {
    std::vector<ArtFile> files;
    const RgbImage title = makeTitlePicture();
    const RgbImage logo = makeLogo();
    const RgbImage strip = makeScoreStrip();
    const RgbImage goodScore = makeGoodScore();
    const RgbImage items = makeSnakeSheet(defaultSnake(), Rgb{0, 0, 0});
    files.push_back({false, "title.bmp", encodeBmp24(title)});
    files.push_back({false, "logo.bmp", encodeBmp24(logo)});
    files.push_back({false, "score.bmp", encodeBmp24(strip)});
    files.push_back({false, "GoodScore.bmp", encodeBmp24(goodScore)});
    files.push_back({false, "items.bmp", encodeBmp24(items)});

    std::vector<RgbImage> sheets;
    std::vector<RgbImage> snakes;
    for (const ZoneTheme& zone : zoneThemes()) {
        sheets.push_back(makeBlockSheet(zone));
        snakes.push_back(makeSnakeSheet(zone.snake, zone.background));
        const std::string dir = zone.directory;
        files.push_back({false, "snake_" + dir + ".bmp", encodeBmp24(snakes.back())});
        files.push_back({true, dir + "/blocks.bmp", encodeBmp24(sheets.back())});
    }

    // Colours the game itself fills and writes with come through exactly.
    std::vector<Rgb> fixed = {Rgb{0, 0, 0},    Rgb{255, 255, 255}, Rgb{255, 40, 20},  kGoodScoreKey,
                              Rgb{16, 96, 16}, Rgb{0, 80, 0},      Rgb{191, 205, 250}};
    for (const ZoneTheme& zone : zoneThemes())
        fixed.push_back(zone.background);
    std::vector<const RgbImage*> pictures = {&title, &logo, &strip, &goodScore, &items};
    for (const RgbImage& s : sheets)
        pictures.push_back(&s);
    for (const RgbImage& s : snakes)
        pictures.push_back(&s);
    const std::vector<Rgb> palette = buildPalette(pictures, fixed);
    files.push_back({false, "items20.bmp", encodeBmp8(toIndexed(items, palette))});
    return files;
}

std::vector<ArtFile> generateIcons() {
    std::vector<ArtFile> files;
    for (int size : kIconSizes) {
        const std::string dir = std::to_string(size) + "x" + std::to_string(size);
        files.push_back({false, dir + "/apps/lurvane.png", encodePng(makeIcon(size))});
    }
    return files;
}

std::string windowIconSource(const RgbaImage& icon) {
    std::string out = "// Made by artgen: the window's icon.\n#include \"Src/app/AppIcon.h\"\n\n";
    out += "const int kAppIconSize = " + std::to_string(icon.width) + ";\n";
    out += "const uint32_t kAppIconPixels[] = {";
    for (size_t i = 0; i < icon.pixels.size(); ++i) {
        char word[24];
        std::snprintf(word, sizeof word, "%s0x%08X,", i % 8 ? " " : "\n    ",
                      static_cast<unsigned>(icon.pixels[i]));
        out += word;
    }
    out += "\n};\n";
    return out;
}
