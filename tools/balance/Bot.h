// Players that are scripts: they read the running level (map, snake, clock)
// and hold a direction, frame by frame, through the game's own rules.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

class GameManager;
struct ControlState;

// What a player sees of the level when it decides.
struct Board {
    int width = 0, height = 0;
    std::vector<int> blocks;    // block numbers, row by row
    std::vector<int> bodyIndex; // -1, or the snake segment on it (0 the head)
    int bodyLength = 0;         // segments, a grown one still to join counted
    int headX = 0, headY = 0;
    int heading = 0; // 0 up, 1 right, 2 down, 3 left
    int timeLeft = 0, levelTime = 0;
    double secondsPerStep = 0;

    int at(int x, int y) const { return blocks[static_cast<size_t>(y * width + x)]; }
};

Board readBoard(GameManager& game);

// The direction of the next step on a shortest safe path to the next food,
// taking the items on the way or on a short detour when the rules make them
// worth it; -1 when every way out is closed. A bold plan, when no way to
// food is safe, takes the one that leaves the most room rather than
// waiting for a safe one to open.
int planMove(const Board& board, bool bold = false);

// The control state of a frame that holds the direction (-1: none).
void holdDirection(int direction, ControlState& control);

// Gives the direction to hold in this frame, or -1 for none.
class Controller {
public:
    virtual ~Controller() = default;
    virtual void startLevel() {}
    virtual int direction(GameManager& game, int frame) = 0;
};

// Plans after every step of the snake.
class Planner : public Controller {
public:
    int direction(GameManager& game, int frame) override;

private:
    int lastX_ = -1, lastY_ = -1, held_ = -1;
    int lastItems_ = -1, stalled_ = 0; // steps since food was last eaten
};

// A person at the keys: looks at the level only every reactionFrames frames
// and holds the key it chose until the snake has turned, or until it looks
// again; now and then it turns the wrong way.
class PlayerModel : public Controller {
public:
    PlayerModel(int reactionFrames, double wrongTurn, uint32_t seed);
    void startLevel() override;
    int direction(GameManager& game, int frame) override;

private:
    int reactionFrames_;
    double wrongTurn_;
    std::mt19937 random_;
    int phase_ = 0;
    int held_ = -1;
};
