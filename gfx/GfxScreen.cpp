#include "gfx/GfxScreen.h"

#include "gfx/Platform.h"
#include "lib/ByteOrder.h"
#include "lib/HostPath.h"
#include "lib/String.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kDepths[] = {8, 15, 16, 24, 32};

bool isDisplayDepth(int bitsPerPixel) {
    for (int depth : kDepths)
        if (depth == bitsPerPixel)
            return true;
    return false;
}

constexpr uint32_t kFpsColour = 0x00FFF0;
constexpr int kFpsX = 10, kFpsY = 20;

} // namespace

GfxScreen::GfxScreen(Platform* platform) : platform_(platform) {
    makeDefaultPalette(defaultPalette_);
    makeDefaultPalette(palette_);
    int w = 0, h = 0, bpp = 32;
    if (platform_)
        platform_->desktopSize(w, h, bpp);
    displayFormat_ = GfxPixelFormat::forDepth(isDisplayDepth(bpp) ? bpp : 32);
    frames_.previousFlip = now();
}

GfxScreen::~GfxScreen() {
    if (fullScreen_ && window_ && window_->hasWindow())
        window_->setFullScreen(false);
    // Surfaces outlive the screen; they only forget it.
    for (GfxSurface* s = firstSurface_; s;) {
        GfxSurface* next = s->next_;
        s->screen_ = nullptr;
        s->registered_ = false;
        s->next_ = s->previous_ = nullptr;
        s = next;
    }
    firstSurface_ = lastSurface_ = nullptr;
    surfaceCount_ = 0;
    deleteSurfaces();
}

uint32_t GfxScreen::now() const {
    return platform_ ? platform_->milliseconds() : 0;
}

void GfxScreen::registerSurface(GfxSurface* surface) {
    surface->previous_ = lastSurface_;
    surface->next_ = nullptr;
    if (lastSurface_)
        lastSurface_->next_ = surface;
    else
        firstSurface_ = surface;
    lastSurface_ = surface;
    surface->registered_ = true;
    ++surfaceCount_;
}

void GfxScreen::unregisterSurface(GfxSurface* surface) {
    if (!surface->registered_)
        return;
    if (surface->previous_)
        surface->previous_->next_ = surface->next_;
    else
        firstSurface_ = surface->next_;
    if (surface->next_)
        surface->next_->previous_ = surface->previous_;
    else
        lastSurface_ = surface->previous_;
    surface->next_ = surface->previous_ = nullptr;
    surface->registered_ = false;
    --surfaceCount_;
}

GfxSurface* GfxScreen::makeScreenSurface(std::unique_ptr<GfxPixelStore> store) {
    auto* surface = new GfxSurface;
    surface->adoptStore(std::move(store));
    surface->screen_ = this; // owned by the screen, never in the registry
    surface->clip_ = GfxRect{0, 0, surface->GetWidth(), surface->GetHeight()};
    return surface;
}

void GfxScreen::deleteSurfaces() {
    // The screen's own surfaces are not registered, so deleting them leaves
    // the registry alone.
    delete back_;
    back_ = nullptr;
    delete front_;
    front_ = nullptr;
}

int32_t GfxScreen::CreateWindowed(Platform* window, int width, int height) {
    if (front_ || !window || !window->hasWindow())
        return -1;
    window_ = window;
    width_ = width;
    height_ = height;
    fullScreen_ = 0;
    int desktopWidth = 0, desktopHeight = 0, bpp = 0;
    window->desktopSize(desktopWidth, desktopHeight, bpp);
    if (bpp <= 0)
        return -1;
    // A desktop depth we cannot draw in is shown from 32-bit colour.
    bitsPerPixel_ = isDisplayDepth(bpp) ? bpp : 32;
    displayFormat_ = GfxPixelFormat::forDepth(bitsPerPixel_);

    std::unique_ptr<GfxPixelStore> frontStore = GfxPixelStore::create(
        desktopWidth > 0 ? desktopWidth : width, desktopHeight > 0 ? desktopHeight : height,
        displayFormat_, kSurfaceMemoryVideo, nullptr, true);
    if (!frontStore)
        return -4;
    std::unique_ptr<GfxPixelStore> backStore;
    if (backBufferInVideo_)
        backStore = GfxPixelStore::create(width, height, displayFormat_, kSurfaceMemoryVideo);
    if (!backStore)
        backStore = GfxPixelStore::create(width, height, displayFormat_, kSurfaceMemorySystem);
    if (!backStore)
        return -8;
    front_ = makeScreenSurface(std::move(frontStore));
    back_ = makeScreenSurface(std::move(backStore));
    LoadPalette(nullptr); // fails at once and leaves the palette as it is
    return 0;
}

