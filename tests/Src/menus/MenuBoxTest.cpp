// Menu boxes and their manager: keyboard moves with wrap and greyed
// entries, key repeat and clicks through the real loop on scripted input,
// and one picture of boxes of every kind for layout and rendering.
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "tests/support/ScanCodes.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

std::string moves; // what onMove was called with: u for 1, d for 0
void recordMove(int up) {
    moves += up == 1 ? 'u' : up == 0 ? 'd' : '?';
}

class MenuBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = ApplicationState();
        platform.createWindow("Lurvane", 640, 480);
        app.platform = &platform;
        app.appActive = 1;
        app.framesPerSecond = 50;
        ASSERT_EQ(screen.CreateWindowed(&platform, 640, 480), 0);
        app.screen = &screen;
        ASSERT_EQ(back.Create(&screen, 640, 480, kSurfaceMemoryAny), 0);
        app.backSurface = &back;
        ASSERT_TRUE(input.init(&platform));
        errorLog.open(dir.file("errorLog.txt").c_str());
        MenuBoxManager::inputState() = MenuInputState();
        moves.clear();
    }
    void TearDown() override {
        errorLog.close();
        app = ApplicationState();
    }

    // A box the test owns, by default at (100, 50) with seven entries, the
    // fourth greyed.
    MenuBox* makeMenu(const char* title = "Main Menu", int x = 100, int y = 50,
                      std::initializer_list<const char*> texts = {
                          "Start", "Zone", "Options", "Greyed", "Help", "Credits", "Quit"}) {
        MenuBox* box = new MenuBox(&screen, x, y, title);
        for (const char* text : texts)
            box->addEntry(text, std::string(text) != "Greyed");
        box->onMove = recordMove;
        boxes.emplace_back(box);
        return box;
    }

    void key(int frame, int scanCode, bool down) { platform.keyAtFrame(frame, scanCode, down); }
    void click(int frame, int x, int y) { platform.clickAtFrame(frame, x, y); }

    // Runs the menu loop for a number of frames as the front end does: each
    // frame's result ('.' nothing, 'B' beside, 'E' escape, else the entry)
    // and the selection after it.
    struct Log {
        std::string results, selections;
    };
    Log run(int frames) {
        Log log;
        LoopCallbacks loop;
        loop.frame = [&] {
            const int result = manager.drawAndHandle(input.updateForMenu());
            log.results += result == -1   ? '.'
                           : result == -2 ? 'B'
                           : result == -3 ? 'E'
                                          : '0' + result;
            log.selections +=
                static_cast<char>('0' + (manager.top() ? manager.top()->selected : -1));
            if (static_cast<int>(log.results.size()) == frames)
                app.loopResult = kLoopChoice;
        };
        loop.mouseClick = [&](int x, int y) { manager.mouseClick(x, y); };
        winloop(loop, true);
        return log;
    }
    std::string errorLogText() const { return dir.read("errorLog.txt"); }

    TempDir dir;
    HeadlessPlatform platform{1};
    GfxScreen screen{&platform};
    GfxSurface back;
    InputManager input;
    MenuBoxManager manager;
    std::vector<std::unique_ptr<MenuBox>> boxes;
};

} // namespace

