// The snake's segments and the pool they come from: one block of 200 at
// start-up, single allocations beyond that.
#pragma once

#include <cstdint>

struct SnakeSegment {
    SnakeSegment* next = nullptr;     // towards the tail
    SnakeSegment* previous = nullptr; // towards the head
    int32_t column = 0, row = 0;
    int32_t targetX = 0, targetY = 0; // fixed point, pixel x 128
    int32_t drawnX = 0, drawnY = 0;
    bool bulgeActive = false;
    int32_t bulgeCounter = 0;
    int32_t bulgeFrame = 0;
    int32_t growthStage = 0; // 3, 2, 1 while growing in; 0 when full
    int32_t growthDelay = 0;
    uint8_t direction = 0; // 0 up, 1 right, 2 down, 3 left
};

class SegmentPool {
public:
    static constexpr int kBlockSize = 200;

    SegmentPool();
    ~SegmentPool();
    SegmentPool(const SegmentPool&) = delete;
    SegmentPool& operator=(const SegmentPool&) = delete;

    // A zeroed segment.
    SnakeSegment* take();
    void give(SnakeSegment* segment);
    int inUse() const { return inUse_; }
    int extraAllocations() const { return extra_; }

private:
    struct Element {
        SnakeSegment segment; // first, so a segment's address is its element's
        bool used = false;
        Element* previousUsed = nullptr;
        Element* nextUsed = nullptr;
        Element* nextFree = nullptr;
    };
    bool inBlock(const Element* e) const { return e >= block_ && e < block_ + kBlockSize; }

    Element* block_;
    Element* free_ = nullptr;
    Element* used_ = nullptr;
    int inUse_ = 0;
    int extra_ = 0;
};

extern SegmentPool* segmentPool;
