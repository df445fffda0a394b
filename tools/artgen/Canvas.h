// A floating-point painting surface for the artwork generator. Shapes are
// given as functions of a point: the canvas samples each pixel on a 4x4
// grid, so edges come out smooth, or hard where a picture is drawn with a
// colour key and a soft edge would leave a fringe of the key colour.
#pragma once

#include "tools/artgen/Bitmap.h"

#include <cmath>
#include <cstdint>
#include <vector>

struct Colour {
    float r = 0;
    float g = 0;
    float b = 0;
};

inline Colour operator+(Colour a, Colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour operator*(Colour a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Colour mix(Colour a, Colour b, float t) {
    return a * (1 - t) + b * t;
}
constexpr Colour hex(uint32_t rrggbb) {
    return {static_cast<float>((rrggbb >> 16) & 255), static_cast<float>((rrggbb >> 8) & 255),
            static_cast<float>(rrggbb & 255)};
}
inline Colour lighter(Colour c, float t) {
    return mix(c, {255, 255, 255}, t);
}
inline Colour darker(Colour c, float t) {
    return c * (1 - t);
}
Colour toColour(Rgb c);

// What a shape gives at one sample point: coverage 0..1 and colour.
struct Ink {
    float alpha = 0;
    Colour colour;
};
inline Ink ink(Colour c, float alpha = 1) {
    return {alpha, c};
}
constexpr Ink kNoInk{};

// Light falls from the upper left, a little towards the viewer. Gives the
// colour of a surface with the unit normal (nx, ny, nz), nz towards the
// viewer; shine adds a highlight.
Colour shadeNormal(Colour base, float nx, float ny, float nz, float shine = 0.5f);
// A ball of radius r around (cx, cy) at point (x, y), or no ink outside.
Ink ball(float x, float y, float cx, float cy, float r, Colour base, float shine = 0.5f);

// A deterministic hash noise in 0..1; with a period the pattern tiles.
float hashNoise(int x, int y, uint32_t seed);
// Smooth value noise at (x, y) with cells of the given size, repeating
// every period pixels (a multiple of the cell size).
float valueNoise(float x, float y, float cell, int period, uint32_t seed);

class Canvas {
public:
    Canvas(int width, int height, Colour fill);

    int width() const { return width_; }
    int height() const { return height_; }
    Colour get(int x, int y) const { return pixels_[y * width_ + x]; }
    void set(int x, int y, Colour c);
    void blend(int x, int y, Colour c, float alpha);
    void fillRect(int x, int y, int w, int h, Colour c);

    // Samples the shape over the pixels x0..x1-1, y0..y1-1 (clipped).
    // Hard edges paint a pixel fully when at least half of it is covered.
    template <class Shape> void paint(int x0, int y0, int x1, int y1, Shape shape, bool hard);

    // Every pixel painted since the canvas was made, for pictures with a
    // colour key: painted pixels that would come out equal to the key are
    // moved one step away from it.
    RgbImage toImage() const;
    RgbImage toKeyedImage(Rgb key) const;

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_;
    std::vector<uint8_t> painted_;
};

template <class Shape> void Canvas::paint(int x0, int y0, int x1, int y1, Shape shape, bool hard) {
    constexpr int kGrid = 4;
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > width_ ? width_ : x1;
    y1 = y1 > height_ ? height_ : y1;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float alpha = 0;
            Colour sum;
            for (int j = 0; j < kGrid; ++j)
                for (int i = 0; i < kGrid; ++i) {
                    const Ink s = shape(x + (i + 0.5f) / kGrid, y + (j + 0.5f) / kGrid);
                    if (s.alpha <= 0)
                        continue;
                    alpha += s.alpha;
                    sum = sum + s.colour * s.alpha;
                }
            if (alpha <= 0)
                continue;
            const Colour c = sum * (1.0f / alpha);
            alpha /= kGrid * kGrid;
            if (hard)
                alpha = alpha >= 0.5f ? 1.0f : 0.0f;
            if (alpha > 0)
                blend(x, y, c, alpha);
        }
}
