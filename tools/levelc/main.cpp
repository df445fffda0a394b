// levelc [--depth 8|15|16|24|32] [--no-check] --sheet SHEET IN.lvl OUT.fmp
//
// Compiles a level source with its zone's block sheet into a map file the
// game loads. The sheet may be any picture the game reads. Every failure is
// one line "levelc: IN.lvl: <reason>" and status 1, and no output file is
// left behind (an earlier one stays as it was).
#include "gfx/GfxDebug.h"
#include "gfx/GfxSurface.h"
#include "lib/HostPath.h"
#include "tools/levelc/LevelCompiler.h"
#include "tools/levelc/LevelSource.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Options {
    int depth = 16;
    bool check = true;
    std::string sheet, input, output;
};

// Fills the options; false with the reason for a command line that cannot
// be run. The input is taken even then, so the message can name it.
bool parseOptions(int argc, char** argv, Options& options, std::string& reason) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--depth" || arg == "--sheet") {
            if (i + 1 >= argc) {
                reason = arg + " needs a value";
                continue;
            }
            const std::string value = argv[++i];
            if (arg == "--sheet")
                options.sheet = value;
            else if (value == "8" || value == "15" || value == "16" || value == "24" ||
                     value == "32")
                options.depth = std::stoi(value);
            else
                reason = "depth must be 8, 15, 16, 24 or 32";
        } else if (arg == "--no-check") {
            options.check = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            reason = "unknown option " + arg;
        } else {
            files.push_back(arg);
        }
    }
    if (!files.empty())
        options.input = files[0];
    if (files.size() == 2)
        options.output = files[1];
    else if (reason.empty())
        reason = "expected IN.lvl and OUT.fmp";
    if (options.sheet.empty() && reason.empty())
        reason = "no --sheet given";
    return reason.empty();
}

bool readText(const std::string& path, std::string& text) {
    FILE* file = std::fopen(hostPath(path.c_str()).c_str(), "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// Widens a channel value of the mask's width to 8 bits, so that 5-bit white
// stays white.
uint32_t widen(uint32_t value, uint32_t mask) {
    if (mask == 0)
        return 0;
    int bits = 0;
    while (mask >> bits)
        ++bits;
    if (bits >= 8)
        return value >> (bits - 8);
    uint32_t wide = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        wide |= shift >= 0 ? value << shift : value >> -shift;
    return wide & 0xFF;
}

// Decodes the sheet through the graphics layer into 0x00RRGGBB pixels.
bool readSheet(const std::string& path, BlockSheet& sheet) {
    GfxSurface picture;
    if (picture.CreateFromImage(nullptr, path.c_str(), kSurfaceMemorySystem) != 1)
        return false;
    if (picture.Lock() < 0)
        return false;
    const PixelFormatInfo& format = picture.GetPixelFormat();
    sheet.width = picture.GetWidth();
    sheet.height = picture.GetHeight();
    sheet.pixels.clear();
    sheet.pixels.reserve(static_cast<size_t>(sheet.width) * static_cast<size_t>(sheet.height));
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x) {
            const uint32_t c = picture.GetPixel(x, y);
            const uint32_t r = widen((c >> format.redShift) & format.redMask, format.redMask);
            const uint32_t g = widen((c >> format.greenShift) & format.greenMask, format.greenMask);
            const uint32_t b = widen((c >> format.blueShift) & format.blueMask, format.blueMask);
            sheet.pixels.push_back(r << 16 | g << 8 | b);
        }
    picture.Unlock();
    return true;
}

// Writes beside the target first, so that a failed write leaves nothing
// half-written under the target's name.
bool writeMap(const FmpMap& map, const std::string& path) {
    const std::string target = hostPath(path.c_str()).c_str();
    const std::string temporary = target + ".part";
    if (!writeFmpFile(map, temporary)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int fail(const Options& options, const std::string& reason) {
    std::fprintf(stderr, "levelc: %s: %s\n", options.input.c_str(), reason.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        if (options.input.empty()) {
            std::fprintf(stderr, "usage: levelc [--depth 8|15|16|24|32] [--no-check] --sheet "
                                 "SHEET IN.lvl OUT.fmp\n");
            return 1;
        }
        return fail(options, error);
    }
    // The decoder's developer lines would make the message more than one line.
    setGfxDebugSink([](const char*) {});

    std::string text;
    if (!readText(options.input, text))
        return fail(options, "cannot read the level source");
    LevelSource level;
    if (!parseLevelSource(text, level, error))
        return fail(options, error);
    if (options.check && !checkLevelPlayable(level, error))
        return fail(options, error);
    BlockSheet sheet;
    if (!readSheet(options.sheet, sheet))
        return fail(options, "cannot read the block sheet " + options.sheet);
    FmpMap map;
    if (!compileLevel(level, sheet, options.depth, map, error))
        return fail(options, error);
    if (!writeMap(map, options.output))
        return fail(options, "cannot write " + options.output);
    return 0;
}
