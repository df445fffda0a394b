#include "Src/game/Snake.h"

#include "Src/core/InputManager.h"
#include "gfx/GfxSurface.h"
#include "lib/Random.h"
#include "map/FmpWriter.h"
#include "map/TileMap.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

// Items count and record what the snake asks of the game.
class FakeHost : public SnakeHost {
public:
    int itemsLeft() const override { return items; }
    bool eatItem(int block, int) override {
        eaten.push_back(block);
        if (block == 2) {
            --items;
            return true;
        }
        if (block == 10 && snake)
            snake->halve();
        if (block == 11 && snake)
            snake->resetSpeed();
        return false;
    }
    void playEffect(int event) override { effects.push_back(event); }

    int items = 0;
    Snake* snake = nullptr;
    std::vector<int> eaten;
    std::vector<int> effects;
};

class SnakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!segmentPool)
            segmentPool = new SegmentPool;
    }
    void TearDown() override { snake.clear(); }

    // Loads the grid (level source characters) as the level's map and
    // builds the snake on it.
    void level(const std::vector<std::string>& rows, int startSpeed = 8, int topSpeed = 4,
               int incSpeed = 5, GfxSurface* pictures = nullptr, int framesPerSecond = 55) {
        std::string text = "map\n";
        for (const std::string& row : rows)
            text += row + "\n";
        LevelSource source;
        std::string error;
        ASSERT_TRUE(parseLevelSource(text, source, error)) << error;
        FmpMap fmp;
        fmp.mapWidth = static_cast<uint16_t>(source.width);
        fmp.mapHeight = static_cast<uint16_t>(source.height);
        fmp.graphics.push_back(std::vector<uint32_t>(400, 0));
        fmp.blocks.resize(32);
        fmp.layers[0] = source.cells;
        ASSERT_TRUE(writeFmpFile(fmp, dir.file("level.fmp")));
        ASSERT_EQ(map.load(nullptr, dir.file("level.fmp").c_str(), 0, 20, -1, -1), 0);
        snake.setSpeeds(startSpeed, topSpeed, incSpeed);
        host = FakeHost();
        host.snake = &snake;
        crashed = false;
        ASSERT_TRUE(snake.init(&map, &host, pictures, framesPerSecond));
        host.items = snake.buildFromMap();
    }

    // Runs frames with the given control until the snake has stepped n
    // times (or crashed); returns the frames it took.
    int steps(int n, ControlState control = {}) {
        int frames = 0, moved = 0;
        std::pair<int, int> at = head();
        while (moved < n && frames < 1000) {
            ++frames;
            if (snake.update(control)) {
                crashed = true;
                break;
            }
            tick(control);
            if (head() != at || snake.isStuck()) {
                ++moved;
                at = head();
            }
        }
        return frames;
    }
    // The head's cell: (column, row).
    std::pair<int, int> head() const {
        int col = 0, row = 0;
        snake.headCell(col, row);
        return {col, row};
    }
    // One frame of movement and drawing at 640 x 460 below the strip.
    void tick(const ControlState& control = {}, GfxSurface* target = nullptr) {
        snake.frameStep(control, target, 0, 20, 640, 460, 0, 0, false);
    }
    static ControlState press(int h, int v, int buttons = 0) {
        ControlState c;
        c.horizontal = static_cast<int8_t>(h);
        c.vertical = static_cast<int8_t>(v);
        c.buttons = static_cast<int8_t>(buttons);
        return c;
    }

    TempDir dir;
    TileMap map;
    FakeHost host;
    Snake snake;
    bool crashed = false;
};

// Room all round: the head at (3, 3) heading right, food below.
const std::vector<std::string> kOpen = {"#######", "#.....#", "#.....#", "#BB>..#",
                                        "#.....#", "#..o..#", "#######"};

} // namespace

