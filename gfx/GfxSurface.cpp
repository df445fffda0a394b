#include "gfx/GfxSurface.h"

#include "gfx/GfxFont.h"
#include "gfx/GfxImage.h"
#include "gfx/GfxScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Retries of a lock or unlock on a lost store before giving up; restoring
// always succeeds here, so one retry is what really happens.
constexpr int kMaxRestoreRetries = 1000;

void copyName(char (&to)[GfxSurface::kMaxNameLength + 1], const char* from) {
    // Cut to the field's size, never overflowing it.
    std::strncpy(to, from ? from : "", GfxSurface::kMaxNameLength);
    to[GfxSurface::kMaxNameLength] = '\0';
}

// The font a context without a selected font draws with, as the system
// font of a fresh device context.
const GfxFont* systemFont() {
    static const std::unique_ptr<GfxFont> font(GfxFont::create("System", 0, 16, 700));
    return font.get();
}

const GfxPaletteEntry* defaultPalette() {
    static const struct Table {
        GfxPaletteEntry entries[256];
        Table() { makeDefaultPalette(entries); }
    } table;
    return table.entries;
}

void storeRaw(uint8_t* p, int bytesPerPixel, uint32_t value) {
    switch (bytesPerPixel) {
    case 1:
        *p = static_cast<uint8_t>(value);
        break;
    case 2:
        *reinterpret_cast<uint16_t*>(p) = static_cast<uint16_t>(value);
        break;
    case 3:
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
        break;
    default:
        *reinterpret_cast<uint32_t*>(p) = value;
        break;
    }
}

// count pixels of one raw value from p on.
void fillRaw(uint8_t* p, int bytesPerPixel, uint32_t value, int count) {
    switch (bytesPerPixel) {
    case 1:
        std::memset(p, static_cast<int>(value & 0xFF), static_cast<size_t>(count));
        break;
    case 2:
        std::fill_n(reinterpret_cast<uint16_t*>(p), count, static_cast<uint16_t>(value));
        break;
    case 4:
        std::fill_n(reinterpret_cast<uint32_t*>(p), count, value);
        break;
    default:
        for (int i = 0; i < count; ++i, p += bytesPerPixel)
            storeRaw(p, bytesPerPixel, value);
        break;
    }
}

} // namespace

// The five pixel routines of each depth code.
struct GfxPixelRoutines {
    static bool inClip(const GfxSurface& s, int x, int y) {
        return x >= s.clip_.left && x < s.clip_.right && y >= s.clip_.top && y < s.clip_.bottom;
    }
    static bool inSurface(const GfxSurface& s, int x, int y) {
        return x >= 0 && y >= 0 && x < s.GetWidth() && y < s.GetHeight();
    }
    static uint8_t* address(const GfxSurface& s, int x, int y, int bytesPerPixel) {
        return s.pixels_ + static_cast<ptrdiff_t>(y) * s.pitch_ +
               static_cast<ptrdiff_t>(x) * bytesPerPixel;
    }
    // Clamps a run of the line's axis into [low, high); false when empty.
    static bool clampRun(int a, int b, int low, int high, int& from, int& to) {
        from = std::max(std::min(a, b), low);
        to = std::min(std::max(a, b), high - 1);
        return from <= to;
    }

    // One channel blend: old + ((new - old) * weight >> 8).
    static uint32_t blendChannel(uint32_t oldValue, uint32_t newValue, int shift, uint32_t mask,
                                 int32_t weight) {
        const int32_t o = static_cast<int32_t>((oldValue >> shift) & mask);
        const int32_t n = static_cast<int32_t>((newValue >> shift) & mask);
        const int32_t mixed = o + (((n - o) * weight) >> 8);
        return (static_cast<uint32_t>(mixed) & mask) << shift;
    }

