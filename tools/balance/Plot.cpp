// The difficulty of every level, zone after zone: one line per skill (the
// players' failure rate) and the planner's share of the clock on Hard.
#include "tools/artgen/PixelFont.h"
#include "tools/artgen/Png.h"
#include "tools/balance/Balance.h"

#include <zlib.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kWidth = 800, kHeight = 420;
constexpr int kLeft = 50, kRight = 20, kTop = 40, kBottom = 60;
constexpr uint32_t kBackground = 0xFF101418, kAxis = 0xFF808890, kGrid = 0xFF283038;
constexpr uint32_t kSkillColours[kSkills] = {0xFF50C850, 0xFFE0C040, 0xFFE05040};
constexpr uint32_t kPlannerColour = 0xFFB0B0FF;

struct Plot {
    RgbaImage image;
    void set(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < image.width && y < image.height)
            image.pixels[static_cast<size_t>(y * image.width + x)] = c;
    }
    void line(int x0, int y0, int x1, int y1, uint32_t c, bool dashed = false) {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (int n = 0;; ++n) {
            if (!dashed || n % 6 < 4) {
                set(x0, y0, c);
                set(x0, y0 + 1, c);
            }
            if (x0 == x1 && y0 == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void text(int x, int y, const std::string& s, uint32_t c) {
        for (size_t i = 0; i < s.size(); ++i)
            for (int gy = 0; gy < kGlyphHeight; ++gy)
                for (int gx = 0; gx < kGlyphWidth; ++gx)
                    if (glyphPixel(s[i], gx, gy))
                        set(x + static_cast<int>(i) * (kGlyphWidth + 1) + gx, y + gy, c);
    }
};

// The plot's few colours deflate from over a megabyte to kilobytes; stored
// blocks where zlib fails.
std::vector<uint8_t> zlibDeflated(const std::vector<uint8_t>& raw) {
    uLongf packed = compressBound(raw.size());
    std::vector<uint8_t> out(packed);
    if (compress2(out.data(), &packed, raw.data(), raw.size(), 9) != Z_OK)
        return zlibStored(raw);
    out.resize(packed);
    return out;
}

int yOf(double value) {
    const int h = kHeight - kTop - kBottom;
    return kTop + h - static_cast<int>(std::lround(value * h));
}

} // namespace

std::vector<uint8_t> plotDifficulty(const std::vector<ZoneResult>& zones) {
    Plot p;
    p.image.width = kWidth;
    p.image.height = kHeight;
    p.image.pixels.assign(static_cast<size_t>(kWidth * kHeight), kBackground);

    size_t count = 0;
    for (const ZoneResult& zone : zones)
        count += zone.levels.size();
    const int w = kWidth - kLeft - kRight;
    auto xOf = [&](size_t i) {
        return kLeft + static_cast<int>((static_cast<double>(i) + 0.5) * w /
                                        static_cast<double>(count ? count : 1));
    };

    for (int pct = 0; pct <= 100; pct += 25) {
        p.line(kLeft, yOf(pct / 100.0), kWidth - kRight, yOf(pct / 100.0), kGrid);
        p.text(8, yOf(pct / 100.0) - 3, std::to_string(pct) + "%", kAxis);
    }
    size_t first = 0;
    for (const ZoneResult& zone : zones) {
        const int x = kLeft + static_cast<int>(static_cast<double>(first) * w /
                                               static_cast<double>(count ? count : 1));
        p.line(x, kTop, x, kHeight - kBottom, kAxis);
        p.text(x + 3, kHeight - kBottom + 8, zone.name.substr(0, 8), kAxis);
        p.text(x + 3, kHeight - kBottom + 18, std::to_string(zone.rating), kAxis);
        first += zone.levels.size();
    }
    p.line(kLeft, kHeight - kBottom, kWidth - kRight, kHeight - kBottom, kAxis);

    for (int series = 0; series <= kSkills; ++series) {
        size_t i = 0;
        int px = -1, py = -1;
        for (const ZoneResult& zone : zones)
            for (const LevelResult& level : zone.levels) {
                const double value = series < kSkills ? 1 - level.skill[series].meanClearRate()
                                                      : level.skill[2].timeShare();
                const int x = xOf(i++), y = yOf(value > 1 ? 1 : value);
                const uint32_t colour = series < kSkills ? kSkillColours[series] : kPlannerColour;
                if (px >= 0)
                    p.line(px, py, x, y, colour, series == kSkills);
                for (int d = -2; d <= 2; ++d)
                    p.line(x - 2, y + d, x + 2, y + d, colour);
                px = x;
                py = y;
            }
    }
    p.text(kLeft, 10, "FAILED TRIES:", kAxis);
    static const char* const kNames[kSkills] = {"EASY", "NORMAL", "HARD"};
    for (int s = 0; s < kSkills; ++s)
        p.text(kLeft + 90 + 70 * s, 10, kNames[s], kSkillColours[s]);
    p.text(kLeft + 320, 10, "- - PLANNER'S SHARE OF THE CLOCK ON HARD", kPlannerColour);
    p.text(kLeft, kHeight - 20, "LEVELS ALONG THE ZONE ORDER (ZONE, SKILL RATING)", kAxis);
    return encodePng(p.image, zlibDeflated);
}