TEST_F(SnakeTest, BuildsTheChainFromTheMapAndCountsFood) {
    level({
        "########",
        "#.o....#",
        "#.>BB..#",
        "#...B.o#",
        "#.B....#",
        "########",
    });
    EXPECT_EQ(host.items, 2);
    EXPECT_EQ(snake.segmentCount(), 4);
    EXPECT_EQ(head(), std::make_pair(2, 2));
    EXPECT_EQ(snake.head()->direction, Snake::kRight);
    EXPECT_EQ(snake.tail()->column, 4);
    EXPECT_EQ(snake.tail()->row, 3);
    EXPECT_EQ(snake.tail()->direction, Snake::kUp); // points back to the piece before it
    // The traced blocks became floor and are marked; the stray piece stays.
    EXPECT_EQ(map.getBlock(3, 2), 1);
    EXPECT_EQ(map.getMark(3, 2), 1 + Snake::kLeft);
    EXPECT_EQ(map.getBlock(2, 4), 5);
    EXPECT_EQ(map.getMark(2, 4), 0);
}

TEST_F(SnakeTest, StepsEveryNineFramesAtStartSpeedEightAndSpeedsUp) {
    level(
        {
            "##############################",
            "#BB>........................o#",
            "##############################",
        },
        8, 4, 2);
    EXPECT_EQ(steps(1), 1); // the first step comes at once
    EXPECT_EQ(steps(1), 9);
    EXPECT_EQ(steps(1), 9);
    EXPECT_EQ(snake.normalInterval(), 128);
    snake.secondTick();
    EXPECT_EQ(snake.normalInterval(), 128);
    snake.secondTick();
    EXPECT_EQ(snake.normalInterval(), 120);
    EXPECT_EQ(snake.currentInterval(), 120);
    for (int i = 0; i < 40; ++i)
        snake.secondTick();
    EXPECT_EQ(snake.normalInterval(), 64); // never below TopSpeed x 16

    // Holding fire boosts at once; releasing returns to the normal interval.
    snake.resetSpeed();
    const ControlState fire = press(0, 0, kControlFire);
    tick(fire);
    EXPECT_TRUE(snake.boostActive());
    EXPECT_EQ(snake.currentInterval(), 64);
    EXPECT_EQ(host.effects.back(), 20);
    tick();
    EXPECT_EQ(snake.currentInterval(), 128);
}

