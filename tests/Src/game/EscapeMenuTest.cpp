// The escape menu over a running level: resuming leaves the level exactly as
// it stopped, quitting ends the game without statistics, its sounds and the
// paused music, a closed window, and the dissolve stripes of the picture.
#include "Src/game/EscapeMenu.h"

#include "Src/menus/MenuBox.h"
#include "tests/support/PlayedGame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace played;

namespace {

const std::vector<std::string> kCorridor = {
    "##############################", "#BB>.........................#",
    "#...........................o#", "##############################"};
const char* const kSlow = "Time=60,60,60\nStartSpeed=8,8,8\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n";

// What a level is made of while it runs.
struct LevelState {
    std::vector<int> snake; // column, row, direction, growth of each segment
    std::vector<int> blocks;
    int itemsLeft = 0, score = 0, timeLeft = 0, lives = 0;
    bool operator==(const LevelState&) const = default;
};

LevelState levelState(GameManager& game) {
    LevelState state;
    for (const SnakeSegment* s = game.snake().head(); s; s = s->next)
        state.snake.insert(state.snake.end(), {s->column, s->row, s->direction, s->growthStage});
    for (int y = 0; y < game.map().getMapHeight(); ++y)
        for (int x = 0; x < game.map().getMapWidth(); ++x)
            state.blocks.push_back(game.map().getBlock(x, y));
    state.itemsLeft = game.itemsLeft();
    state.score = game.score();
    state.timeLeft = game.timeLeft();
    state.lives = game.lives();
    return state;
}

class EscapeMenuTest : public PlayedGame {};

} // namespace

TEST_F(EscapeMenuTest, ResumeContinuesTheLevelAsItStoppedAndQuitEndsTheGame) {
    zone(kCorridor, kSlow);
    std::vector<LevelState> atMenu;
    std::vector<int> menuFrames;
    std::vector<bool> clearAboveMap;
    game.onEscapeMenu = [&] {
        atMenu.push_back(levelState(game));
        menuFrames.push_back(frame());
        // Where the menu box stood beside the map, the background again.
        back->Lock();
        clearAboveMap.push_back(back->GetPixel(320, 205) == back->GetPixel(0, 470));
        back->Unlock();
        EXPECT_NE(game.escapeMenu().snapshot(), nullptr) << "taken in the escape frame";
    };
    tap(40, kScanEscape);
    // Held through "Resume Game": the level pauses in its first frame, so
    // nothing moves before escape opens the menu again.
    key(70, kScanP, true);
    tap(75, kScanEnter);
    key(100, kScanP, false);
    tap(120, kScanEscape);
    tap(140, kScanDown);
    tap(150, kScanEnter);
    limitFrames(1000);
    game.run();

    ASSERT_EQ(atMenu.size(), 2u);
    EXPECT_GT(atMenu[0].snake.size(), 8u);
    EXPECT_EQ(atMenu[0], atMenu[1]);
    EXPECT_EQ(clearAboveMap, (std::vector<bool>{true, true}));
    // Escape is taken in the frame it is seen, the picture kept; the level
    // had been running before (the snake moved off its start).
    EXPECT_EQ(menuFrames[0], 41);
    EXPECT_NE(atMenu[0].snake[0], 3);
    // "Quit Game": the loop result stays escape, no statistics, no entry.
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(statistics.gamesPlayed, 0);
    EXPECT_EQ(statistics.levelsDone, 0);
    EXPECT_EQ(statistics.totalRunTime.ticks(), 0);
    EXPECT_EQ(game.newHighScore().rank(), 0);
    EXPECT_EQ(game.escapeMenu().snapshot(), nullptr);
    EXPECT_EQ(menuBoxManager->stackSize(), 0);
    EXPECT_FALSE(app.quitPosted);
}

