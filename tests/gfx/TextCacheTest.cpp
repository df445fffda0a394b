// Rendered lines kept per face: the cache's bound and order, rendering only
// on a miss, and text drawn from kept lines exactly as rendered afresh.
#include "gfx/GfxFont.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/GfxTextCache.h"
#include "tests/support/DepthPlatform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A font whose every glyph is a 1-pixel-wide bar per byte, counting how
// often it renders and measures.
class CountingFont : public GfxFont {
public:
    // Capacity 0: a font that keeps nothing.
    explicit CountingFont(int capacity) : cache_(capacity), keeps_(capacity > 0) {}
    bool reopen(const char*, int, int, int) override { return true; }
    bool measure(const char* text, int length, int& width, int& height) const override {
        ++measures;
        width = 2 * length;
        height = 3;
        return text != nullptr;
    }
    bool render(const char* text, int length, GfxTextMask& mask) const override {
        ++renders;
        if (length > 0 && text[0] == '!')
            return false;
        mask.width = 2 * length;
        mask.height = 3;
        mask.ink.assign(static_cast<size_t>(mask.width) * 3, 0);
        for (int i = 0; i < length; ++i)
            for (int y = 0; y < 3; ++y)
                if ((text[i] >> y) & 1)
                    mask.ink[static_cast<size_t>(y * mask.width + 2 * i)] = 1;
        return true;
    }
    mutable int renders = 0, measures = 0;

protected:
    GfxTextCache* lines() const override { return keeps_ ? &cache_ : nullptr; }

private:
    mutable GfxTextCache cache_;
    bool keeps_;
};

} // namespace

TEST(GfxTextCache, KeepsABoundedNumberOfLinesDroppingTheLeastRecentlyUsed) {
    GfxTextCache cache(3);
    EXPECT_EQ(cache.capacity(), 3);
    EXPECT_EQ(cache.find("a", 1), nullptr);
    cache.insert("a", 1).width = 1;
    cache.insert("bb", 2).width = 2;
    cache.insert("abc", 2).width = 3; // keyed by its first two bytes: "ab"
    EXPECT_EQ(cache.size(), 3);
    ASSERT_NE(cache.find("a", 1), nullptr); // "a" is now the most recent
    EXPECT_EQ(cache.find("a", 1)->width, 1);
    EXPECT_EQ(cache.find("ab", 2)->width, 3);
    EXPECT_EQ(cache.find("abc", 3), nullptr);
    EXPECT_EQ(cache.find("b", 1), nullptr); // a prefix is other text

    cache.insert("c", 1).width = 4; // "bb" was used longest ago
    EXPECT_EQ(cache.size(), 3);
    EXPECT_EQ(cache.find("bb", 2), nullptr);
    EXPECT_EQ(cache.find("c", 1)->width, 4);
    EXPECT_EQ(cache.find("a", 1)->width, 1);

    cache.drop("c", 1);
    EXPECT_EQ(cache.size(), 2);
    EXPECT_EQ(cache.find("c", 1), nullptr);
    cache.drop("zz", 2); // not kept: nothing changes
    EXPECT_EQ(cache.size(), 2);
    cache.insert("d", 1).width = 5; // takes the free slot, keeps the rest
    EXPECT_NE(cache.find("ab", 2), nullptr);
    EXPECT_NE(cache.find("a", 1), nullptr);
    cache.clear();
    EXPECT_EQ(cache.size(), 0);
    EXPECT_EQ(cache.find("a", 1), nullptr);

    // Empty text is text like any other; no text is none.
    cache.insert("", 0).width = 6;
    ASSERT_NE(cache.find("", 0), nullptr);
    EXPECT_EQ(cache.find(nullptr, 0), nullptr);
    cache.drop(nullptr, 0);
    EXPECT_EQ(cache.size(), 1);
    cache.drop("", 0);
    EXPECT_EQ(cache.size(), 0);
    EXPECT_EQ(cache.find("", 0), nullptr);

    // At least one slot, and every slot has room for an ordinary line
    // before it is first used.
    for (int capacity : {0, -3, 1}) {
        GfxTextCache small(capacity);
        EXPECT_EQ(small.capacity(), 1) << capacity;
        GfxTextMask& slot = small.insert("x", 1);
        EXPECT_GE(slot.ink.capacity(), GfxTextCache::kReservedInk);
        EXPECT_GE(slot.runs.capacity(), GfxTextCache::kReservedRuns);
        small.insert("y", 1);
        EXPECT_EQ(small.find("x", 1), nullptr);
        EXPECT_NE(small.find("y", 1), nullptr);
        EXPECT_EQ(small.size(), 1);
    }
}

TEST(GfxTextCache, AFontRendersEachLineOnceWhileItIsKept) {
    CountingFont font(2);
    const GfxTextMask* first = font.renderKept("Score", 5);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width, 10);
    EXPECT_EQ(font.renderKept("Score", 5), first);
    EXPECT_EQ(font.renders, 1);
    // Measuring a kept line needs no measuring by the face.
    int w = 0, h = 0;
    EXPECT_TRUE(font.measureKept("Score", 5, w, h));
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(font.measures, 0);
    EXPECT_TRUE(font.measureKept("Time", 4, w, h));
    EXPECT_EQ(w, 8);
    EXPECT_EQ(font.measures, 1);

    font.renderKept("12", 2);
    font.renderKept("13", 2); // the bound of 2 drops "Score"
    EXPECT_EQ(font.renders, 3);
    font.renderKept("Score", 5);
    EXPECT_EQ(font.renders, 4);
    // A failed rendering is not kept.
    EXPECT_EQ(font.renderKept("!x", 2), nullptr);
    EXPECT_EQ(font.renderKept("!x", 2), nullptr);
    EXPECT_EQ(font.renders, 6);
    EXPECT_EQ(font.renderKept(nullptr, 0), nullptr);
    ASSERT_NE(font.renderKept("", 0), nullptr);
    EXPECT_EQ(font.renderKept("", 0)->width, 0);

    // A slot taken over by other text lists only that text's ink.
    CountingFont one(1);
    one.renderKept("\x07\x07\x07", 3);
    const GfxTextMask* other = one.renderKept("\x01", 1);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->runs.size(), 1u);

    // A font that keeps nothing renders every time, with the runs listed.
    CountingFont none(0);
    const GfxTextMask* mask = none.renderKept("\x03\x00\x05", 3);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->runs.size(), 4u);
    none.renderKept("\x03\x00\x05", 3);
    EXPECT_EQ(none.renders, 2);
    EXPECT_TRUE(none.measureKept("ab", 2, w, h));
    EXPECT_EQ(w, 4);
    EXPECT_FALSE(none.measureKept(nullptr, 0, w, h));
}

TEST(GfxTextCache, InkRunsCoverExactlyTheInk) {
    GfxTextMask mask;
    mask.width = 6;
    mask.height = 2;
    // The first row's last run stops at the row's end, though the next row
    // starts with ink.
    mask.ink = {1, 1, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1};
    mask.findRuns();
    std::string runs; // row, left, length
    for (const auto& run : mask.runs)
        runs +=
            std::to_string(run.row) + std::to_string(run.left) + std::to_string(run.length) + " ";
    EXPECT_EQ(runs, "002 031 051 101 142 ");
}
