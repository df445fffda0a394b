#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "tests/gfx/ImageFiles.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

const GfxPixelFormat k565 = GfxPixelFormat::forDepth(16);
const GfxPixelFormat k555 = GfxPixelFormat::forDepth(15);
const GfxPixelFormat k32 = GfxPixelFormat::forDepth(32);

// A surface of the size and format, made without a screen.
std::unique_ptr<GfxSurface> made(int width, int height, const GfxPixelFormat& format = k32) {
    auto s = std::make_unique<GfxSurface>();
    EXPECT_EQ(s->Create(nullptr, width, height, kSurfaceMemorySystem, format), 0);
    return s;
}

} // namespace

TEST(GfxSurface, DepthCodesComeFromTheMasks) {
    struct Case {
        GfxPixelFormat format;
        int depth;
    } cases[] = {
        {GfxPixelFormat::forDepth(8), 8},
        {{16, 0x7C00, 0x03E0, 0x001F, true}, 15},
        {{16, 0xF800, 0x07E0, 0x001F, true}, 16},
        {{16, 0x0F00, 0x00F0, 0x000F, true}, 16},
        {GfxPixelFormat::forDepth(24), 24},
        {GfxPixelFormat::forDepth(32), 32},
        {{16, 0xF800, 0x07E0, 0x001F, false}, 0}, // not marked RGB
        {{4, 0, 0, 0, false}, 0},
    };
    for (const Case& c : cases) {
        auto s = made(4, 4, c.format);
        EXPECT_EQ(s->GetPixelFormat().depth, c.depth) << c.format.bitsPerPixel;
        // Without a depth code there are no pixel routines: nothing is drawn.
        s->Lock();
        s->PutPixel(1, 1, 0xFF);
        s->Unlock();
        EXPECT_EQ(pixelOf(*s, 1, 1), c.depth ? 0xFFu : 0u);
    }
    PixelFormatInfo info;
    analysePixelFormat(k565, info);
    EXPECT_EQ(info.redShift, 11);
    EXPECT_EQ(info.greenMask, 63);
    EXPECT_EQ(info.blueShift, 0);
}

TEST(GfxSurface, ConvertColorPlacesTheTopBitsOfEachComponent) {
    GfxScreen screen(nullptr);
    const struct {
        int depth;
        uint32_t bgr, expected;
    } cases[] = {{16, 0x0000FF, 0xF800},  {15, 0x0000FF, 0x7C00},  {8, 0x0000FF, 0x0000FF},
                 {8, 0x123456, 0x123456}, {16, 0x00FF00, 0x07E0},  {16, 0xFF0000, 0x001F},
                 {16, 0x0C0804, 0x0041},  {32, 0x332211, 0x112233}};
    for (const auto& c : cases) {
        auto s = made(2, 2, GfxPixelFormat::forDepth(c.depth));
        EXPECT_EQ(screen.ConvertColor(c.bgr, s.get()), c.expected) << c.depth << " " << c.bgr;
    }
    // Without a surface: the display format (32 bits without a window).
    EXPECT_EQ(screen.ConvertColor(0x332211), 0x112233u);
}

TEST(GfxSurface, CopiesAreClippedOnTheSameEdgesInSourceAndDestination) {
    auto made8 = made(8, 8, k565), made20 = made(20, 20, k565);
    GfxSurface &source = *made8, &dest = *made20;
    source.Lock();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            source.PutPixel(x, y, static_cast<uint32_t>(100 + y * 8 + x));
    source.Unlock();
    dest.SetClipRect(GfxRect{5, 5, 15, 15});

    // Wholly outside the destination's clip rectangle: nothing, result 0.
    EXPECT_EQ(source.DrawOpaque(&dest, 15, 0), 0);
    EXPECT_EQ(source.DrawOpaque(&dest, -3, -3), 0);
    EXPECT_EQ(source.DrawOpaque(&dest, 6, 15), 0);
    ASSERT_EQ(pixelsOf(dest), std::vector<uint32_t>(20 * 20, 0));

    // Partly outside at the top left: the source loses the same 3 columns
    // and 2 rows that fell outside.
    EXPECT_EQ(source.DrawOpaque(&dest, 2, 3), 0);
    EXPECT_EQ(pixelOf(dest, 5, 5), 100u + 2 * 8 + 3);
    EXPECT_EQ(pixelOf(dest, 9, 10), 100u + 7 * 8 + 7);
    EXPECT_EQ(pixelOf(dest, 4, 5), 0u);
    EXPECT_EQ(pixelOf(dest, 10, 5), 0u);

    // A source rectangle, clipped against the source's own clip rectangle
    // and on the right and bottom against the destination's.
    GfxRect part{1, 1, 7, 7};
    source.SetClipRect(GfxRect{0, 0, 6, 8});
    GfxRect clipped = part;
    int x = 12, y = 13;
    ASSERT_EQ(GfxSurface::ClipBlit(source, dest, x, y, clipped), 1);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 13);
    EXPECT_EQ(clipped.left, 1);
    EXPECT_EQ(clipped.top, 1);
    EXPECT_EQ(clipped.right, 4);
    EXPECT_EQ(clipped.bottom, 3);

    // Far outside positions cannot overflow into view.
    EXPECT_EQ(source.DrawOpaque(&dest, 0x7FFFFFF0, 5), 0);
    EXPECT_EQ(source.DrawOpaque(&dest, 5, -0x7FFFFFF0), 0);

    GfxSurface empty;
    EXPECT_EQ(empty.DrawOpaque(&dest, 0, 0), -1);
    EXPECT_EQ(source.DrawKeyed(nullptr, 0, 0), -1);
}

