#include "tools/balance/Bot.h"

#include "Src/core/InputManager.h"
#include "Src/game/GameManager.h"

#include <algorithm>
#include <utility>

namespace {

// The step of each direction, in the snake's order: up, right, down, left.
constexpr int kDx[] = {0, 1, 0, -1};
constexpr int kDy[] = {-1, 0, 1, 0};
constexpr Snake::Direction kDirections[] = {Snake::kUp, Snake::kRight, Snake::kDown, Snake::kLeft};
constexpr int kFramesPerSecond = 55;

// Points are worth what seconds left are worth at the level's end.
constexpr double kSecondsPerPoint = 1.0 / 5;

int reverse(int direction) {
    return (direction + 2) % 4;
}

// The direction of the step between two neighbouring cells.
int directionOf(const Board& b, int from, int to) {
    const int dx = to % b.width - from % b.width, dy = to / b.width - from / b.width;
    return dy < 0 ? Snake::kUp : dx > 0 ? Snake::kRight : dy > 0 ? Snake::kDown : Snake::kLeft;
}

bool inside(const Board& b, int x, int y) {
    return x >= 0 && y >= 0 && x < b.width && y < b.height;
}

bool enterable(int block, bool slowAllowed) {
    return block == kBlockFloor || block == kBlockFood || block == kBlockShrink ||
           block == kBlockPoints || block == kBlockTime ||
           (block == kBlockSpeedReset && slowAllowed);
}

struct Search {
    std::vector<int> dist; // steps to each cell, -1 where not reached
    std::vector<int> from; // the cell before it on a shortest way
    int reached = 0;
};

// Breadth first from the head; a body cell opens once the tail has passed
// it, one step later than exact, in case the snake grows on the way.
Search search(const Board& b, int startX, int startY, int heading, bool slowAllowed) {
    Search s;
    const size_t cells = b.blocks.size();
    s.dist.assign(cells, -1);
    s.from.resize(cells);
    std::vector<int> queue;
    queue.reserve(cells);
    const int start = startY * b.width + startX;
    s.dist[static_cast<size_t>(start)] = 0;
    queue.push_back(start);
    for (size_t q = 0; q < queue.size(); ++q) {
        const int cell = queue[q];
        const int x = cell % b.width, y = cell / b.width;
        const int d = s.dist[static_cast<size_t>(cell)];
        for (int dir : kDirections) {
            if (cell == start && heading >= 0 && dir == reverse(heading))
                continue; // the snake never reverses
            const int nx = x + kDx[dir], ny = y + kDy[dir];
            if (!inside(b, nx, ny))
                continue;
            const int next = ny * b.width + nx;
            const size_t n = static_cast<size_t>(next);
            if (s.dist[n] >= 0 || !enterable(b.blocks[n], slowAllowed))
                continue;
            const int body = b.bodyIndex[n];
            if (body >= 0 && d + 1 < b.bodyLength - body + 2)
                continue;
            s.dist[n] = d + 1;
            s.from[n] = cell;
            queue.push_back(next);
        }
    }
    s.reached = static_cast<int>(queue.size());
    return s;
}

std::vector<int> pathTo(const Search& s, int target) {
    std::vector<int> path;
    for (int cell = target; s.dist[static_cast<size_t>(cell)] > 0;
         cell = s.from[static_cast<size_t>(cell)])
        path.push_back(cell);
    std::reverse(path.begin(), path.end());
    return path;
}

// The room the snake has after following the path: the cells it can reach
// then, and whether its new tail is among them (then it can always follow
// its tail and is safe).
struct Room {
    int cells;
    bool tail;
};

Room roomAfter(const Board& b, const std::vector<int>& path) {
    int grown = 0;
    for (int cell : path)
        grown += b.blocks[static_cast<size_t>(cell)] == kBlockFood;
    Board after = b;
    after.bodyLength = b.bodyLength + grown;
    if (b.blocks[static_cast<size_t>(path.back())] == kBlockShrink)
        after.bodyLength = std::max(5, after.bodyLength / 2);
    std::vector<int> body(path.rbegin(), path.rend());
    std::vector<int> old(static_cast<size_t>(b.bodyLength), -1);
    for (size_t i = 0; i < b.bodyIndex.size(); ++i)
        if (b.bodyIndex[i] >= 0)
            old[static_cast<size_t>(b.bodyIndex[i])] = static_cast<int>(i);
    for (int cell : old)
        if (cell >= 0 && static_cast<int>(body.size()) < after.bodyLength)
            body.push_back(cell);
    std::fill(after.bodyIndex.begin(), after.bodyIndex.end(), -1);
    for (size_t i = 0; i < body.size(); ++i)
        after.bodyIndex[static_cast<size_t>(body[i])] = static_cast<int>(i);
    after.bodyLength = static_cast<int>(body.size());
    const int head = body.front();
    const int from = path.size() >= 2 ? path[path.size() - 2] : b.headY * b.width + b.headX;
    const Search s =
        search(after, head % b.width, head / b.width, directionOf(b, from, head), true);
    return {s.reached, s.dist[static_cast<size_t>(body.back())] >= 0};
}

bool safeAfter(const Board& b, const std::vector<int>& path, bool lastFood) {
    if (lastFood || path.empty())
        return true;
    const Room room = roomAfter(b, path);
    return room.tail || room.cells > 2 * b.bodyLength;
}

int firstStep(const Board& b, const std::vector<int>& path) {
    return directionOf(b, b.headY * b.width + b.headX, path.front());
}

// The value of an item in seconds of the level's clock; 0 for none.
double itemValue(const Board& b, int block) {
    if (block == kBlockTime)
        return std::min(10, b.levelTime - b.timeLeft);
    if (block == kBlockPoints)
        return 20 * kSecondsPerPoint;
    return 0;
}

// Of the moves open now, one after which the tail can still be followed,
// else the one that leaves the most room.
int roomiestMove(const Board& b) {
    int best = -1;
    Room bestRoom{};
    for (int dir : kDirections) {
        if (dir == reverse(b.heading))
            continue;
        const int x = b.headX + kDx[dir], y = b.headY + kDy[dir];
        if (!inside(b, x, y))
            continue;
        const size_t cell = static_cast<size_t>(y * b.width + x);
        if (!enterable(b.blocks[cell], true) || b.bodyIndex[cell] >= 0)
            continue;
        const Room after = roomAfter(b, {static_cast<int>(cell)});
        if (best < 0 ||
            std::pair(after.tail, after.cells) > std::pair(bestRoom.tail, bestRoom.cells)) {
            best = dir;
            bestRoom = after;
        }
    }
    return best;
}

} // namespace

