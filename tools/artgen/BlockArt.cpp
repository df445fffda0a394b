// A zone's block sheet: 32 blocks of 20x20 pixels in two rows of 16, block
// k at (k % 16 * 20, k / 16 * 20): the ground outside the walls (0), floor
// (1), food (2), two walls (3, 4), the snake's start blocks drawn as floor
// (5..9), the four items (10..13) and eighteen decorative walls (14..31).
#include "tools/artgen/ArtPainters.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kCell = 20;

int pixel(float u) {
    return static_cast<int>(std::floor(u));
}

float fract(float x) {
    return x - std::floor(x);
}

Colour floorAt(const ZoneTheme& zone, float u, float v) {
    const Colour base = zone.floorColour;
    const int px = pixel(u), py = pixel(v);
    const float h = hashNoise(px, py, 11);
    const float n = valueNoise(u, v, 5, kCell, 3);
    switch (zone.floor) {
    case FloorStyle::Grass: {
        Colour c = base * (0.9f + 0.2f * n);
        if (h > 0.9f)
            c = lighter(c, 0.22f);
        else if (h < 0.1f)
            c = darker(c, 0.22f);
        return c;
    }
    case FloorStyle::Soil: {
        Colour c = base * (0.92f + 0.1f * n + 0.07f * std::sin(2 * kPi * v / 5));
        if (h > 0.97f)
            c = mix(c, hex(0xb4aa9a), 0.7f);
        return h < 0.06f ? darker(c, 0.18f) : c;
    }
    case FloorStyle::Sand: {
        Colour c = base * (0.95f + 0.08f * n);
        if (h > 0.94f)
            c = darker(c, 0.14f);
        else if (h < 0.04f)
            c = lighter(c, 0.3f);
        return c;
    }
    case FloorStyle::Cave: {
        const int row = pixel(v / 10);
        const float su = u + (row % 2) * 5;
        const int tile = pixel(su / 10) % 2 + 2 * row;
        if (fract(su / 10) < 0.08f || fract(v / 10) < 0.08f)
            return darker(base, 0.45f);
        return base * (0.85f + 0.2f * hashNoise(tile, 0, 5) + 0.1f * n);
    }
    case FloorStyle::Ice: {
        Colour c = base * (0.96f + 0.06f * n);
        const float streak = std::sin(2 * kPi * (u + v) / 10);
        if (streak > 0.93f)
            c = lighter(c, 0.35f);
        if (std::abs(v - 13 - 2.5f * std::sin(2 * kPi * u / 20)) < 0.35f && u > 3 && u < 14)
            c = darker(c, 0.12f);
        return c;
    }
    case FloorStyle::Dunes: {
        const float ripple =
            std::sin(2 * kPi * (2 * v + u) / 20 + 0.9f * std::sin(2 * kPi * u / 20));
        Colour c = base * (0.93f + 0.06f * ripple + 0.06f * n);
        return h > 0.96f ? darker(c, 0.12f) : c;
    }
    case FloorStyle::Metal: {
        if (u < 1 || v < 1)
            return lighter(base, 0.18f);
        if (u > 19 || v > 19)
            return darker(base, 0.35f);
        const float lu = fract(u / 5) * 5, lv = fract(v / 5) * 5;
        const bool flip = (pixel(u / 5) + pixel(v / 5)) % 2 == 1;
        const float d = flip ? segmentDistance(lu, lv, 1.2f, 1.2f, 3.8f, 3.8f)
                             : segmentDistance(lu, lv, 1.2f, 3.8f, 3.8f, 1.2f);
        Colour c = base * (0.97f + 0.05f * n);
        if (d < 0.55f)
            c = lighter(c, 0.2f);
        else if (d < 1.0f && lv > (flip ? lu : 5 - lu))
            c = darker(c, 0.2f);
        return c;
    }
    case FloorStyle::Space: {
        Colour c = mix(base, hex(0x24204a), n * 0.5f);
        if (u < 0.6f || v < 0.6f)
            c = lighter(c, 0.08f);
        if (h > 0.985f)
            c = mix(c, hex(0xd0d8ff), 0.6f);
        return c;
    }
    }
    return base;
}

