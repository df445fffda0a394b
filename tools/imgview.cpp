// imgview FILE OUT.ppm: decodes a picture the way the game does and writes
// what the game would show as a binary PPM, so that players and level
// authors can see what becomes of their pictures. A file the game would
// reject ends the tool with status 1 and a one-line message.
#include "gfx/GfxDebug.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: imgview FILE OUT.ppm\n");
        return 2;
    }
    // The decoder's developer line would make the message two lines.
    setGfxDebugSink([](const char*) {});
    // No window: the screen draws in 32-bit colour.
    GfxScreen screen(nullptr);
    GfxSurface picture;
    if (picture.CreateFromImage(&screen, argv[1], kSurfaceMemorySystem) != 1) {
        std::fprintf(stderr, "imgview: %s is not a picture the game can load\n", argv[1]);
        return 1;
    }
    if (picture.Lock() < 0) {
        std::fprintf(stderr, "imgview: cannot read the pixels of %s\n", argv[1]);
        return 1;
    }
    FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        picture.Unlock();
        std::fprintf(stderr, "imgview: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "P6\n%d %d\n255\n", picture.GetWidth(), picture.GetHeight());
    for (int y = 0; y < picture.GetHeight(); ++y) {
        for (int x = 0; x < picture.GetWidth(); ++x) {
            const uint32_t c = picture.GetPixel(x, y);
            const unsigned char rgb[3] = {static_cast<unsigned char>(c >> 16),
                                          static_cast<unsigned char>(c >> 8),
                                          static_cast<unsigned char>(c)};
            std::fwrite(rgb, 1, 3, out);
        }
    }
    picture.Unlock();
    const bool written = std::fclose(out) == 0;
    if (!written) {
        std::fprintf(stderr, "imgview: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