// Where each run of steps takes the head, or that it crashes: the reverse
// is ignored, up wins over right, the body blocks a turn into it unless all
// food is eaten, and straight into the body with one side free turns away.
TEST_F(SnakeTest, TurnsTheBodyAndTheReverseDecideTheWay) {
    const std::vector<std::string> curled = {"#######", "#.....#", "#vBBB.#",
                                             "#.o.B.#", "#.....#", "#######"};
    const struct {
        const char* what;
        std::vector<std::string> rows;
        int items; // food left, -1 as the map has it
        std::vector<std::pair<int, ControlState>> moves;
        bool crashes;
        std::pair<int, int> head; // where it ends, unless it crashes
    } cases[] = {
        {"the reverse is ignored", kOpen, -1, {{1, press(-1, 0)}}, false, {4, 3}},
        {"up wins over right", kOpen, -1, {{1, press(-1, 0)}, {1, press(1, -1)}}, false, {4, 2}},
        {"right into the body", curled, -1, {{1, press(1, 0)}}, true, {}},
        {"right into the body, all food eaten", curled, 0, {{1, press(1, 0)}}, false, {2, 2}},
        {"straight into the body turns away",
         {"#######", "#.BBB.#", "#.B#^.#", "#..#..#", "#o....#", "#######"},
         -1,
         {{1, {}}},
         false,
         {5, 2}},
        // After one step straight on, the body lies right of the head.
        {"right into the body after a straight step",
         {"#######", "#vB...#", "#.B...#", "#.B...#", "#.B.o.#", "#.....#", "#######"},
         -1,
         {{1, {}}, {1, press(1, 0)}},
         true,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        level(c.rows);
        if (c.items >= 0)
            host.items = c.items;
        for (const auto& [n, control] : c.moves)
            steps(n, control);
        EXPECT_EQ(crashed, c.crashes);
        if (!c.crashes) {
            EXPECT_EQ(head(), c.head);
        }
    }
}

TEST_F(SnakeTest, ATurnIntoAWallIsKeptForElevenSteps) {
    level({
        "##################",
        "#BB>.............#",
        "#######.##########",
        "#######o##########",
        "##################",
    });
    steps(1, press(0, 1)); // down into the wall: stored, straight on
    EXPECT_TRUE(snake.hasBufferedTurn());
    EXPECT_EQ(head().second, 1);
    steps(4); // the gap below comes three steps later
    EXPECT_EQ(head(), std::make_pair(7, 2));
    EXPECT_FALSE(snake.hasBufferedTurn());

    // The same with a sideways turn while heading down.
    level({"#####", "#B###", "#v###", "#.###", "#.###", "#..o#", "#.###", "#####"});
    steps(1, press(1, 0));
    EXPECT_TRUE(snake.hasBufferedTurn());
    steps(3);
    EXPECT_EQ(head(), std::make_pair(2, 5));
}

// A direction pressed and let go between two steps counts at the next step
// as a held one would, unless one is held then; the step forgets it.
TEST_F(SnakeTest, ATapBetweenTwoStepsCountsAtTheNextStepOnly) {
    const struct {
        const char* what;
        std::vector<ControlState> between;
        ControlState atStep;
        int column, row;
        ControlState before = {}; // held through the step before
    } cases[] = {
        {"a tap of up", {press(0, -1), press(0, 0)}, {}, 4, 2},
        {"a tap to the side while heading up", {press(-1, 0)}, {}, 2, 2, press(0, -1)},
        {"right held at the step wins", {press(0, -1)}, press(1, 0), 5, 3},
        {"the reverse is ignored", {press(-1, 0)}, {}, 5, 3},
        {"the last new press counts", {press(0, -1), press(0, 1), press(0, 1)}, {}, 4, 4},
        {"right pressed while up is held", {press(0, -1), press(1, -1)}, {}, 5, 3},
        {"right held through a tap of up",
         {press(1, 0), press(1, -1), press(1, 0)},
         press(1, 0),
         5,
         3},
    };
    for (const auto& c : cases) {
        level(kOpen);
        steps(1, c.before);
        for (const ControlState& control : c.between)
            snake.update(control);
        steps(1, c.atStep);
        EXPECT_EQ(head(), std::make_pair(c.column, c.row)) << c.what;
    }

    // A turn into a wall, pressed between two steps and held a frame past
    // the step, is stored for eleven steps like a held one: down while
    // heading right, right while heading down.
    std::vector<std::string> corridor = {"###", "#B#", "#v#"};
    corridor.insert(corridor.end(), 15, "#.#");
    corridor.insert(corridor.end(), {"#o#", "###"});
    const std::pair<std::vector<std::string>, ControlState> walls[] = {
        {{"########################", "#BB>..................o#", "########################"},
         press(0, 1)},
        {corridor, press(1, 0)},
    };
    for (const auto& [rows, turn] : walls) {
        level(rows);
        steps(1);
        snake.update(turn);
        steps(1, turn);
        snake.update(turn);
        EXPECT_TRUE(snake.hasBufferedTurn());
        steps(10);
        EXPECT_TRUE(snake.hasBufferedTurn());
        steps(2);
        EXPECT_FALSE(snake.hasBufferedTurn());
    }
}

TEST_F(SnakeTest, StopsBetweenTwoFreeSidesAndCrashesBetweenTwoWalls) {
    level({
        "#######",
        "#.....#",
        "#.<BB.#",
        "#.....#",
        "#o....#",
        "#######",
    });
    steps(1);
    EXPECT_EQ(head().first, 1);
    EXPECT_FALSE(snake.isStuck());
    EXPECT_FALSE(snake.update(ControlState{})); // wall ahead after the next step
    for (int i = 0; i < 20 && !snake.isStuck(); ++i)
        EXPECT_FALSE(snake.update(ControlState{}));
    EXPECT_TRUE(snake.isStuck());
    EXPECT_EQ(snake.mouthState(), 2);
    EXPECT_EQ(host.effects.back(), 21);
    // A direction moves it at once, without waiting for the interval.
    EXPECT_FALSE(snake.update(press(0, -1)));
    EXPECT_EQ(head().second, 1);
    EXPECT_FALSE(snake.isStuck());

    level({
        "#######",
        "##....#",
        "#<BB..#",
        "##..o.#",
        "#######",
    });
    EXPECT_TRUE(snake.update(ControlState{}));
}

TEST_F(SnakeTest, GrowsOneStepAfterFoodInThreeStagesOfAnEighthOfASecond) {
    // Frame rate and the frames each of the three stages lasts.
    for (const auto& [framesPerSecond, stageFrames] :
         std::vector<std::pair<int, int>>{{55, 6}, {80, 10}, {24, 3}}) {
        SCOPED_TRACE(framesPerSecond);
        level({"##########", "#BB>o....#", "#.......o#", "##########"}, 8, 4, 5, nullptr,
              framesPerSecond);
        steps(1); // onto the food; the grown segment joins on the next step
        EXPECT_EQ(host.eaten, std::vector<int>{2});
        EXPECT_EQ(snake.segmentCount(), 3);
        ASSERT_NE(snake.pendingSegment(), nullptr);
        steps(1);
        EXPECT_EQ(snake.segmentCount(), 4);
        EXPECT_EQ(snake.pendingSegment(), nullptr);
        EXPECT_EQ(map.getBlock(4, 1), 1);
        ASSERT_EQ(snake.tail()->growthStage, 3);
        // The frame it joined in was the first of its first stage.
        std::vector<int> stages, expected;
        for (int frame = 2; frame <= 3 * stageFrames + 1; ++frame) {
            tick();
            stages.push_back(snake.tail()->growthStage);
            expected.push_back(std::max(0, 3 - frame / stageFrames));
        }
        EXPECT_EQ(stages, expected);
    }
}

TEST_F(SnakeTest, BulgesStartEveryTwoToFourteenHundredSegmentsDrawn) {
    // A long snake that does not move: within its first second the only
    // random numbers drawn are the mouth's first delay and the bulge
    // periods, so the same seed tells where each bulge must start.
    const std::string body(60, 'B');
    constexpr int kSeed = 11;
    SeedRandom(kSeed);
    level({std::string(64, '#'), "#>" + body + ".o", "#" + std::string(62, '.') + "#",
           std::string(64, '#')});
    const int count = snake.segmentCount();
    ASSERT_EQ(count, 61);
    std::vector<int> starts;
    bool headBulging = false;
    for (int frame = 0; frame < 54; ++frame) {
        snake.frameStep(ControlState{}, nullptr, 0, 20, 1280, 460, 0, 0, false);
        ASSERT_EQ(snake.mouthState(), 0);
        // Body segments are drawn first, head to tail, then the head.
        int drawn = frame * count;
        for (const SnakeSegment* s = snake.head()->next; s; s = s->next) {
            ++drawn;
            if (s->bulgeActive && s->bulgeFrame == 1 && s->bulgeCounter == 2)
                starts.push_back(drawn);
        }
        if (snake.head()->bulgeActive && !headBulging)
            starts.push_back(frame * count + count);
        headBulging = snake.head()->bulgeActive;
    }
    SeedRandom(kSeed);
    RandomRange(55, 6 * 55); // the mouth
    std::vector<int> expected = {102};
    while (true) {
        const int next = expected.back() + 2 * RandomRange(100, 700);
        if (next > 54 * count)
            break;
        expected.push_back(next);
    }
    ASSERT_GE(expected.size(), 3u);
    EXPECT_EQ(starts, expected);
}

TEST_F(SnakeTest, HalveAndAShrinkRightAfterFood) {
    level({
        "##########################",
        "#>BBBBBBBBBBBBBBBBBBB....#",
        "#o......................o#",
        "##########################",
    });
    EXPECT_EQ(snake.segmentCount(), 20);
    snake.halve();
    EXPECT_EQ(snake.segmentCount(), 10);
    for (int i = 0; i < 3; ++i)
        snake.removeTail();
    EXPECT_EQ(snake.segmentCount(), 7);
    snake.halve();
    EXPECT_EQ(snake.segmentCount(), 5);
    snake.removeTail();
    snake.halve();
    EXPECT_EQ(snake.segmentCount(), 4);

    // Food then shrink on the next step: the waiting segment goes too.
    level({
        "###########",
        "#BBBBBB>os#",
        "#........o#",
        "###########",
    });
    steps(2);
    EXPECT_EQ(host.eaten, (std::vector<int>{2, 10}));
    EXPECT_EQ(snake.pendingSegment(), nullptr);
    EXPECT_EQ(snake.segmentCount(), 5);
    int marked = 0;
    for (int y = 0; y < map.getMapHeight(); ++y)
        for (int x = 0; x < map.getMapWidth(); ++x)
            marked += map.getMark(x, y) != 0;
    EXPECT_EQ(marked, 5);
}

namespace {

// A picture sheet whose 20x20 cells each have a colour of their own, so a
// drawn pixel tells which cell was drawn: (left, top) of the cell.
class PictureSheet {
public:
    PictureSheet() {
        sheet.Create(nullptr, 100, 80, 1);
        for (int cy = 0; cy < 4; ++cy)
            for (int cx = 0; cx < 5; ++cx)
                sheet.FillArea(cx * 20, cy * 20, cx * 20 + 20, cy * 20 + 20,
                               colour(cx * 20, cy * 20));
        sheet.SetColorKey(0);
        target.Create(nullptr, 640, 480, 1);
    }
    static uint32_t colour(int left, int top) { return 0x100000u | (left << 8) | (top + 1); }
    // The cell drawn at the point, or (-1, -1) when nothing was.
    std::pair<int, int> cellAt(int x, int y) {
        target.Lock();
        const uint32_t p = target.GetPixel(x, y) & 0xFFFFFF;
        target.Unlock();
        if (!(p & 0x100000u))
            return {-1, -1};
        return {static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF) - 1};
    }
    GfxSurface sheet;
    GfxSurface target;
};

} // namespace