TEST_F(EscapeMenuTest, TheLevelGoesOnAfterResumeAndEscapeMustBeLetGoFirst) {
    zone(kCorridor, kSlow);
    int menus = 0;
    game.onEscapeMenu = [&] { ++menus; };
    key(10, kScanEscape, true);
    key(20, kScanEscape, false);
    tap(40, kScanEnter); // "Resume Game"
    // Held from before the level resumes: no second menu until let go.
    key(40, kScanEscape, true);
    limitFrames(120);
    game.run();
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(app.loopResult, kLoopQuit);
    // About 90 level frames of the 120: one second gone; the menu's frames
    // did not count.
    EXPECT_EQ(game.timeLeft(), 59);
    EXPECT_EQ(game.escapeMenu().snapshot(), nullptr) << "only escape takes a picture";
}

// Escape in the menu only sounds, moves sound past the ends, and the music
// waits; without music and effects the menu is silent, and music of
// another option goes on.
TEST_F(EscapeMenuTest, TheMenuSoundsAsTheOptionsSayAndTheMusicWaits) {
    const struct {
        bool on;
        std::vector<int> keys; // tapped 10 frames apart from frame 10
        const char* played;
        int loopResult;
    } cases[] = {
        {true,
         {kScanEscape, 0, kScanEscape, 0, kScanDown, kScanUp, kScanUp, kScanDown, kScanEnter},
         "setPaused e16.mod 1;playSample e1.wav;" // opened
         "playSample e1.wav;"                     // escape: stays open
         "playSample e2.wav;playSample e2.wav;"   // moves, each once past an end
         "playSample e2.wav;playSample e2.wav;"
         "playSample e1.wav;setPaused e16.mod 0;" // "Resume Game"
         "playSample e20.wav;",                   // enter, still down, boosts
         kLoopQuit},
        {false, {kScanEscape, 0, 0, 0, kScanDown, 0, kScanEnter}, "", kLoopEscape},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.on);
        zone(kCorridor, kSlow);
        recordSounds();
        options.soundEffects = options.inGameMusic = c.on;
        if (!c.on)
            soundSystem->PlayEvent(16);
        soundsPlayed();
        app.quitPosted = false;
        const int start = frame();
        int menus = 0;
        game.onEscapeMenu = [&] {
            ++menus;
            EXPECT_EQ(soundsPlayed().find("playSong e16.mod;") != std::string::npos, c.on);
        };
        for (size_t i = 0; i < c.keys.size(); ++i)
            if (c.keys[i])
                tap(start + 10 + 10 * static_cast<int>(i), c.keys[i]);
        limitFrames(start + 130);
        game.run();
        EXPECT_EQ(menus, 1);
        EXPECT_EQ(soundsPlayed(), c.played);
        EXPECT_EQ(app.loopResult, c.loopResult);
    }
}

TEST_F(EscapeMenuTest, ClosingTheWindowInTheMenuEndsGameAndProgram) {
    zone(kCorridor, kSlow);
    tap(10, kScanEscape);
    limitFrames(30);
    game.run();
    EXPECT_EQ(app.loopResult, kLoopQuit);
    EXPECT_TRUE(app.quitPosted);
    EXPECT_EQ(statistics.gamesPlayed, 0);
    EXPECT_EQ(game.map().getMapWidth(), 0) << "the level is unloaded";
    // Any loop after it ends at once.
    const int before = frame();
    winloop(game.escapeMenu().loop(), true);
    EXPECT_EQ(frame(), before);
}