Colour bevel(Colour c, float u, float v, float width) {
    if (u < width && u < kCell - v)
        return lighter(c, 0.32f);
    if (v < width && v < kCell - u)
        return lighter(c, 0.22f);
    if (u > kCell - width || v > kCell - width)
        return darker(c, 0.38f);
    return c;
}

// Smooth bumps for rock and the normal they give, as a shaded colour.
Colour rock(Colour c, Colour crack, float u, float v, uint32_t seed) {
    auto height = [&](float x, float y) {
        return valueNoise(x, y, 5, kCell, seed) * 0.65f +
               valueNoise(x, y, 2.5f, kCell, seed + 1) * 0.35f;
    };
    const float h = height(u, v);
    const float gx = (height(u + 0.5f, v) - height(u - 0.5f, v)) * 3;
    const float gy = (height(u, v + 0.5f) - height(u, v - 0.5f)) * 3;
    const float len = std::sqrt(gx * gx + gy * gy + 1);
    Colour s = shadeNormal(c * (0.8f + 0.4f * h), -gx / len, -gy / len, 1 / len, 0.15f);
    if (std::abs(h - 0.5f) < 0.025f)
        s = mix(s, crack, 0.8f);
    return s;
}

// Round leaves (or snow balls) heaped over a dark ground, tiling.
Colour leaves(Colour c, Colour light, float u, float v, uint32_t seed) {
    Colour out = darker(c, 0.45f);
    for (int i = 0; i < 10; ++i) {
        const float cx = hashNoise(i, 1, seed) * kCell, cy = hashNoise(i, 2, seed) * kCell;
        const float r = 3.2f + 1.6f * hashNoise(i, 3, seed);
        for (int wy = -1; wy <= 1; ++wy)
            for (int wx = -1; wx <= 1; ++wx) {
                const Ink b = ball(u, v, cx + wx * kCell, cy + wy * kCell, r,
                                   mix(c, light, hashNoise(i, 4, seed)), 0.25f);
                if (b.alpha > 0)
                    out = b.colour;
            }
    }
    return out;
}

Colour planks(Colour c, Colour gap, float u, float v) {
    const int plank = pixel(u / 5);
    if (fract(u / 5) < 0.16f)
        return gap;
    const float grain = std::sin(v * 0.8f + hashNoise(plank, 0, 9) * 6 + 2 * std::sin(u * 1.7f));
    Colour w = c * (0.88f + 0.08f * grain + 0.1f * hashNoise(plank, 1, 9));
    const float nu = fract(u / 5) * 5 - 2.9f;
    for (float nv : {3.0f, 17.0f})
        if (nu * nu + (v - nv) * (v - nv) < 0.5f)
            return darker(gap, 0.2f);
    return w;
}

Colour water(Colour c, Colour crest, float u, float v) {
    const float y = v + 1.3f * std::sin(2 * kPi * u / 10);
    const float f = fract(y / (20.0f / 3));
    Colour w = c * (0.92f + 0.1f * valueNoise(u, v, 5, kCell, 21));
    if (f < 0.12f)
        return mix(w, crest, 0.8f);
    if (f < 0.24f)
        return lighter(w, 0.12f);
    return w;
}

Colour steel(Colour c, Colour dark, float u, float v) {
    for (float rx : {3.5f, 16.5f})
        for (float ry : {3.5f, 16.5f}) {
            const Ink b = ball(u, v, rx, ry, 1.5f, lighter(c, 0.1f), 0.8f);
            if (b.alpha > 0)
                return b.colour;
        }
    Colour s = c * (0.94f + 0.08f * hashNoise(0, pixel(v), 31));
    s = bevel(s, u, v, 1.6f);
    return (u > 18.4f && u < 18.9f) || (v > 18.4f && v < 18.9f) ? dark : s;
}

Colour crystals(Colour rockColour, Colour crystal, float u, float v) {
    struct Shard {
        float x, y, angle, w, h;
    };
    const Shard shards[] = {{7, 12.5f, -0.35f, 2.2f, 5.5f}, {13.8f, 8.5f, 0.5f, 1.8f, 4.6f}};
    for (const Shard& s : shards) {
        const float du = u - s.x, dv = v - s.y;
        const float a = du * std::cos(s.angle) + dv * std::sin(s.angle);
        const float b = -du * std::sin(s.angle) + dv * std::cos(s.angle);
        if (std::abs(a) / s.w + std::abs(b) / s.h < 1) {
            Colour c = a < 0 ? lighter(crystal, 0.35f) : darker(crystal, 0.2f);
            if (std::abs(a) < 0.3f)
                c = lighter(crystal, 0.6f);
            return c;
        }
    }
    return rock(rockColour, darker(rockColour, 0.5f), u, v, 41);
}

