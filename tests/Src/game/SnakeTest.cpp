// The snake on small maps, driven by scripts of controls; each scenario
// writes what a player could see after each step of its script (head,
// direction, length, speed, turns kept, mouth, growth, items eaten, sounds,
// drawn pictures) and the whole is compared with a checked-in transcript.
#include "Src/game/Snake.h"

#include "Src/core/InputManager.h"
#include "gfx/GfxSurface.h"
#include "lib/Random.h"
#include "map/FmpWriter.h"
#include "map/TileMap.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"
#include "tools/levelc/LevelSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Items count and record what the snake asks of the game.
class FakeHost : public SnakeHost {
public:
    int itemsLeft() const override { return items; }
    bool eatItem(int block, int) override {
        eaten += std::to_string(block) + ",";
        if (block == kBlockShrink)
            snake->halve();
        if (block == kBlockSpeedReset)
            snake->resetSpeed();
        items -= block == kBlockFood;
        return block == kBlockFood;
    }
    void playEffect(int event) override { effects += std::to_string(event) + ","; }

    int items = 0;
    Snake* snake = nullptr;
    std::string eaten, effects;
};

// A picture sheet whose 20x20 cells each have a colour of their own, so a
// drawn pixel tells which cell was drawn.
struct PictureSheet {
    PictureSheet() {
        sheet.Create(nullptr, 100, 80, 1);
        for (int top = 0; top < 80; top += 20)
            for (int left = 0; left < 100; left += 20)
                sheet.FillArea(left, top, left + 20, top + 20, 0x100000u | (left << 8) | (top + 1));
        sheet.SetColorKey(0);
        target.Create(nullptr, 640, 480, 1);
    }
    // "left,top" of the cell drawn at the point, "-" when nothing was.
    std::string cellAt(int x, int y) {
        target.Lock();
        const uint32_t p = target.GetPixel(x, y) & 0xFFFFFF;
        target.Unlock();
        if (!(p & 0x100000u))
            return "-";
        return std::to_string((p >> 8) & 0xFF) + "," + std::to_string((p & 0xFF) - 1);
    }
    GfxSurface sheet, target;
};

struct Scenario {
    const char* what;
    std::string rows; // level source characters, rows ended by '/'
    // Tokens, each writing a line, runs of equal lines folded: s (frames
    // until the next step), u (one update), t (one movement and drawing), f
    // (u then t), with the controls held (U D L R F); sec, halve, cut,
    // reset, nofood, map, level (built again); xN repeats.
    const char* script;
    int startSpeed = 8, topSpeed = 4, incSpeed = 5, framesPerSecond = 55;
    bool pictures = false;
    int seed = 1;
};

class SnakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!segmentPool)
            segmentPool = new SegmentPool;
    }
    void TearDown() override { snake.clear(); }

    void level(const Scenario& s) {
        std::string text = "map\n" + s.rows;
        std::replace(text.begin(), text.end(), '/', '\n');
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
        snake.setSpeeds(s.startSpeed, s.topSpeed, s.incSpeed);
        host = FakeHost();
        host.snake = &snake;
        crashed = false;
        ASSERT_TRUE(
            snake.init(&map, &host, s.pictures ? &sheet.sheet : nullptr, s.framesPerSecond));
        host.items = snake.buildFromMap();
    }

    std::pair<int, int> head() const {
        int col = 0, row = 0;
        snake.headCell(col, row);
        return {col, row};
    }
    // One frame: the controls read, then movement and drawing.
    bool frame(const ControlState& control, bool update = true) {
        if (update && snake.update(control))
            return crashed = true;
        sheet.target.FillAll(0);
        snake.frameStep(control, pictures ? &sheet.target : nullptr, 0, 20, 640, 460, 0, 0, false);
        return false;
    }
    // Frames until the head moves to another cell or the snake stops.
    int step(const ControlState& control) {
        const std::pair<int, int> at = head();
        for (int frames = 1; frames < 1000; ++frames)
            if (frame(control) || head() != at || snake.isStuck())
                return frames;
        return 1000;
    }

    std::string state() {
        static const char* const kDirections = "URDL";
        std::ostringstream out;
        const auto [col, row] = head();
        out << "head=" << col << "," << row;
        if (snake.head())
            out << kDirections[snake.head()->direction] << " len=" << snake.segmentCount()
                << " tail=" << snake.tail()->column << "," << snake.tail()->row
                << kDirections[snake.tail()->direction]
                << " grow=" << int(snake.tail()->growthStage);
        if (snake.head())
            out << " at=" << snake.head()->drawnX << "," << snake.head()->drawnY;
        out << " int=" << snake.normalInterval() << "/" << snake.currentInterval();
        int marked = 0;
        for (int y = 0; y < map.getMapHeight(); ++y)
            for (int x = 0; x < map.getMapWidth(); ++x)
                marked += map.getMark(x, y) != 0;
        out << " marks=" << marked << " items=" << host.items << " mouth=" << snake.mouthState();
        for (const auto& [flag, name] : {std::pair{snake.boostActive(), " boost"},
                                         {snake.isStuck(), " stuck"},
                                         {snake.hasBufferedTurn(), " buffered"},
                                         {snake.pendingSegment() != nullptr, " pending"},
                                         {crashed, " CRASH"}})
            if (flag)
                out << name;
        if (!host.eaten.empty())
            out << " ate=" << host.eaten;
        if (!host.effects.empty())
            out << " sound=" << host.effects;
        host.eaten.clear();
        host.effects.clear();
        if (pictures && snake.head()) {
            // The cell of each segment, where its first and its last pixel agree.
            out << " cells=";
            for (const SnakeSegment* s = snake.head(); s; s = s->next) {
                const int x = s->drawnX >> 7, y = 20 + (s->drawnY >> 7);
                const std::string cell = sheet.cellAt(x, y);
                out << cell << (sheet.cellAt(x + 19, y + 19) == cell ? " " : "? ");
            }
        }
        return out.str();
    }

    std::string mapRows() {
        std::string out;
        for (int y = 0; y < map.getMapHeight(); ++y) {
            out += "\n  ";
            for (int x = 0; x < map.getMapWidth(); ++x)
                out += "0123456789abcdefghijklmnopqrstuvwxyz"[map.getBlock(x, y) % 36];
            out += " ";
            for (int x = 0; x < map.getMapWidth(); ++x)
                out += static_cast<char>('0' + map.getMark(x, y));
        }
        return out;
    }

    std::string play(const Scenario& s) {
        SeedRandom(s.seed);
        pictures = s.pictures;
        level(s);
        std::string out = std::string("# ") + s.what + "\nbuilt: " + state() + "\n", last;
        int repeats = 0;
        auto fold = [&] {
            if (repeats)
                out += "  (same x" + std::to_string(repeats) + ")\n";
            repeats = 0;
        };
        std::istringstream script(s.script);
        for (std::string token; script >> token;) {
            const size_t countAt = token.find('x', 1);
            const std::string op = token.substr(0, countAt);
            auto held = [&](char key) { return op.find(key) != std::string::npos; };
            ControlState control;
            control.horizontal = static_cast<int8_t>(held('R') - held('L'));
            control.vertical = static_cast<int8_t>(held('D') - held('U'));
            control.buttons = static_cast<int8_t>(held('F') ? kControlFire : 0);
            const int count =
                countAt == std::string::npos ? 1 : std::stoi(token.substr(countAt + 1));
            for (int i = 0; i < count; ++i) {
                int frames = 0;
                if (op == "sec")
                    snake.secondTick();
                else if (op == "halve")
                    snake.halve();
                else if (op == "cut")
                    snake.removeTail();
                else if (op == "reset")
                    snake.resetSpeed();
                else if (op == "nofood")
                    host.items = 0;
                else if (op == "level")
                    level(s);
                else if (op[0] == 's')
                    frames = step(control);
                else if (op[0] == 'u')
                    crashed = snake.update(control) || crashed;
                else if (op[0] == 't' || op[0] == 'f')
                    frame(control, op[0] == 'f');
                const std::string line = token + ": " + state() +
                                         (frames ? " frames=" + std::to_string(frames) : "") +
                                         (op == "map" ? mapRows() : "");
                if (line == last) {
                    ++repeats;
                    continue;
                }
                fold();
                out += line + "\n";
                last = line;
            }
        }
        fold();
        return out;
    }

    TempDir dir;
    TileMap map;
    FakeHost host;
    Snake snake;
    PictureSheet sheet;
    bool crashed = false, pictures = false;
};