TEST(GfxSurface, PixelRoutinesReadSafelyAndDoNothingUnlocked) {
    // Copies between different formats are refused, not garbled.
    EXPECT_EQ(made(2, 2, k565)->DrawOpaque(made(2, 2).get(), 0, 0), kGfxErrInvalidPixelFormat);
    auto s16 = made(2, 2, k565);
    s16->Lock();
    s16->BlendPixel(1, 1, 0xFFFF, 256 | 0x10000); // only the low 16 bits weigh
    EXPECT_EQ(s16->GetPixel(1, 1), 0xFFFFu);
    s16->Unlock();
    auto s = made(2, 2);
    s->Lock();
    s->PutPixel(5, 5, 1); // outside: nothing happens
    EXPECT_EQ(s->GetPixel(-1, 0), 0u);
    EXPECT_EQ(s->GetPixel(0, 2), 0u);
    EXPECT_EQ(s->GetPixel(2, 0), 0u);
    s->Unlock();
    // Unlocked, the routines do nothing rather than write through nothing.
    s->FillAll(0x123456);
    s->PutPixel(0, 0, 0);
    EXPECT_EQ(s->GetPixel(0, 0), 0u);
    EXPECT_EQ(pixelOf(*s, 0, 0), 0x123456u);
}

TEST(GfxSurface, FillsAreClippedExceptTheWholeSurfaceFill) {
    auto s = made(4, 4, k565);
    s->SetClipRect(GfxRect{1, 1, 3, 4});
    EXPECT_EQ(s->FillArea(-10, -10, 3, 3, 9), 0);
    EXPECT_EQ(s->FillArea(3, 0, 9, 9, 8), 0); // wholly outside: result 0
    EXPECT_EQ(pixelsOf(*s),
              (std::vector<uint32_t>{0, 0, 0, 0, 0, 9, 9, 0, 0, 9, 9, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s->FillAll(4), 0);
    EXPECT_EQ(pixelsOf(*s), std::vector<uint32_t>(16, 4));
    GfxSurface none;
    EXPECT_EQ(none.FillAll(0), -1);
    EXPECT_EQ(none.FillArea(0, 0, 1, 1, 0), -1);
    // A failed make leaves an empty surface, not the old size without pixels.
    EXPECT_LT(s->Create(nullptr, 0, 6, 1, k565), 0);
    EXPECT_EQ(s->GetWidth(), 0);
    EXPECT_EQ(s->GetHeight(), 0);
}

TEST(GfxSurface, NestedLocksAndContextsReachTheStoreOnce) {
    GfxSurface s;
    ASSERT_EQ(s.Create(nullptr, 3, 3, 1, k32), 0);
    EXPECT_EQ(s.Lock(), 1);
    EXPECT_EQ(s.Lock(), 2);
    EXPECT_EQ(s.GetStore()->lockCalls(), 1);
    EXPECT_NE(s.GetPixels(), nullptr);
    EXPECT_EQ(s.Unlock(), 1);
    EXPECT_TRUE(s.GetStore()->isLocked());
    EXPECT_EQ(s.Unlock(), 0);
    EXPECT_FALSE(s.GetStore()->isLocked());
    EXPECT_EQ(s.GetPixels(), nullptr);
    // An unlock without its lock changes nothing.
    EXPECT_LT(s.Unlock(), 0);
    EXPECT_EQ(s.GetLockCount(), 0);

    GfxDeviceContext* dc = s.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(s.GetDC(), dc);
    EXPECT_EQ(s.GetDCCount(), 2);
    EXPECT_EQ(s.ReleaseDC(), 0);
    EXPECT_TRUE(s.GetStore()->hasDC());
    EXPECT_EQ(s.ReleaseDC(), 0);
    EXPECT_FALSE(s.GetStore()->hasDC());
    EXPECT_EQ(s.ReleaseDC(), -1);
    EXPECT_EQ(s.GetDCCount(), 0);

    GfxSurface none;
    EXPECT_EQ(none.Lock(), -1);
    EXPECT_EQ(none.Unlock(), -1);
    EXPECT_EQ(none.GetDC(), nullptr);
    EXPECT_EQ(none.ReleaseDC(), -1);
    EXPECT_EQ(none.SetColorKey(0), -1);
    EXPECT_EQ(none.SetColorKeyFromCorner(), -1);
    EXPECT_EQ(none.Restore(), -1);
}

TEST(GfxSurface, ALostSurfaceComesBackAndOnlyAPictureGetsItsPixelsBack) {
    TempDir dir;
    GfxScreen screen(nullptr);
    const TestPicture picture = makePicture(5, 4);
    writeFile(dir.file("p.bmp"), writeBmp(picture));

    GfxSurface bySize, fromFile, dest;
    ASSERT_EQ(bySize.Create(&screen, 5, 4, 1), 0);
    ASSERT_EQ(fromFile.CreateFromImage(&screen, dir.file("p.bmp").c_str(), 1), 1);
    ASSERT_EQ(dest.Create(&screen, 5, 4, 1), 0);
    bySize.FillAll(0x123456);

    // A copy from a lost source restores it and gives the copy up; made by
    // size, its reload fails with -2 and its owner must draw it again.
    bySize.MarkLost();
    EXPECT_EQ(bySize.DrawOpaque(&dest, 0, 0), -2);
    EXPECT_FALSE(bySize.GetStore()->isLost());
    EXPECT_EQ(bySize.FillArea(0, 0, 1, 1, 1), 0);

    fromFile.MarkLost();
    EXPECT_EQ(fromFile.DrawOpaque(&dest, 0, 0), 0); // restored and reloaded
    EXPECT_EQ(fromFile.DrawOpaque(&dest, 0, 0), 0);
    EXPECT_EQ(pixelOf(dest, 4, 3), picture.at(4, 3));

    // Lock restores a lost surface and carries on.
    fromFile.MarkLost();
    EXPECT_EQ(fromFile.Lock(), 1);
    EXPECT_EQ(fromFile.GetPixel(2, 1), picture.at(2, 1));
    EXPECT_EQ(fromFile.Unlock(), 0);
}

TEST(GfxSurface, TheRegistryFollowsCreationAndDeletion) {
    GfxScreen screen(nullptr);
    auto* a = new GfxSurface;
    auto* b = new GfxSurface;
    auto* c = new GfxSurface;
    a->Create(&screen, 1, 1, 1);
    b->Create(&screen, 1, 1, 1);
    c->Create(&screen, 1, 1, 1);
    b->Create(&screen, 2, 2, 1); // made again: still one entry
    EXPECT_EQ(screen.GetSurfaceCount(), 3);
    EXPECT_EQ(screen.GetFirstSurface(), a);
    delete b;
    EXPECT_EQ(screen.GetSurfaceCount(), 2);
    delete a;
    EXPECT_EQ(screen.GetFirstSurface(), c);
    GfxSurface failed;
    EXPECT_LT(failed.Create(&screen, 0, 5, 1), 0);
    EXPECT_EQ(failed.GetStore(), nullptr);
    EXPECT_EQ(screen.GetSurfaceCount(), 1);
    delete c;
    EXPECT_EQ(screen.GetSurfaceCount(), 0);

    // A surface outlives its screen and only forgets it.
    GfxSurface survivor;
    {
        GfxScreen shortLived(nullptr);
        survivor.Create(&shortLived, 2, 2, 1);
    }
    EXPECT_EQ(survivor.GetScreen(), nullptr);
    EXPECT_EQ(survivor.FillAll(1), 0);
}

TEST(GfxSurface, ALongFileNameIsCutSafely) {
    TempDir dir;
    std::string path = dir.path();
    while (path.size() < 300)
        path += "/abcdefghijklmnopqrstuvwxyz0123456789";
    std::filesystem::create_directories(path);
    path += "/picture.bmp";
    writeFile(path, writeBmp(makePicture(3, 3)));
    GfxScreen screen(nullptr);
    GfxSurface s;
    ASSERT_EQ(s.CreateFromImage(&screen, path.c_str(), 1), 1);
    EXPECT_EQ(std::string(s.GetFileName()), path.substr(0, GfxSurface::kMaxNameLength));
    // The cut name no longer names the file: a reload fails cleanly.
    EXPECT_EQ(s.ReloadImage(s.GetFileName()), -2);
    EXPECT_EQ(s.ReloadImage(path.c_str()), 0);
    EXPECT_EQ(s.CreateFromImage(&screen, nullptr, 1), -1);
    EXPECT_EQ(s.CreateFromImage(&screen, dir.file("missing.bmp").c_str(), 1), -2);
    EXPECT_EQ(s.GetWidth(), 3); // a failed load keeps what the surface had
}