Colour stars(Colour c, Colour cloud, float u, float v) {
    const float n = valueNoise(u, v, 10, kCell, 51);
    Colour s = mix(c, cloud, n * n * 0.8f);
    const float h = hashNoise(pixel(u), pixel(v), 53);
    if (h > 0.975f)
        s = mix(s, hex(0xffffff), 0.5f + 10 * (h - 0.975f));
    return s;
}

Colour wallAt(const Wall& wall, float u, float v, uint32_t seed) {
    switch (wall.style) {
    case WallStyle::Bevel: {
        Colour c = wall.main * (0.94f + 0.1f * valueNoise(u, v, 5, kCell, seed));
        if (std::abs(u - v + 4) < 0.6f && u > 5 && u < 12)
            c = mix(c, wall.detail, 0.7f);
        return bevel(c, u, v, 2.2f);
    }
    case WallStyle::Bricks: {
        const int row = pixel(v / 5);
        const float su = u + (row % 2) * 5;
        if (fract(v / 5) < 0.2f || fract(su / 10) < 0.1f)
            return wall.detail;
        const int brick = pixel(su / 10) % 2 + 3 * row;
        Colour c = wall.main * (0.86f + 0.22f * hashNoise(brick, 0, seed) +
                                0.08f * valueNoise(u, v, 2.5f, kCell, seed));
        const float lv = fract(v / 5) * 5;
        if (lv < 1.8f)
            c = lighter(c, 0.15f);
        else if (lv > 4.2f)
            c = darker(c, 0.2f);
        return c;
    }
    case WallStyle::Rock:
        return rock(wall.main, wall.detail, u, v, seed);
    case WallStyle::Leafy:
        return leaves(wall.main, wall.detail, u, v, seed);
    case WallStyle::Planks:
        return planks(wall.main, wall.detail, u, v);
    case WallStyle::Water:
        return water(wall.main, wall.detail, u, v);
    case WallStyle::Steel:
        return steel(wall.main, wall.detail, u, v);
    case WallStyle::Hazard: {
        const Colour c = fract((u + v) / 10) < 0.5f ? wall.main : wall.detail;
        return bevel(c, u, v, 1.5f);
    }
    case WallStyle::CrystalRock:
        return crystals(wall.main, wall.detail, u, v);
    case WallStyle::Starfield:
        return stars(wall.main, wall.detail, u, v);
    case WallStyle::Rough: {
        const float n = valueNoise(u, v, 5, kCell, seed) * 0.6f +
                        valueNoise(u, v, 2.5f, kCell, seed + 7) * 0.4f;
        Colour c = mix(wall.main, wall.detail, n);
        return hashNoise(pixel(u), pixel(v), seed) > 0.95f ? darker(c, 0.3f) : c;
    }
    case WallStyle::TechPanel: {
        Colour c = wall.main;
        if (u > 4 && u < 16 && v > 4 && v < 16) {
            c = darker(c, 0.35f);
            if (std::abs(v - 10) < 0.7f)
                c = wall.detail;
            else if (std::abs(v - 10) < 1.8f)
                c = mix(c, wall.detail, 0.4f);
            if (u < 5 || v < 5)
                c = darker(c, 0.3f);
        }
        for (float lx : {2.8f, 17.2f}) {
            const float du = u - lx, dv = v - 2.8f;
            if (du * du + dv * dv < 0.8f)
                return lighter(wall.detail, 0.4f);
        }
        return bevel(c, u, v, 1.8f);
    }
    }
    return wall.main;
}