Board readBoard(GameManager& game) {
    Board b;
    TileMap& map = game.map();
    b.width = map.getMapWidth();
    b.height = map.getMapHeight();
    b.blocks.resize(static_cast<size_t>(b.width * b.height));
    b.bodyIndex.assign(b.blocks.size(), -1);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            b.blocks[static_cast<size_t>(y * b.width + x)] = map.getBlock(x, y);
    const Snake& snake = game.snake();
    int index = 0;
    for (const SnakeSegment* s = snake.head(); s; s = s->next)
        b.bodyIndex[static_cast<size_t>(s->row * b.width + s->column)] = index++;
    if (const SnakeSegment* s = snake.pendingSegment())
        b.bodyIndex[static_cast<size_t>(s->row * b.width + s->column)] = index++;
    b.bodyLength = index;
    if (snake.head()) {
        b.headX = snake.head()->column;
        b.headY = snake.head()->row;
        b.heading = snake.head()->direction;
    }
    b.timeLeft = game.timeLeft();
    b.levelTime = game.levelTime();
    b.secondsPerStep = (static_cast<double>(snake.currentInterval()) / 16 + 1) / kFramesPerSecond;
    return b;
}

int planMove(const Board& b, bool bold) {
    int foodLeft = 0;
    for (int block : b.blocks)
        foodLeft += block == kBlockFood;
    // A speed-reset item only slows the snake down: kept clear of while
    // there is another way.
    for (bool slowAllowed : {false, true}) {
        const Search s = search(b, b.headX, b.headY, b.heading, slowAllowed);
        std::vector<int> foods;
        for (size_t i = 0; i < b.blocks.size(); ++i)
            if (b.blocks[i] == kBlockFood && s.dist[i] > 0)
                foods.push_back(static_cast<int>(i));
        if (foods.empty())
            continue;
        std::stable_sort(foods.begin(), foods.end(), [&](int l, int r) {
            return s.dist[static_cast<size_t>(l)] < s.dist[static_cast<size_t>(r)];
        });
        const int nearest = s.dist[static_cast<size_t>(foods.front())];

        // An item is worth a detour that costs less time than it brings.
        for (size_t i = 0; i < b.blocks.size(); ++i) {
            const double value = itemValue(b, b.blocks[i]);
            if (value <= 0 || s.dist[i] <= 0)
                continue;
            const int x = static_cast<int>(i) % b.width, y = static_cast<int>(i) / b.width;
            const Search on = search(b, x, y, -1, slowAllowed);
            int onward = -1;
            for (int food : foods) {
                const int d = on.dist[static_cast<size_t>(food)];
                if (d >= 0 && (onward < 0 || d < onward))
                    onward = d;
            }
            if (onward < 0)
                continue;
            const int detour = s.dist[i] + onward - nearest;
            const std::vector<int> path = pathTo(s, static_cast<int>(i));
            if (detour * b.secondsPerStep < value && safeAfter(b, path, false))
                return firstStep(b, path);
        }
        for (int food : foods) {
            const std::vector<int> path = pathTo(s, food);
            if (safeAfter(b, path, foodLeft == 1))
                return firstStep(b, path);
        }
        // A shrink item is worth it when the snake is too long to reach
        // any food safely.
        for (size_t i = 0; i < b.blocks.size(); ++i)
            if (b.blocks[i] == kBlockShrink && s.dist[i] > 0) {
                const std::vector<int> path = pathTo(s, static_cast<int>(i));
                if (safeAfter(b, path, false))
                    return firstStep(b, path);
            }
        if (bold) {
            // No safe way: the one that leaves the most room.
            const auto roomOf = [&](int food) { return roomAfter(b, pathTo(s, food)).cells; };
            const int food = *std::max_element(foods.begin(), foods.end(),
                                               [&](int l, int r) { return roomOf(l) < roomOf(r); });
            return firstStep(b, pathTo(s, food));
        }
    }
    return roomiestMove(b);
}

