// The full pictures: title screen, logo banner, in-game display strip and
// the high-score stamp.
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/PixelFont.h"

#include <algorithm>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

// A grid of flags with a margin, for shaping lettering.
class Mask {
public:
    Mask(int w, int h) : w_(w), h_(h), bits_(w * h, 0) {}
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w_ && y < h_ && bits_[y * w_ + x];
    }
    void set(int x, int y, bool on) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_)
            bits_[y * w_ + x] = on;
    }
    // Every pixel within distance r of a set pixel (grow) or of a clear
    // pixel (shrink, when grow is false).
    Mask morph(int r, bool grow) const {
        Mask out(w_, h_);
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                bool hit = !grow;
                for (int j = -r; j <= r && hit != grow; ++j)
                    for (int i = -r; i <= r; ++i)
                        if (i * i + j * j <= r * r && at(x + i, y + j) == grow) {
                            hit = grow;
                            break;
                        }
                out.set(x, y, hit);
            }
        return out;
    }

private:
    int w_, h_;
    std::vector<uint8_t> bits_;
};

// Chunky glossy lettering in the pixel font, each font pixel a square of
// cell pixels, with rounded corners, a bevel, an outline and a shadow.
void paintLettering(Canvas& canvas, int x, int y, int cell, const std::string& text, Colour top,
                    Colour bottom) {
    const int margin = 12;
    const int w = textWidth(text) * cell + 2 * margin, h = kGlyphHeight * cell + 2 * margin;
    Mask squares(w, h);
    for (int py = 0; py < kGlyphHeight * cell; ++py)
        for (int px = 0; px < textWidth(text) * cell; ++px) {
            const int gx = px / cell, gy = py / cell;
            const int index = gx / (kGlyphWidth + 1);
            squares.set(px + margin, py + margin,
                        glyphPixel(text[index], gx % (kGlyphWidth + 1), gy));
        }
    // Closing joins the diagonal steps of the font into strokes; opening
    // then rounds the outer corners.
    const int join = std::max(1, cell * 2 / 5), round = std::max(1, cell / 4);
    const Mask letters =
        squares.morph(join, true).morph(join, false).morph(round, false).morph(round, true);
    const Mask outline = letters.morph(std::max(2, cell / 4), true);
    const Mask shadow = outline.morph(1, true);
    const int ox = x - margin, oy = y - margin, drop = std::max(3, cell / 2);
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
            if (shadow.at(px - drop, py - drop))
                canvas.blend(ox + px, oy + py, {0, 0, 0}, 0.5f);
    const int bevel = std::max(1, cell / 5);
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            if (!letters.at(px, py)) {
                if (outline.at(px, py))
                    canvas.set(ox + px, oy + py, darker(bottom, 0.75f));
                continue;
            }
            const float t = static_cast<float>(py - margin) / (kGlyphHeight * cell);
            Colour c = mix(top, bottom, std::clamp(t, 0.0f, 1.0f));
            if (std::fmod(t * kGlyphHeight, 1.0f) < 0.35f)
                c = lighter(c, 0.1f);
            if (!letters.at(px - bevel, py - bevel))
                c = lighter(c, 0.55f);
            else if (!letters.at(px + bevel, py + bevel))
                c = darker(c, 0.35f);
            canvas.set(ox + px, oy + py, c);
        }
}

// A snake lying along a path, tail first, head last.
template <class Path>
void paintSnakeAlong(Canvas& canvas, const SnakeStyle& snake, Path path, int segments, float step,
                     float size, int headDirection) {
    for (int i = 0; i < segments; ++i) {
        const auto [x, y] = path(i * step);
        const float taper = std::min(1.0f, 0.55f + 0.45f * i / 5.0f);
        paintSnakeBody(canvas, x - size / 2, y - size / 2, size, snake, 8.5f * taper, 0, false);
    }
    const auto [hx, hy] = path(segments * step);
    paintSnakeHead(canvas, hx - size / 2, hy - size / 2, size, snake, headDirection, 1, false);
}

