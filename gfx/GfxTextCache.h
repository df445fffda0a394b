// Rendered lines of text kept for one font, so that text drawn again frame
// after frame is rendered once and then only copied. A few dozen lines are
// kept; the one used longest ago makes room for a new one, and its buffers
// are reused, so new text of ordinary length is kept without allocating.
#pragma once

#include "gfx/GfxFont.h"

#include <cstdint>
#include <string>
#include <vector>

class GfxTextCache {
public:
    static constexpr int kDefaultCapacity = 32;
    // Room made in every slot up front: a line of about 200x20 pixels, so
    // that filling the cache during play does not allocate either.
    static constexpr size_t kReservedInk = 4096;
    static constexpr size_t kReservedRuns = 256;
    static constexpr size_t kReservedText = 64;

    explicit GfxTextCache(int capacity = kDefaultCapacity);

    // The kept rendering of the first length bytes of text; null when it is
    // not kept. A hit counts as a use.
    const GfxTextMask* find(const char* text, int length);
    // A slot for a new rendering of text: the least recently used one,
    // keyed to text; the caller renders into it, or drops it on failure.
    // The text must not be kept already.
    GfxTextMask& insert(const char* text, int length);
    void drop(const char* text, int length);
    void clear();

    int size() const { return used_; }
    int capacity() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        std::string text;
        uint32_t hash = 0;
        uint64_t lastUse = 0;
        bool used = false;
        GfxTextMask mask;
    };
    static uint32_t hashOf(const char* text, int length);
    Entry* lookup(const char* text, int length);

    std::vector<Entry> entries_;
    int used_ = 0;
    uint64_t clock_ = 0;
};
