// The application icon: a striped snake winding across a rounded green
// tile, painted at any size with soft edges and a transparent surround.
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/Canvas.h"
#include "tools/artgen/Png.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kPathSegments = 48;
constexpr float kPi = 3.14159265f;
constexpr float kOutline = 0.02f;
constexpr int kBands = 10;
constexpr float kHeadX = 0.76f, kHeadY = 0.5f, kHeadR = 0.115f;
// Heading of the head: along the spine's end, up and to the right.
constexpr float kHeadingX = 0.82f, kHeadingY = -0.57f;
constexpr float kShadowX = 0.025f, kShadowY = 0.035f;
constexpr float kTileInset = 0.03f, kTileCorner = 0.2f;
constexpr Colour kBody1 = hex(0xF2B630), kBody2 = hex(0xB8620F), kLine = hex(0x1B2A12);
constexpr Colour kTileTop = hex(0x3E9B4A), kTileBottom = hex(0x145022);
constexpr Colour kEyeWhite = hex(0xF8F8F0), kPupil = hex(0x101010), kTongue = hex(0xD8262A);

// The eye on one side (-1 or 1) of the head, and its pupil.
void eyeCentre(int side, float& x, float& y) {
    x = kHeadX + 0.035f * kHeadingX + side * 0.055f * -kHeadingY;
    y = kHeadY + 0.035f * kHeadingY + side * 0.055f * kHeadingX;
}

// The forked tongue: its stem from the root to the fork, then two tips.
struct Tongue {
    float rootX, rootY, forkX, forkY, tipX[2], tipY[2];
    static constexpr float kHalfWidth = 0.012f;
    Tongue() {
        rootX = kHeadX + (kHeadR + 0.02f) * kHeadingX;
        rootY = kHeadY + (kHeadR + 0.02f) * kHeadingY;
        forkX = rootX + 0.05f * kHeadingX;
        forkY = rootY + 0.05f * kHeadingY;
        tipX[0] = forkX + 0.035f * (kHeadingX - kHeadingY);
        tipY[0] = forkY + 0.035f * (kHeadingY + kHeadingX);
        tipX[1] = forkX + 0.035f * (kHeadingX + kHeadingY);
        tipY[1] = forkY + 0.035f * (kHeadingY - kHeadingX);
    }
};

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
    constexpr float inset = kTileInset, corner = kTileCorner;
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
    // Tile: a gradient from light green at the top to deep green.
    Colour c = mix(kTileTop, kTileBottom, y);
    float d = 0, t = 0, ox = 0, oy = 0;
    // The snake's shadow falls down and to the right.
    body.nearest(x - kShadowX, y - kShadowY, d, t, ox, oy);
    if (d < bodyRadius(t) || std::hypot(x - kShadowX - kHeadX, y - kShadowY - kHeadY) < kHeadR)
        c = darker(c, 0.4f);

    body.nearest(x, y, d, t, ox, oy);
    const float r = bodyRadius(t);
    const float toHead = std::hypot(x - kHeadX, y - kHeadY);
    if (toHead < kHeadR) {
        c = ball(x, y, kHeadX, kHeadY, kHeadR, kBody1, 0.6f).colour;
        // Two eyes on the upper side of the head, each with a dark pupil.
        for (int side = -1; side <= 1; side += 2) {
            float ex = 0, ey = 0;
            eyeCentre(side, ex, ey);
            if (std::hypot(x - ex, y - ey) < 0.03f)
                c = kEyeWhite;
            if (std::hypot(x - ex - 0.008f * kHeadingX, y - ey - 0.008f * kHeadingY) < 0.016f)
                c = kPupil;
        }
    } else if (toHead < kHeadR + kOutline) {
        c = kLine;
    } else if (d < r) {
        // Bands across the body, shaded as a tube.
        const Colour base = static_cast<int>(t * kBands) % 2 ? kBody2 : kBody1;
        const float nx = ox / r, ny = oy / r;
        c = shadeNormal(base, nx, ny, std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny)), 0.6f);
    } else if (d < r + kOutline) {
        c = kLine;
    } else {
        const Tongue tongue;
        const float w = Tongue::kHalfWidth;
        if (segmentDistance(x, y, tongue.rootX, tongue.rootY, tongue.forkX, tongue.forkY) < w ||
            segmentDistance(x, y, tongue.forkX, tongue.forkY, tongue.tipX[0], tongue.tipY[0]) < w ||
            segmentDistance(x, y, tongue.forkX, tongue.forkY, tongue.tipX[1], tongue.tipY[1]) < w)
            c = kTongue;
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

namespace {

constexpr float kSvgSize = 256;

std::string svgNumber(float unit) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(unit * kSvgSize));
    return text;
}

std::string svgColour(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", channel(c.r), channel(c.g), channel(c.b));
    return text;
}

std::string svgPoint(float x, float y) {
    return svgNumber(x) + "," + svgNumber(y);
}

