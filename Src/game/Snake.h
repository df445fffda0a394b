// The player's snake: a chain of segments on the map's grid that steps on
// its own timer, turns on input with a short memory for turns that are not
// possible yet, turns by itself along walls, grows, and glides smoothly
// between blocks.
#pragma once

#include "Src/game/SegmentPool.h"
#include "gfx/GfxSurface.h"

#include <cstdint>

class GfxSurface;
class TileMap;
struct ControlState;

// Block numbers of a level's map as the snake sees them; any other is a wall.
enum MapBlock : int {
    kBlockFloor = 1,
    kBlockFood = 2,
    kBlockBody = 5,
    kBlockShrink = 10,
    kBlockSpeedReset = 11,
    kBlockPoints = 12,
    kBlockTime = 13,
};

// What the snake needs from the game around it.
class SnakeHost {
public:
    virtual ~SnakeHost() = default;
    // Food blocks still to eat; with none left the body no longer blocks.
    virtual int itemsLeft() const = 0;
    // Applies the item of the block the head moves onto (food, shrink,
    // speed reset, points, time); headColumn is the column it leaves.
    // Returns true when the snake grows by this step.
    virtual bool eatItem(int block, int headColumn) = 0;
    // A sound effect by event number (only when sound effects are on).
    virtual void playEffect(int event) = 0;
};

class Snake {
public:
    static constexpr int32_t kStep = 2560; // one 20-pixel block in fixed point
    enum Direction : uint8_t { kUp = 0, kRight = 1, kDown = 2, kLeft = 3 };

    Snake() = default;
    ~Snake();
    Snake(const Snake&) = delete;
    Snake& operator=(const Snake&) = delete;

    // Speeds of the level, in the units of the level description.
    void setSpeeds(int startSpeed, int topSpeed, int incSpeed);
    // Prepares the snake for a level on this map; the items surface holds
    // the snake pictures (it stays owned by the caller) and may be null.
    bool init(TileMap* map, SnakeHost* host, GfxSurface* itemsSurface, int framesPerSecond);
    // Builds the chain from the map's snake blocks; returns the number of
    // food blocks on the map.
    int buildFromMap();
    void headCell(int& column, int& row) const;

    // One frame of movement; true when the snake crashed.
    bool update(const ControlState& control);
    // Boost, gliding, animation and drawing (target may be null).
    void frameStep(const ControlState& control, GfxSurface* target, int viewX, int viewY,
                   int viewWidth, int viewHeight, int scrollX, int scrollY, bool paused);
    void secondTick();
    void removeTail();
    void halve();
    void clear();
    bool tryMove(int dx, int dy, int direction);
    // The speed-reset item.
    void resetSpeed();

    // State, for the game and for tests.
    const SnakeSegment* head() const { return head_; }
    const SnakeSegment* tail() const { return tail_; }
    const SnakeSegment* pendingSegment() const { return pending_; }
    int segmentCount() const { return segmentCount_; }
    int32_t normalInterval() const { return normalInterval_; }
    int32_t currentInterval() const { return currentInterval_; }
    int32_t startInterval() const { return startInterval_; }
    int32_t shortestInterval() const { return shortestInterval_; }
    bool boostActive() const { return boostActive_; }
    bool isStuck() const { return stuck_; }
    bool hasBufferedTurn() const { return turnBuffered_; }
    int mouthState() const { return mouthState_; }
    int framesToStep() const { return framesToStep_; }

    // The picture a segment is drawn with: a cell of the items surface.
    static GfxRect bodyPicture(int index);
    static GfxRect headPicture(int direction, int mouthState);

private:
    int chooseDirection(int horizontal, int vertical) const;
    void noteTap(const ControlState& control);
    void dropBufferedTurn();
    void recomputeFramesToStep();
    void setInterval(int32_t interval);
    void append(SnakeSegment* segment);
    SnakeSegment* newSegment(int column, int row, int direction);
    void setDirection(SnakeSegment* segment, int direction);
    void step(int direction, bool grow);
    bool turnByItself();
    bool sideIsFree(int column, int row) const;
    void freePending();
    void drawSegment(SnakeSegment* segment, bool isHead, GfxSurface* target, int viewX, int viewY,
                     int viewWidth, int viewHeight, int scrollX, int scrollY, bool paused);

    TileMap* map_ = nullptr;
    SnakeHost* host_ = nullptr;
    GfxSurface* itemsSurface_ = nullptr;
    int framesPerSecond_ = 55;

    SnakeSegment* head_ = nullptr;
    SnakeSegment* tail_ = nullptr;
    SnakeSegment* pending_ = nullptr;
    int segmentCount_ = 0;
    int32_t normalInterval_ = 0, shortestInterval_ = 0, speedUpPeriod_ = 0;
    int32_t startInterval_ = 0, currentInterval_ = 0;
    bool boostActive_ = false;

    int32_t stepAccumulator_ = 0;
    int32_t framesToStep_ = 0;
    int32_t remainingDistance_ = 0;
    int32_t stepPerFrame_ = 0;
    bool snapThisFrame_ = false;
    bool stuck_ = false;
    bool crashed_ = false;
    bool straightPhase_ = false;
    bool turnBuffered_ = false;
    int8_t bufferedHorizontal_ = 0, bufferedVertical_ = 0;
    // The controls of the previous update, and the direction last newly
    // pressed since the previous step: a tap let go before the step that
    // reads it still turns the snake.
    int8_t heldHorizontal_ = 0, heldVertical_ = 0;
    int8_t tapHorizontal_ = 0, tapVertical_ = 0;
    bool usingBufferedTurn_ = false;
    int32_t bufferedTurnSteps_ = 0;
    int32_t savedTailDirection_ = 0;
    int32_t speedUpCountdown_ = 0;
    int32_t mouthState_ = 0;
    int32_t mouthTimer_ = 0;
    int32_t bulgeTimer_ = 102;
    int32_t growthFrameDelay_ = 6;
};