int32_t GfxScreen::CreateFullScreen(Platform* window, int width, int height, int bitsPerPixel,
                                    int) {
    if (front_)
        return -1;
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    fullScreen_ = 1;
    if (!window || !window->hasWindow())
        return -2;
    window_ = window;
    if (!isDisplayDepth(bitsPerPixel) || width <= 0 || height <= 0 || !window->setFullScreen(true))
        return -4;
    displayFormat_ = GfxPixelFormat::forDepth(bitsPerPixel);

    // The flipping chain: the visible primary with one back buffer behind it
    // (triple buffering would ask for two; one is all presenting needs).
    const int placement = backBufferInVideo_ ? kSurfaceMemoryVideo : kSurfaceMemorySystem;
    std::unique_ptr<GfxPixelStore> frontStore =
        GfxPixelStore::create(width, height, displayFormat_, placement, nullptr, true);
    std::unique_ptr<GfxPixelStore> backStore =
        GfxPixelStore::create(width, height, displayFormat_, placement);
    if ((!frontStore || !backStore) && backBufferInVideo_) {
        frontStore = GfxPixelStore::create(width, height, displayFormat_, kSurfaceMemorySystem,
                                           nullptr, true);
        backStore = GfxPixelStore::create(width, height, displayFormat_, kSurfaceMemorySystem);
        if (!frontStore || !backStore)
            return -8;
    } else if (!frontStore || !backStore) {
        return -16;
    }
    frontStore->attach(backStore.get());
    front_ = makeScreenSurface(std::move(frontStore));
    back_ = makeScreenSurface(std::move(backStore));
    LoadPalette(nullptr);
    return 0;
}

int32_t GfxScreen::ChangeVideoMode(int width, int height, int bitsPerPixel, int standardVGA) {
    Platform* window = GetWindow();
    if (!window)
        return -1;
    deleteSurfaces();
    int32_t result;
    if (bitsPerPixel > 0) {
        result = CreateFullScreen(window, width, height, bitsPerPixel, standardVGA);
    } else {
        if (window->isFullScreen())
            window->setFullScreen(false); // back to the desktop's own mode
        result = CreateWindowed(window, width, height);
    }
    if (result < 0)
        return result;
    return rebuildSurfaces();
}

int32_t GfxScreen::rebuildSurfaces() {
    for (GfxSurface* s = firstSurface_; s; s = s->next_) {
        if (!s->store_)
            continue;
        // A surface that was in video memory may go wherever there is room.
        const int placement =
            s->memoryPlacement_ == kSurfaceMemoryVideo ? kSurfaceMemoryAny : kSurfaceMemorySystem;
        int32_t result = kGfxOk;
        std::unique_ptr<GfxPixelStore> store = GfxPixelStore::create(
            s->GetWidth(), s->GetHeight(), displayFormat_, placement, &result);
        if (!store)
            return result;
        s->adoptStore(std::move(store));
        s->SetColorKeyFromCorner();
        s->ReloadImage(s->fileName_);
    }
    return 0;
}

int32_t GfxScreen::WaitForRetrace() {
    // The platform's presenting paces itself; there is no retrace to wait on.
    return 0;
}

int32_t GfxScreen::Flip(int waitForRetrace, int stretch, int showFPS) {
    const uint32_t time = now();
    frames_.accumulatedMs += time - frames_.previousFlip;
    frames_.previousFlip = time;
    if (frames_.accumulatedMs > 1000) {
        frames_.lastFramesPerSecond =
            static_cast<int>(static_cast<double>(frames_.frames) /
                             static_cast<double>(frames_.accumulatedMs) * 1000.0);
        frames_.frames = 0;
        frames_.accumulatedMs = 0;
    }
    ++frames_.frames;

    if (!front_ || !back_)
        return -1;
    if (showFPS) {
        String text;
        text.format("FPS = %d", frames_.lastFramesPerSecond);
        back_->GetDC();
        back_->TextAt(kFpsX, kFpsY, kFpsColour, text.c_str());
        back_->ReleaseDC();
    }
    if (!fullScreen_ && waitForRetrace == 1)
        WaitForRetrace();
    if (front_->store_->isLost() || back_->store_->isLost())
        return RestoreSurfaces();
    present(stretch != 0);
    return 0;
}

