#include "Src/game/SegmentPool.h"

#include <type_traits>

SegmentPool* segmentPool = nullptr;

SegmentPool::SegmentPool() : block_(new Element[kBlockSize]) {
    for (int i = kBlockSize - 1; i >= 0; --i) {
        block_[i].nextFree = free_;
        free_ = &block_[i];
    }
}

SegmentPool::~SegmentPool() {
    // Elements outside the block were allocated one by one.
    for (Element* e = used_; e;) {
        Element* next = e->nextUsed;
        if (!inBlock(e))
            delete e;
        e = next;
    }
    for (Element* e = free_; e;) {
        Element* next = e->nextFree;
        if (!inBlock(e))
            delete e;
        e = next;
    }
    delete[] block_;
}

SnakeSegment* SegmentPool::take() {
    Element* e = free_;
    if (e) {
        free_ = e->nextFree;
    } else {
        e = new Element;
        ++extra_;
    }
    e->segment = SnakeSegment();
    e->used = true;
    e->nextFree = nullptr;
    e->previousUsed = nullptr;
    e->nextUsed = used_;
    if (used_)
        used_->previousUsed = e;
    used_ = e;
    ++inUse_;
    return &e->segment;
}

void SegmentPool::give(SnakeSegment* segment) {
    static_assert(std::is_standard_layout_v<Element>);
    Element* e = reinterpret_cast<Element*>(segment);
    if (!segment || !e->used)
        return;
    e->used = false;
    if (e->previousUsed)
        e->previousUsed->nextUsed = e->nextUsed;
    else
        used_ = e->nextUsed;
    if (e->nextUsed)
        e->nextUsed->previousUsed = e->previousUsed;
    e->nextFree = free_;
    free_ = e;
    --inUse_;
}
