#include "Src/game/Snake.h"

#include "Src/core/InputManager.h"
#include "gfx/GfxSurface.h"
#include "lib/Random.h"
#include "map/TileMap.h"

namespace {

constexpr int kDx[4] = {0, 1, 0, -1};
constexpr int kDy[4] = {-1, 0, 1, 0};
constexpr int kSoundSnakeStopped = 21;
constexpr int kSoundBoost = 20;

bool isItem(int block) {
    return block == kBlockFood || (block >= 10 && block <= 13);
}
bool isSnakeBlock(int block) {
    return block >= kBlockBody && block <= 9;
}

} // namespace

Snake::~Snake() {
    clear();
}

GfxRect Snake::bodyPicture(int index) {
    static const int kCells[8][2] = {{0, 0},   {0, 20},  {0, 40},  {0, 60},
                                     {20, 40}, {40, 40}, {60, 40}, {80, 40}};
    const int i = index < 0 || index > 7 ? 0 : index;
    return {kCells[i][0], kCells[i][1], kCells[i][0] + 20, kCells[i][1] + 20};
}

GfxRect Snake::headPicture(int direction, int mouthState) {
    static const int kRowTop[3] = {0, 20, 60};
    const int left = 20 + 20 * (direction & 3);
    const int top = kRowTop[mouthState < 0 || mouthState > 2 ? 0 : mouthState];
    return {left, top, left + 20, top + 20};
}

void Snake::setSpeeds(int startSpeed, int topSpeed, int incSpeed) {
    normalInterval_ = startInterval_ = startSpeed * 16;
    shortestInterval_ = topSpeed * 16;
    speedUpPeriod_ = incSpeed;
}

void Snake::recomputeFramesToStep() {
    const int32_t frames = (currentInterval_ - stepAccumulator_) / 16;
    framesToStep_ = frames > 0 ? frames : 0;
}

void Snake::setInterval(int32_t interval) {
    currentInterval_ = interval;
    recomputeFramesToStep();
}

bool Snake::init(TileMap* map, SnakeHost* host, GfxSurface* itemsSurface, int framesPerSecond) {
    currentInterval_ = normalInterval_;
    map_ = map;
    host_ = host;
    framesPerSecond_ = framesPerSecond > 0 ? framesPerSecond : 55;
    growthFrameDelay_ = framesPerSecond_ / 8;
    clear();
    itemsSurface_ = itemsSurface;
    stepAccumulator_ = currentInterval_; // the first step comes on the first update
    recomputeFramesToStep();
    boostActive_ = true;
    snapThisFrame_ = false;
    remainingDistance_ = 0;
    stuck_ = false;
    bulgeTimer_ = 102;
    mouthTimer_ = RandomRange(framesPerSecond_, 6 * framesPerSecond_);
    mouthState_ = 0;
    dropBufferedTurn();
    heldHorizontal_ = heldVertical_ = tapHorizontal_ = tapVertical_ = 0;
    return true;
}

SnakeSegment* Snake::newSegment(int column, int row, int direction) {
    SnakeSegment* segment = segmentPool->take();
    segment->column = column;
    segment->row = row;
    segment->targetX = segment->drawnX = column * map_->getBlockWidth() * 128;
    segment->targetY = segment->drawnY = row * map_->getBlockHeight() * 128;
    segment->direction = static_cast<uint8_t>(direction);
    return segment;
}

void Snake::setDirection(SnakeSegment* segment, int direction) {
    segment->direction = static_cast<uint8_t>(direction);
    map_->setMark(segment->column, segment->row, 1 + direction);
}

void Snake::append(SnakeSegment* segment) {
    segment->next = nullptr;
    segment->previous = tail_;
    if (tail_)
        tail_->next = segment;
    else
        head_ = segment;
    tail_ = segment;
    map_->setMark(segment->column, segment->row, 1 + segment->direction);
    ++segmentCount_;
}

