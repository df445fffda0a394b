#include "gfx/GfxTextCache.h"

#include <cstring>

GfxTextCache::GfxTextCache(int capacity)
    : entries_(static_cast<size_t>(capacity > 0 ? capacity : 1)) {
    for (Entry& entry : entries_) {
        entry.text.reserve(kReservedText);
        entry.mask.ink.reserve(kReservedInk);
        entry.mask.runs.reserve(kReservedRuns);
    }
}

uint32_t GfxTextCache::hashOf(const char* text, int length) {
    // FNV-1a: cheap, and enough to skip most entries without comparing text.
    uint32_t hash = 2166136261u;
    for (int i = 0; i < length; ++i)
        hash = (hash ^ static_cast<uint8_t>(text[i])) * 16777619u;
    return hash;
}

GfxTextCache::Entry* GfxTextCache::lookup(const char* text, int length) {
    const uint32_t hash = hashOf(text, length);
    for (Entry& entry : entries_)
        if (entry.used && entry.hash == hash && entry.text.size() == static_cast<size_t>(length) &&
            std::memcmp(entry.text.data(), text, static_cast<size_t>(length)) == 0)
            return &entry;
    return nullptr;
}

const GfxTextMask* GfxTextCache::find(const char* text, int length) {
    if (!text || length < 0)
        return nullptr;
    Entry* entry = lookup(text, length);
    if (!entry)
        return nullptr;
    entry->lastUse = ++clock_;
    return &entry->mask;
}

GfxTextMask& GfxTextCache::insert(const char* text, int length) {
    Entry* slot = &entries_[0];
    for (Entry& entry : entries_) {
        if (!entry.used) {
            slot = &entry;
            break;
        }
        if (entry.lastUse < slot->lastUse)
            slot = &entry;
    }
    if (!slot->used)
        ++used_;
    slot->used = true;
    // assign keeps the string's and the mask's buffers when they are large
    // enough, so a warm slot takes new text without allocating.
    reserveRounded(slot->text, static_cast<size_t>(length) + 1);
    slot->text.assign(text, static_cast<size_t>(length));
    slot->hash = hashOf(text, length);
    slot->lastUse = ++clock_;
    return slot->mask;
}

void GfxTextCache::drop(const char* text, int length) {
    if (Entry* entry = text && length >= 0 ? lookup(text, length) : nullptr) {
        entry->used = false;
        --used_;
    }
}

void GfxTextCache::clear() {
    for (Entry& entry : entries_)
        entry.used = false;
    used_ = 0;
}
