#include "gfx/GfxPixelStore.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr size_t kRowAlignment = 16;

uint32_t pixelMask(int bitsPerPixel) {
    return bitsPerPixel >= 32 ? 0xFFFFFFFFu : ((1u << bitsPerPixel) - 1u);
}

// Keyed copies: a pixel equal to the key leaves the destination as it was.
// Sixteen bytes at a time: a run without key pixels is stored as it is, a
// run of key pixels skipped, and only a mixed run reads the destination
// (reading it costs far more than writing it when it is not cached).
template <typename T>
void copyKeyed(uint8_t* to, ptrdiff_t toPitch, const uint8_t* from, ptrdiff_t fromPitch, int count,
               int rows, T key) {
    typedef T Vector __attribute__((vector_size(16)));
    constexpr int kLanes = static_cast<int>(16 / sizeof(T));
    Vector keys;
    for (int lane = 0; lane < kLanes; ++lane)
        keys[lane] = key;
    for (int row = 0; row < rows; ++row, to += toPitch, from += fromPitch) {
        T* __restrict dest = reinterpret_cast<T*>(to);
        const T* __restrict source = reinterpret_cast<const T*>(from);
        int i = 0;
        for (; i + kLanes <= count; i += kLanes) {
            Vector s;
            std::memcpy(&s, source + i, sizeof s);
            const Vector keep = reinterpret_cast<Vector>(s == keys);
            uint64_t halves[2];
            std::memcpy(halves, &keep, sizeof halves);
            if ((halves[0] | halves[1]) == 0) {
                std::memcpy(dest + i, &s, sizeof s);
            } else if ((halves[0] & halves[1]) != ~uint64_t(0)) {
                Vector d;
                std::memcpy(&d, dest + i, sizeof d);
                d = (d & keep) | (s & ~keep);
                std::memcpy(dest + i, &d, sizeof d);
            }
        }
        for (; i < count; ++i) {
            const T v = source[i];
            if (v != key)
                dest[i] = v;
        }
    }
}

void copyRowKeyed24(uint8_t* dest, const uint8_t* source, int count, uint32_t key) {
    for (int i = 0; i < count; ++i, dest += 3, source += 3) {
        const uint32_t s = source[0] | (source[1] << 8) | (source[2] << 16);
        if (s != key) {
            dest[0] = source[0];
            dest[1] = source[1];
            dest[2] = source[2];
        }
    }
}

template <typename T> void fillRow(T* __restrict dest, int count, T value) {
    for (int i = 0; i < count; ++i)
        dest[i] = value;
}

void fillRow24(uint8_t* dest, int count, uint32_t value) {
    const uint8_t b0 = static_cast<uint8_t>(value), b1 = static_cast<uint8_t>(value >> 8),
                  b2 = static_cast<uint8_t>(value >> 16);
    for (int i = 0; i < count; ++i, dest += 3) {
        dest[0] = b0;
        dest[1] = b1;
        dest[2] = b2;
    }
}

} // namespace

std::unique_ptr<GfxPixelStore> GfxPixelStore::create(int width, int height,
                                                     const GfxPixelFormat& format, int placement,
                                                     int32_t* result, bool primary) {
    auto fail = [&](int32_t code) {
        if (result)
            *result = code;
        return std::unique_ptr<GfxPixelStore>();
    };
    if (width <= 0 || height <= 0 || width > kGfxMaxSide || height > kGfxMaxSide)
        return fail(kGfxErrInvalidArg);
    const int bpp = format.bytesPerPixel();
    if (format.bitsPerPixel <= 0 || format.bitsPerPixel > 32 || bpp == 0)
        return fail(kGfxErrInvalidPixelFormat);
    std::unique_ptr<GfxPixelStore> store(new (std::nothrow) GfxPixelStore);
    if (!store)
        return fail(kGfxErrOutOfMemory);
    store->width_ = width;
    store->height_ = height;
    store->format_ = format;
    store->placement_ = placement;
    store->primary_ = primary;
    static uint64_t lastSerial = 0;
    store->serial_ = ++lastSerial;
    store->context_.store = store.get();
    if (!primary) {
        const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bpp);
        const size_t pitch = (rowBytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
        const size_t total = pitch * static_cast<size_t>(height);
        store->bytes_ = static_cast<uint8_t*>(std::aligned_alloc(kRowAlignment, total));
        if (!store->bytes_)
            return fail(kGfxErrOutOfMemory);
        std::memset(store->bytes_, 0, total);
        store->pitch_ = static_cast<int>(pitch);
    }
    if (result)
        *result = kGfxOk;
    return store;
}