void verticalGradient(Canvas& canvas, int y0, int y1, Colour top, Colour bottom) {
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < canvas.width(); ++x)
            canvas.set(x, y, mix(top, bottom, static_cast<float>(y - y0) / (y1 - y0 - 1)));
}

void inset(Canvas& canvas, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (y == y0 || x == x0)
                canvas.blend(x, y, {0, 0, 0}, 0.7f);
            else if (y == y1 - 1 || x == x1 - 1)
                canvas.blend(x, y, {255, 255, 255}, 0.22f);
            else
                canvas.blend(x, y, {0, 0, 0}, 0.42f);
        }
}

Ink flagIcon(float u, float v) {
    if (u > 4 && u < 5.6f && v > 2 && v < 18.5f)
        return ink(hex(0xd0d0d8));
    if (u >= 5.6f && v > 2.5f && v < 11.5f &&
        u < 5.6f + 11 * (1 - std::abs(v - 7) / 4.5f * 0.35f)) {
        const bool check = (static_cast<int>(u / 2.6f) + static_cast<int>(v / 2.6f)) % 2 == 0;
        return ink(check ? hex(0xf8f8f8) : hex(0x202020));
    }
    return kNoInk;
}

Ink trophyIcon(float u, float v, Colour metal) {
    const float du = u - 10;
    if (v > 2 && v < 10.5f && std::abs(du) < 6.5f - (v - 2) * 0.35f)
        return ink(shadeNormal(metal, du / 7, 0, std::sqrt(1 - du * du / 49), 0.9f));
    if (v >= 3 && v < 8 && std::abs(std::abs(du) - 6.8f) < 1.0f)
        return ink(darker(metal, 0.15f));
    if (v >= 10.5f && v < 14 && std::abs(du) < 1.4f)
        return ink(darker(metal, 0.1f));
    if (v >= 14 && v < 18 && std::abs(du) < 5)
        return ink(v < 15.2f ? lighter(metal, 0.2f) : darker(metal, 0.3f));
    return kNoInk;
}

Ink crownIcon(float u, float v) {
    const Colour gold = hex(0xffd23c);
    if (v > 12 && v < 16.5f && u > 2.5f && u < 17.5f)
        return ink(v < 13.4f ? lighter(gold, 0.35f) : gold);
    for (float px : {3.0f, 10.0f, 17.0f}) {
        const float top = px == 10 ? 3.0f : 5.5f;
        if (v >= top && v <= 12.5f && std::abs(u - px) < (v - top) * 0.75f + 0.5f)
            return ink(mix(lighter(gold, 0.3f), darker(gold, 0.2f), (v - top) / 9));
        const Ink b = ball(u, v, px, top - 1, 1.3f, hex(0xe03040), 0.9f);
        if (b.alpha > 0)
            return b;
    }
    return kNoInk;
}

Ink arrowIcon(float u, float v) {
    const Colour green = hex(0x50dc50);
    if (v > 2.5f && v < 10 && std::abs(u - 10) < (v - 2.5f) * 0.95f)
        return ink(mix(lighter(green, 0.3f), green, (v - 2.5f) / 7.5f));
    if (v >= 10 && v < 17.5f && std::abs(u - 10) < 2.6f)
        return ink(darker(green, 0.15f));
    return kNoInk;
}