// A stretch of the body from t0 to t1 as a stroke along the spine, as wide
// as the body in its middle plus grow on each side. Strokes keep the tight
// bends whole, where the body is wider than the bend.
std::string bodyStroke(float t0, float t1, float grow, const std::string& colour, bool roundEnds) {
    constexpr int kSteps = 8;
    std::string points;
    for (int i = 0; i <= kSteps; ++i) {
        float x = 0, y = 0;
        spine(t0 + (t1 - t0) * static_cast<float>(i) / kSteps, x, y);
        points += svgPoint(x, y) + " ";
    }
    return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + colour +
           "\" stroke-width=\"" + svgNumber(2 * (bodyRadius((t0 + t1) / 2) + grow)) +
           "\" stroke-linejoin=\"round\" stroke-linecap=\"" + (roundEnds ? "round" : "butt") +
           "\"/>\n";
}

// The body in bands, each reaching a little into the next so that no seam
// shows at the bends; in one colour (the outline or the shadow) rounded at
// the ends.
std::string body(float grow, const std::string& colour, bool banded) {
    std::string out;
    for (int band = 0; band < kBands; ++band) {
        const float t0 = static_cast<float>(band) / kBands;
        const float t1 = std::min(1.0f, static_cast<float>(band + 1) / kBands + 0.3f / kBands);
        out += bodyStroke(t0, t1, grow, banded ? svgColour(band % 2 ? kBody2 : kBody1) : colour,
                          !banded);
    }
    return out;
}

std::string circle(float x, float y, float r, const std::string& fill) {
    return "<circle cx=\"" + svgNumber(x) + "\" cy=\"" + svgNumber(y) + "\" r=\"" + svgNumber(r) +
           "\" fill=\"" + fill + "\"/>\n";
}

} // namespace

std::string makeIconSvg() {
    const std::string size = svgNumber(1);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      size + "\" height=\"" + size + "\" viewBox=\"0 0 " + size + " " + size +
                      "\">\n<defs>\n"
                      "<linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
                      "<stop offset=\"0\" stop-color=\"" +
                      svgColour(kTileTop) + "\"/><stop offset=\"1\" stop-color=\"" +
                      svgColour(kTileBottom) +
                      "\"/></linearGradient>\n"
                      "<radialGradient id=\"head\" cx=\"0.4\" cy=\"0.35\" r=\"0.7\">"
                      "<stop offset=\"0\" stop-color=\"" +
                      svgColour(lighter(kBody1, 0.6f)) + "\"/><stop offset=\"0.5\" stop-color=\"" +
                      svgColour(kBody1) + "\"/><stop offset=\"1\" stop-color=\"" +
                      svgColour(darker(kBody1, 0.4f)) + "\"/></radialGradient>\n";
    const std::string tile = "x=\"" + svgNumber(kTileInset) + "\" y=\"" + svgNumber(kTileInset) +
                             "\" width=\"" + svgNumber(1 - 2 * kTileInset) + "\" height=\"" +
                             svgNumber(1 - 2 * kTileInset) + "\" rx=\"" + svgNumber(kTileCorner) +
                             "\"";
    svg += "<clipPath id=\"onTile\"><rect " + tile + "/></clipPath>\n</defs>\n";
    svg += "<rect " + tile + " fill=\"url(#tile)\"/>\n<g clip-path=\"url(#onTile)\">\n";
    // The shadow, down and to the right, darkening the tile.
    svg += "<g transform=\"translate(" + svgPoint(kShadowX, kShadowY) + ")\" opacity=\"0.4\">" +
           body(0, "#000000", false) + circle(kHeadX, kHeadY, kHeadR, "#000000") + "</g>\n";
    const Tongue tongue;
    svg += "<polyline points=\"" + svgPoint(tongue.tipX[0], tongue.tipY[0]) + " " +
           svgPoint(tongue.forkX, tongue.forkY) + " " + svgPoint(tongue.tipX[1], tongue.tipY[1]) +
           "\" fill=\"none\" stroke=\"" + svgColour(kTongue) + "\" stroke-width=\"" +
           svgNumber(2 * Tongue::kHalfWidth) + "\" stroke-linecap=\"round\"/>\n";
    svg += "<line x1=\"" + svgNumber(tongue.rootX) + "\" y1=\"" + svgNumber(tongue.rootY) +
           "\" x2=\"" + svgNumber(tongue.forkX) + "\" y2=\"" + svgNumber(tongue.forkY) +
           "\" stroke=\"" + svgColour(kTongue) + "\" stroke-width=\"" +
           svgNumber(2 * Tongue::kHalfWidth) + "\" stroke-linecap=\"round\"/>\n";
    // The body: its outline, then the bands across it, the tail rounded.
    svg += body(kOutline, svgColour(kLine), false) + body(0, "", true);
    float tailX = 0, tailY = 0;
    spine(0, tailX, tailY);
    svg += circle(tailX, tailY, bodyRadius(0.05f), svgColour(kBody1));
    svg += circle(kHeadX, kHeadY, kHeadR + kOutline, svgColour(kLine));
    svg += circle(kHeadX, kHeadY, kHeadR, "url(#head)");
    for (int side = -1; side <= 1; side += 2) {
        float ex = 0, ey = 0;
        eyeCentre(side, ex, ey);
        svg += circle(ex, ey, 0.03f, svgColour(kEyeWhite));
        svg += circle(ex + 0.008f * kHeadingX, ey + 0.008f * kHeadingY, 0.016f, svgColour(kPupil));
    }
    return svg + "</g>\n</svg>\n";
}