// Objects that stand on the floor; no ink where the floor shows.
Ink ornament(const ZoneTheme& zone, float u, float v) {
    switch (zone.ornament) {
    case Ornament::Tree:
    case Ornament::AppleTree: {
        const bool apples = zone.ornament == Ornament::AppleTree;
        if (apples)
            for (auto [ax, ay] : {std::pair{7.0f, 8.0f}, {13.0f, 6.5f}, {11.5f, 12.0f}}) {
                const Ink a = ball(u, v, ax, ay, 1.5f, hex(0xd82828), 0.9f);
                if (a.alpha > 0)
                    return a;
            }
        for (auto [bx, by, r] : {std::tuple{10.0f, 10.0f, 7.5f},
                                 {7.0f, 7.5f, 4.5f},
                                 {13.0f, 8.0f, 4.5f},
                                 {10.0f, 5.5f, 4.0f}}) {
            const Ink b = ball(u, v, bx, by, r, hex(apples ? 0x3c8c32 : 0x2e7a2e), 0.2f);
            if (b.alpha > 0 && (u - bx) * (u - bx) + (v - by) * (v - by) < r * r * 0.85f)
                return b;
        }
        for (auto [bx, by, r] : {std::tuple{10.0f, 10.0f, 7.5f},
                                 {7.0f, 7.5f, 4.5f},
                                 {13.0f, 8.0f, 4.5f},
                                 {10.0f, 5.5f, 4.0f}})
            if ((u - bx) * (u - bx) + (v - by) * (v - by) < r * r)
                return ink(hex(0x1a4a1a));
        return kNoInk;
    }
    case Ornament::Palm: {
        for (int i = 0; i < 5; ++i) {
            const float a = i * 2 * kPi / 5 + 0.3f;
            const float tx = 10 + std::cos(a) * 8.5f, ty = 10 + std::sin(a) * 8.5f;
            const float d = segmentDistance(u, v, 10, 10, tx, ty);
            const float along = std::sqrt((u - 10) * (u - 10) + (v - 10) * (v - 10)) / 8.5f;
            if (d < 2.2f * (1 - along * 0.7f))
                return ink(mix(hex(0x46a03c), hex(0x2a6e28), d / 2.2f));
        }
        return ball(u, v, 10, 10, 2.2f, hex(0x8a5a32), 0.3f);
    }
    case Ornament::Crystal:
    case Ornament::Snowflake: {
        if (zone.ornament == Ornament::Snowflake) {
            const Ink base = ball(u, v, 10, 10, 8.5f, hex(0xf2f6ff), 0.2f);
            for (int i = 0; i < 3; ++i) {
                const float a = i * kPi / 3;
                if (segmentDistance(u, v, 10 - 6 * std::cos(a), 10 - 6 * std::sin(a),
                                    10 + 6 * std::cos(a), 10 + 6 * std::sin(a)) < 0.7f)
                    return ink(zone.accent1);
            }
            return base;
        }
        const float du = u - 10, dv = v - 11;
        if (std::abs(du) / 4.5f + std::abs(dv) / 8.5f < 1)
            return ink(du < 0 ? lighter(zone.accent1, 0.3f) : darker(zone.accent1, 0.25f));
        if (std::abs(du + 5.5f) / 2.5f + std::abs(dv - 3.5f) / 5 < 1 ||
            std::abs(du - 5.5f) / 2.5f + std::abs(dv - 3.5f) / 5 < 1)
            return ink(du < -5.5f || (du > 0 && du < 5.5f) ? lighter(zone.accent2, 0.3f)
                                                           : zone.accent2);
        return kNoInk;
    }
    case Ornament::Cactus: {
        const Colour green = hex(0x4a9a46);
        auto arm = [&](float x, float y0, float y1, float r) {
            const float d = segmentDistance(u, v, x, y0, x, y1);
            return d < r ? shadeNormal(green, (u - x) / r, 0, std::sqrt(1 - d * d / (r * r)), 0.3f)
                         : Colour{-1, 0, 0};
        };
        for (auto [x, y0, y1, r] : {std::tuple{10.0f, 3.5f, 18.0f, 2.8f},
                                    {5.0f, 6.5f, 11.0f, 1.8f},
                                    {15.0f, 5.0f, 10.0f, 1.8f}}) {
            const Colour c = arm(x, y0, y1, r);
            if (c.r >= 0)
                return ink(std::abs(u - x) < 0.3f ? darker(c, 0.2f) : c);
        }
        if ((segmentDistance(u, v, 5, 11, 8, 11) < 1.3f) ||
            (segmentDistance(u, v, 12, 10, 15, 10) < 1.3f))
            return ink(green);
        return kNoInk;
    }
    case Ornament::Gear: {
        const float du = u - 10, dv = v - 10;
        const float r = std::sqrt(du * du + dv * dv);
        const float a = std::atan2(dv, du);
        const float outer = std::cos(8 * a) > 0 ? 9 : 7;
        if (r > outer || r < 2.2f)
            return r < 2.2f ? ink(hex(0x202226)) : kNoInk;
        const Colour metal = hex(0xa8aab4);
        return ink(r < 4 ? darker(metal, 0.25f) : shadeNormal(metal, du / 12, dv / 12, 0.9f, 0.6f));
    }
    case Ornament::Planet: {
        const float du = u - 10, dv = v - 10;
        const float ring = (du * 0.94f + dv * 0.34f) / 9.5f,
                    ringb = (-du * 0.34f + dv * 0.94f) / 2.6f;
        const float rr = ring * ring + ringb * ringb;
        const bool onRing = rr < 1 && rr > 0.55f;
        const Ink body = ball(u, v, 10, 10, 6.2f, zone.accent1, 0.4f);
        if (onRing && (ringb > 0 || body.alpha <= 0))
            return ink(mix(hex(0xf0d8a0), hex(0xb09060), rr));
        return body;
    }
    }
    return kNoInk;
}

