// Food and the four special items.
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/PixelFont.h"

#include <algorithm>

float segmentDistance(float x, float y, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    const float px = ax + t * dx - x, py = ay + t * dy - y;
    return std::sqrt(px * px + py * py);
}

namespace {

constexpr float kPi = 3.14159265f;

// A dome over an ellipse: the shaded colour with a darker rim, or no ink.
Ink dome(float u, float v, float cx, float cy, float rx, float ry, Colour base, float shine,
         float rim = 0.9f) {
    const float dx = (u - cx) / rx, dy = (v - cy) / ry;
    const float d2 = dx * dx + dy * dy;
    if (d2 > 1)
        return kNoInk;
    Colour c = shadeNormal(base, dx, dy, std::sqrt(1 - d2), shine);
    if (d2 > rim * rim)
        c = darker(c, 0.35f);
    return ink(c);
}

Ink shadow(float u, float v, float cx, float cy, float rx, float ry) {
    const float dx = (u - cx) / rx, dy = (v - cy) / ry;
    const float d2 = dx * dx + dy * dy;
    return d2 > 1 ? kNoInk : ink(Colour{0, 0, 0}, 0.35f * (1 - d2));
}

Ink apple(float u, float v) {
    // Leaf and stem over the fruit.
    const float lu = u - 13.2f, lv = v - 4.2f;
    const float ca = std::cos(-0.55f), sa = std::sin(-0.55f);
    const float ru = (lu * ca - lv * sa) / 3.1f, rv = (lu * sa + lv * ca) / 1.4f;
    if (ru * ru + rv * rv <= 1) {
        Colour leaf = hex(0x3caa32);
        leaf = std::abs(rv) < 0.18f ? darker(leaf, 0.3f) : lighter(leaf, 0.15f * (1 - rv));
        return ink(leaf);
    }
    if (segmentDistance(u, v, 10, 6.5f, 11.2f, 2.4f) < 0.75f)
        return ink(hex(0x6a4020));
    const float nu = u - 10, nv = v - 4.9f;
    if (nu * nu + nv * nv < 2.6f)
        return kNoInk; // the dip where the stem sits
    return dome(u, v, 10, 11.4f, 7.3f, 6.9f, hex(0xd8282c), 0.9f);
}

Ink coin(float u, float v) {
    const float du = u - 10, dv = v - 10;
    const float r = std::sqrt(du * du + dv * dv);
    if (r > 7.6f)
        return kNoInk;
    const Colour gold = hex(0xf0be32);
    if (r > 6.0f) {
        const float t = (r - 6.0f) / 1.6f;
        return ink(shadeNormal(gold, du / r * t, dv / r * t, std::sqrt(1 - t * t * 0.8f), 0.8f));
    }
    // The face, with the dollar sign embossed.
    const int gx = static_cast<int>(std::floor((u - 6.5f) / 1.4f));
    const int gy = static_cast<int>(std::floor((v - 5.1f) / 1.4f));
    if (glyphPixel('$', gx, gy))
        return ink(hex(0x9a6408));
    if (glyphPixel('$', gx + 1, gy + 1) && !glyphPixel('$', gx, gy))
        return ink(hex(0xfff0a0));
    return ink(mix(lighter(gold, 0.25f), darker(gold, 0.15f), (u + v - 6) / 28));
}

Ink stopwatch(float u, float v) {
    const float cx = 10, cy = 11;
    const float du = u - cx, dv = v - cy;
    const float r = std::sqrt(du * du + dv * dv);
    if (r > 7.4f) {
        if (u >= 8.7f && u <= 11.3f && v >= 1.4f && v <= 4.2f)
            return ink(v < 2.4f ? hex(0xe04040) : hex(0x8a98b0));
        return kNoInk;
    }
    if (r > 5.9f) {
        const float t = (r - 5.9f) / 1.5f;
        return ink(shadeNormal(hex(0x3c78d2), du / r * t, dv / r * t, 0.8f, 0.7f));
    }
    if (r < 1.1f)
        return ink(hex(0xd02828));
    if (segmentDistance(u, v, cx, cy, cx, cy - 4.6f) < 0.65f ||
        segmentDistance(u, v, cx, cy, cx + 3.4f, cy + 1.2f) < 0.65f)
        return ink(hex(0x202838));
    // Four ticks on the face.
    for (int i = 0; i < 4; ++i) {
        const float a = i * kPi / 2;
        const float tx = cx + std::sin(a) * 4.9f, ty = cy - std::cos(a) * 4.9f;
        if (std::abs(u - tx) < 0.6f && std::abs(v - ty) < 0.6f)
            return ink(hex(0x404858));
    }
    return ink(mix(hex(0xffffff), hex(0xc8d2e0), (du + dv + 6) / 12));
}

Ink potion(float u, float v) {
    // Cork, neck and round belly of a flask.
    if (u >= 7.9f && u <= 12.1f && v >= 1.6f && v <= 4.4f)
        return ink(mix(hex(0xc08850), hex(0x805028), (u - 7.9f) / 4.2f));
    const float du = u - 10, dv = v - 13;
    const float r2 = du * du + dv * dv;
    const bool neck = u >= 8.4f && u <= 11.6f && v > 4.4f && v <= 9.5f;
    const bool belly = r2 <= 6.0f * 6.0f;
    if (!neck && !belly)
        return kNoInk;
    const bool edge = belly ? r2 > 5.1f * 5.1f && (!neck || v > 9.5f) : u < 9.1f || u > 10.9f;
    if (edge)
        return ink(hex(0x9ab4c8));
    if (segmentDistance(u, v, 7.2f, 11.0f, 8.2f, 9.2f) < 0.6f)
        return ink(hex(0xffffff));
    const float surface = 10.6f + 0.5f * std::sin(u * 1.3f);
    if (v < surface)
        return ink(hex(0xd4e6f0), 0.6f);
    Colour liquid = hex(0xd23cc8);
    if (belly)
        liquid = shadeNormal(liquid, du / 6, dv / 6, std::sqrt(std::max(0.0f, 1 - r2 / 36)), 0.6f);
    return ink(liquid);
}

Ink snail(float u, float v) {
    // Eye stalks, then the shell over the body.
    for (int i = 0; i < 2; ++i) {
        const float bx = 15.0f + 1.6f * i, by = 14.6f, tx = 15.6f + 2.8f * i, ty = 8.8f + 0.9f * i;
        const float eu = u - tx, ev = v - ty;
        if (eu * eu + ev * ev < 1.1f)
            return ink(hex(0x1a1a1a));
        if (segmentDistance(u, v, bx, by, tx, ty) < 0.6f)
            return ink(hex(0x78b45a));
    }
    const float su = u - 8.4f, sv = v - 9.6f;
    const float sr = std::sqrt(su * su + sv * sv);
    if (sr <= 6.4f) {
        if (sr > 5.7f)
            return ink(hex(0x5a2a10));
        const float angle = std::atan2(sv, su) + kPi;
        const float t = sr / 1.9f - angle / (2 * kPi);
        const float f = t - std::floor(t);
        const Colour shell = f < 0.3f ? hex(0xffe0a0) : hex(0xe06a28);
        return ink(shadeNormal(shell, su / 6.4f, sv / 6.4f,
                               std::sqrt(std::max(0.0f, 1 - sr * sr / 41)), 0.6f));
    }
    const float bu = (u - 10.5f) / 8.5f, bv = (v - 15.9f) / 2.6f;
    if (bu * bu + bv * bv <= 1)
        return ink(shadeNormal(hex(0x8cd264), bu, bv, std::sqrt(1 - bu * bu - bv * bv), 0.4f));
    return kNoInk;
}

} // namespace