TEST_F(SnakeTest, SegmentsGlideAndShowTheirPictures) {
    PictureSheet pictures;
    level({"######################", "#BBB>...............o#", "######################"}, 4, 2, 5,
          &pictures.sheet);
    // At StartSpeed 4 a step takes 5 frames: a fifth of a block per frame.
    const std::vector<int> headX = {10752, 11264, 11776, 12288, 12800, 13312};
    // The 102nd segment drawn (frame 26, the second segment) starts its
    // bulge: pictures 4, 5, 5, 6, 6, 7, 7, 6, 6, 5, 5, 4, 4, then 0 again.
    std::vector<std::pair<int, int>> bulge(40, {0, 0});
    const std::pair<int, int> b4{20, 40}, b5{40, 40}, b6{60, 40}, b7{80, 40};
    const std::vector<std::pair<int, int>> frames26to38 = {b4, b5, b5, b6, b6, b7, b7,
                                                           b6, b6, b5, b5, b4, b4};
    std::copy(frames26to38.begin(), frames26to38.end(), bulge.begin() + 25);
    for (int frame = 1; frame <= 80; ++frame) {
        SCOPED_TRACE(frame);
        if (frame == 41) // the level again: the bulge count starts afresh
            level({"######################", "#BBB>...............o#", "######################"}, 4,
                  2, 5, &pictures.sheet);
        pictures.target.FillAll(0);
        snake.update(ControlState{});
        tick({}, &pictures.target);
        if (frame <= 6) {
            EXPECT_EQ(snake.head()->drawnX, headX[static_cast<size_t>(frame - 1)]);
        }
        std::vector<std::pair<int, int>> seen,
            expected = {{40, 0}, {0, 0}, bulge[(frame - 1) % 40], {0, 0}};
        for (const SnakeSegment* s = snake.head(); s; s = s->next) {
            // The whole cell: its first and its last pixel.
            const int x = s->drawnX >> 7, y = 20 + (s->drawnY >> 7);
            seen.push_back(pictures.cellAt(x, y));
            EXPECT_EQ(pictures.cellAt(x + 19, y + 19), seen.back());
        }
        EXPECT_EQ(seen, expected);
    }

    // Nothing is drawn on or past the window's edges.
    pictures.target.FillAll(0);
    const SnakeSegment* head = snake.head();
    const int x = head->targetX >> 7, y = head->targetY >> 7;
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{x, 460}, {640, y}}) {
        snake.frameStep(ControlState{}, &pictures.target, 0, 20, width, height, 0, 0, true);
        EXPECT_EQ(pictures.cellAt(x + 10, 20 + y + 10), std::make_pair(-1, -1));
    }
    snake.frameStep(ControlState{}, &pictures.target, 0, 20, x + 1, y + 1, 0, 0, true);
    EXPECT_NE(pictures.cellAt(x + 10, 20 + y + 10), std::make_pair(-1, -1));
}