int Snake::buildFromMap() {
    speedUpCountdown_ = speedUpPeriod_;
    int food = 0;
    for (int row = 0; row < map_->getMapHeight(); ++row)
        for (int column = 0; column < map_->getMapWidth(); ++column) {
            const int block = map_->getBlock(column, row);
            if (block == kBlockFood)
                ++food;
            if (!head_ && block >= 6 && block <= 9) {
                map_->setBlock(column, row, kBlockFloor);
                append(newSegment(column, row, block - 6));
            }
        }
    if (!head_)
        return food;

    // Trace the body: right, below, left, above; each piece points back.
    static const int kTrace[4][3] = {{1, 0, kLeft}, {0, 1, kUp}, {-1, 0, kRight}, {0, -1, kDown}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& t : kTrace) {
            const int column = tail_->column + t[0], row = tail_->row + t[1];
            if (isSnakeBlock(map_->getBlock(column, row)) && map_->getMark(column, row) == 0) {
                map_->setBlock(column, row, kBlockFloor);
                append(newSegment(column, row, t[2]));
                found = true;
                break;
            }
        }
    }
    return food;
}

void Snake::headCell(int& column, int& row) const {
    column = head_ ? head_->column : 0;
    row = head_ ? head_->row : 0;
}

int Snake::chooseDirection(int horizontal, int vertical) const {
    const int heading = head_->direction;
    if (vertical < 0 && heading != kDown)
        return kUp;
    if (horizontal >= 1 && heading != kLeft)
        return kRight;
    if (vertical > 0 && heading != kUp)
        return kDown;
    if (horizontal < 0 && heading != kRight)
        return kLeft;
    return -1;
}

void Snake::noteTap(const ControlState& control) {
    const int8_t horizontal = control.horizontal != heldHorizontal_ ? control.horizontal : 0;
    const int8_t vertical = control.vertical != heldVertical_ ? control.vertical : 0;
    if (horizontal != 0 || vertical != 0) {
        tapHorizontal_ = horizontal;
        tapVertical_ = vertical;
    }
    heldHorizontal_ = control.horizontal;
    heldVertical_ = control.vertical;
}

void Snake::dropBufferedTurn() {
    turnBuffered_ = false;
    usingBufferedTurn_ = false;
    bufferedTurnSteps_ = 0;
}

bool Snake::update(const ControlState& control) {
    straightPhase_ = false;
    crashed_ = false;
    if (!head_)
        return false;
    if (bufferedTurnSteps_ < 0)
        dropBufferedTurn();

    noteTap(control);
    int horizontal = control.horizontal, vertical = control.vertical;
    // Nothing held: the tap since the last step counts as held.
    if (horizontal == 0 && vertical == 0) {
        horizontal = tapHorizontal_;
        vertical = tapVertical_;
    }
    int direction = chooseDirection(horizontal, vertical);
    if (direction >= 0 && direction == head_->direction)
        dropBufferedTurn();
    if (direction < 0 && turnBuffered_) {
        horizontal = bufferedHorizontal_;
        vertical = bufferedVertical_;
        usingBufferedTurn_ = true;
        direction = chooseDirection(horizontal, vertical);
    }

    if (!(stuck_ && direction >= 0) && stepAccumulator_ < currentInterval_) {
        snapThisFrame_ = false;
        stepAccumulator_ += 16;
        recomputeFramesToStep();
        return false;
    }
    --bufferedTurnSteps_;
    tapHorizontal_ = tapVertical_ = 0;
    stepAccumulator_ -= currentInterval_;
    if (stepAccumulator_ < 0)
        stepAccumulator_ = 0;
    recomputeFramesToStep();
    snapThisFrame_ = true;

    if (direction >= 0) {
        if (tryMove(kDx[direction], kDy[direction], direction)) {
            if (usingBufferedTurn_)
                dropBufferedTurn();
            usingBufferedTurn_ = false;
            return crashed_;
        }
        // Remember a new turn for later steps; a remembered one that is
        // still not possible keeps counting down its steps.
        if (!usingBufferedTurn_) {
            bufferedHorizontal_ = static_cast<int8_t>(horizontal);
            bufferedVertical_ = static_cast<int8_t>(vertical);
            turnBuffered_ = true;
            bufferedTurnSteps_ = 10;
        }
        usingBufferedTurn_ = false;
    }

    straightPhase_ = true;
    const int heading = head_->direction;
    if (!tryMove(kDx[heading], kDy[heading], heading) && !turnByItself())
        crashed_ = true;
    return crashed_;
}