void paintBand(Canvas& canvas, int y0, bool leader) {
    const Colour top = leader ? hex(0x8a5e14) : hex(0x2c3256);
    const Colour bottom = leader ? hex(0x3a2404) : hex(0x0e1020);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 640; ++x) {
            Colour c = mix(top, bottom, y / 19.0f);
            if (y == 0)
                c = lighter(c, 0.35f);
            else if (y == 19)
                c = Colour{0, 0, 0};
            canvas.set(x, y0 + y, c);
        }
    const int panels[][2] = {{22, 58}, {82, 120}, {139, 184}, {188, 348}, {369, 481}};
    for (const auto& p : panels)
        inset(canvas, p[0], y0 + 2, p[1], y0 + 18);
    const float iy = static_cast<float>(y0) + 1.5f;
    paintSnakeHead(canvas, 4, iy, 17, defaultSnake(), 1, 0, false);
    paintItem(canvas, 64, iy, 17, ItemKind::Time, true);
    paintItem(canvas, 121, iy, 17, ItemKind::Food, true);
    paintCell(canvas, 170, iy, 17, flagIcon, false);
    paintItem(canvas, 351, iy, 17, ItemKind::Points, true);
    if (leader) {
        paintCell(canvas, 488, iy - 0.5f, 18, crownIcon, false);
        paintText(canvas, 512, y0 + 3, 2, "1ST PLACE!", hex(0xffe678), hex(0x3a2000), false);
    } else {
        inset(canvas, 503, y0 + 2, 560, y0 + 18);
        inset(canvas, 582, y0 + 2, 638, y0 + 18);
        paintCell(
            canvas, 485, iy, 17, [](float u, float v) { return trophyIcon(u, v, hex(0xd0d4dc)); },
            false);
        paintCell(canvas, 564, iy, 17, arrowIcon, false);
    }
}

// A sky of small stars, denser and brighter towards the top.
void paintStars(Canvas& canvas, int y1, uint32_t seed) {
    for (int y = 0; y < y1; ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const float h = hashNoise(x, y, seed);
            const float fade = 1 - static_cast<float>(y) / y1;
            if (h < 1 - 0.004f * fade)
                continue;
            const float bright = 0.35f + 0.65f * hashNoise(x, y, seed + 1);
            const Colour star = mix(hex(0xa8c8ff), hex(0xfff4d0), hashNoise(x, y, seed + 2));
            canvas.blend(x, y, star, bright * fade);
            if (bright > 0.9f)
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    canvas.blend(x + dx, y + dy, star, 0.35f * fade);
        }
}

// A soft elliptic light around (cx, cy).
void paintGlow(Canvas& canvas, float cx, float cy, float rx, float ry, Colour light,
               float strength) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const float dx = (x - cx) / rx, dy = (y - cy) / ry;
            const float d = dx * dx + dy * dy;
            if (d < 1)
                canvas.blend(x, y, light, strength * (1 - d) * (1 - d));
        }
}

// One block of a zone's sheet, darkened, at (x, y).
void paintBlock(Canvas& canvas, const RgbImage& sheet, int block, int x, int y, float shade) {
    for (int j = 0; j < 20; ++j)
        for (int i = 0; i < 20; ++i) {
            const Rgb p = sheet.at(block % 16 * 20 + i, block / 16 * 20 + j);
            if (x + i >= 0 && y + j >= 0 && x + i < canvas.width() && y + j < canvas.height())
                canvas.set(x + i, y + j, darker(toColour(p), shade));
        }
}

// A polished metal frame around the rectangle x0..x1, y0..y1 (its inside
// is left alone), with rivets along its long edges.
void paintBezel(Canvas& canvas, int x0, int y0, int x1, int y1, int thickness) {
    for (int y = y0 - thickness; y < y1 + thickness; ++y)
        for (int x = x0 - thickness; x < x1 + thickness; ++x) {
            if (x >= x0 && x < x1 && y >= y0 && y < y1)
                continue;
            if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height())
                continue;
            const bool top = y < y0, bottom = y >= y1;
            const float across = top      ? static_cast<float>(y - (y0 - thickness)) / thickness
                                 : bottom ? static_cast<float>(y - y1) / thickness
                                          : static_cast<float>(x - x1) / thickness;
            Colour c = mix(hex(0xd8dde8), hex(0x4a5060), across);
            if (bottom)
                c = mix(hex(0x8890a0), hex(0x1e2230), across);
            if (std::abs(across - 0.5f) < 0.12f)
                c = lighter(c, 0.25f);
            canvas.set(x, y, c);
        }
    for (int x = x0 + 14; x < x1 - 6; x += 48)
        for (int y : {y0 - thickness / 2, y1 + thickness / 2 - 1}) {
            const int cx = x, cy = y;
            paintCell(
                canvas, cx - 2.5f, cy - 2.5f, 5,
                [](float u, float v) { return ball(u, v, 10, 10, 8, hex(0xb8c0d0), 0.9f); }, false);
        }
}

} // namespace

