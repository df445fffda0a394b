#include "tools/artgen/Canvas.h"

#include <algorithm>

Colour toColour(Rgb c) {
    return {static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b)};
}

Colour shadeNormal(Colour base, float nx, float ny, float nz, float shine) {
    // Light direction (-0.45, -0.6, 0.66), about unit length.
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;
    const float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    // Half vector between the light and the viewer (0, 0, 1).
    const float hx = lx, hy = ly, hz = lz + 1;
    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    const float glint = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 24.0f);
    Colour c = base * (0.45f + 0.75f * diffuse);
    return mix(c, {255, 255, 255}, std::min(1.0f, glint * shine));
}

Ink ball(float x, float y, float cx, float cy, float r, Colour base, float shine) {
    const float dx = (x - cx) / r, dy = (y - cy) / r;
    const float d2 = dx * dx + dy * dy;
    if (d2 > 1)
        return kNoInk;
    return ink(shadeNormal(base, dx, dy, std::sqrt(1 - d2), shine));
}

float hashNoise(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0f;
}

float valueNoise(float x, float y, float cell, int period, uint32_t seed) {
    const int cells = std::max(1, static_cast<int>(period / cell));
    const float fx = x / cell, fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const float tx = fx - ix, ty = fy - iy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto corner = [&](int cx, int cy) {
        return hashNoise(((cx % cells) + cells) % cells, ((cy % cells) + cells) % cells, seed);
    };
    const float top = corner(ix, iy) * (1 - sx) + corner(ix + 1, iy) * sx;
    const float bottom = corner(ix, iy + 1) * (1 - sx) + corner(ix + 1, iy + 1) * sx;
    return top * (1 - sy) + bottom * sy;
}

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(width * height, fill), painted_(width * height, 0) {}

void Canvas::set(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[y * width_ + x] = c;
    painted_[y * width_ + x] = 1;
}

void Canvas::blend(int x, int y, Colour c, float alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    Colour& p = pixels_[y * width_ + x];
    p = mix(p, c, std::clamp(alpha, 0.0f, 1.0f));
    painted_[y * width_ + x] = 1;
}

void Canvas::fillRect(int x, int y, int w, int h, Colour c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            set(i, j, c);
}

namespace {

uint8_t channel(float v) {
    return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
}

} // namespace

RgbImage Canvas::toImage() const {
    RgbImage out(width_, height_);
    for (int i = 0; i < width_ * height_; ++i)
        out.pixels[i] = Rgb{channel(pixels_[i].r), channel(pixels_[i].g), channel(pixels_[i].b)};
    return out;
}

RgbImage Canvas::toKeyedImage(Rgb key) const {
    RgbImage out = toImage();
    for (int i = 0; i < width_ * height_; ++i) {
        if (!painted_[i])
            out.pixels[i] = key;
        else if (out.pixels[i] == key)
            out.pixels[i].g = key.g < 255 ? key.g + 1 : key.g - 1;
    }
    return out;
}