    // 8 bits: palette indices, so a blend is a plain write.
    static void put8(GfxSurface& s, int x, int y, uint32_t v) {
        if (inClip(s, x, y))
            *address(s, x, y, 1) = static_cast<uint8_t>(v);
    }
    static void blend8(GfxSurface& s, int x, int y, uint32_t v, uint32_t) { put8(s, x, y, v); }
    static uint32_t get8(const GfxSurface& s, int x, int y) {
        return inSurface(s, x, y) ? *address(s, x, y, 1) : 0;
    }
    static void vLine8(GfxSurface& s, int y1, int y2, int x, uint32_t v) {
        int from, to;
        if (x < s.clip_.left || x >= s.clip_.right ||
            !clampRun(y1, y2, s.clip_.top, s.clip_.bottom, from, to))
            return;
        for (int y = from; y <= to; ++y)
            *address(s, x, y, 1) = static_cast<uint8_t>(v);
    }
    static void hLine8(GfxSurface& s, int x1, int x2, int y, uint32_t v) {
        int from, to;
        if (y < s.clip_.top || y >= s.clip_.bottom ||
            !clampRun(x1, x2, s.clip_.left, s.clip_.right, from, to))
            return;
        std::memset(address(s, from, y, 1), static_cast<uint8_t>(v),
                    static_cast<size_t>(to - from + 1));
    }

    // 15 and 16 bits: one word per pixel.
    static void put16(GfxSurface& s, int x, int y, uint32_t v) {
        if (inClip(s, x, y))
            *reinterpret_cast<uint16_t*>(address(s, x, y, 2)) = static_cast<uint16_t>(v);
    }
    template <int GreenBits>
    static void blend16(GfxSurface& s, int x, int y, uint32_t v, uint32_t weight) {
        if (!inClip(s, x, y))
            return;
        auto* p = reinterpret_cast<uint16_t*>(address(s, x, y, 2));
        const int32_t w = static_cast<int32_t>(weight & 0xFFFF);
        constexpr int redShift = GreenBits == 5 ? 10 : 11;
        constexpr uint32_t greenMask = (1u << GreenBits) - 1;
        const uint32_t mixed = blendChannel(*p, v, redShift, 0x1F, w) |
                               blendChannel(*p, v, 5, greenMask, w) |
                               blendChannel(*p, v, 0, 0x1F, w);
        *p = static_cast<uint16_t>(mixed);
    }
    static uint32_t get16(const GfxSurface& s, int x, int y) {
        return inSurface(s, x, y) ? *reinterpret_cast<const uint16_t*>(address(s, x, y, 2)) : 0;
    }
    static void vLine16(GfxSurface& s, int y1, int y2, int x, uint32_t v) {
        int from, to;
        if (x < s.clip_.left || x >= s.clip_.right ||
            !clampRun(y1, y2, s.clip_.top, s.clip_.bottom, from, to))
            return;
        for (int y = from; y <= to; ++y)
            *reinterpret_cast<uint16_t*>(address(s, x, y, 2)) = static_cast<uint16_t>(v);
    }
    static void hLine16(GfxSurface& s, int x1, int x2, int y, uint32_t v) {
        int from, to;
        if (y < s.clip_.top || y >= s.clip_.bottom ||
            !clampRun(x1, x2, s.clip_.left, s.clip_.right, from, to))
            return;
        auto* p = reinterpret_cast<uint16_t*>(address(s, from, y, 2));
        int count = to - from + 1;
        // Two pixels per store once the address is word aligned.
        if (count > 0 && (reinterpret_cast<uintptr_t>(p) & 2u)) {
            *p++ = static_cast<uint16_t>(v);
            --count;
        }
        const uint32_t pair = (v & 0xFFFFu) | ((v & 0xFFFFu) << 16);
        auto* q = reinterpret_cast<uint32_t*>(p);
        for (; count >= 2; count -= 2)
            *q++ = pair;
        if (count)
            *reinterpret_cast<uint16_t*>(q) = static_cast<uint16_t>(v);
    }