RgbImage makeTitlePicture() {
    Canvas canvas(640, 480, Colour{});
    const ZoneTheme& meadow = zoneThemes()[0];
    const RgbImage blocks = makeBlockSheet(meadow);

    // Night sky above, the dark field of play below the horizon.
    verticalGradient(canvas, 0, 180, hex(0x1c0e44), hex(0x123a52));
    paintStars(canvas, 180, 91);
    paintGlow(canvas, 215, 62, 300, 120, hex(0x7ad27a), 0.22f);
    paintGlow(canvas, 530, 40, 200, 160, hex(0x9a6ad8), 0.12f);
    // The field: the first zone's grass, deep in the night's shade, darkest
    // in the middle where the information panels show.
    for (int y = 172; y < 480; y += 20)
        for (int x = 0; x < 640; x += 20)
            paintBlock(canvas, blocks, 1, x, y, 0.62f);
    for (int y = 172; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const float dx = (x - 320) / 300.0f, dy = (y - 320) / 150.0f;
            const float d = std::min(1.0f, dx * dx + dy * dy);
            canvas.set(x, y, darker(canvas.get(x, y), 0.78f * (1 - d) + 0.25f * d));
            if (x % 20 == 0 || y % 20 == 12)
                canvas.blend(x, y, {0, 0, 0}, 0.25f);
        }
    // A hedge along the horizon, a wall of stone down each side.
    for (int x = 0; x < 640; x += 20)
        paintBlock(canvas, blocks, 0, x, 172, 0.45f);
    for (int y = 192; y < 480; y += 20) {
        paintBlock(canvas, blocks, 3, 0, y, 0.35f);
        paintBlock(canvas, blocks, 3, 620, y, 0.35f);
    }
    for (int x = 0; x < 640; ++x)
        for (int j = 0; j < 8; ++j)
            canvas.blend(x, 192 + j, {0, 0, 0}, 0.5f * (1 - j / 8.0f));
    for (int y = 192; y < 480; ++y)
        for (int j = 0; j < 6; ++j) {
            canvas.blend(20 + j, y, {0, 0, 0}, 0.45f * (1 - j / 6.0f));
            canvas.blend(619 - j, y, {0, 0, 0}, 0.45f * (1 - j / 6.0f));
        }

    // Along the bottom a snake closes in on its supper.
    paintSnakeAlong(
        canvas, meadow.snake,
        [](float t) {
            return std::pair{34 + t, 468 + 4 * std::sin(t / 30)};
        },
        30, 12, 20, 1);
    paintItem(canvas, 34 + 31 * 12 + 18, 457, 22, ItemKind::Food);
    paintItem(canvas, 488, 457, 22, ItemKind::Points);
    paintItem(canvas, 530, 457, 22, ItemKind::Time);
    paintItem(canvas, 574, 457, 22, ItemKind::Shrink);
    paintItem(canvas, 28, 200, 20, ItemKind::SpeedReset);

    // Fireflies over the field, and items by the walls.
    for (int i = 0; i < 60; ++i) {
        const float fx = 30 + 580 * hashNoise(i, 1, 5), fy = 200 + 250 * hashNoise(i, 2, 5);
        const float edge = std::abs(fx - 320) / 290;
        if (edge < 0.8f)
            continue;
        paintGlow(canvas, fx, fy, 6, 6, hex(0xf0ff80), 0.5f);
        canvas.blend(static_cast<int>(fx), static_cast<int>(fy), hex(0xffffd0), 0.9f);
    }
    paintItem(canvas, 592, 370, 22, ItemKind::Food);
    paintItem(canvas, 24, 300, 20, ItemKind::Points);
    // A second snake climbs the right wall towards the apple.
    paintSnakeAlong(
        canvas, zoneThemes()[2].snake,
        [](float t) {
            return std::pair{603 + 5 * std::sin(t / 18), 490 - t};
        },
        7, 12, 22, 0);

    // The name in its own light, and the subtitle.
    paintLettering(canvas, 14, 20, 10, "LURVANE", hex(0xfff58c), hex(0x28a040));
    paintText(canvas, 14 + (410 - textWidth("THE SNAKE ARCADE") * 2) / 2, 112, 2,
              "THE SNAKE ARCADE", hex(0xa0e0ff), hex(0x0a1830), true);

    // The frame of the scrolling welcome band.
    paintBezel(canvas, 0, 140, 429, 170, 5);
    canvas.fillRect(0, 140, 429, 30, Colour{});
    return canvas.toImage();
}