// Room all round: the head at (3, 3) heading right, food below.
const char* const kOpen = "#######/#.....#/#.....#/#BB>..#/#.....#/#..o..#/#######/";
const char* const kCurled = "#######/#.....#/#vBBB.#/#.o.B.#/#.....#/#######/";
const char* const kGlide = "######################/#BBB>...............o#/######################/";

} // namespace

TEST_F(SnakeTest, ScenariosPlayAsTheTranscriptSays) {
    const std::vector<Scenario> scenarios = {
        // The chain traced from the map; the stray piece stays a block.
        {"built from the map", "########/#.o....#/#.>BB..#/#...B.o#/#.B....#/########/", "map"},
        // A step every nine frames at StartSpeed 8, the first at once;
        // faster every IncSpeed seconds, never below TopSpeed x 16; fire
        // boosts while held.
        {"speeds",
         "##############################/#BB>........................o#/"
         "##############################/",
         "sx3 secx42 reset tF t", 8, 4, 2},
        {"the reverse is ignored", kOpen, "sL"},
        {"up wins over right", kOpen, "sL sUR"},
        {"right into the body", kCurled, "sR"},
        {"right into the body, all food eaten", kCurled, "nofood sR"},
        {"straight into the body turns away", "#######/#.BBB.#/#.B#^.#/#..#..#/#o....#/#######/",
         "s"},
        {"right into the body after a straight step",
         "#######/#vB...#/#.B...#/#.B...#/#.B.o.#/#.....#/#######/", "s sR"},
        // A turn into a wall is kept for eleven steps, held or tapped.
        {"down into a wall",
         "##################/#BB>.............#/#######.##########/#######o##########/"
         "##################/",
         "sD sx4"},
        {"right into a wall heading down", "#####/#B###/#v###/#.###/#.###/#..o#/#.###/#####/",
         "sR sx3"},
        {"a tapped turn into a wall",
         "########################/#BB>..................o#/########################/",
         "s uD sD uD sx12"},
        {"a tapped turn into a wall heading down",
         "###/#B#/#v#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#.#/#o#/###/",
         "s uR sR uR sx12"},
        // A tap between two steps counts at the next step only.
        {"a tap of up", kOpen, "s uU u s"},
        {"a tap to the side while heading up, the body round the corner",
         "##########/#........#/#........#/#....BB>.#/#........#/#o.......#/##########/",
         "sU uL sx3"},
        {"right held at the step wins", kOpen, "s uU sR"},
        {"a tapped reverse is ignored", kOpen, "s uL s"},
        {"the last new press counts", kOpen, "s uU uD uD s"},
        {"right pressed while up is held", kOpen, "s uU uUR s"},
        {"right held through a tap of up", kOpen, "s uR uUR uR sR"},
        // Stopped between two free sides, a direction moves it at once.
        {"stops before a wall", "#######/#.....#/#.<BB.#/#.....#/#o....#/#######/",
         "s ux21 uU fx3"},
        {"crashes between two walls", "#######/##....#/#<BB..#/##..o.#/#######/", "u"},
        // Grows one step after food, in three stages of an eighth of a second.
        {"grows at 55 frames", "##########/#BB>o....#/#.......o#/##########/", "s s map tx18", 8, 4,
         5, 55, true},
        {"no frame rate counts as 55", "##########/#BB>o....#/#.......o#/##########/",
         "s s tx18 fx400", 8, 4, 5, 0},
        {"one frame a second", "##########/#BB>o....#/#.......o#/##########/", "s s tx4", 8, 4, 5,
         1},
        {"built on the top row", "#BB>..o#/#......#/########/", "s"},
        {"grows at 80 frames", "##########/#BB>o....#/#.......o#/##########/", "s s tx30", 8, 4, 5,
         80},
        {"grows at 24 frames", "##########/#BB>o....#/#.......o#/##########/", "s s tx9", 8, 4, 5,
         24},
        {"halved and cut",
         "##########################/#>BBBBBBBBBBBBBBBBBBB....#/#o......................o#/"
         "##########################/",
         "halve cutx3 halve cut halve"},
        {"a shrink right after food takes the waiting segment too",
         "###########/#BBBBBB>os#/#........o#/###########/", "s s"},
        // A fifth of a block per frame at StartSpeed 4; a bulge from the
        // 102nd segment drawn, counted afresh in a new level.
        {"glides and bulges", kGlide, "fx40 level fx40", 4, 2, 5, 55, true},
        // The mouth gapes a quarter second when stopped, then opens for six
        // frames after one to six seconds closed; the next bulge starts 2 to
        // 14 hundred segments drawn after the first.
        {"the mouth", "#######/#..o..#/#BB>..#/#.....#/#######/", "fx400", 4, 2, 5, 55, true, 7},
    };
    std::string transcript;
    for (const Scenario& s : scenarios)
        transcript += play(s);
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/snake.txt", transcript);
}

