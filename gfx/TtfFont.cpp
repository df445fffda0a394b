// Fonts on SDL2_ttf with the Liberation faces; the only file that sees
// SDL_ttf. The faces the game asks for are answered by metric-compatible
// installed faces, rendered without anti-aliasing.
#include "GfxFont.h"

#include <SDL_ttf.h>

#include <strings.h>
#include <sys/stat.h>

#include <memory>
#include <string>

namespace {

int liveFonts = 0;

const char* const kFontDirectories[] = {
    "/usr/share/fonts/truetype/liberation/",
    "/usr/share/fonts/truetype/liberation2/",
};

// GDI's default cell height when a font asks for height 0.
constexpr int kDefaultHeight = 16;
constexpr int kBoldWeight = 600;
constexpr int kBaseDpi = 72;

bool fileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class TtfFont : public GfxFont {
public:
    explicit TtfFont(TTF_Font* font) : font_(font) {}
    ~TtfFont() override {
        TTF_CloseFont(font_);
        TTF_Quit();
    }

    bool measure(const char* text, int length, int& width, int& height) const override {
        width = height = 0;
        if (!text || length < 0)
            return false;
        height = TTF_FontHeight(font_);
        if (length == 0)
            return true;
        const std::string line(text, static_cast<size_t>(length));
        return TTF_SizeText(font_, line.c_str(), &width, nullptr) == 0;
    }

    bool render(const char* text, int length, GfxTextMask& mask) const override {
        mask = GfxTextMask();
        int width = 0, height = 0;
        if (!measure(text, length, width, height))
            return false;
        mask.width = width;
        mask.height = height;
        mask.ink.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        if (width == 0)
            return true;
        const std::string line(text, static_cast<size_t>(length));
        const SDL_Color ink = {255, 255, 255, 255};
        SDL_Surface* rendered = TTF_RenderText_Solid(font_, line.c_str(), ink);
        if (!rendered)
            return false;
        // Index 0 is the background of a solid rendering, anything else ink.
        const int w = rendered->w < width ? rendered->w : width;
        const int h = rendered->h < height ? rendered->h : height;
        for (int y = 0; y < h; ++y) {
            const auto* row = static_cast<const uint8_t*>(rendered->pixels) +
                              static_cast<ptrdiff_t>(y) * rendered->pitch;
            for (int x = 0; x < w; ++x)
                mask.ink[static_cast<size_t>(y) * width + x] = row[x] != 0;
        }
        SDL_FreeSurface(rendered);
        return true;
    }

private:
    TTF_Font* font_;
};

// The largest point size whose cell (ascent plus descent) fits the height.
int pointSizeForCell(TTF_Font* font, int cellHeight) {
    int size = cellHeight * 9 / 10 > 0 ? cellHeight * 9 / 10 : 1;
    TTF_SetFontSize(font, size);
    while (size > 1 && TTF_FontHeight(font) > cellHeight)
        TTF_SetFontSize(font, --size);
    for (;;) {
        if (TTF_SetFontSize(font, size + 1) != 0 || TTF_FontHeight(font) > cellHeight)
            break;
        ++size;
    }
    TTF_SetFontSize(font, size);
    return size;
}

} // namespace

GfxFont::GfxFont() {
    ++liveFonts;
}

GfxFont::~GfxFont() {
    --liveFonts;
}

int GfxFont::liveCount() {
    return liveFonts;
}

String GfxFont::fileFor(const char* face, int weight) {
    const bool bold = weight >= kBoldWeight;
    const char* file = bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf";
    if (face && ::strcasecmp(face, "Times New Roman") == 0)
        file = bold ? "LiberationSerif-Bold.ttf" : "LiberationSerif-Regular.ttf";
    else if (face && (::strcasecmp(face, "Courier") == 0 || ::strcasecmp(face, "Courier New") == 0))
        file = bold ? "LiberationMono-Bold.ttf" : "LiberationMono-Regular.ttf";
    else if (face && ::strcasecmp(face, "Arial Black") == 0)
        file = "LiberationSans-Bold.ttf";
    for (const char* directory : kFontDirectories) {
        const std::string path = std::string(directory) + file;
        if (fileExists(path))
            return String(path.c_str());
    }
    return String();
}

GfxFont* GfxFont::create(const char* face, int width, int height, int weight) {
    const String file = fileFor(face, weight);
    if (file.isEmpty())
        return nullptr;
    if (TTF_Init() != 0)
        return nullptr;
    TTF_Font* font = TTF_OpenFont(file.c_str(), height > 0 ? height : kDefaultHeight);
    if (!font) {
        TTF_Quit();
        return nullptr;
    }
    // A negative height asks for the character height instead of the cell.
    int size = height < 0 ? -height : pointSizeForCell(font, height > 0 ? height : kDefaultHeight);
    if (height < 0)
        TTF_SetFontSize(font, size);
    if (width > 0) {
        // Stretch horizontally so that the average character is width wide.
        int minX, maxX, minY, maxY, advance = 0;
        if (TTF_GlyphMetrics(font, 'x', &minX, &maxX, &minY, &maxY, &advance) == 0 && advance > 0)
            TTF_SetFontSizeDPI(font, size, static_cast<unsigned>(kBaseDpi * width / advance),
                               kBaseDpi);
    }
    return new TtfFont(font);
}