RgbImage makeLogo() {
    Canvas canvas(640, 100, Colour{});
    verticalGradient(canvas, 0, 94, hex(0x1c0e44), hex(0x123a52));
    paintStars(canvas, 94, 17);
    paintGlow(canvas, 320, 48, 260, 60, hex(0x7ad27a), 0.25f);
    for (int x = 0; x < 640; ++x) {
        canvas.set(x, 94, hex(0x50c850));
        canvas.set(x, 95, hex(0x2a7a2e));
        for (int y = 96; y < 100; ++y)
            canvas.set(x, y, hex(0x040a10));
    }
    const int cell = 8, width = textWidth("LURVANE") * cell;
    paintLettering(canvas, (640 - width) / 2, 20, cell, "LURVANE", hex(0xfff58c), hex(0x28a040));
    paintSnakeAlong(
        canvas, defaultSnake(),
        [](float t) {
            return std::pair{20 + t, 50 + 12 * std::sin(t / 16)};
        },
        7, 12, 22, 1);
    paintItem(canvas, 124, 38, 22, ItemKind::Food);
    paintItem(canvas, 500, 38, 22, ItemKind::Points);
    paintSnakeAlong(
        canvas, zoneThemes()[6].snake,
        [](float t) {
            return std::pair{620 - t, 50 + 12 * std::sin(t / 16)};
        },
        7, 12, 22, 3);
    return canvas.toImage();
}

RgbImage makeScoreStrip() {
    Canvas canvas(640, 40, Colour{});
    paintBand(canvas, 0, false);
    paintBand(canvas, 20, true);
    return canvas.toImage();
}

RgbImage makeGoodScore() {
    const int w = 168, h = 84;
    Canvas canvas(w, h, toColour(kGoodScoreKey));
    const float cx = w / 2.0f, cy = h / 2.0f;
    auto radiusAt = [](float angle) {
        const float spikes = 0.5f + 0.5f * std::cos(angle * 18);
        return 0.82f + 0.18f * spikes;
    };
    canvas.paint(
        0, 0, w, h,
        [&](float x, float y) {
            const float dx = (x - cx) / 82, dy = (y - cy) / 40;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float edge = radiusAt(std::atan2(dy, dx));
            if (r > edge)
                return kNoInk;
            if (r > edge - 0.06f)
                return ink(hex(0x8a1808));
            return ink(mix(hex(0xfff07a), hex(0xf07814), std::min(1.0f, r / edge * 1.1f)));
        },
        true);
    paintText(canvas, static_cast<int>(cx) - (textWidth("HIGH") * 3) / 2, 14, 3, "HIGH",
              hex(0xffffff), hex(0x8a1808), false);
    paintText(canvas, static_cast<int>(cx) - (textWidth("SCORE!") * 3) / 2, 44, 3, "SCORE!",
              hex(0xffffff), hex(0x8a1808), false);
    return canvas.toKeyedImage(kGoodScoreKey);
}
