#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class DesktopPlatform : public HeadlessPlatform {
public:
    explicit DesktopPlatform(int bitsPerPixel = 32) : HeadlessPlatform(0), bpp_(bitsPerPixel) {
        createWindow("Lurvane", 640, 480);
    }
    void desktopSize(int& width, int& height, int& bitsPerPixel) const override {
        width = 1280;
        height = 720;
        bitsPerPixel = bpp_;
    }
    bool setFullScreen(bool fullScreen) override {
        return refuseFullScreen && fullScreen ? false : HeadlessPlatform::setFullScreen(fullScreen);
    }
    bool refuseFullScreen = false;

private:
    int bpp_;
};

// 0x00RRGGBB as the 0x00BBGGRR colours of the game.
uint32_t bgr(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

} // namespace

TEST(GfxScreen, WindowedSetUpFollowsTheDesktopAndRefusesTwice) {
    HeadlessPlatform noWindow;
    GfxScreen refused(&noWindow);
    EXPECT_EQ(refused.CreateWindowed(&noWindow, 640, 480), -1);
    EXPECT_EQ(refused.CreateWindowed(nullptr, 640, 480), -1);

    DesktopPlatform platform(16);
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 640, 480), 0);
    EXPECT_EQ(screen.CreateWindowed(&platform, 640, 480), -1);
    EXPECT_FALSE(screen.IsFullScreen());
    EXPECT_EQ(screen.GetBitsPerPixel(), 16);
    EXPECT_EQ(screen.GetFrontSurface()->GetWidth(), 1280);
    EXPECT_EQ(screen.GetFrontSurface()->GetHeight(), 720);
    EXPECT_EQ(screen.GetBackSurface()->GetWidth(), 640);
    EXPECT_EQ(screen.GetBackSurface()->GetPixelFormat().depth, 16);
    EXPECT_FALSE(screen.HasPalette());
    // The screen's own surfaces are not in the registry.
    EXPECT_EQ(screen.GetSurfaceCount(), 0);
    GfxSurface s;
    ASSERT_EQ(s.Create(&screen, 10, 10, 2), 0);
    EXPECT_EQ(s.GetPixelFormat().depth, 16);
    EXPECT_EQ(screen.GetSurfaceCount(), 1);
}

TEST(GfxScreen, AModeChangeRebuildsEverySurfaceInTheNewFormat) {
    TempDir dir;
    const TestPicture picture = makePicture(6, 5);
    writeFile(dir.file("pic.bmp"), writeBmp(picture));
    DesktopPlatform platform(32);
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 640, 480), 0);

    GfxSurface bySize, fromFile;
    ASSERT_EQ(bySize.Create(&screen, 8, 8, kSurfaceMemoryVideo), 0);
    ASSERT_EQ(fromFile.CreateFromImage(&screen, dir.file("pic.bmp").c_str(), 1), 1);
    bySize.FillAll(0x00ABCDEF);
    fromFile.SetColorKey(0x1234);

    ASSERT_EQ(screen.ChangeVideoMode(640, 480, 16, 0), 0);
    EXPECT_TRUE(platform.isFullScreen());
    EXPECT_TRUE(screen.IsFullScreen());
    EXPECT_EQ(screen.GetFrontSurface()->GetWidth(), 640);
    EXPECT_EQ(screen.GetBackSurface()->GetPixelFormat().depth, 16);
    EXPECT_EQ(bySize.GetPixelFormat().depth, 16);
    EXPECT_EQ(fromFile.GetPixelFormat().depth, 16);
    EXPECT_EQ(screen.GetSurfaceCount(), 2);
    // Made by size: new, empty memory; its key comes from that memory.
    EXPECT_EQ(pixelOf(bySize, 3, 3), 0u);
    EXPECT_EQ(bySize.GetColorKey(), 0u);
    // A picture is reloaded in the new format.
    EXPECT_EQ(pixelOf(fromFile, 5, 4), screen.ConvertColor(bgr(picture.at(5, 4)), &fromFile));

    ASSERT_EQ(screen.ChangeVideoMode(640, 480, 0, 0), 0);
    EXPECT_FALSE(platform.isFullScreen());
    EXPECT_EQ(screen.GetFrontSurface()->GetWidth(), 1280);
    EXPECT_EQ(bySize.GetPixelFormat().depth, 32);
    EXPECT_EQ(pixelOf(fromFile, 0, 0), picture.at(0, 0));

    EXPECT_EQ(screen.ChangeVideoMode(640, 480, 12, 0), -4);
    platform.refuseFullScreen = true;
    EXPECT_EQ(screen.ChangeVideoMode(640, 480, 16, 0), -4);
    EXPECT_EQ(screen.ChangeVideoMode(640, 480, 0, 0), 0);
}