    // 24 bits: three bytes, the low 16 bits first.
    static void write24(uint8_t* p, uint32_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
    static void put24(GfxSurface& s, int x, int y, uint32_t v) {
        if (inClip(s, x, y))
            write24(address(s, x, y, 3), v);
    }
    static void blend24(GfxSurface& s, int x, int y, uint32_t v, uint32_t weight) {
        if (!inClip(s, x, y))
            return;
        uint8_t* p = address(s, x, y, 3);
        const uint32_t old = p[0] | (p[1] << 8) | (p[2] << 16);
        const int32_t w = static_cast<int32_t>(weight & 0xFFFF);
        write24(p, blendChannel(old, v, 16, 0xFF, w) | blendChannel(old, v, 8, 0xFF, w) |
                       blendChannel(old, v, 0, 0xFF, w));
    }
    static uint32_t get24(const GfxSurface& s, int x, int y) {
        if (!inSurface(s, x, y))
            return 0;
        const uint8_t* p = address(s, x, y, 3);
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    static void vLine24(GfxSurface& s, int y1, int y2, int x, uint32_t v) {
        int from, to;
        if (x < s.clip_.left || x >= s.clip_.right ||
            !clampRun(y1, y2, s.clip_.top, s.clip_.bottom, from, to))
            return;
        for (int y = from; y <= to; ++y)
            write24(address(s, x, y, 3), v);
    }
    static void hLine24(GfxSurface& s, int x1, int x2, int y, uint32_t v) {
        int from, to;
        if (y < s.clip_.top || y >= s.clip_.bottom ||
            !clampRun(x1, x2, s.clip_.left, s.clip_.right, from, to))
            return;
        for (uint8_t* p = address(s, from, y, 3); from <= to; ++from, p += 3)
            write24(p, v);
    }

    // 32 bits: one word per pixel.
    static void put32(GfxSurface& s, int x, int y, uint32_t v) {
        if (inClip(s, x, y))
            *reinterpret_cast<uint32_t*>(address(s, x, y, 4)) = v;
    }
    static void blend32(GfxSurface& s, int x, int y, uint32_t v, uint32_t weight) {
        if (!inClip(s, x, y))
            return;
        auto* p = reinterpret_cast<uint32_t*>(address(s, x, y, 4));
        const int32_t w = static_cast<int32_t>(weight & 0xFFFF);
        *p = (*p & 0xFF000000u) | blendChannel(*p, v, 16, 0xFF, w) |
             blendChannel(*p, v, 8, 0xFF, w) | blendChannel(*p, v, 0, 0xFF, w);
    }
    static uint32_t get32(const GfxSurface& s, int x, int y) {
        return inSurface(s, x, y) ? *reinterpret_cast<const uint32_t*>(address(s, x, y, 4)) : 0;
    }
    static void vLine32(GfxSurface& s, int y1, int y2, int x, uint32_t v) {
        int from, to;
        if (x < s.clip_.left || x >= s.clip_.right ||
            !clampRun(y1, y2, s.clip_.top, s.clip_.bottom, from, to))
            return;
        for (int y = from; y <= to; ++y)
            *reinterpret_cast<uint32_t*>(address(s, x, y, 4)) = v;
    }
    static void hLine32(GfxSurface& s, int x1, int x2, int y, uint32_t v) {
        int from, to;
        if (y < s.clip_.top || y >= s.clip_.bottom ||
            !clampRun(x1, x2, s.clip_.left, s.clip_.right, from, to))
            return;
        std::fill_n(reinterpret_cast<uint32_t*>(address(s, from, y, 4)), to - from + 1, v);
    }
};

GfxSurface::~GfxSurface() {
    delete font_;
    if (store_ && dc_)
        store_->releaseDC(dc_);
    store_.reset();
    if (screen_ && registered_)
        screen_->unregisterSurface(this);
}

void GfxSurface::installRoutines() {
    using R = GfxPixelRoutines;
    putPixel_ = nullptr;
    blendPixel_ = nullptr;
    getPixel_ = nullptr;
    vLine_ = nullptr;
    hLine_ = nullptr;
    switch (formatInfo_.depth) {
    case 8:
        putPixel_ = R::put8, blendPixel_ = R::blend8, getPixel_ = R::get8;
        vLine_ = R::vLine8, hLine_ = R::hLine8;
        break;
    case 15:
        putPixel_ = R::put16, blendPixel_ = R::blend16<5>, getPixel_ = R::get16;
        vLine_ = R::vLine16, hLine_ = R::hLine16;
        break;
    case 16:
        putPixel_ = R::put16, blendPixel_ = R::blend16<6>, getPixel_ = R::get16;
        vLine_ = R::vLine16, hLine_ = R::hLine16;
        break;
    case 24:
        putPixel_ = R::put24, blendPixel_ = R::blend24, getPixel_ = R::get24;
        vLine_ = R::vLine24, hLine_ = R::hLine24;
        break;
    case 32:
        putPixel_ = R::put32, blendPixel_ = R::blend32, getPixel_ = R::get32;
        vLine_ = R::vLine32, hLine_ = R::hLine32;
        break;
    default:
        break;
    }
}

void GfxSurface::adoptStore(std::unique_ptr<GfxPixelStore> store) {
    if (store_ && dc_)
        store_->releaseDC(dc_);
    dc_ = nullptr;
    pixels_ = nullptr;
    pitch_ = 0;
    store_ = std::move(store);
    if (!store_) {
        width_ = height_ = 0;
        formatInfo_ = PixelFormatInfo();
        installRoutines();
        return;
    }
    width_ = static_cast<uint32_t>(store_->width());
    height_ = static_cast<uint32_t>(store_->height());
    analysePixelFormat(store_->format(), formatInfo_);
    installRoutines();
    // A surface that was locked or held a context while its store was
    // replaced keeps them, on the new store.
    if (lockCount_ > 0 && store_->lock(pixels_, pitch_) < 0) {
        pixels_ = nullptr;
        lockCount_ = 0;
    }
    if (dcCount_ > 0 && store_->getDC(dc_) < 0) {
        dc_ = nullptr;
        dcCount_ = 0;
    }
}

void GfxSurface::registerWith(GfxScreen* screen) {
    if (screen_ != screen && screen_ && registered_)
        screen_->unregisterSurface(this);
    screen_ = screen;
    if (screen_ && !registered_)
        screen_->registerSurface(this);
}

int32_t GfxSurface::Create(GfxScreen* screen, int width, int height, int memoryPlacement) {
    const GfxPixelFormat format =
        screen ? screen->GetDisplayFormat() : GfxPixelFormat::forDepth(32);
    return Create(screen, width, height, memoryPlacement, format);
}

int32_t GfxSurface::Create(GfxScreen* screen, int width, int height, int memoryPlacement,
                           const GfxPixelFormat& format) {
    int32_t result = kGfxOk;
    std::unique_ptr<GfxPixelStore> store =
        GfxPixelStore::create(width, height, format, memoryPlacement, &result);
    lockCount_ = 0;
    dcCount_ = 0;
    adoptStore(std::move(store));
    if (!store_)
        return result;
    clip_ = GfxRect{0, 0, GetWidth(), GetHeight()};
    memoryPlacement_ = memoryPlacement;
    fileName_[0] = '\0';
    registerWith(screen);
    return result;
}

int32_t GfxSurface::CreateFromImage(GfxScreen* screen, const char* fileName, int memoryPlacement) {
    if (!fileName)
        return -1;
    std::unique_ptr<GfxPixelStore> store =
        GfxImage::GetImage(screen, fileName, memoryPlacement, GfxImage::kRecognise);
    if (!store)
        return -2; // the program carries no bitmap resources to fall back on
    lockCount_ = 0;
    dcCount_ = 0;
    adoptStore(std::move(store));
    clip_ = GfxRect{0, 0, GetWidth(), GetHeight()};
    memoryPlacement_ = memoryPlacement;
    copyName(fileName_, fileName);
    registerWith(screen);
    return 1;
}

int32_t GfxSurface::SetColorKey(uint32_t value) {
    colorKey_ = value;
    if (!store_)
        return -1;
    return store_->setColorKey(value);
}

int32_t GfxSurface::SetColorKeyFromCorner() {
    if (!store_)
        return -1;
    uint8_t* pixels = nullptr;
    int pitch = 0;
    int32_t result;
    while ((result = store_->lock(pixels, pitch)) == kGfxErrWasStillDrawing) {
    }
    if (result < 0)
        return -1;
    uint32_t key = store_->pixelAt(0, 0);
    const int bits = store_->format().bitsPerPixel;
    if (bits < 32)
        key &= (1u << bits) - 1u;
    store_->unlock();
    colorKey_ = key;
    return store_->setColorKey(key) < 0 ? -2 : 0;
}

void GfxSurface::SetClipRect(const GfxRect& rect) {
    clip_.left = std::max(rect.left, 0);
    clip_.top = std::max(rect.top, 0);
    clip_.right = std::min(rect.right, GetWidth());
    clip_.bottom = std::min(rect.bottom, GetHeight());
}

int GfxSurface::ClipToArea(GfxRect& rect) const {
    if (rect.top >= clip_.bottom || rect.left >= clip_.right || rect.bottom <= clip_.top ||
        rect.right <= clip_.left)
        return 0;
    rect.left = std::clamp(rect.left, clip_.left, clip_.right);
    rect.top = std::clamp(rect.top, clip_.top, clip_.bottom);
    rect.right = std::clamp(rect.right, clip_.left, clip_.right);
    rect.bottom = std::clamp(rect.bottom, clip_.top, clip_.bottom);
    return 1;
}

int GfxSurface::ClipBlit(const GfxSurface& source, const GfxSurface& destination, int& x, int& y,
                         GfxRect& sourceRect) {
    if (!source.ClipToArea(sourceRect))
        return 0;
    // In 64 bits, so that a position far outside cannot overflow.
    const int64_t left = x, top = y;
    const int64_t right = left + (sourceRect.right - sourceRect.left);
    const int64_t bottom = top + (sourceRect.bottom - sourceRect.top);
    const GfxRect& c = destination.clip_;
    if (top >= c.bottom || left >= c.right || bottom <= c.top || right <= c.left)
        return 0;
    const int64_t newLeft = std::clamp<int64_t>(left, c.left, c.right);
    const int64_t newTop = std::clamp<int64_t>(top, c.top, c.bottom);
    const int64_t newRight = std::clamp<int64_t>(right, c.left, c.right);
    const int64_t newBottom = std::clamp<int64_t>(bottom, c.top, c.bottom);
    sourceRect.left += static_cast<int>(newLeft - left);
    sourceRect.top += static_cast<int>(newTop - top);
    sourceRect.right += static_cast<int>(newRight - right);
    sourceRect.bottom += static_cast<int>(newBottom - bottom);
    x = static_cast<int>(newLeft);
    y = static_cast<int>(newTop);
    return 1;
}

int32_t GfxSurface::drawCopy(GfxSurface* destination, int x, int y, const GfxRect* source,
                             bool keyed) {
    if (!store_ || !destination || !destination->store_)
        return -1;
    GfxRect rect = source ? *source : GfxRect{0, 0, GetWidth(), GetHeight()};
    if (!ClipBlit(*this, *destination, x, y, rect))
        return 0;
    const int32_t result = destination->store_->bltFast(x, y, *store_, rect, keyed);
    if (result == kGfxErrSurfaceLost)
        return Restore();
    return result;
}

int32_t GfxSurface::DrawOpaque(GfxSurface* destination, int x, int y, const GfxRect* source) {
    return drawCopy(destination, x, y, source, false);
}

int32_t GfxSurface::DrawKeyed(GfxSurface* destination, int x, int y, const GfxRect* source) {
    return drawCopy(destination, x, y, source, true);
}

int32_t GfxSurface::FillArea(int left, int top, int right, int bottom, uint32_t colour) {
    if (!store_)
        return -1;
    GfxRect rect{left, top, right, bottom};
    if (!ClipToArea(rect))
        return 0;
    if (rect.left >= rect.right || rect.top >= rect.bottom)
        return 0;
    return store_->colorFill(&rect, colour);
}

int32_t GfxSurface::FillAll(uint32_t colour) {
    if (!store_)
        return -1;
    return store_->colorFill(nullptr, colour);
}

int32_t GfxSurface::Lock() {
    if (!store_)
        return -1;
    if (lockCount_ > 0)
        return ++lockCount_;
    int32_t result = store_->lock(pixels_, pitch_);
    for (int retry = 0; result == kGfxErrSurfaceLost && retry < kMaxRestoreRetries; ++retry) {
        Restore();
        result = store_->lock(pixels_, pitch_);
    }
    if (result < 0) {
        pixels_ = nullptr;
        return result;
    }
    lockCount_ = 1;
    return lockCount_;
}

int32_t GfxSurface::Unlock() {
    if (!store_)
        return -1;
    if (lockCount_ > 1)
        return --lockCount_;
    if (lockCount_ == 0)
        return kGfxErrNotLocked; // an unlock without its lock changes nothing
    int32_t result = store_->unlock();
    for (int retry = 0; result == kGfxErrSurfaceLost && retry < kMaxRestoreRetries; ++retry) {
        Restore();
        result = store_->unlock();
    }
    if (result < 0)
        return result;
    pixels_ = nullptr;
    return --lockCount_;
}

GfxDeviceContext* GfxSurface::GetDC() {
    if (!store_)
        return nullptr;
    if (dcCount_ > 0) {
        ++dcCount_;
        return dc_;
    }
    if (store_->getDC(dc_) < 0) {
        dc_ = nullptr;
        return nullptr;
    }
    dcCount_ = 1;
    return dc_;
}

int32_t GfxSurface::ReleaseDC() {
    if (!store_ || dcCount_ == 0)
        return -1;
    if (dcCount_ > 1) {
        --dcCount_;
        return 0;
    }
    if (store_->releaseDC(dc_) < 0)
        return -1;
    dc_ = nullptr;
    --dcCount_;
    return 0;
}

int32_t GfxSurface::Line(int x1, int y1, int x2, int y2, uint32_t colour) {
    if (Lock() < 0)
        return -1;
    if (x1 == x2) {
        VLine(y1, y2, x1, colour);
    } else if (y1 == y2) {
        HLine(x1, x2, y1, colour);
    } else if (std::abs(x2 - x1) <= std::abs(y2 - y1)) {
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const double step = static_cast<double>(x2 - x1) / static_cast<double>(y2 - y1);
        double x = x1;
        for (int y = y1; y <= y2; ++y, x += step)
            PutPixel(static_cast<int>(std::trunc(x)), y, colour);
    } else {
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const double step = static_cast<double>(y2 - y1) / static_cast<double>(x2 - x1);
        double y = y1;
        for (int x = x1; x <= x2; ++x, y += step)
            PutPixel(x, static_cast<int>(std::trunc(y)), colour);
    }
    return Unlock() < 0 ? -2 : 0;
}

int32_t GfxSurface::Restore() {
    if (!store_)
        return -1;
    int32_t result;
    GfxSurface* front = screen_ ? screen_->GetFrontSurface() : nullptr;
    if (screen_ && screen_->GetBackSurface() == this && screen_->IsFullScreen() && front &&
        front->store_)
        result = front->store_->restore(); // the flipping chain restores its back buffer
    else
        result = store_->restore();
    if (result < 0)
        return result;
    return ReloadImage(fileName_);
}

int32_t GfxSurface::ReloadImage(const char* fileName) {
    if (!store_)
        return -1;
    std::unique_ptr<GfxPixelStore> temp = GfxImage::GetImage(
        screen_, fileName, kSurfaceMemorySystem, GfxImage::kRecognise, &store_->format());
    if (!temp)
        return -2;
    const GfxRect whole{0, 0, GetWidth(), GetHeight()};
    return store_->blt(&whole, *temp, &whole);
}

void GfxSurface::MarkLost() {
    if (store_)
        store_->markLost();
}

bool GfxSurface::IsLost() const {
    return store_ && store_->isLost();
}

int32_t GfxSurface::SetFont(const char* face, int width, int height, int weight) {
    // The surface's font object is kept and pointed at the face asked for;
    // faces are opened once and shared, so changing fonts every frame costs
    // no font making.
    if (font_ && !font_->reopen(face, width, height, weight)) {
        delete font_;
        font_ = nullptr;
        fontName_[0] = '\0';
        return -2;
    }
    if (!font_)
        font_ = GfxFont::create(face, width, height, weight);
    if (!font_)
        return -2;
    copyName(fontName_, face);
    return 0;
}

int32_t GfxSurface::SelectFont() {
    GfxDeviceContext* context = GetDC();
    if (!context)
        return -1;
    const bool selected = font_ != nullptr;
    if (selected)
        context->font = font_;
    ReleaseDC();
    return selected ? 0 : -1;
}

int32_t GfxSurface::TextAt(int x, int y, uint32_t colour, const char* text) {
    if (!text)
        return 0;
    GfxDeviceContext* context = GetDC();
    if (!context)
        return 0;
    context->backgroundMode = GfxDeviceContext::kTransparent;
    context->textColor = colour;
    const int32_t result = textOut(*context, x, y, text, static_cast<int>(std::strlen(text)));
    ReleaseDC();
    return result;
}

bool GfxSurface::GetTextExtent(const char* text, int& width, int& height) {
    width = height = 0;
    if (!text)
        return false;
    const GfxFont* font = dc_ && dc_->font ? dc_->font : systemFont();
    return font && font->measureKept(text, static_cast<int>(std::strlen(text)), width, height);
}

int32_t GfxSurface::textOut(GfxDeviceContext& context, int x, int y, const char* text, int length) {
    if (length == 0)
        return 0;
    const GfxFont* font = context.font ? context.font : systemFont();
    // Lines drawn before come from the face's kept renderings.
    const GfxTextMask* kept = font ? font->renderKept(text, length) : nullptr;
    if (!kept)
        return -1;
    const GfxTextMask& mask = *kept;
    const GfxPixelFormat& format = store_->format();
    uint32_t value;
    if (format.bitsPerPixel < 9)
        value = screen_ ? screen_->NearestPaletteIndex(context.textColor)
                        : nearestPaletteIndex(defaultPalette(), context.textColor);
    else
        value = convertColorToFormat(context.textColor, format);
    const int bpp = format.bytesPerPixel();
    uint8_t* bytes = store_->bytes();
    const int pitch = store_->pitch();
    // Text keeps to the surface; the clip rectangle is the blitter's.
    const int fromY = std::max(0, -y), toY = std::min(mask.height, GetHeight() - y);
    const int fromX = std::max(0, -x), toX = std::min(mask.width, GetWidth() - x);
    for (const GfxInkRun& run : mask.runs) {
        if (run.row < fromY || run.row >= toY)
            continue;
        const int left = std::max(run.left, fromX), right = std::min(run.left + run.length, toX);
        if (left >= right)
            continue;
        uint8_t* at = bytes + static_cast<ptrdiff_t>(y + run.row) * pitch +
                      static_cast<ptrdiff_t>(x + left) * bpp;
        fillRaw(at, bpp, value, right - left);
    }
    return 0;
}
