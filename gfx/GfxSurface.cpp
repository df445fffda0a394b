#include "GfxSurface.h"

#include <algorithm>

GfxSurface::~GfxSurface() = default;

int GfxSurface::Create(GfxScreen* screen, int width, int height, int) {
    if (width <= 0 || height <= 0)
        return -1;
    screen_ = screen;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    return 0;
}

int GfxSurface::SetColorKey(uint32_t value) {
    colorKey_ = value;
    return 0;
}

int GfxSurface::FillAll(uint32_t colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour);
    return 0;
}

int GfxSurface::DrawOpaque(GfxSurface* destination, int x, int y, const GfxRect* source) {
    if (!destination || pixels_.empty())
        return -1;
    GfxRect r = source ? *source : GfxRect{0, 0, width_, height_};
    const int w = std::min(r.right - r.left, destination->width_ - x);
    const int h = std::min(r.bottom - r.top, destination->height_ - y);
    if (w <= 0 || h <= 0)
        return 0;
    for (int row = 0; row < h; ++row)
        std::copy_n(
            &pixels_[static_cast<size_t>((r.top + row) * width_ + r.left)], w,
            &destination->pixels_[static_cast<size_t>((y + row) * destination->width_ + x)]);
    return 0;
}
