// The application icon: a striped snake winding across a rounded green
// tile, painted at any size with soft edges and a transparent surround.
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/Canvas.h"
#include "tools/artgen/Png.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPathSegments = 48;
constexpr float kPi = 3.14159265f;
constexpr float kOutline = 0.02f;

// The body's spine in tile units (0..1): one wave from the tail at the left
// to the neck at the right.
void spine(float t, float& x, float& y) {
    x = 0.15f + 0.55f * t;
    y = 0.58f - 0.17f * std::sin(2 * kPi * t);
}

float bodyRadius(float t) {
    return 0.045f + 0.04f * t;
}

struct Spine {
    float px[kPathSegments + 1];
    float py[kPathSegments + 1];
    Spine() {
        for (int i = 0; i <= kPathSegments; ++i)
            spine(static_cast<float>(i) / kPathSegments, px[i], py[i]);
    }
    // Nearest spine point to (x, y): its distance, parameter and offset.
    void nearest(float x, float y, float& distance, float& t, float& ox, float& oy) const {
        distance = 1e9f;
        for (int i = 0; i < kPathSegments; ++i) {
            const float ax = px[i], ay = py[i], bx = px[i + 1], by = py[i + 1];
            const float vx = bx - ax, vy = by - ay;
            float u = ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy);
            u = std::clamp(u, 0.0f, 1.0f);
            const float cx = ax + u * vx, cy = ay + u * vy;
            const float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 < distance) {
                distance = d2;
                t = (i + u) / kPathSegments;
                ox = x - cx;
                oy = y - cy;
            }
        }
        distance = std::sqrt(distance);
    }
};

// Inside the rounded square tile, inset a little from the icon's edge.
bool onTile(float x, float y) {
    constexpr float inset = 0.03f, corner = 0.2f;
    const float lo = inset + corner, hi = 1 - inset - corner;
    const float dx = std::max({lo - x, 0.0f, x - hi});
    const float dy = std::max({lo - y, 0.0f, y - hi});
    return x >= inset && x <= 1 - inset && y >= inset && y <= 1 - inset &&
           dx * dx + dy * dy <= corner * corner;
}

// The colour at one sample point, or no ink outside the tile.
Ink iconSample(const Spine& body, float x, float y) {
    if (!onTile(x, y))
        return kNoInk;
    const Colour body1 = hex(0xF2B630), body2 = hex(0xB8620F), line = hex(0x1B2A12);
    const float headX = 0.76f, headY = 0.5f, headR = 0.115f;
    // Heading of the head: along the spine's end, up and to the right.
    const float hx = 0.82f, hy = -0.57f;

    // Tile: a gradient from light green at the top to deep green.
    Colour c = mix(hex(0x3E9B4A), hex(0x145022), y);
    float d = 0, t = 0, ox = 0, oy = 0;
    // The snake's shadow falls down and to the right.
    body.nearest(x - 0.025f, y - 0.035f, d, t, ox, oy);
    if (d < bodyRadius(t) || std::hypot(x - 0.025f - headX, y - 0.035f - headY) < headR)
        c = darker(c, 0.4f);

    body.nearest(x, y, d, t, ox, oy);
    const float r = bodyRadius(t);
    const float toHead = std::hypot(x - headX, y - headY);
    if (toHead < headR) {
        c = ball(x, y, headX, headY, headR, body1, 0.6f).colour;
        // Two eyes on the upper side of the head, each with a dark pupil.
        for (int side = -1; side <= 1; side += 2) {
            const float ex = headX + 0.035f * hx + side * 0.055f * -hy;
            const float ey = headY + 0.035f * hy + side * 0.055f * hx;
            if (std::hypot(x - ex, y - ey) < 0.03f)
                c = hex(0xF8F8F0);
            if (std::hypot(x - ex - 0.008f * hx, y - ey - 0.008f * hy) < 0.016f)
                c = hex(0x101010);
        }
    } else if (toHead < headR + kOutline) {
        c = line;
    } else if (d < r) {
        // Bands across the body, shaded as a tube.
        const Colour base = static_cast<int>(t * 10) % 2 ? body2 : body1;
        const float nx = ox / r, ny = oy / r;
        c = shadeNormal(base, nx, ny, std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny)), 0.6f);
    } else if (d < r + kOutline) {
        c = line;
    } else {
        // The tongue, forked, in front of the head.
        const float tx = headX + (headR + 0.02f) * hx, ty = headY + (headR + 0.02f) * hy;
        const float fx = tx + 0.05f * hx, fy = ty + 0.05f * hy;
        const float w = 0.012f;
        if (segmentDistance(x, y, tx, ty, fx, fy) < w ||
            segmentDistance(x, y, fx, fy, fx + 0.035f * (hx - hy), fy + 0.035f * (hy + hx)) < w ||
            segmentDistance(x, y, fx, fy, fx + 0.035f * (hx + hy), fy + 0.035f * (hy - hx)) < w)
            c = hex(0xD8262A);
    }
    return ink(c);
}

uint8_t channel(float v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

RgbaImage makeIcon(int size) {
    constexpr int kGrid = 4;
    const Spine body;
    RgbaImage image;
    image.width = image.height = size;
    image.pixels.assign(static_cast<size_t>(size) * size, 0);
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            float alpha = 0;
            Colour sum;
            for (int j = 0; j < kGrid; ++j)
                for (int i = 0; i < kGrid; ++i) {
                    const float x = (px + (i + 0.5f) / kGrid) / size;
                    const float y = (py + (j + 0.5f) / kGrid) / size;
                    const Ink s = iconSample(body, x, y);
                    alpha += s.alpha;
                    sum = sum + s.colour * s.alpha;
                }
            if (alpha <= 0)
                continue;
            const Colour c = sum * (1.0f / alpha);
            image.pixels[static_cast<size_t>(py) * size + px] =
                (uint32_t{channel(255 * alpha / (kGrid * kGrid))} << 24) |
                (uint32_t{channel(c.r)} << 16) | (uint32_t{channel(c.g)} << 8) | channel(c.b);
        }
    return image;
}
