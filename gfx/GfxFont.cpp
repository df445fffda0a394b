#include "gfx/GfxFont.h"

#include "gfx/GfxTextCache.h"

namespace {

int liveFonts = 0;

} // namespace

void GfxTextMask::findRuns() {
    runs.clear(); // keeps the buffer, so a reused mask does not allocate
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = ink.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < width && row[x])
                ++x;
            runs.push_back({y, left, x - left});
        }
    }
}

GfxFont::GfxFont() {
    ++liveFonts;
}

GfxFont::~GfxFont() {
    --liveFonts;
}

int GfxFont::liveCount() {
    return liveFonts;
}

const GfxTextMask* GfxFont::renderKept(const char* text, int length) const {
    if (!text || length < 0)
        return nullptr;
    GfxTextCache* cache = lines();
    if (!cache) {
        if (!render(text, length, scratch_))
            return nullptr;
        scratch_.findRuns();
        return &scratch_;
    }
    if (const GfxTextMask* kept = cache->find(text, length))
        return kept;
    GfxTextMask& slot = cache->insert(text, length);
    if (!render(text, length, slot)) {
        cache->drop(text, length);
        return nullptr;
    }
    slot.findRuns();
    return &slot;
}

bool GfxFont::measureKept(const char* text, int length, int& width, int& height) const {
    GfxTextCache* cache = lines();
    if (const GfxTextMask* kept = cache && text ? cache->find(text, length) : nullptr) {
        width = kept->width;
        height = kept->height;
        return true;
    }
    return measure(text, length, width, height);
}