// Entries by letter, lower case greyed; each move sounds, even one that
// stays, and a menu with nothing selectable ends its move.
TEST_F(MenuBoxTest, KeyboardMovesWrapAndSkipGreyedEntries) {
    const char* const seven = "SZOgHCQ";
    const struct {
        const char* entries;
        bool wrap;
        int start;
        const char* steps; // u up, d down
        const char* expected;
    } cases[] = {
        {seven, true, 0, "u", "6"},        // from the first to the last
        {seven, false, 0, "u", "0"},       // stays at the top
        {seven, true, 6, "d", "0"},        // from the last to the first
        {seven, false, 6, "d", "6"},       // stays at the bottom
        {seven, true, 2, "dduu", "4542"},  // the greyed fourth is skipped both ways
        {seven, false, 2, "dduu", "3432"}, // without wrap it is not
        {seven, false, 1, "uuu", "000"},   {"gAB", true, 1, "u", "2"},
        {"gh", true, 0, "d", "0"},         {"A", true, 0, "ud", "00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entries) + " " + c.steps + (c.wrap ? " wrap" : " no wrap"));
        MenuBox* box = makeMenu();
        box->clearEntries();
        for (const char* e = c.entries; *e; ++e)
            box->addEntry(std::string(1, *e).c_str(), std::isupper(*e));
        box->wrap = c.wrap;
        box->selected = c.start;
        moves.clear();
        std::string got;
        for (const char* s = c.steps; *s; ++s) {
            if (*s == 'u')
                box->selectPrevious();
            else
                box->selectNext();
            got += static_cast<char>('0' + box->selected);
        }
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(moves, c.steps);
    }
    MenuBox* box = makeMenu();
    EXPECT_EQ(box->addEntry(nullptr), -1);
    EXPECT_EQ(box->entryCount(), 7);
    EXPECT_EQ(box->addEntry("c", false), 7);
}

TEST_F(MenuBoxTest, AHeldKeyActsAtOnceThenEveryFourteenFrames) {
    const struct {
        int scanCode;
        std::vector<std::pair<int, bool>> keys; // frame, down
        std::string selections;
        const char* moves;
    } cases[] = {
        // The press is seen from the fourth frame: a step at once, then one
        // every 14 frames (skipping the greyed entry) until the release; a
        // new press steps at once.
        {kScanDown,
         {{3, true}, {40, false}, {43, true}, {44, false}},
         "000" + std::string(14, '1') + std::string(14, '2') + std::string(12, '4') +
             std::string(7, '5'),
         "dddd"},
        {kScanUp,
         {{3, true}, {20, false}},
         "000" + std::string(14, '6') + std::string(5, '5'),
         "uu"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scanCode);
        MenuBox* box = makeMenu();
        box->wrap = true;
        manager.clearStack();
        manager.push(box);
        manager.resetInput();
        moves.clear();
        const int start = platform.framesPresented();
        for (const auto& [frame, down] : c.keys)
            key(start + frame, c.scanCode, down);
        const Log log = run(static_cast<int>(c.selections.size()));
        EXPECT_EQ(log.selections, c.selections);
        EXPECT_EQ(moves, c.moves);
        EXPECT_EQ(log.results, std::string(c.selections.size(), '.'));
    }
}

// Several keys down in one frame take one action: fire before up, up before
// down, down before escape; an up or down key held past its step lets escape
// act, and a held fire lets a move act.
TEST_F(MenuBoxTest, OneActionAFrameInOrderOfPrecedence) {
    const int F = kControlFire, E = kControlEscape;
    struct Step {
        int vertical, buttons, result, selected;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"fire before up", {{-1, F | E, 2, 2}}},
        {"fire before down", {{1, F | E, 2, 2}}},
        {"up before escape", {{-1, E, -1, 1}}},
        {"down before escape", {{1, E, -1, 4}}},
        {"escape alone", {{0, E, -3, 2}}},
        {"escape under a held up", {{-1, 0, -1, 1}, {-1, E, -3, 1}}},
        {"escape under a held down", {{1, 0, -1, 4}, {1, E, -3, 4}}},
        {"up under a held fire", {{0, F, 2, 2}, {-1, F, -1, 1}}},
        {"fire under a held up", {{-1, 0, -1, 1}, {-1, F, 1, 1}}},
        {"down under a held escape", {{0, E, -3, 2}, {1, E, -1, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MenuBox* box = makeMenu();
        box->wrap = true;
        box->selected = 2;
        manager.clearStack();
        manager.push(box);
        MenuBoxManager::inputState() = MenuInputState();
        MenuBoxManager::inputState().armed = true;
        for (const Step& step : c.steps) {
            ControlState control;
            control.vertical = static_cast<int8_t>(step.vertical);
            control.buttons = static_cast<int8_t>(step.buttons);
            EXPECT_EQ(manager.drawAndHandle(&control), step.result);
            EXPECT_EQ(box->selected, step.selected);
        }
    }
}

TEST_F(MenuBoxTest, KeysHeldWhenTheMenuOpensAreIgnoredUntilReleased) {
    MenuBox* box = makeMenu();
    box->selected = 2;
    manager.push(box);
    manager.resetInput();
    key(0, kScanEnter, true);
    key(10, kScanEnter, false);
    key(15, kScanEnter, true);
    key(16, kScanEnter, false);
    key(25, kScanEscape, true);
    key(27, kScanEscape, false);
    const std::string r = run(40).results;
    // Only the fresh press chooses; escape then cancels; each acts once.
    EXPECT_EQ(r.find('2'), r.rfind('2')) << r;
    EXPECT_GT(r.find('2'), 10u) << r;
    EXPECT_EQ(std::count(r.begin(), r.end(), 'E'), 1) << r;
    EXPECT_GT(r.find('E'), r.find('2')) << r;
    EXPECT_EQ(std::count(r.begin(), r.end(), '.'), 38) << r;
}

TEST_F(MenuBoxTest, ClicksChooseEntriesAndBesideTheBoxCancels) {
    MenuBox* box = makeMenu();
    manager.push(box);
    manager.resetInput();
    ASSERT_GT(box->draw(), -1);
    const int l = box->lineHeight();
    auto rowY = [&](int i) { return 50 + box->entry(i).y + l / 2; };
    const int lastRowEnd = 50 + box->entry(6).y + l + 3; // first pixel row after the last entry
    ASSERT_LT(lastRowEnd, 50 + box->height());

    click(5, 120, rowY(2));                 // Options
    click(10, 120, rowY(3));                // greyed: nothing
    click(15, 100 + box->width() + 1, 60);  // beside
    click(20, 120, 50 + 2);                 // in the title band: nothing
    click(25, 120, lastRowEnd);             // below the last entry, inside the frame
    click(30, 100 + box->width(), rowY(5)); // the right edge still counts: Credits
    click(35, 120, 50 + box->entry(0).y);   // the first row of the first entry
    click(40, 120, lastRowEnd - 1);         // the last row of the last entry
    const Log log = run(50);
    std::string chosen = log.results;
    chosen.erase(std::remove(chosen.begin(), chosen.end(), '.'), chosen.end());
    EXPECT_EQ(chosen, "2B506") << log.results;
    EXPECT_EQ(log.selections.back(), '6');
}

// Two clicks before a frame: the first wins and is handled by the next
// frame with control.
TEST_F(MenuBoxTest, APendingClickIsHandledOnceByTheNextFrameWithControl) {
    MenuBox* box = makeMenu();
    manager.push(box);
    ASSERT_GT(box->draw(), -1);
    const int y1 = 50 + box->entry(1).y + 2, y4 = 50 + box->entry(4).y + 2;
    ControlState none, fire;
    fire.buttons = kControlFire;
    manager.mouseClick(120, y1);
    manager.mouseClick(120, y4);
    EXPECT_EQ(box->selected, 1);
    MenuBoxManager::inputState().armed = true;
    EXPECT_EQ(manager.drawAndHandle(&none), 1);
    EXPECT_EQ(manager.drawAndHandle(&none), -1);
    // A fire, then the input reset: fire right after the arming click
    // chooses at once.
    EXPECT_EQ(manager.drawAndHandle(&fire), 1);
    manager.resetInput();
    manager.mouseClick(120, y4);
    EXPECT_EQ(manager.drawAndHandle(nullptr), -1);
    EXPECT_EQ(manager.drawAndHandle(&none), 4);
    EXPECT_EQ(manager.drawAndHandle(&fire), 4);
    // Resetting the input drops a pending click; an empty stack takes none.
    manager.mouseClick(120, y1);
    manager.resetInput();
    EXPECT_EQ(MenuBoxManager::inputState().pendingClick, -1);
    EXPECT_FALSE(MenuBoxManager::inputState().armed);
    manager.clearStack();
    manager.mouseClick(120, y4);
    EXPECT_EQ(MenuBoxManager::inputState().pendingClick, -1);
    EXPECT_EQ(manager.drawAndHandle(&none), -1);
}

// Boxes of every kind, drawn through the stack bottom first, each changed
// after a first draw so that the picture shows it was rendered again:
// sizes, title band, greyed, selected and flashing rows, centring, another
// scheme, a centred box, one moved left off the right edge, one overlapping.
TEST_F(MenuBoxTest, MenuBoxesLookAsTheyShould) {
    MenuBox* titled = makeMenu("Main Menu", 20, 20);
    MenuBox* plain = makeMenu(nullptr, 230, 20);
    MenuBox* schemed = makeMenu("Scheme", 430, 20, {"One", "Two"});
    MenuBox* middle = makeMenu("Centre", -1, -1, {"x"});
    MenuBox* right =
        makeMenu("Main Menu", 600, 380, {"Right = RIGHT ARROW, and a good deal more", "Quit"});
    MenuBox* shrunk = makeMenu(nullptr, 20, 260, {"A much longer entry", "Zone"});
    MenuBox* over = makeMenu("Over", 120, 150, {"On top"});
    MenuBox* emptied = makeMenu("Emptied", 430, 120);
    MenuBox* blank = makeMenu(nullptr, 430, 200, {""}); // the narrowest box there is
    for (MenuBox* box : {titled, plain, schemed, middle, right, shrunk, emptied, blank, over}) {
        ASSERT_GT(box->draw(), -1);
        manager.push(box);
    }
    titled->selected = 1;
    plain->selected = 2;
    plain->flash = true;
    plain->centred = true;
    TextStyle scheme = MenuBox::defaultScheme();
    scheme.highlightBackground = screen.ConvertColor(0xFF0000);
    schemed->setColours(&scheme);
    shrunk->setEntryText(0, "S");
    shrunk->setEntryText(99, "ignored");
    emptied->clearEntries();
    back.FillAll(screen.ConvertColor(0x402010));
    manager.drawAndHandle(nullptr);
    checkGoldenFrame(back, "menu_boxes.ppm");

    // Clicks follow the moved box where it is drawn.
    int left = 0, top = 0;
    right->position(left, top);
    const int rowY = top + right->entry(1).y + right->lineHeight() / 2;
    EXPECT_EQ(right->hitTest(left + 2, rowY), 1);
    EXPECT_EQ(right->hitTest(left - 2, rowY), -2);
    // A single entry takes its clicks; a box wider than the screen stands at
    // its left edge.
    middle->position(left, top);
    EXPECT_EQ(middle->hitTest(left + 2, top + middle->entry(0).y + 2), 0);
    MenuBox wide(&screen, 600, 0, nullptr);
    wide.addEntry(std::string(80, 'W').c_str());
    ASSERT_GT(wide.draw(), -1);
    ASSERT_GT(wide.width(), 640);
    wide.position(left, top);
    EXPECT_EQ(left, 0);
    // Only the top box takes input.
    ControlState down;
    down.vertical = 1;
    MenuBoxManager::inputState().armed = true;
    manager.drawAndHandle(&down);
    EXPECT_EQ(titled->selected, 1);
    EXPECT_EQ(over->selected, 0);
    EXPECT_TRUE(manager.reset());
    EXPECT_EQ(manager.stackSize(), 0);
    // Nothing changed: the picture is only copied, not rendered again.
    const uint32_t paint = screen.ConvertColor(0xFF00FF);
    titled->surface()->FillArea(2, titled->entry(0).y, 4, titled->entry(0).y + 1, paint);
    titled->draw();
    EXPECT_EQ(pixelOf(back, 22, 20 + titled->entry(0).y), paint);
    // A lost surface comes back empty; the box is built again before it draws.
    const std::vector<uint32_t> before = pixelsOf(back, 230, 20, plain->width(), plain->height());
    back.FillAll(0);
    plain->surface()->MarkLost();
    plain->draw();
    EXPECT_EQ(pixelsOf(back, 230, 20, plain->width(), plain->height()), before);
}

// The default fills are made for the screen's pixel format.
TEST_F(MenuBoxTest, TheDefaultFillsSuitTheScreensFormat) {
    DepthScreen depth(16);
    MenuBox box(&depth.screen, 0, 0, "T");
    const TextStyle& c = *box.colours();
    const auto fill = [&](uint32_t bgr) { return depth.screen.ConvertColor(bgr); };
    EXPECT_EQ(
        (std::vector<uint32_t>{c.titleBackground, c.background, c.highlightBackground,
                               c.frameColour}),
        (std::vector<uint32_t>{fill(0x005020), fill(0x004000), fill(0x50B050), fill(0x009010)}));
}

// A box that cannot get its surface draws nothing and logs why, again each
// frame; one too large for a surface also ends the program.
TEST_F(MenuBoxTest, ABoxWithoutASurfaceDrawsNothingAndLogsWhy) {
    const struct {
        bool screen;
        int length;
        const char* logged;
    } cases[] = {{true, 3000, "MenuBox Error : Could not create MenuBox-Surface\n"},
                 {false, 1, "MenuBox Error : No Screen\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logged);
        app.quitPosted = false;
        MenuBox box(c.screen ? &screen : nullptr, 0, 0, c.screen ? nullptr : "T");
        box.addEntry(std::string(c.length, 'W').c_str());
        for (int frame = 0; frame < 2; ++frame) {
            EXPECT_EQ(box.draw(), 0);
            EXPECT_EQ(box.surface(), nullptr);
        }
        EXPECT_NE(errorLogText().find(c.logged), std::string::npos);
        EXPECT_EQ(app.quitPosted, c.screen);
    }
    EXPECT_NE(errorLogText().find("\n\nError in File MenuBox, line "), std::string::npos);
}

// A box leaves the stack wherever it stands, as often as it was pushed; the
// others keep their order.
TEST_F(MenuBoxTest, RemovingABoxTakesItOutWhereverItStands) {
    MenuBox* boxes3[] = {makeMenu("A"), makeMenu("B"), makeMenu("C")};
    const struct {
        const char *pushed, *removed, *left;
    } cases[] = {{"ABC", "A", "BC"},
                 {"ABC", "B", "AC"},
                 {"ABC", "C", "AB"},
                 {"ABA", "A", "B"},
                 {"AB", "C", "AB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pushed);
        manager.clearStack();
        for (const char* p = c.pushed; *p; ++p)
            manager.push(boxes3[*p - 'A']);
        manager.remove(boxes3[*c.removed - 'A']);
        std::string left;
        for (; manager.top(); manager.pop())
            left.insert(left.begin(), manager.top()->title().text.c_str()[0]);
        EXPECT_EQ(left, c.left);
    }
}