int Planner::direction(GameManager& game, int) {
    const Snake& snake = game.snake();
    if (!snake.head())
        return -1;
    if (snake.head()->column != lastX_ || snake.head()->row != lastY_ || held_ < 0) {
        lastX_ = snake.head()->column;
        lastY_ = snake.head()->row;
        const Board board = readBoard(game);
        const int items = game.itemsLeft();
        stalled_ = items == lastItems_ ? stalled_ + 1 : 0;
        lastItems_ = items;
        held_ = planMove(board, stalled_ > board.width + board.height);
    }
    return held_;
}

void holdDirection(int direction, ControlState& control) {
    control = ControlState();
    if (direction >= 0) {
        control.horizontal = static_cast<int8_t>(kDx[direction]);
        control.vertical = static_cast<int8_t>(kDy[direction]);
    }
}

PlayerModel::PlayerModel(int reactionFrames, double wrongTurn, uint32_t seed)
    : reactionFrames_(reactionFrames), wrongTurn_(wrongTurn), random_(seed) {}

void PlayerModel::startLevel() {
    // People do not look at the very frame a level starts.
    phase_ = std::uniform_int_distribution<int>(0, reactionFrames_ - 1)(random_);
    held_ = -1;
}

int PlayerModel::direction(GameManager& game, int frame) {
    const SnakeSegment* head = game.snake().head();
    // A key is let go once its turn is made, as people tap to turn.
    if (head && held_ == head->direction)
        held_ = -1;
    if ((frame + phase_) % reactionFrames_ != 0 || !head)
        return held_;
    const Board board = readBoard(game);
    int chosen = planMove(board);
    if (chosen >= 0 && chosen != board.heading &&
        std::uniform_real_distribution<double>(0, 1)(random_) < wrongTurn_)
        chosen = reverse(chosen); // the other way of the turn
    held_ = chosen;
    return held_;
}
