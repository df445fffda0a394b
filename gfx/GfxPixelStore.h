// The pixel store behind a surface and the blitter that works on it: a
// block of memory in one pixel format, with a source colour key, a lock, a
// device context for text, and the possibility of being lost (as a display
// may take a surface's memory away; tests simulate that).
#pragma once

#include "gfx/GfxTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class GfxFont;
class GfxPixelStore;

// The drawing state of a store while text is drawn on it: the selected
// font, the text colour (0x00BBGGRR) and the background mode. A context
// forgets its font when it is released.
struct GfxDeviceContext {
    static constexpr int kTransparent = 1;
    static constexpr int kOpaque = 2;

    GfxPixelStore* store = nullptr;
    const GfxFont* font = nullptr;
    uint32_t textColor = 0;
    int backgroundMode = kOpaque;
};

class GfxPixelStore {
public:
    // A store of the given size and format, its pixels set to 0. A primary
    // store stands for the visible display and has no pixel memory of its
    // own. Null on a bad size or format, with the reason in result.
    static std::unique_ptr<GfxPixelStore> create(int width, int height,
                                                 const GfxPixelFormat& format, int placement,
                                                 int32_t* result = nullptr, bool primary = false);
    ~GfxPixelStore();
    GfxPixelStore(const GfxPixelStore&) = delete;
    GfxPixelStore& operator=(const GfxPixelStore&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int pitch() const { return pitch_; }
    int placement() const { return placement_; }
    bool isPrimary() const { return primary_; }
    // A number no other store of this run gets, so that users can tell a new
    // store from an old one even at a reused address.
    uint64_t serial() const { return serial_; }
    const GfxPixelFormat& format() const { return format_; }

    int32_t lock(uint8_t*& pixels, int& pitch);
    int32_t unlock();
    bool isLocked() const { return locked_; }
    // How many times the store was really locked (for tests of lock nesting).
    int lockCalls() const { return lockCalls_; }

    int32_t getDC(GfxDeviceContext*& context);
    int32_t releaseDC(GfxDeviceContext* context);
    bool hasDC() const { return dcHeld_; }

    int32_t setColorKey(uint32_t key);
    uint32_t colorKey() const { return colorKey_; }
    bool hasColorKey() const { return hasColorKey_; }

    // Copies rect of source to (x, y) of this store, one to one, with or
    // without the source's colour key. Both must have the same format and
    // the rectangles must lie inside their stores.
    int32_t bltFast(int x, int y, const GfxPixelStore& source, const GfxRect& rect, bool keyed);
    // Copies a rectangle of source (whole when null) onto a rectangle of
    // this store (whole when null), scaled when the sizes differ.
    int32_t blt(const GfxRect* destRect, const GfxPixelStore& source, const GfxRect* sourceRect);
    // Fills a rectangle (the whole store when null) with a raw pixel value.
    int32_t colorFill(const GfxRect* rect, uint32_t value);

    bool isLost() const { return lost_; }
    // Takes the store's memory away, as a display mode change by another
    // program would; every use then reports kGfxErrSurfaceLost until restore.
    void markLost();
    // Gives the memory back (content undefined: zeroed here), and to the
    // store attached behind this one.
    int32_t restore();
    // Links a back buffer to this primary store, as in a flipping chain.
    void attach(GfxPixelStore* back) { attached_ = back; }

    // Direct access for the screen's presenting and the image conversion,
    // which work on a store they own.
    uint8_t* bytes() { return bytes_; }
    const uint8_t* bytes() const { return bytes_; }
    // Raw value of pixel (x, y); 0 outside the store.
    uint32_t pixelAt(int x, int y) const;

private:
    GfxPixelStore() = default;
    bool rectInside(const GfxRect& rect) const;

    int width_ = 0, height_ = 0, pitch_ = 0;
    int placement_ = kSurfaceMemorySystem;
    GfxPixelFormat format_;
    bool primary_ = false;
    uint64_t serial_ = 0;
    uint8_t* bytes_ = nullptr;
    bool lost_ = false;
    bool locked_ = false;
    int lockCalls_ = 0;
    bool dcHeld_ = false;
    GfxDeviceContext context_;
    uint32_t colorKey_ = 0;
    bool hasColorKey_ = false;
    GfxPixelStore* attached_ = nullptr;
};