GfxPixelStore::~GfxPixelStore() {
    std::free(bytes_);
}

int32_t GfxPixelStore::lock(uint8_t*& pixels, int& pitch) {
    if (lost_)
        return kGfxErrSurfaceLost;
    if (!bytes_)
        return kGfxErrFail;
    if (locked_)
        return kGfxErrSurfaceBusy;
    locked_ = true;
    ++lockCalls_;
    pixels = bytes_;
    pitch = pitch_;
    return kGfxOk;
}

int32_t GfxPixelStore::unlock() {
    if (lost_)
        return kGfxErrSurfaceLost;
    if (!locked_)
        return kGfxErrNotLocked;
    locked_ = false;
    return kGfxOk;
}

int32_t GfxPixelStore::getDC(GfxDeviceContext*& context) {
    context = nullptr;
    if (lost_)
        return kGfxErrSurfaceLost;
    if (!bytes_)
        return kGfxErrNoDC;
    if (dcHeld_)
        return kGfxErrSurfaceBusy;
    dcHeld_ = true;
    context_ = GfxDeviceContext();
    context_.store = this;
    context = &context_;
    return kGfxOk;
}

int32_t GfxPixelStore::releaseDC(GfxDeviceContext* context) {
    if (!dcHeld_ || context != &context_)
        return kGfxErrInvalidArg;
    dcHeld_ = false;
    context_.font = nullptr;
    return kGfxOk;
}

int32_t GfxPixelStore::setColorKey(uint32_t key) {
    if (lost_)
        return kGfxErrSurfaceLost;
    colorKey_ = key;
    hasColorKey_ = true;
    return kGfxOk;
}

bool GfxPixelStore::rectInside(const GfxRect& rect) const {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= width_ && rect.bottom <= height_;
}

int32_t GfxPixelStore::bltFast(int x, int y, const GfxPixelStore& source, const GfxRect& rect,
                               bool keyed) {
    if (lost_ || source.lost_)
        return kGfxErrSurfaceLost;
    if (!bytes_ || !source.bytes_)
        return kGfxErrFail;
    if (source.format_ != format_)
        return kGfxErrInvalidPixelFormat;
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (!source.rectInside(rect) || !rectInside(GfxRect{x, y, x + w, y + h}))
        return kGfxErrInvalidRect;

    const int bpp = format_.bytesPerPixel();
    const uint8_t* from = source.bytes_ + static_cast<ptrdiff_t>(rect.top) * source.pitch_ +
                          static_cast<ptrdiff_t>(rect.left) * bpp;
    uint8_t* to = bytes_ + static_cast<ptrdiff_t>(y) * pitch_ + static_cast<ptrdiff_t>(x) * bpp;
    const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(bpp);

    if (!keyed || !source.hasColorKey_) {
        if (&source == this && y > rect.top) {
            // Overlapping copy downwards within one store: bottom row first.
            for (int row = h - 1; row >= 0; --row)
                std::memmove(to + static_cast<ptrdiff_t>(row) * pitch_,
                             from + static_cast<ptrdiff_t>(row) * source.pitch_, rowBytes);
        } else if (&source == this) {
            for (int row = 0; row < h; ++row)
                std::memmove(to + static_cast<ptrdiff_t>(row) * pitch_,
                             from + static_cast<ptrdiff_t>(row) * source.pitch_, rowBytes);
        } else if (rowBytes == static_cast<size_t>(pitch_) &&
                   rowBytes == static_cast<size_t>(source.pitch_)) {
            // Whole rows of both stores: one block.
            std::memcpy(to, from, rowBytes * static_cast<size_t>(h));
        } else {
            for (int row = 0; row < h; ++row)
                std::memcpy(to + static_cast<ptrdiff_t>(row) * pitch_,
                            from + static_cast<ptrdiff_t>(row) * source.pitch_, rowBytes);
        }
        return kGfxOk;
    }

    const uint32_t key = source.colorKey_ & pixelMask(format_.bitsPerPixel);
    switch (bpp) {
    case 1:
        copyKeyed(to, pitch_, from, source.pitch_, w, h, static_cast<uint8_t>(key));
        break;
    case 2:
        copyKeyed(to, pitch_, from, source.pitch_, w, h, static_cast<uint16_t>(key));
        break;
    case 3:
        for (int row = 0; row < h; ++row)
            copyRowKeyed24(to + static_cast<ptrdiff_t>(row) * pitch_,
                           from + static_cast<ptrdiff_t>(row) * source.pitch_, w, key);
        break;
    default:
        copyKeyed(to, pitch_, from, source.pitch_, w, h, key);
        break;
    }
    return kGfxOk;
}

