// Rendered lines kept per face: the cache's bound and order, rendering only on a miss.
#include "gfx/GfxFont.h"
#include "gfx/GfxTextCache.h"
#include "tests/support/Golden.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

namespace {

// Glyphs 2 pixels wide inked in the rows of their digit's bits; renders and measures counted.
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
                    mask.ink[static_cast<size_t>(y * mask.width + 2 * i)] =
                        mask.ink[static_cast<size_t>(y * mask.width + 2 * i + 1)] = 1;
        return true;
    }
    mutable int renders = 0, measures = 0;
    mutable GfxTextCache cache;

protected:
    GfxTextCache* lines() const override { return keeps_ ? &cache : nullptr; }

private:
    bool keeps_;
};

// Steps: +T keep T (width: the insertions so far), ?T find, -T drop, ! clear, rT render, mT
// measure; "~" is no text, "T:n" the first n bytes of T. Keeping and dropping give the size.
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
            out += mask ? std::to_string(mask->width) + "/runs" : "none";
        else
            out += std::to_string(cache.size());
        for (size_t i = 0; mask && i < mask->runs.size(); ++i) // row, left, length
            out += "," + std::to_string(mask->runs[i].row) + std::to_string(mask->runs[i].left) +
                   std::to_string(mask->runs[i].length);
    }
    return out;
}

} // namespace

TEST(GfxTextCache, ScriptsOfKeepingFindingDroppingRenderingAndMeasuring) {
    const std::tuple<int, bool, const char*> scripts[] = {
        // "abc:2" is keyed by "ab"; a prefix is other text; empty text is text, none is not.
        {3, true,
         "+a +bb +abc:2 ?a ?ab ?abc ?b +c ?bb ?c ?a -c ?c -zz +d ?ab ?a ! ?a + ? ?~ -~ - ?"},
        // At least one slot, each with room for an ordinary line up front.
        {0, true, "+x +y ?x ?y"},
        {-3, true, "+x +y ?x ?y"},
        {1, true, "+x +y ?x ?y"},
        // A kept line is rendered and measured once; a failed one is not kept.
        {2, true, "rScore rScore mScore mTime r12 r13 rScore r!x r!x r~ r r"},
        // A slot taken over lists only the new ink; a run stops at its row's end.
        {1, true, "r777 r1 r31"},
        {0, false, "r305 r305 mab m~"},
    };
    std::string transcript;
    for (const auto& [capacity, keeps, script] : scripts) {
        CountingFont font(capacity, keeps);
        transcript += "capacity " + std::to_string(font.cache.capacity()) +
                      (keeps ? " kept:" : " none:") + run(font, script) + "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/textcache.txt", transcript);
}
