// Drawing checked against stored pictures, one per depth (LURVANE_UPDATE_GOLDEN=1 rewrites them).
#include "tests/support/Golden.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/support/DepthPlatform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kWidth = 160, kHeight = 180;

// Every drawing operation on the back surface, presented with the frame rate shown.
std::vector<uint32_t> drawScene(int depth) {
    DepthPlatform platform(depth, kWidth, kHeight, 0);
    GfxScreen screen(&platform);
    EXPECT_EQ(screen.CreateWindowed(&platform, kWidth, kHeight), 0);
    GfxSurface* back = screen.GetBackSurface();
    auto colour = [&](uint32_t bgr) { return screen.ConvertColor(bgr, back); };
    const bool eight = depth == 8;
    auto pick = [&](uint32_t bgr, uint32_t index) { return eight ? index : colour(bgr); };

    back->FillAll(pick(0x402010, 0x25));
    back->FillArea(10, 10, 70, 50, pick(0x00A0FF, 0xF4));
    back->SetClipRect(GfxRect{5, 5, 155, 115});
    back->FillArea(-20, 100, 40, 200, pick(0xFF8000, 0x1B)); // clipped
    back->SetClipRect(GfxRect{0, 0, kWidth, kHeight});

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
    back->Line(100, 40, 98, 50, pick(0x0000FF, 0xE0)); // steep, x truncated
    back->Lock();
    back->HLine(20, 60, 80, pick(0x00FFFF, 0xFC));
    back->VLine(100, 70, 65, pick(0xFFFF00, 0x1F));
    for (int i = 0; i < 8; ++i)
        back->PutPixel(120 + i * 3, 95, pick(0x80FF80, 0x9E));
    // Lines either way round against a clip rectangle; pixels blended 1/2 and 1/4 to white.
    back->SetClipRect(GfxRect{120, 100, 150, 112});
    back->HLine(155, 110, 104, pick(0xFFFFFF, 0xFF));
    back->HLine(112, 125, 108, pick(0x00FFFF, 0xFC));
    back->VLine(118, 96, 130, pick(0x00FF00, 0x1C));
    back->VLine(110, 114, 152, pick(0x00FF00, 0x1C)); // beside the rectangle
    back->SetClipRect(GfxRect{0, 0, kWidth, kHeight});
    for (int i = 0; i < 8; ++i)
        back->BlendPixel(20 + i, 30 + i / 4, pick(0xFFFFFF, 0xFF), i < 4 ? 128 : 64);
    back->Unlock();

    // Each face's text framed by its extent, and again from the kept rendering, cut at the left.
    int y = 118;
    for (const char* face : {"Arial", "Courier", "Times New Roman", "Arial Black"}) {
        back->SetFont(face, 0, 14, 700);
        back->GetDC();
        back->SelectFont();
        int w = 0, h = 0;
        back->GetTextExtent("Lurvane 12", w, h);
        back->FillArea(49, y - 1, 49 + w + 2, y + h + 1, pick(0x808080, 0x92));
        back->FillArea(50, y, 50 + w, y + h, pick(0x402010, 0x25));
        back->TextAt(50, y, 0x00FFFF, "Lurvane 12");
        back->ReleaseDC();
        back->SetFont("Courier", 0, 20, 400);
        back->SetFont(face, 0, 14, 700);
        back->GetDC();
        back->SelectFont();
        back->TextAt(45 - w, y, 0xFF80FF, "Lurvane 12");
        back->ReleaseDC();
        y += h + 2;
    }

    EXPECT_EQ(screen.Flip(1, 0, 1), 0);
    return platform.lastFrame();
}

} // namespace

TEST(GfxGolden, TheSceneAtEveryDepth) {
    for (int depth : {8, 15, 16, 32}) {
        SCOPED_TRACE(depth);
        checkGolden(std::string(LURVANE_GOLDEN_DIR) + "/scene" + std::to_string(depth) + ".ppm",
                    kWidth, kHeight, drawScene(depth));
    }
    // 24 and 32 bits keep every colour exactly; they must agree.
    EXPECT_EQ(drawScene(24), drawScene(32));
}
