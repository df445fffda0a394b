// Menu boxes and their manager.
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"

#include "Src/app/GameSystems.h"
#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/DepthPlatform.h"
#include "tests/support/GoldenFrame.h"
#include "tests/support/KeyScript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <sstream>
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

// One transcript of scenarios: keyboard moves with wrap and greyed
// entries (each move sounds, even one that stays; a menu with nothing
// selectable ends its move); one action a frame in order of precedence;
// held keys repeating; keys held on opening ignored until released; clicks;
// a box removed from the stack wherever it stands.
TEST_F(MenuBoxTest, Scenarios) {
    std::ostringstream out;
    // Entries by letter, lower case greyed; 'w' wraps; then the start and
    // the steps, u up and d down.
    for (const char* c :
         {"SZOgHCQ w 0 u", "SZOgHCQ - 0 u", "SZOgHCQ w 6 d", "SZOgHCQ - 6 d", "SZOgHCQ w 2 dduu",
          "SZOgHCQ - 2 dduu", "SZOgHCQ - 1 uuu", "gAB w 1 u", "gh w 0 d", "A w 0 ud"}) {
        std::istringstream in(c);
        std::string entries, wrap, steps;
        MenuBox* box = makeMenu();
        in >> entries >> wrap >> box->selected >> steps;
        box->clearEntries();
        for (char e : entries)
            box->addEntry(std::string(1, e).c_str(), std::isupper(e));
        box->wrap = wrap == "w";
        moves.clear();
        out << c << ":";
        for (char step : steps) {
            step == 'u' ? box->selectPrevious() : box->selectNext();
            out << " " << box->selected;
        }
        out << ", moves " << moves << "\n";
    }
    // Several keys down in one frame take one action: fire before up, up
    // before down, down before escape; an up or down key held past its step
    // lets escape act, and a held fire lets a move act. Each step is the
    // controls down in one frame (u, d, f, e; '-' none); result and entry.
    for (const char* c : {"uFE", "dFE", "uE", "dE", "E", "u uE", "d dE", "F uF", "u uF", "E dE"}) {
        MenuBox* box = makeMenu();
        box->wrap = true;
        box->selected = 2;
        manager.clearStack();
        manager.push(box);
        MenuBoxManager::inputState() = MenuInputState();
        MenuBoxManager::inputState().armed = true;
        out << c << ":";
        std::istringstream steps(c);
        for (std::string step; steps >> step;) {
            ControlState control;
            for (char k : step) {
                control.vertical = static_cast<int8_t>(k == 'u'   ? -1
                                                       : k == 'd' ? 1
                                                                  : control.vertical);
                control.buttons |= static_cast<int8_t>(k == 'F'   ? kControlFire
                                                       : k == 'E' ? kControlEscape
                                                                  : 0);
            }
            out << " " << manager.drawAndHandle(&control) << "@" << box->selected;
        }
        out << "\n";
    }
    // The real loop: each frame's result ('.' nothing, 'B' beside, 'E'
    // escape, else the entry) and the selection after it.
    MenuBox* box = makeMenu();
    box->wrap = true;
    ASSERT_GT(box->draw(), -1);
    const int l = box->lineHeight();
    const auto rowY = [&](int i) { return std::to_string(50 + box->entry(i).y + l / 2); };
    const std::string lastRowEnd = std::to_string(50 + box->entry(6).y + l + 3);
    const std::string right = std::to_string(100 + box->width());
    const std::string scripts[] = {
        "3 +down 40 -down 43 +down 44 -down 50", "3 +up 20 -up 25",
        // held on opening: only the fresh press chooses, escape then cancels
        "0 +enter 10 -enter 15 +enter 16 -enter 25 +esc 27 -esc 40",
        // an entry, a greyed one, beside, the title band, below the last entry
        // inside the frame, the right edge, the first row of the first entry
        // and the last row of the last
        "5 click:120," + rowY(2) + " click:120," + rowY(3) +
            " click:" + std::to_string(100 + box->width() + 1) + ",60 click:120,52 click:120," +
            lastRowEnd + " click:" + right + "," + rowY(5) + " click:120," +
            std::to_string(50 + box->entry(0).y) + " click:120," +
            std::to_string(50 + box->entry(6).y + l + 2) + " 50"};
    for (const std::string& script : scripts) {
        manager.clearStack();
        manager.push(box);
        manager.resetInput();
        box->selected = 0;
        moves.clear();
        const int frames =
            playKeys(platform, platform.framesPresented(), script, 5) - platform.framesPresented();
        const Log log = run(frames);
        out << script << ":\n  " << log.results << "\n  " << log.selections << " moves " << moves
            << "\n";
    }
    // A box leaves the stack wherever it stands, as often as it was
    // pushed; the others keep their order.
    MenuBox* abc[] = {makeMenu("A"), makeMenu("B"), makeMenu("C")};
    for (const char* c : {"ABC-A", "ABC-B", "ABC-C", "ABA-A", "AB-C"}) {
        manager.clearStack();
        for (const char* p = c; *p != '-'; ++p)
            manager.push(abc[*p - 'A']);
        manager.remove(abc[std::strchr(c, '-')[1] - 'A']);
        std::string left;
        for (; manager.top(); manager.pop())
            left.insert(left.begin(), manager.top()->title().text.c_str()[0]);
        out << c << ": " << left << "\n";
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/menu_boxes.txt", out.str());
    EXPECT_EQ(box->addEntry(nullptr), -1);
    EXPECT_EQ(box->addEntry("c", false), 7);
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
    std::string results;
    for (const ControlState* c : {&none, &none, &fire})
        results += std::to_string(manager.drawAndHandle(c)) + " ";
    // The input reset: fire right after the arming click chooses at once.
    manager.resetInput();
    manager.mouseClick(120, y4);
    for (const ControlState* c : {static_cast<ControlState*>(nullptr), &none, &fire})
        results += std::to_string(manager.drawAndHandle(c)) + " ";
    // Resetting the input drops a pending click; an empty stack takes none.
    manager.mouseClick(120, y1);
    manager.resetInput();
    results += std::to_string(manager.drawAndHandle(&none)) + " ";
    manager.clearStack();
    manager.mouseClick(120, y4);
    results += std::to_string(MenuBoxManager::inputState().pendingClick);
    EXPECT_EQ(results, "1 -1 1 -1 4 4 -1 -1");
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
