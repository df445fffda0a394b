// Compares the whole 640x480 surface, as the player sees it, with a
// reference picture of the game's tests.
#pragma once

#include "tests/support/Golden.h"
#include "tests/support/SurfacePixels.h"

#include <string>

inline void checkGoldenFrame(GfxSurface& surface, const char* name) {
    std::vector<uint32_t> frame = pixelsOf(surface, 0, 0, 640, 480);
    for (uint32_t& pixel : frame)
        pixel &= 0xFFFFFF;
    checkGolden(std::string(LURVANE_TEST_GOLDEN_DIR) + "/" + name, 640, 480, frame);
}