// A thing on the floor for the decorative blocks; no ink shows the floor.
Ink decoration(const ZoneTheme& zone, int block, float u, float v) {
    const Colour stone = hex(0x8c8a84);
    switch (block) {
    case 14:
        return ink(wallAt({WallStyle::Bevel, zone.accent1, lighter(zone.accent1, 0.5f)}, u, v, 61));
    case 15:
        return ink(wallAt({WallStyle::Bevel, zone.accent2, lighter(zone.accent2, 0.5f)}, u, v, 62));
    case 16:
        return ink(
            wallAt({WallStyle::Bricks, darker(zone.accent1, 0.15f), hex(0xd2c8b4)}, u, v, 63));
    case 17: { // crate
        const Colour wood = hex(0xb47c40);
        if (u < 1.5f || v < 1.5f || u > 18.5f || v > 18.5f)
            return ink(bevel(darker(wood, 0.2f), u, v, 1.5f));
        if (segmentDistance(u, v, 2, 2, 18, 18) < 1.5f ||
            segmentDistance(u, v, 18, 2, 2, 18) < 1.5f)
            return ink(lighter(wood, 0.1f));
        return ink(planks(darker(wood, 0.1f), darker(wood, 0.55f), v, u));
    }
    case 18:
    case 19: { // pipes across and down; they join their neighbours
        const float d = block == 18 ? v - 10 : u - 10;
        const float along = block == 18 ? u : v;
        if (std::abs(d) > 6)
            return kNoInk;
        Colour c = shadeNormal(zone.accent2, block == 19 ? d / 6.5f : 0, block == 18 ? d / 6.5f : 0,
                               std::sqrt(1 - d * d / 42.25f), 0.8f);
        if (std::abs(along - 10) > 7.5f)
            c = darker(c, 0.25f); // the flange of each length
        return ink(c);
    }
    case 20: // boulder
        return ball(u, v, 10, 10.5f, 8.6f, stone, 0.2f);
    case 21:
        return ink(water(zone.liquid, lighter(zone.liquid, 0.5f), u, v));
    case 22: { // grate over a dark shaft
        if (u < 1.5f || v < 1.5f || u > 18.5f || v > 18.5f)
            return ink(bevel(hex(0x70747c), u, v, 1.5f));
        return ink(fract(u / 4) < 0.45f ? hex(0x9094a0) : hex(0x141418));
    }
    case 23: { // a jewel set in dark stone
        const float du = u - 10, dv = v - 10;
        if (std::abs(du) + std::abs(dv) < 6.5f) {
            const bool upper = dv < 0;
            Colour c = du < 0 ? lighter(zone.accent1, upper ? 0.5f : 0.15f)
                              : darker(zone.accent1, upper ? 0.0f : 0.35f);
            return ink(c);
        }
        return ink(bevel(hex(0x3c3a44), u, v, 2));
    }
    case 24: { // column seen from above
        const float du = u - 10, dv = v - 10;
        const float r = std::sqrt(du * du + dv * dv);
        if (r > 9.3f)
            return kNoInk;
        Colour c = shadeNormal(hex(0xc8c2b4), du / 12, dv / 12, 0.9f, 0.3f);
        if (std::abs(r - 6.5f) < 0.5f || r > 8.6f)
            c = darker(c, 0.3f);
        return ink(c);
    }
    case 25:
        return ink(rock(darker(zone.floorColour, 0.25f), darker(zone.floorColour, 0.7f), u, v, 65));
    case 26:
        return ornament(zone, u, v);
    case 27: { // chequered tiles
        const bool a = (pixel(u / 10) + pixel(v / 10)) % 2 == 0;
        return ink(
            bevel(a ? zone.accent1 : zone.accent2, fract(u / 10) * 20, fract(v / 10) * 20, 2.5f));
    }
    case 28: { // pit
        const float du = (u - 10) / 8.8f, dv = (v - 10) / 8.8f;
        const float d2 = du * du + dv * dv;
        if (d2 > 1)
            return kNoInk;
        return ink(dv < -0.2f && d2 > 0.6f ? darker(zone.floorColour, 0.55f) : hex(0x08080a));
    }
    case 29:
        return ink(wallAt({WallStyle::Hazard, zone.accent2, hex(0x1c1c1c)}, u, v, 66));
    case 30: { // glass block
        if (u < 1.2f || v < 1.2f || u > 18.8f || v > 18.8f)
            return ink(hex(0xe8f4ff), 0.9f);
        if (std::abs(u + v - 14) < 1.2f || std::abs(u + v - 19) < 0.6f)
            return ink(hex(0xffffff), 0.75f);
        return ink(hex(0xa0d8f0), 0.4f);
    }
    case 31:
        return ink(steel(hex(0x8a8e98), hex(0x44464c), u, v));
    }
    return kNoInk;
}

