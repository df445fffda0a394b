#include "tools/artgen/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

namespace {

struct Weighted {
    Rgb c;
    uint64_t weight;
};

int component(const Rgb& c, int axis) {
    return axis == 0 ? c.r : axis == 1 ? c.g : c.b;
}

struct Box {
    std::vector<Weighted> colours;
    uint64_t weight = 0;
    int longestAxis = 0;
    int range = 0;

    void measure() {
        weight = 0;
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        for (const Weighted& w : colours) {
            weight += w.weight;
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], component(w.c, a));
                hi[a] = std::max(hi[a], component(w.c, a));
            }
        }
        range = -1;
        for (int a = 0; a < 3; ++a)
            if (hi[a] - lo[a] > range) {
                range = hi[a] - lo[a];
                longestAxis = a;
            }
    }
    Rgb mean() const {
        uint64_t sum[3] = {0, 0, 0};
        for (const Weighted& w : colours)
            for (int a = 0; a < 3; ++a)
                sum[a] += component(w.c, a) * w.weight;
        auto avg = [&](int a) { return static_cast<uint8_t>((sum[a] + weight / 2) / weight); };
        return Rgb{avg(0), avg(1), avg(2)};
    }
};

} // namespace

std::vector<Rgb> buildPalette(const std::vector<const RgbImage*>& pictures,
                              const std::vector<Rgb>& fixed) {
    std::map<uint32_t, uint64_t> histogram;
    for (const RgbImage* picture : pictures) {
        const uint64_t share = (uint64_t{1} << 32) / picture->pixels.size();
        for (const Rgb& p : picture->pixels)
            histogram[p.colorRef()] += share;
    }
    Box all;
    for (const auto& [colour, weight] : histogram)
        all.colours.push_back({rgbOf(colour), weight});
    all.measure();
    std::vector<Box> boxes{all};
    const size_t wanted = 256 - fixed.size();
    while (boxes.size() < wanted) {
        // Split the box whose colours spread widest, weighted by how much
        // of the pictures they cover.
        int best = -1;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2)
                continue;
            const double score = static_cast<double>(boxes[i].range) * boxes[i].range *
                                 std::sqrt(static_cast<double>(boxes[i].weight));
            if (best < 0 || score > bestScore) {
                best = static_cast<int>(i);
                bestScore = score;
            }
        }
        if (best < 0)
            break;
        Box& box = boxes[best];
        const int axis = box.longestAxis;
        std::sort(box.colours.begin(), box.colours.end(),
                  [axis](const Weighted& a, const Weighted& b) {
                      const int ca = component(a.c, axis), cb = component(b.c, axis);
                      return ca != cb ? ca < cb : a.c.colorRef() < b.c.colorRef();
                  });
        uint64_t half = 0;
        size_t cut = 0;
        while (cut < box.colours.size() - 1 && half + box.colours[cut].weight <= box.weight / 2)
            half += box.colours[cut++].weight;
        cut = std::max<size_t>(cut, 1);
        Box upper;
        upper.colours.assign(box.colours.begin() + cut, box.colours.end());
        box.colours.resize(cut);
        box.measure();
        upper.measure();
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> palette = fixed;
    for (const Box& box : boxes)
        palette.push_back(box.mean());
    palette.resize(256, Rgb{});
    return palette;
}

int nearestIndex(const std::vector<Rgb>& palette, Rgb c) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        // Green counts most for the eye, blue least.
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

IndexedImage toIndexed(const RgbImage& image, const std::vector<Rgb>& palette) {
    IndexedImage out;
    out.width = image.width;
    out.height = image.height;
    out.palette = palette;
    out.pixels.resize(image.pixels.size());
    std::map<uint32_t, uint8_t> cache;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t key = image.pixels[i].colorRef();
        auto it = cache.find(key);
        if (it == cache.end())
            it = cache.emplace(key, static_cast<uint8_t>(nearestIndex(palette, image.pixels[i])))
                     .first;
        out.pixels[i] = it->second;
    }
    return out;
}
