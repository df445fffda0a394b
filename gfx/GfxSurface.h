// A drawing surface: a pixel store with its clip rectangle, colour key,
// pixel-format analysis, the pixel routines of its depth and an optional
// font. Everything the game shows is drawn into surfaces; the screen keeps
// a registry of them so that a display mode change can rebuild them.
#pragma once

#include "gfx/GfxPixelStore.h"
#include "gfx/GfxTypes.h"

#include <cstdint>
#include <memory>

class GfxFont;
class GfxScreen;

class GfxSurface {
public:
    static constexpr int kMaxNameLength = 255;

    GfxSurface() = default;
    ~GfxSurface();
    GfxSurface(const GfxSurface&) = delete;
    GfxSurface& operator=(const GfxSurface&) = delete;

    // An empty surface in the screen's display format (32-bit colour when
    // there is no screen). Result 0, or the store's failure code (the
    // surface is then left without a store).
    int32_t Create(GfxScreen* screen, int width, int height, int memoryPlacement);
    // The same in a format of the caller's choice (tools, tests, benchmarks).
    int32_t Create(GfxScreen* screen, int width, int height, int memoryPlacement,
                   const GfxPixelFormat& format);
    // A surface holding a decoded picture file. 1 on success; -1 for a null
    // name; -2 when the file cannot be decoded (no program resource of that
    // name exists to fall back on).
    int32_t CreateFromImage(GfxScreen* screen, const char* fileName, int memoryPlacement);

    int32_t SetColorKey(uint32_t value);
    // Takes the key from the top-left pixel. 0; -1 without a store or when
    // locking fails; -2 when the key cannot be set.
    int32_t SetColorKeyFromCorner();
    uint32_t GetColorKey() const { return colorKey_; }

    void SetClipRect(const GfxRect& rect);
    const GfxRect& GetClipRect() const { return clip_; }
    // Clamps rect into the clip rectangle; 0 when nothing of it is inside.
    int ClipToArea(GfxRect& rect) const;
    // Clips a copy of sourceRect of source to (x, y) of destination against
    // both clip rectangles, trimming the same edges in source and
    // destination; 0 when nothing is left to draw.
    static int ClipBlit(const GfxSurface& source, const GfxSurface& destination, int& x, int& y,
                        GfxRect& sourceRect);

    // Copy the source rectangle of this surface (all of it when null) to
    // (x, y) of destination. -1 without a store; 0 when clipping leaves
    // nothing; otherwise the copy's result. A lost source is restored and
    // the copy given up.
    int32_t DrawOpaque(GfxSurface* destination, int x, int y, const GfxRect* source = nullptr);
    int32_t DrawKeyed(GfxSurface* destination, int x, int y, const GfxRect* source = nullptr);

    // Fills with a raw pixel value (from GfxScreen::ConvertColor).
    int32_t FillArea(int left, int top, int right, int bottom, uint32_t colour);
    int32_t FillAll(uint32_t colour);

    // Counted: only the outermost pair reaches the store. Lock returns the
    // new count or a negative failure code.
    int32_t Lock();
    int32_t Unlock();
    int GetLockCount() const { return lockCount_; }
    uint8_t* GetPixels() const { return pixels_; }
    int GetPitch() const { return pitch_; }

    // Counted like the lock; null when no context can be had.
    GfxDeviceContext* GetDC();
    int32_t ReleaseDC();
    int GetDCCount() const { return dcCount_; }

    // Locks, draws and unlocks; -1 when locking fails, -2 when unlocking does.
    int32_t Line(int x1, int y1, int x2, int y2, uint32_t colour);