int32_t GfxPixelStore::blt(const GfxRect* destRect, const GfxPixelStore& source,
                           const GfxRect* sourceRect) {
    if (lost_ || source.lost_)
        return kGfxErrSurfaceLost;
    if (!bytes_ || !source.bytes_)
        return kGfxErrFail;
    if (source.format_ != format_)
        return kGfxErrInvalidPixelFormat;
    const GfxRect d = destRect ? *destRect : GfxRect{0, 0, width_, height_};
    const GfxRect s = sourceRect ? *sourceRect : GfxRect{0, 0, source.width_, source.height_};
    if (!rectInside(d) || !source.rectInside(s))
        return kGfxErrInvalidRect;
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    if (dw == sw && dh == sh && &source != this)
        return bltFast(d.left, d.top, source, s, false);

    // Nearest-neighbour scaling; a copy within one store goes through a
    // temporary so that it never reads what it has already written.
    const int bpp = format_.bytesPerPixel();
    std::unique_ptr<uint8_t[]> temp;
    const uint8_t* base = source.bytes_;
    int basePitch = source.pitch_;
    if (&source == this) {
        const size_t size = static_cast<size_t>(pitch_) * static_cast<size_t>(height_);
        temp.reset(new (std::nothrow) uint8_t[size]);
        if (!temp)
            return kGfxErrOutOfMemory;
        std::memcpy(temp.get(), bytes_, size);
        base = temp.get();
    }
    for (int row = 0; row < dh; ++row) {
        const int sy = s.top + static_cast<int>(static_cast<int64_t>(row) * sh / dh);
        const uint8_t* from = base + static_cast<ptrdiff_t>(sy) * basePitch;
        uint8_t* to = bytes_ + static_cast<ptrdiff_t>(d.top + row) * pitch_;
        for (int col = 0; col < dw; ++col) {
            const int sx = s.left + static_cast<int>(static_cast<int64_t>(col) * sw / dw);
            std::memcpy(to + static_cast<ptrdiff_t>(d.left + col) * bpp,
                        from + static_cast<ptrdiff_t>(sx) * bpp, static_cast<size_t>(bpp));
        }
    }
    return kGfxOk;
}

int32_t GfxPixelStore::colorFill(const GfxRect* rect, uint32_t value) {
    if (lost_)
        return kGfxErrSurfaceLost;
    if (!bytes_)
        return kGfxErrFail;
    const GfxRect r = rect ? *rect : GfxRect{0, 0, width_, height_};
    if (!rectInside(r))
        return kGfxErrInvalidRect;
    const int bpp = format_.bytesPerPixel();
    const int w = r.right - r.left;
    uint8_t* first =
        bytes_ + static_cast<ptrdiff_t>(r.top) * pitch_ + static_cast<ptrdiff_t>(r.left) * bpp;
    switch (bpp) {
    case 1:
        std::memset(first, static_cast<uint8_t>(value), static_cast<size_t>(w));
        break;
    case 2:
        fillRow(reinterpret_cast<uint16_t*>(first), w, static_cast<uint16_t>(value));
        break;
    case 3:
        fillRow24(first, w, value);
        break;
    default:
        fillRow(reinterpret_cast<uint32_t*>(first), w, value);
        break;
    }
    // The other rows copy the first, which stays in the cache: the block
    // copy is the fastest store loop the library has.
    const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(bpp);
    for (int row = r.top + 1; row < r.bottom; ++row)
        std::memcpy(bytes_ + static_cast<ptrdiff_t>(row) * pitch_ +
                        static_cast<ptrdiff_t>(r.left) * bpp,
                    first, rowBytes);
    return kGfxOk;
}

void GfxPixelStore::markLost() {
    lost_ = true;
}

int32_t GfxPixelStore::restore() {
    if (lost_ && bytes_)
        std::memset(bytes_, 0, static_cast<size_t>(pitch_) * static_cast<size_t>(height_));
    lost_ = false;
    if (attached_)
        attached_->restore();
    return kGfxOk;
}

uint32_t GfxPixelStore::pixelAt(int x, int y) const {
    if (!bytes_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    const int bpp = format_.bytesPerPixel();
    const uint8_t* p =
        bytes_ + static_cast<ptrdiff_t>(y) * pitch_ + static_cast<ptrdiff_t>(x) * bpp;
    uint32_t value = 0;
    for (int i = 0; i < bpp; ++i)
        value |= static_cast<uint32_t>(p[i]) << (8 * i);
    return value;
}