TEST_F(EscapeMenuTest, StripesDissolveThePictureBandByBand) {
    struct Case {
        int height;
        std::vector<int> rows;
    };
    const std::vector<Case> cases = {
        {480, {0, 117, 234, 351, 468, 96, 213, 330, 447, 75, 192, 309, 426, 54}},
        {120, {0, 117, 105, 93}},
        {119, {0, 0, 106, 95}}, // the last stripe would reach past the bottom
        {110, {0, 0, 0}},       // wraps above the top: the first row is filled again
    };
    const uint32_t picture = 0x123456, background = 0x00AA00;
    // One menu for all: each dissolve starts again at the top.
    EscapeMenu menu;
    for (const Case& c : cases) {
        GfxSurface source;
        ASSERT_EQ(source.Create(app.screen, 640, c.height, 2), 0);
        source.FillAll(picture);
        menu.takeEscapeSnapshot(&source);
        ASSERT_NE(menu.snapshot(), nullptr);
        menu.startDissolve(background);
        std::vector<int> rows;
        for (size_t i = 0; i < c.rows.size(); ++i) {
            menu.escapeMenuFrame();
            rows.push_back(menu.stripeRow());
        }
        EXPECT_EQ(rows, c.rows) << c.height;
        GfxSurface* snapshot = menu.snapshot();
        snapshot->Lock();
        for (int row : c.rows) {
            EXPECT_EQ(snapshot->GetPixel(5, row) & 0xFFFFFF, background) << row;
            EXPECT_EQ(snapshot->GetPixel(639, row + 2) & 0xFFFFFF, background) << row;
        }
        EXPECT_EQ(snapshot->GetPixel(0, 3) & 0xFFFFFF, picture); // the picture where it was
        snapshot->Unlock();
    }
    // The back surface shows the picture as it was before this frame's
    // stripe: rows 0-2 went in the first frame, so the second shows them.
    back->Lock();
    EXPECT_EQ(back->GetPixel(0, 0) & 0xFFFFFF, background);
    back->Unlock();
}

// The menu as the player meets it, each time it opens: its title and
// entries, the box in the middle of the window with its entries centred,
// the cursor shown, the picture dissolving in the level's background
// colour, and a click on an entry choosing it.
TEST_F(EscapeMenuTest, TheMenuStandsInTheMiddleWithItsTextsAndTakesAClick) {
    writeZone(dir, "Test", {{kCorridor, kSlow}}, "Skill=1\nBackcolor=RGB(22,52,20)\n");
    ASSERT_TRUE(levelCatalogue.scanZones());
    struct Seen {
        std::vector<std::string> texts;
        int left = 0, top = 0, width = 0, height = 0;
        bool centred = false, cursor = false;
        uint32_t stripe = 0, background = 0;
    };
    std::vector<Seen> seen;
    int opened = -100;
    game.onEscapeMenu = [&] { opened = frame(); };
    platform.afterPresent = [&](int f) {
        MenuBox* box = menuBoxManager->top();
        if (!box || f != opened + 3)
            return;
        Seen s;
        s.texts.push_back(box->title().text.c_str());
        for (int i = 0; i < box->entryCount(); ++i)
            s.texts.push_back(box->entry(i).text.c_str());
        box->position(s.left, s.top);
        s.width = box->width();
        s.height = box->height();
        s.centred = box->centred;
        s.cursor = platform.cursorVisible();
        back->Lock();
        s.stripe = back->GetPixel(5, 1) & 0xFFFFFF;       // dissolved by now
        s.background = back->GetPixel(0, 470) & 0xFFFFFF; // beside the map
        back->Unlock();
        seen.push_back(s);
        // The middle of "Resume Game" the first time, of "Quit Game" then.
        PlatformEvent click;
        click.type = PlatformEvent::MouseButtonDown;
        click.button = 1;
        click.x = s.left + s.width / 2;
        click.y = s.top + box->entry(seen.size() == 1 ? 0 : 1).y + box->lineHeight() / 2;
        platform.pushEvent(click);
    };
    tap(10, kScanEscape);
    tap(40, kScanEscape);
    limitFrames(300);
    game.run();

    ASSERT_EQ(seen.size(), 2u) << "the first click resumes the level";
    for (const Seen& s : seen) {
        EXPECT_EQ(s.texts,
                  (std::vector<std::string>{"Really quit game?", "Resume Game", "Quit Game"}));
        EXPECT_GT(s.width, 0);
        EXPECT_EQ(s.left, (640 - s.width) / 2);
        EXPECT_EQ(s.top, (480 - s.height) / 2);
        EXPECT_TRUE(s.centred);
        EXPECT_TRUE(s.cursor);
        EXPECT_NE(s.background, 0u);
        EXPECT_EQ(s.stripe, s.background);
    }
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(statistics.gamesPlayed, 0);
}