void paintItem(Canvas& canvas, float ox, float oy, float s, ItemKind kind, bool hard) {
    if (!hard)
        paintCell(
            canvas, ox, oy, s, [](float u, float v) { return shadow(u, v, 10.8f, 18.0f, 7, 1.7f); },
            false);
    switch (kind) {
    case ItemKind::Food:
        paintCell(canvas, ox, oy, s, apple, hard);
        break;
    case ItemKind::Shrink:
        paintCell(canvas, ox, oy, s, potion, hard);
        break;
    case ItemKind::SpeedReset:
        paintCell(canvas, ox, oy, s, snail, hard);
        break;
    case ItemKind::Points:
        paintCell(canvas, ox, oy, s, coin, hard);
        break;
    case ItemKind::Time:
        paintCell(canvas, ox, oy, s, stopwatch, hard);
        break;
    }
}

void paintText(Canvas& canvas, int x, int y, int scale, const std::string& text, Colour fill,
               Colour outline, bool shadow) {
    auto lit = [&](int px, int py) {
        if (px < 0 || py < 0)
            return false;
        const int gx = px / scale, gy = py / scale;
        const int index = gx / (kGlyphWidth + 1);
        if (index >= static_cast<int>(text.size()))
            return false;
        return glyphPixel(text[index], gx % (kGlyphWidth + 1), gy);
    };
    const int w = textWidth(text) * scale, h = kGlyphHeight * scale;
    auto near = [&](int px, int py, int d) {
        for (int j = -d; j <= d; ++j)
            for (int i = -d; i <= d; ++i)
                if (lit(px + i, py + j))
                    return true;
        return false;
    };
    for (int py = -2 * scale; py < h + 3 * scale; ++py)
        for (int px = -2 * scale; px < w + 3 * scale; ++px) {
            if (lit(px, py)) {
                const float t = static_cast<float>(py) / h;
                canvas.set(x + px, y + py, mix(lighter(fill, 0.35f), darker(fill, 0.2f), t));
            } else if (near(px, py, scale)) {
                canvas.set(x + px, y + py, outline);
            } else if (shadow && near(px - scale, py - scale, scale)) {
                canvas.blend(x + px, y + py, {0, 0, 0}, 0.45f);
            }
        }
}
