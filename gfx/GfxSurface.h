// A drawing surface: an off-screen pixel buffer owned by the game.
// (Minimal form: 32-bit pixels; the full layer replaces it.)
#pragma once

#include <cstdint>
#include <vector>

class GfxScreen;

struct GfxRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class GfxSurface {
public:
    GfxSurface() = default;
    ~GfxSurface();

    int Create(GfxScreen* screen, int width, int height, int memoryPlacement);
    int SetColorKey(uint32_t value);
    int FillAll(uint32_t colour);
    int DrawOpaque(GfxSurface* destination, int x, int y, const GfxRect* source = nullptr);
    int DrawKeyed(GfxSurface* destination, int x, int y, const GfxRect* source = nullptr) {
        return DrawOpaque(destination, x, y, source);
    }

    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    const uint32_t* Pixels() const { return pixels_.data(); }
    int Pitch() const { return width_ * 4; }

private:
    GfxScreen* screen_ = nullptr;
    int width_ = 0, height_ = 0;
    uint32_t colorKey_ = 0;
    std::vector<uint32_t> pixels_;
};
