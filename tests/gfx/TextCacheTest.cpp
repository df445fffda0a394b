// Rendered lines kept per face: the cache's bound and order, rendering only
// on a miss, and text drawn from kept lines exactly as rendered afresh.
#include "gfx/GfxFont.h"
#include "gfx/GfxTextCache.h"
#include "tests/support/Golden.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// A font whose glyphs are a 1-pixel-wide bar per character, inked in the
// rows of the bits of its digit, counting how often it renders and measures.
class CountingFont : public GfxFont {
public:
    CountingFont(int capacity, bool keeps) : cache(capacity), keeps_(keeps) {}
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
                if (((text[i] - '0') >> y) & 1)
                    mask.ink[static_cast<size_t>(y * mask.width + 2 * i)] = 1;
        return true;
    }
    mutable int renders = 0, measures = 0;
    mutable GfxTextCache cache;

protected:
    GfxTextCache* lines() const override { return keeps_ ? &cache : nullptr; }

private:
    bool keeps_;
};

// Runs a script of space-separated steps, an operation and a text ("~" is
// no text; "T:n" is the first n bytes of T): +T keep T (its width counts the
// insertions), ?T find, -T drop, ! clear, rT render and mT measure through
// the font. Keeping, dropping and clearing give the number of kept lines.
std::string run(CountingFont& font, const std::string& script) {
    std::istringstream steps(script);
    std::string out, step;
    int inserted = 0, w = 0, h = 0;
    while (steps >> step) {
        std::string text = step.substr(1);
        int length = static_cast<int>(text.size());
        if (const size_t colon = text.find(':'); colon != std::string::npos) {
            length = std::stoi(text.substr(colon + 1));
            text.resize(colon);
        }
        const char* t = text == "~" ? nullptr : text.c_str();
        GfxTextCache& cache = font.cache;
        const GfxTextMask* mask = nullptr;
        out += " " + step + "=";
        if (step[0] == '+') {
            GfxTextMask& slot = cache.insert(t, length);
            slot.width = ++inserted;
            if (slot.ink.capacity() < GfxTextCache::kReservedInk ||
                slot.runs.capacity() < GfxTextCache::kReservedRuns)
                out += "unreserved";
        } else if (step[0] == '?') {
            mask = cache.find(t, length);
        } else if (step[0] == '-') {
            cache.drop(t, length);
        } else if (step[0] == '!') {
            cache.clear();
        } else if (step[0] == 'r') {
            mask = font.renderKept(t, length);
            out += "renders" + std::to_string(font.renders) + "/";
        } else {
            const bool measured = font.measureKept(t, length, w, h);
            out += (measured ? std::to_string(w) + "x" + std::to_string(h) : "false") +
                   "/measures" + std::to_string(font.measures);
            continue;
        }
        if (step[0] == '?' || step[0] == 'r')
            out += mask ? std::to_string(mask->width) + "/runs" + std::to_string(mask->runs.size())
                        : "none";
        else
            out += std::to_string(cache.size());
    }
    return out;
}

} // namespace

TEST(GfxTextCache, ScriptsOfKeepingFindingDroppingRenderingAndMeasuring) {
    const struct {
        int capacity;
        bool keeps;
        const char* script;
    } scripts[] = {
        // "abc:2" is keyed by its first two bytes; a prefix is other text;
        // empty text is text like any other, no text is none.
        {3, true,
         "+a +bb +abc:2 ?a ?ab ?abc ?b +c ?bb ?c ?a -c ?c -zz +d ?ab ?a ! ?a + ? ?~ -~ - ?"},
        // At least one slot, each with room for an ordinary line up front.
        {0, true, "+x +y ?x ?y"},
        {-3, true, "+x +y ?x ?y"},
        {1, true, "+x +y ?x ?y"},
        // A kept line is rendered and measured once; a failed one is not kept.
        {2, true, "rScore rScore mScore mTime r12 r13 rScore r!x r!x r~ r r"},
        // A slot taken over by other text lists only that text's ink.
        {1, true, "r777 r1"},
        // A font that keeps nothing renders every time.
        {0, false, "r305 r305 mab m~"},
    };
    std::string transcript;
    for (const auto& s : scripts) {
        CountingFont font(s.capacity, s.keeps);
        transcript += "capacity " + std::to_string(font.cache.capacity()) +
                      (s.keeps ? " kept:" : " none:") + run(font, s.script) + "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/textcache.txt", transcript);
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