bool Snake::tryMove(int dx, int dy, int direction) {
    if (!head_)
        return false;
    const int column = head_->column + dx, row = head_->row + dy;
    const int block = map_->getBlock(column, row);
    if (host_->itemsLeft() != 0 && map_->getMark(column, row) != 0) {
        if (!straightPhase_)
            crashed_ = true;
        return false;
    }
    bool grow = false;
    if (isItem(block)) {
        grow = host_->eatItem(block, head_->column);
        map_->setBlock(column, row, kBlockFloor);
        if (!head_)
            return false; // the item took the whole snake
    } else if (block != kBlockFloor) {
        return false;
    }
    stuck_ = false;
    step(direction, grow);
    return true;
}

void Snake::step(int direction, bool grow) {
    setDirection(head_, direction);
    remainingDistance_ = kStep;
    if (pending_) {
        pending_->direction = static_cast<uint8_t>(savedTailDirection_);
        pending_->growthStage = 3;
        pending_->growthDelay = growthFrameDelay_;
        SnakeSegment* joining = pending_;
        pending_ = nullptr;
        append(joining);
    }
    const int tailColumn = tail_->column, tailRow = tail_->row;
    if (grow)
        pending_ = newSegment(tailColumn, tailRow, tail_->direction);

    for (SnakeSegment* s = head_; s; s = s->next) {
        int d = map_->getMark(s->column, s->row) - 1;
        if (d < 0 || d > 3)
            d = s->direction;
        s->direction = static_cast<uint8_t>(d);
        s->drawnX = s->targetX;
        s->drawnY = s->targetY;
        s->column += kDx[d];
        s->row += kDy[d];
        s->targetX += kDx[d] * kStep;
        s->targetY += kDy[d] * kStep;
    }
    savedTailDirection_ = map_->getMark(tailColumn, tailRow) - 1;
    if (savedTailDirection_ < 0)
        savedTailDirection_ = tail_->direction;
    map_->setMark(tailColumn, tailRow, 0);
    setDirection(head_, direction);
    snapThisFrame_ = false;
}

bool Snake::sideIsFree(int column, int row) const {
    const int block = map_->getBlock(column, row);
    if (block == kBlockFloor)
        return map_->getMark(column, row) == 0;
    return isItem(block);
}

bool Snake::turnByItself() {
    const int heading = head_->direction;
    // The side to the left of the heading first, then the right.
    static const int kSides[4][2] = {{kLeft, kRight}, {kUp, kDown}, {kRight, kLeft}, {kDown, kUp}};
    const int first = kSides[heading][0], second = kSides[heading][1];
    const bool firstFree = sideIsFree(head_->column + kDx[first], head_->row + kDy[first]);
    const bool secondFree = sideIsFree(head_->column + kDx[second], head_->row + kDy[second]);
    if (firstFree != secondFree) {
        const int side = firstFree ? first : second;
        return tryMove(kDx[side], kDy[side], side);
    }
    if (!firstFree)
        return false;
    if (!stuck_) {
        stuck_ = true;
        host_->playEffect(kSoundSnakeStopped);
        mouthState_ = 2;
        mouthTimer_ = framesPerSecond_ / 4;
    }
    return true;
}