TEST(GfxScreen, FramesPerSecondChangeOnlyWhenAPeriodCloses) {
    DesktopPlatform platform;
    platform.setTime(1000);
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 64, 48), 0);
    // 59 flips in the first 1000 ms, then one at 1001 ms closes the period.
    for (int i = 1; i <= 59; ++i) {
        platform.setTime(1000 + static_cast<uint32_t>(i * 1000 / 59));
        screen.Flip(1, 0, 0);
        EXPECT_EQ(screen.GetFramesPerSecond(), 0);
    }
    EXPECT_EQ(screen.GetFramesCounted(), 59);
    platform.setTime(2001);
    screen.Flip(1, 0, 0);
    EXPECT_EQ(screen.GetFramesPerSecond(), 58);
    // The flip that closed the period is the first of the next one.
    EXPECT_EQ(screen.GetFramesCounted(), 1);
    EXPECT_EQ(platform.framesPresented(), 60);
}

TEST(GfxScreen, LostSurfacesAreRestoredAndThatFrameIsNotShown) {
    DesktopPlatform platform;
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 32, 32), 0);
    GfxSurface s;
    s.Create(&screen, 4, 4, 1);
    ASSERT_EQ(screen.Flip(1, 0, 0), 0);
    EXPECT_EQ(platform.framesPresented(), 1);
    screen.LoseSurfaces();
    EXPECT_TRUE(s.GetStore()->isLost());
    EXPECT_EQ(screen.Flip(1, 0, 0), 0);
    EXPECT_EQ(platform.framesPresented(), 1);
    EXPECT_FALSE(screen.GetBackSurface()->GetStore()->isLost());
    ASSERT_EQ(screen.Flip(1, 0, 0), 0);
    EXPECT_EQ(platform.framesPresented(), 2);
    // Full screen: restoring the front restores the chain's back buffer.
    ASSERT_EQ(screen.ChangeVideoMode(32, 32, 16, 0), 0);
    screen.LoseSurfaces();
    EXPECT_EQ(screen.GetBackSurface()->Restore(), -2); // no picture to reload
    EXPECT_FALSE(screen.GetFrontSurface()->GetStore()->isLost());
    EXPECT_FALSE(screen.GetBackSurface()->GetStore()->isLost());
}

TEST(GfxScreen, ThePaletteIsTheColourCubeOrABitmapsColourTable) {
    GfxPaletteEntry cube[256];
    GfxScreen::MakeDefaultPalette(cube);
    EXPECT_EQ(cube[0xFF].red, 255);
    EXPECT_EQ(cube[0xFF].blue, 255);
    EXPECT_EQ(cube[0x4A].red, 2 * 255 / 7); // 010 010 10
    EXPECT_EQ(cube[0x4A].green, 2 * 255 / 7);
    EXPECT_EQ(cube[0x4A].blue, 2 * 255 / 3);

    TempDir dir;
    DesktopPlatform platform(8);
    GfxScreen screen(&platform);
    ASSERT_EQ(screen.CreateWindowed(&platform, 16, 16), 0);
    EXPECT_FALSE(screen.HasPalette());
    EXPECT_EQ(screen.GetColorTable()[0xE0].red, 255);
    EXPECT_EQ(screen.LoadPalette(nullptr), kGfxErrInvalidArg);
    EXPECT_EQ(screen.LoadPalette(dir.file("missing.bmp").c_str()), kGfxErrFail);
    writeFile(dir.file("short.bmp"), "BM12");
    EXPECT_EQ(screen.LoadPalette(dir.file("short.bmp").c_str()), kGfxErrFail);
    EXPECT_FALSE(screen.HasPalette());
    GfxPaletteEntry entry;
    EXPECT_EQ(screen.SetPaletteEntries(0, 1, &entry), 0); // no palette: nothing happens

    // "Colours used" far above 256 is held to the table's 256 entries.
    TestPicture picture = makePicture(16, 16, 256);
    writeFile(dir.file("big.bmp"), writeBmp(picture, {.bits = 8, .coloursUsed = 100000}));
    ASSERT_EQ(screen.LoadPalette(dir.file("big.bmp").c_str()), 0);
    EXPECT_TRUE(screen.HasPalette());
    EXPECT_EQ(screen.GetColorTable()[200].red, (picture.palette[200] >> 16) & 0xFF);
    EXPECT_EQ(screen.GetColorTable()[200].blue, picture.palette[200] & 0xFF);

    // A 16-colour bitmap replaces only its own entries of the cube.
    TestPicture small = makePicture(4, 4, 16);
    writeFile(dir.file("small.bmp"), writeBmp(small, {.bits = 4}));
    ASSERT_EQ(screen.LoadPalette(dir.file("small.bmp").c_str()), 0);
    EXPECT_EQ(screen.GetColorTable()[3].green, (small.palette[3] >> 8) & 0xFF);
    EXPECT_EQ(screen.GetColorTable()[0xE0].red, 255);

    // 8-bit pixels are shown through the palette.
    GfxPaletteEntry green{0, 255, 0, 0};
    EXPECT_EQ(screen.SetPaletteEntries(7, 1, &green), 0);
    EXPECT_EQ(screen.SetPaletteEntries(255, 2, &green), kGfxErrInvalidArg);
    screen.GetBackSurface()->FillAll(7);
    ASSERT_EQ(screen.Flip(1, 1, 0), 0);
    EXPECT_EQ(platform.lastFrame()[0], 0x00FF00u);
    EXPECT_EQ(screen.NearestPaletteIndex(0x00FF00), 7);
}