TEST_F(SnakeTest, NothingIsDrawnOnOrPastTheWindowEdgesNorFromOutsideTheSheet) {
    pictures = true;
    level({"edges", kGlide, "", 4, 2, 5, 55, true});
    const int x = snake.head()->targetX >> 7, y = snake.head()->targetY >> 7;
    // Width and height of the view, the scroll, and the head's cell seen
    // where it would be drawn; a block above the view stays off the strip.
    for (const auto& [width, height, scrollY, drawn] :
         std::vector<std::tuple<int, int, int, bool>>{{x, 460, 0, false},
                                                      {640, y, 0, false},
                                                      {x + 1, y + 1, 0, true},
                                                      {640, 460, y + 20, false},
                                                      {640, 460, y + 19, true}}) {
        sheet.target.FillAll(0);
        snake.frameStep(ControlState{}, &sheet.target, 0, 20, width, height, 0, scrollY, true);
        EXPECT_EQ(sheet.cellAt(x + 10, 20 + y - scrollY + 19) != "-", drawn)
            << width << "x" << height << " scrolled " << scrollY;
    }
    auto cell = [](const GfxRect& r) { return std::vector<int>{r.left, r.top, r.right, r.bottom}; };
    for (int index : {-1, 8, 1000})
        EXPECT_EQ(cell(Snake::bodyPicture(index)), (std::vector<int>{0, 0, 20, 20})) << index;
    for (int mouth : {-1, 3})
        EXPECT_EQ(cell(Snake::headPicture(Snake::kDown, mouth)), (std::vector<int>{60, 0, 80, 20}))
            << mouth;
    snake.clear();
    EXPECT_EQ(head(), std::make_pair(0, 0)); // no head
}

// The block is handed out before any single allocation; a given-back segment
// is taken again first, zeroed, and giving it twice changes nothing.
TEST(SegmentPool, HandsOutTheBlockFirstThenSingleSegments) {
    SegmentPool pool;
    std::vector<SnakeSegment*> taken;
    for (int i = 0; i < SegmentPool::kBlockSize; ++i)
        taken.push_back(pool.take());
    EXPECT_EQ(pool.extraAllocations(), 0);
    taken.push_back(pool.take());
    taken.push_back(pool.take());
    EXPECT_EQ(pool.extraAllocations(), 2);
    taken[5]->column = 7;
    pool.give(taken[5]);
    pool.give(taken[5]);
    pool.give(nullptr);
    EXPECT_EQ(pool.inUse(), SegmentPool::kBlockSize + 1);
    EXPECT_EQ(pool.take(), taken[5]);
    EXPECT_EQ(taken[5]->column, 0);
    EXPECT_EQ(pool.extraAllocations(), 2);
    // Segments given back are all taken again before any new allocation;
    // single ones left in use or free are freed with the pool.
    pool.give(taken.back());
    pool.give(taken[0]);
    EXPECT_EQ(pool.inUse(), SegmentPool::kBlockSize);
    pool.take();
    pool.take();
    EXPECT_EQ(pool.extraAllocations(), 2);
    pool.give(taken[1]);
}
// Taken and given in a shuffled order, so that segments leave the list in
// use from its head, middle and end: the pool still frees each single
// segment once, in use or not (the sanitizer build sees a leak or a double
// free otherwise).
TEST(SegmentPool, FreesEverySingleSegmentOnceWhateverTheOrder) {
    SegmentPool pool;
    std::vector<SnakeSegment*> live;
    uint32_t seed = 7;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i < 230 || (seed >> 16 & 1) || live.empty()) {
            live.push_back(pool.take());
        } else {
            const size_t k = (seed >> 17) % live.size();
            pool.give(live[k]);
            live.erase(live.begin() + k);
        }
    }
    EXPECT_EQ(pool.inUse(), int(live.size()));
    EXPECT_GT(pool.extraAllocations(), 30);
}