TEST_F(SnakeTest, TheMouthOpensBrieflyAndGapesWhileStopped) {
    PictureSheet pictures;
    SeedRandom(7);
    level({"#######", "#..o..#", "#BB>..#", "#.....#", "#######"}, 4, 2, 5, &pictures.sheet);
    auto headCell = [&] {
        const SnakeSegment* s = snake.head();
        const int x = s->drawnX >> 7, y = 20 + (s->drawnY >> 7);
        EXPECT_EQ(pictures.cellAt(x + 19, y + 19), pictures.cellAt(x, y));
        return pictures.cellAt(x, y);
    };
    auto frame = [&] {
        snake.update(ControlState{});
        tick({}, &pictures.target);
    };
    // Three steps: the third finds the wall with both sides free; the head
    // shows the third row (top 60) for a quarter of a second (13 frames).
    for (int i = 0; i < 11; ++i)
        frame();
    ASSERT_TRUE(snake.isStuck());
    EXPECT_EQ(snake.mouthState(), 2);
    EXPECT_EQ(host.effects, std::vector<int>{21});
    int gaping = 0;
    while (snake.mouthState() == 2 && gaping < 100) {
        EXPECT_EQ(headCell(), std::make_pair(40, 60));
        frame();
        ++gaping;
    }
    EXPECT_EQ(gaping, 12); // 13 frames with the one it stopped in
    // Closed for one to six seconds, then open (top 20) for 6 frames.
    int closed = 0;
    while (snake.mouthState() == 0 && closed < 400) {
        frame();
        ++closed;
    }
    EXPECT_GE(closed, 55);
    EXPECT_LE(closed, 330);
    int open = 0;
    while (snake.mouthState() == 1 && open < 100) {
        EXPECT_EQ(headCell(), std::make_pair(40, 20));
        frame();
        ++open;
    }
    EXPECT_EQ(open, 6);
    EXPECT_EQ(snake.mouthState(), 0);

    snake.clear();
    EXPECT_EQ(head(), std::make_pair(0, 0)); // no head
}

TEST_F(SnakeTest, PictureNumbersOutsideTheSheetTakeTheFirstPicture) {
    auto cell = [](const GfxRect& r) { return std::vector<int>{r.left, r.top, r.right, r.bottom}; };
    for (int index : {-1, 8, 1000})
        EXPECT_EQ(cell(Snake::bodyPicture(index)), (std::vector<int>{0, 0, 20, 20})) << index;
    for (int mouth : {-1, 3})
        EXPECT_EQ(cell(Snake::headPicture(Snake::kDown, mouth)), (std::vector<int>{60, 0, 80, 20}))
            << mouth;
}