    // Pixel routines of the surface's depth, for use between Lock and
    // Unlock; they do nothing on an unlocked or undrawable surface.
    // PutPixel, BlendPixel, VLine and HLine keep to the clip rectangle.
    void PutPixel(int x, int y, uint32_t value) {
        if (putPixel_ && pixels_)
            putPixel_(*this, x, y, value);
    }
    // weight: 256 gives the new colour, 0 keeps the old one.
    void BlendPixel(int x, int y, uint32_t value, uint32_t weight) {
        if (blendPixel_ && pixels_)
            blendPixel_(*this, x, y, value, weight);
    }
    // 0 outside the surface.
    uint32_t GetPixel(int x, int y) const {
        return getPixel_ && pixels_ ? getPixel_(*this, x, y) : 0;
    }
    void VLine(int y1, int y2, int x, uint32_t value) {
        if (vLine_ && pixels_)
            vLine_(*this, y1, y2, x, value);
    }
    void HLine(int x1, int x2, int y, uint32_t value) {
        if (hLine_ && pixels_)
            hLine_(*this, x1, x2, y, value);
    }

    // Gives the store its memory back after a loss and reloads the picture
    // it was made from; -2 for a surface made by size (its owner redraws it).
    int32_t Restore();
    int32_t ReloadImage(const char* fileName);
    // Simulates the loss of the surface's memory (tests).
    void MarkLost();
    // The memory is lost until the next use restores it, empty for a
    // surface made by size: whoever drew on it must draw again.
    bool IsLost() const;

    // Fonts and text (colours 0x00BBGGRR, transparent background, the
    // text's top-left corner at (x, y)).
    int32_t SetFont(const char* face, int width, int height, int weight);
    int32_t SelectFont();
    int32_t TextAt(int x, int y, uint32_t colour, const char* text);
    // Size of text in the font selected into the held context; without a
    // held context or a selected font, in the system font, as a fresh
    // context would measure. False without a font.
    bool GetTextExtent(const char* text, int& width, int& height);
    bool HasFont() const { return font_ != nullptr; }
    const char* GetFontName() const { return fontName_; }

    int GetWidth() const { return static_cast<int>(width_); }
    int GetHeight() const { return static_cast<int>(height_); }
    const PixelFormatInfo& GetPixelFormat() const { return formatInfo_; }
    // The pixel store ("interface"); null when creation failed.
    GfxPixelStore* GetStore() const { return store_.get(); }
    GfxScreen* GetScreen() const { return screen_; }
    const char* GetFileName() const { return fileName_; }
    int GetMemoryPlacement() const { return memoryPlacement_; }

private:
    friend class GfxScreen;
    friend struct GfxPixelRoutines;

    // Takes a new store: format analysis and pixel routines.
    void adoptStore(std::unique_ptr<GfxPixelStore> store);
    void installRoutines();
    void registerWith(GfxScreen* screen);
    int32_t drawCopy(GfxSurface* destination, int x, int y, const GfxRect* source, bool keyed);
    int32_t textOut(GfxDeviceContext& context, int x, int y, const char* text, int length);

    std::unique_ptr<GfxPixelStore> store_;
    uint32_t width_ = 0, height_ = 0;
    uint8_t* pixels_ = nullptr; // while locked
    int pitch_ = 0;
    char fileName_[kMaxNameLength + 1] = {};
    GfxDeviceContext* dc_ = nullptr;
    int dcCount_ = 0;
    uint32_t colorKey_ = 0;
    GfxFont* font_ = nullptr;
    char fontName_[kMaxNameLength + 1] = {};
    GfxScreen* screen_ = nullptr;
    GfxRect clip_;
    PixelFormatInfo formatInfo_;
    GfxSurface* next_ = nullptr;
    GfxSurface* previous_ = nullptr;
    bool registered_ = false;
    int lockCount_ = 0;
    int memoryPlacement_ = kSurfaceMemorySystem;

    void (*putPixel_)(GfxSurface&, int, int, uint32_t) = nullptr;
    void (*blendPixel_)(GfxSurface&, int, int, uint32_t, uint32_t) = nullptr;
    uint32_t (*getPixel_)(const GfxSurface&, int, int) = nullptr;
    void (*vLine_)(GfxSurface&, int, int, int, uint32_t) = nullptr;
    void (*hLine_)(GfxSurface&, int, int, int, uint32_t) = nullptr;
};