void paintBlock(Canvas& canvas, const ZoneTheme& zone, int block) {
    const float ox = static_cast<float>(block % 16 * kCell),
                oy = static_cast<float>(block / 16 * kCell);
    auto flat = [&](auto colourAt) {
        paintCell(
            canvas, ox, oy, kCell, [&](float u, float v) { return ink(colourAt(u, v)); }, false);
    };
    flat([&](float u, float v) { return floorAt(zone, u, v); });
    switch (block) {
    case 0:
        flat([&](float u, float v) { return wallAt(zone.outer, u, v, 71); });
        break;
    case 3:
        flat([&](float u, float v) { return wallAt(zone.main, u, v, 73); });
        break;
    case 4:
        flat([&](float u, float v) { return wallAt(zone.second, u, v, 74); });
        break;
    case 2:
        paintItem(canvas, ox, oy, kCell, ItemKind::Food);
        break;
    case 10:
        paintItem(canvas, ox, oy, kCell, ItemKind::Shrink);
        break;
    case 11:
        paintItem(canvas, ox, oy, kCell, ItemKind::SpeedReset);
        break;
    case 12:
        paintItem(canvas, ox, oy, kCell, ItemKind::Points);
        break;
    case 13:
        paintItem(canvas, ox, oy, kCell, ItemKind::Time);
        break;
    default:
        if (block >= 14) {
            // Standing things cast a shadow on the floor first.
            paintCell(
                canvas, ox, oy, kCell,
                [&](float u, float v) {
                    const Ink d = decoration(zone, block, u - 1.2f, v - 1.2f);
                    return d.alpha > 0 ? ink(Colour{0, 0, 0}, 0.3f) : kNoInk;
                },
                false);
            paintCell(
                canvas, ox, oy, kCell,
                [&](float u, float v) { return decoration(zone, block, u, v); }, false);
        }
        break;
    }
}

} // namespace

RgbImage makeBlockSheet(const ZoneTheme& zone) {
    Canvas canvas(16 * kCell, 2 * kCell, Colour{});
    for (int block = 0; block < 32; ++block)
        paintBlock(canvas, zone, block);
    return canvas.toImage();
}