void Snake::frameStep(const ControlState& control, GfxSurface* target, int viewX, int viewY,
                      int viewWidth, int viewHeight, int scrollX, int scrollY, bool paused) {
    const bool fire = (control.buttons & kControlFire) != 0;
    if (!stuck_ && !boostActive_ && fire) {
        setInterval(shortestInterval_);
        boostActive_ = true;
        if (host_)
            host_->playEffect(kSoundBoost);
    }
    if (boostActive_ && !fire) {
        setInterval(normalInterval_);
        boostActive_ = false;
    }
    if (!head_)
        return;

    if (framesToStep_ == 0) {
        stepPerFrame_ = remainingDistance_;
        remainingDistance_ = 0;
    } else {
        stepPerFrame_ = remainingDistance_ / (framesToStep_ + 1);
        remainingDistance_ -= stepPerFrame_;
    }

    if (--mouthTimer_ <= 0) {
        if (mouthState_ == 0) {
            mouthState_ = 1;
            mouthTimer_ = framesPerSecond_ / 8;
        } else {
            mouthState_ = 0;
            mouthTimer_ = RandomRange(framesPerSecond_, 6 * framesPerSecond_);
        }
    }

    for (SnakeSegment* s = head_->next; s; s = s->next)
        drawSegment(s, false, target, viewX, viewY, viewWidth, viewHeight, scrollX, scrollY,
                    paused);
    drawSegment(head_, true, target, viewX, viewY, viewWidth, viewHeight, scrollX, scrollY, paused);
}

void Snake::drawSegment(SnakeSegment* s, bool isHead, GfxSurface* target, int viewX, int viewY,
                        int viewWidth, int viewHeight, int scrollX, int scrollY, bool paused) {
    if (s->growthStage > 0 && --s->growthDelay <= 0) {
        s->growthDelay = growthFrameDelay_;
        --s->growthStage;
    }
    if (snapThisFrame_) {
        s->drawnX = s->targetX;
        s->drawnY = s->targetY;
        stepPerFrame_ = 0;
    }
    if (--bulgeTimer_ <= 0) {
        bulgeTimer_ = 2 * RandomRange(100, 700);
        s->bulgeActive = true;
        s->bulgeCounter = 1;
        s->bulgeFrame = 0;
    }
    if (!snapThisFrame_ && !paused) {
        s->drawnX += kDx[s->direction] * stepPerFrame_;
        s->drawnY += kDy[s->direction] * stepPerFrame_;
    }

    GfxRect picture;
    if (isHead) {
        picture = headPicture(s->direction, mouthState_);
    } else if (s->growthStage > 0) {
        picture = bodyPicture(s->growthStage);
    } else if (s->bulgeActive) {
        picture = bodyPicture(s->bulgeFrame <= 3 ? s->bulgeFrame + 4 : 10 - s->bulgeFrame);
        if (--s->bulgeCounter <= 0) {
            if (++s->bulgeFrame >= 7)
                s->bulgeActive = false;
            s->bulgeCounter = 2;
        }
    } else {
        picture = bodyPicture(0);
    }

    const int sx = (s->drawnX >> 7) - scrollX, sy = (s->drawnY >> 7) - scrollY;
    if (target && itemsSurface_ && -map_->getBlockWidth() < sx && sx < viewWidth &&
        -map_->getBlockHeight() < sy && sy < viewHeight)
        itemsSurface_->DrawKeyed(target, viewX + sx, viewY + sy, &picture);
}

void Snake::secondTick() {
    if (--speedUpCountdown_ > 0)
        return;
    speedUpCountdown_ = speedUpPeriod_;
    normalInterval_ -= 8;
    if (normalInterval_ < shortestInterval_)
        normalInterval_ = shortestInterval_;
    if (currentInterval_ > normalInterval_)
        setInterval(normalInterval_);
}

void Snake::resetSpeed() {
    normalInterval_ = startInterval_;
    setInterval(startInterval_);
}

void Snake::freePending() {
    if (pending_)
        segmentPool->give(pending_);
    pending_ = nullptr;
}

void Snake::removeTail() {
    // A grown segment still waiting behind the tail would join far from the
    // new tail; it goes with it.
    freePending();
    if (!tail_)
        return;
    SnakeSegment* gone = tail_;
    tail_ = gone->previous;
    if (tail_)
        tail_->next = nullptr;
    else
        head_ = nullptr;
    map_->setMark(gone->column, gone->row, 0);
    segmentPool->give(gone);
    --segmentCount_;
}

void Snake::halve() {
    const int target = segmentCount_ / 2 > 5 ? segmentCount_ / 2 : 5;
    while (segmentCount_ > target)
        removeTail();
}

void Snake::clear() {
    freePending();
    while (tail_)
        removeTail();
    segmentCount_ = 0;
    itemsSurface_ = nullptr;
}
