// Drawing checked against stored pictures. Run with LURVANE_UPDATE_GOLDEN=1
// to write them anew after a deliberate change; look at them before
// committing.
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// A scene using every drawing operation, composed on the back surface and
// presented.
std::vector<uint32_t> drawScene(int depth) {
    DepthPlatform platform(depth, 160, 120, 0);
    GfxScreen screen(&platform);
    EXPECT_EQ(screen.CreateWindowed(&platform, 160, 120), 0);
    GfxSurface* back = screen.GetBackSurface();
    auto colour = [&](uint32_t bgr) { return screen.ConvertColor(bgr, back); };
    const bool eight = depth == 8;
    auto pick = [&](uint32_t bgr, uint32_t index) { return eight ? index : colour(bgr); };

    back->FillAll(pick(0x402010, 0x25));
    back->FillArea(10, 10, 70, 50, pick(0x00A0FF, 0xF4));
    back->SetClipRect(GfxRect{5, 5, 155, 115});
    back->FillArea(-20, 100, 40, 200, pick(0xFF8000, 0x1B)); // clipped
    back->SetClipRect(GfxRect{0, 0, 160, 120});

    // A sprite with a keyed background, drawn whole and cut at the edges.
    GfxSurface sprite;
    sprite.Create(&screen, 16, 16, 1);
    sprite.FillAll(pick(0xFF00FF, 0xE3));
    sprite.FillArea(3, 3, 13, 13, pick(0x00FF00, 0x1C));
    sprite.Line(0, 15, 15, 0, pick(0xFFFFFF, 0xFF));
    sprite.SetColorKeyFromCorner();
    sprite.DrawKeyed(back, 80, 12);
    sprite.DrawKeyed(back, 152, 40);
    sprite.DrawKeyed(back, -6, 110);
    GfxRect part{4, 4, 12, 12};
    sprite.DrawOpaque(back, 100, 12, &part);

    back->Line(5, 60, 150, 75, pick(0xFFFFFF, 0xFF));
    back->Line(150, 60, 140, 110, pick(0x0000FF, 0xE0));
    back->Lock();
    back->HLine(20, 60, 80, pick(0x00FFFF, 0xFC));
    back->VLine(100, 70, 65, pick(0xFFFF00, 0x1F));
    for (int i = 0; i < 8; ++i)
        back->PutPixel(120 + i * 3, 95, pick(0x80FF80, 0x9E));
    back->Unlock();

    back->SetFont("Arial", 0, 18, 700);
    back->GetDC();
    back->SelectFont();
    back->TextAt(12, 88, 0x00FFFF, "Lurvane");
    back->ReleaseDC();

    EXPECT_EQ(screen.Flip(1, 0, 0), 0);
    return platform.lastFrame();
}

void checkGolden(const std::string& name, const std::vector<uint32_t>& frame) {
    ::checkGolden(std::string(LURVANE_GOLDEN_DIR) + "/" + name + ".ppm", 160, 120, frame);
}

} // namespace

TEST(GfxGolden, SceneAtSixteenBits) {
    checkGolden("scene16", drawScene(16));
}

TEST(GfxGolden, SceneAtEightBitsThroughTheColourCube) {
    checkGolden("scene8", drawScene(8));
}

TEST(GfxGolden, TheSameSceneAtEveryTrueColourDepth) {
    // 24 and 32 bits keep every colour exactly; they must agree.
    EXPECT_EQ(drawScene(24), drawScene(32));
}
