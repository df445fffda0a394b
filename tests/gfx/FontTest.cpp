#include "gfx/GfxFont.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "tests/support/DepthPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, pixels = 0;
};

InkBox inkOf(GfxSurface& s, uint32_t background) {
    InkBox box;
    for (int y = 0; y < s.GetHeight(); ++y)
        for (int x = 0; x < s.GetWidth(); ++x)
            if (pixelOf(s, x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
                ++box.pixels;
            }
    return box;
}

} // namespace

TEST(GfxFont, TheGamesFacesMapToInstalledFaces) {
    const struct {
        const char* face;
        int weight;
        const char* file;
    } faces[] = {{"Times New Roman", 400, "LiberationSerif-Regular"},
                 {"Arial", 400, "LiberationSans-Regular"},
                 {"Arial Black", 400, "LiberationSans-Bold"},
                 {"Courier", 700, "LiberationMono-Bold"}};
    for (const auto& f : faces)
        EXPECT_NE(std::string(GfxFont::fileFor(f.face, f.weight).c_str()).find(f.file),
                  std::string::npos)
            << f.face;
    // Any other face gets the sans-serif face rather than nothing.
    EXPECT_FALSE(GfxFont::fileFor("Wingdings", 400).isEmpty());
}

TEST(GfxFont, ASurfaceOwnsOneFontAndReplacesIt) {
    GfxScreen screen(nullptr);
    GfxSurface s, bare;
    auto other = std::make_unique<GfxSurface>();
    ASSERT_EQ(s.Create(&screen, 200, 30, 1), 0);
    ASSERT_EQ(other->Create(&screen, 200, 30, 1), 0);
    ASSERT_EQ(bare.Create(&screen, 2, 2, 1), 0);
    const int before = GfxFont::liveCount();
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(s.SetFont("Times New Roman", 0, 25, 700), 0);
        EXPECT_STREQ(s.GetFontName(), "Times New Roman");
        ASSERT_EQ(s.SetFont("Arial", 0, 18, 700), 0);
        EXPECT_STREQ(s.GetFontName(), "Arial");
    }
    EXPECT_EQ(GfxFont::liveCount(), before + 1);
    ASSERT_EQ(other->SetFont("Times New Roman", 0, 25, 700), 0);
    EXPECT_EQ(GfxFont::liveCount(), before + 2);
    // The font answers the last request: its measure is Arial's, not Times'.
    auto widthOf = [](GfxSurface& surface, int& height) {
        int width = 0;
        surface.GetDC();
        surface.SelectFont();
        surface.GetTextExtent("Pause", width, height);
        surface.ReleaseDC();
        return width;
    };
    int h = 0;
    const int arialWidth = widthOf(s, h);
    EXPECT_NE(widthOf(*other, h), arialWidth);
    EXPECT_EQ(h, 25);
    other.reset();
    EXPECT_EQ(GfxFont::liveCount(), before + 1);
    // Selecting needs a font; without one it fails.
    EXPECT_EQ(bare.SelectFont(), -1);
    EXPECT_EQ(s.SelectFont(), 0);
}

TEST(GfxFont, TextAtHandlesNothingToDrawAndTheSystemFont) {
    GfxScreen screen(nullptr);
    GfxSurface s;
    ASSERT_EQ(s.Create(&screen, 100, 30, 1), 0);
    s.SetFont("Arial", 0, 20, 400);
    EXPECT_EQ(s.TextAt(0, 0, 0xFFFFFF, nullptr), 0);
    EXPECT_EQ(s.TextAt(0, 0, 0xFFFFFF, ""), 0);
    EXPECT_EQ(inkOf(s, 0).pixels, 0);
    // Without a held context the font is not selected: measuring and
    // drawing agree on the system font instead.
    int arialWidth = 0, systemWidth = 0, h = 0;
    s.GetDC();
    s.SelectFont();
    s.GetTextExtent("WWWW", arialWidth, h);
    s.ReleaseDC();
    s.GetTextExtent("WWWW", systemWidth, h);
    EXPECT_NE(arialWidth, systemWidth);
    EXPECT_EQ(s.TextAt(-5, 25, 0xFFFFFF, "WWWW"), 0); // partly off the surface
    const InkBox box = inkOf(s, 0);
    EXPECT_GT(box.pixels, 0);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 29);
    // A lost surface gives no context: nothing drawn, result 0.
    s.MarkLost();
    EXPECT_EQ(s.TextAt(0, 0, 0xFFFFFF, "x"), 0);
}