void GfxScreen::present(bool stretch) {
    Platform* window = GetWindow();
    if (!window)
        return;
    const GfxPixelStore& store = *back_->store_;
    const int w = store.width(), h = store.height();
    presentBuffer_.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    const GfxPixelFormat& format = store.format();
    uint32_t* out = presentBuffer_.data();
    const uint8_t* bytes = store.bytes();
    const int pitch = store.pitch();

    // One conversion per frame, chosen by the depth, not per pixel.
    if (format.bitsPerPixel == 8) {
        uint32_t table[256];
        const GfxPaletteEntry* colours = GetColorTable();
        for (int i = 0; i < 256; ++i)
            table[i] = (uint32_t(colours[i].red) << 16) | (uint32_t(colours[i].green) << 8) |
                       colours[i].blue;
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = bytes + static_cast<ptrdiff_t>(y) * pitch;
            for (int x = 0; x < w; ++x)
                *out++ = table[row[x]];
        }
    } else if (format.bitsPerPixel == 16) {
        const bool is565 = format.greenMask == 0x07E0;
        for (int y = 0; y < h; ++y) {
            const auto* row =
                reinterpret_cast<const uint16_t*>(bytes + static_cast<ptrdiff_t>(y) * pitch);
            for (int x = 0; x < w; ++x) {
                const uint32_t v = row[x];
                uint32_t r, g, b;
                if (is565) {
                    r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
                    g = (g << 2) | (g >> 4);
                } else {
                    r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                    g = (g << 3) | (g >> 2);
                }
                r = (r << 3) | (r >> 2);
                b = (b << 3) | (b >> 2);
                *out++ = (r << 16) | (g << 8) | b;
            }
        }
    } else if (format.bitsPerPixel == 24) {
        for (int y = 0; y < h; ++y) {
            const uint8_t* row = bytes + static_cast<ptrdiff_t>(y) * pitch;
            for (int x = 0; x < w; ++x, row += 3)
                *out++ = row[0] | (row[1] << 8) | (row[2] << 16);
        }
    } else {
        for (int y = 0; y < h; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(bytes + static_cast<ptrdiff_t>(y) * pitch);
            for (int x = 0; x < w; ++x)
                *out++ = row[x] & 0x00FFFFFFu;
        }
    }
    window->present(presentBuffer_.data(), w, h, w * 4, stretch);
}

int32_t GfxScreen::RestoreSurfaces() {
    if (!front_ || !back_)
        return -1;
    GfxPixelStore& front = *front_->store_;
    GfxPixelStore& back = *back_->store_;
    if (fullScreen_)
        return front.isLost() ? front.restore() : 0;
    int32_t result = 0;
    if (front.isLost())
        result = front.restore();
    if (back.isLost())
        result = back.restore();
    return result;
}

void GfxScreen::LoseSurfaces() {
    if (front_)
        front_->MarkLost();
    if (back_)
        back_->MarkLost();
    for (GfxSurface* s = firstSurface_; s; s = s->next_)
        s->MarkLost();
}

uint32_t GfxScreen::ConvertColor(uint32_t colour, const GfxSurface* surface) const {
    if (!surface)
        surface = back_;
    if (!surface || !surface->store_)
        return convertColorToFormat(colour, displayFormat_);
    return convertColorToFormat(colour, surface->store_->format());
}

void GfxScreen::MakeDefaultPalette(GfxPaletteEntry table[256]) {
    makeDefaultPalette(table);
}

uint8_t GfxScreen::NearestPaletteIndex(uint32_t colour) const {
    return nearestPaletteIndex(GetColorTable(), colour);
}

int32_t GfxScreen::LoadPalette(const char* fileName) {
    if (!fileName)
        return kGfxErrInvalidArg;
    GfxPaletteEntry table[256];
    makeDefaultPalette(table);

    // No bitmap resources are built into the program: the name is a file.
    FILE* file = std::fopen(hostPath(fileName).c_str(), "rb");
    if (!file)
        return kGfxErrFail;
    uint8_t headers[54];
    bool ok = std::fread(headers, 1, sizeof headers, file) == sizeof headers;
    const uint32_t headerSize = readLE32(headers + 14);
    const int bitCount = readLE16(headers + 28);
    const uint32_t coloursUsed = readLE32(headers + 46);
    if (ok && headerSize >= 40 && bitCount <= 8) {
        // A colour table holds at most 256 entries, whatever the header says.
        uint32_t count = coloursUsed ? coloursUsed : (1u << bitCount);
        if (count > 256)
            count = 256;
        uint8_t colours[1024];
        ok = std::fseek(file, 14 + static_cast<long>(headerSize), SEEK_SET) == 0 &&
             std::fread(colours, 4, count, file) == count;
        for (uint32_t i = 0; ok && i < count; ++i) {
            table[i].red = colours[i * 4 + 2];
            table[i].green = colours[i * 4 + 1];
            table[i].blue = colours[i * 4];
            table[i].flags = 0;
        }
    }
    std::fclose(file);
    if (!ok)
        return kGfxErrFail;
    std::memcpy(palette_, table, sizeof palette_);
    hasPalette_ = true;
    return 0;
}

int32_t GfxScreen::SetPaletteEntries(int first, int count, const GfxPaletteEntry* entries) {
    if (!hasPalette_)
        return 0;
    if (!entries || first < 0 || count < 0 || first > 256 || count > 256 - first)
        return kGfxErrInvalidArg;
    std::memcpy(palette_ + first, entries, sizeof(GfxPaletteEntry) * static_cast<size_t>(count));
    return 0;
}
