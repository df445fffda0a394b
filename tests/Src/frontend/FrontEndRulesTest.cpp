// Rules of the screens opened from the main menu, through the real loop:
// the zone menu (what it lists and selects, its sounds, a closed window, no
// zones at all), the text pages (their rate, cursor and drifting background)
// and how the welcome scroller's tail grows.
#include "Src/frontend/TextPageScreen.h"
#include "Src/frontend/TitleContent.h"
#include "Src/frontend/WelcomeScroller.h"
#include "Src/frontend/ZoneSelection.h"
#include "Src/menus/MenuBox.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/SurfacePixels.h"
#include "tests/support/TitleScreenFixture.h"

#include <algorithm>
#include <map>

using FrontEndRules = TitleScreenFixture;

// The zone menu, opened at (370, 30) on the current zone, wraps up from the
// first zone and sounds like any menu; choosing a zone, even the first, ends
// it at once, and it opens on that zone again; its escape keeps the zone and
// refreshes the panel; the title keeps moving under it, the cursor shown.
TEST_F(FrontEndRules, TheZoneMenuListsEveryZoneChoosesOneAndEscapeKeepsIt) {
    ASSERT_NO_FATAL_FAILURE(recordSounds());
    options.soundEffects = true;
    currentZone = 1;
    setInfoPanel(1);
    std::string opened, leaderAfter;
    std::vector<int> opens, selected;
    std::vector<std::string> labels;
    int countdownAtOpen = -1, countdownLast = -1, size = 1, closedAt = -1;
    bool cursorHidden = false;
    const int start = platform.framesPresented();
    platform.afterPresent = [&](int) {
        const int now = menuBoxManager->stackSize();
        MenuBox* menu = menuBoxManager->top();
        if (now == 1 && opens.size() == 1 && closedAt < 0)
            closedAt = platform.framesPresented();
        if (now == 1 && opens.size() == 2)
            leaderAfter = titleHighScorePanel()->column(1).line(0).text.c_str();
        if (now == 1 && (labels.empty() || labels.back() != menu->entry(1).text.c_str()))
            labels.push_back(menu->entry(1).text.c_str());
        if (now == 2 && size == 1) {
            opens.push_back(menu->selected);
            int left = 0, top = 0;
            menu->position(left, top);
            opened = std::string(menu->title().text.c_str()) + " " + std::to_string(left) + "," +
                     std::to_string(top) + ": " + entriesOf(menu) + (menu->wrap ? " wrap" : "") +
                     (menu->centred ? " centred" : "");
            countdownAtOpen = panelCountdown();
            // A new best while the menu is open shows once it is left.
            if (opens.size() == 2)
                highScoreManager->getList(currentSkill, 0)->insert("Zoe", 99999);
        }
        if (now == 2 && (selected.empty() || selected.back() != menu->selected))
            selected.push_back(menu->selected);
        if (now == 2) {
            countdownLast = panelCountdown();
            cursorHidden = cursorHidden || !platform.cursorVisible();
        }
        size = now;
    };
    // The zone menu on Beta, up to Alpha, round to Alpha again, chosen (at
    // 65); the menu again, escape twice.
    taps(5, {kScanDown, kScanEnter, kScanUp, kScanUp, kScanUp, kScanUp, kScanEnter, kScanEnter,
             kScanEscape, kScanEscape});
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(opened, "Select Zone 370,30: Alpha,Beta,Gamma wrap centred");
    EXPECT_EQ(opens, (std::vector<int>{1, 0}));
    EXPECT_EQ(selected, (std::vector<int>{1, 0, 2, 1, 0}));
    EXPECT_EQ(currentZone, 0);
    EXPECT_LT(closedAt, start + 70);
    EXPECT_EQ(labels, (std::vector<std::string>{"Zone = Beta", "Zone = Alpha"}));
    EXPECT_EQ(leaderAfter, "Zoe");
    EXPECT_GT(countdownAtOpen - countdownLast, 5);
    EXPECT_EQ(menuSounds(), "mcmmmmcc");
    EXPECT_FALSE(cursorHidden);
}

// The zone menu runs at the rate in force: the title screen's 50 frames a
// second there, the game's 55 here. A box pushed over the zone menu stays
// when the zone menu goes; the deleted zone menu leaves the stack from
// under it.
TEST_F(FrontEndRules, AZoneMenuOpenedOnAnUnknownZoneSelectsTheFirstAndEscapeGivesTheZoneBack) {
    for (int zone : {3, 7, -1}) {
        SCOPED_TRACE(zone);
        ASSERT_TRUE(enterTitleScreen());
        MenuBox* mainMenu = menuBoxManager->top();
        MenuBox over(app.screen, 10, 10, "Over");
        over.addEntry("Entry");
        currentZone = zone;
        int selected = -2, rate = 0;
        eachFrame([&](int) {
            if (menuBoxManager->stackSize() == 2 && selected == -2) {
                selected = menuBoxManager->top()->selected;
                rate = app.framesPerSecond;
                menuBoxManager->push(&over);
            }
        });
        taps(5, {kScanEscape});
        EXPECT_EQ(selectZone(430, 10), zone);
        EXPECT_EQ(app.loopResult, kLoopChoice);
        EXPECT_EQ(selected, 0);
        EXPECT_EQ(rate, 55);
        EXPECT_EQ(app.framesPerSecond, 55);
        ASSERT_EQ(menuBoxManager->stackSize(), 2);
        EXPECT_EQ(menuBoxManager->top(), &over);
        menuBoxManager->pop();
        EXPECT_EQ(menuBoxManager->top(), mainMenu);
        leaveTitleScreen();
    }
}

TEST_F(FrontEndRules, AWindowClosedInTheZoneMenuKeepsTheZone) {
    currentZone = 2;
    taps(5, {kScanDown, kScanEnter});
    platform.closeAtFrame(platform.framesPresented() + 40);
    EXPECT_FALSE(runTitleScreen());
    EXPECT_TRUE(app.quitPosted);
    EXPECT_EQ(currentZone, 2);
}

TEST_F(FrontEndRules, WithoutZonesTheZoneEntryOpensNothing) {
    std::filesystem::remove_all(dir.file("Data/Levels"));
    std::filesystem::create_directories(dir.file("Data/Levels"));
    int deepest = 0;
    platform.afterPresent = [&](int) { deepest = std::max(deepest, menuBoxManager->stackSize()); };
    taps(5, {kScanDown, kScanEnter, kScanEscape});
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(app.loopResult, kLoopEscape);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(currentZone, 0);
    EXPECT_EQ(selectZone(430, 10), -1);
}

// An escape still held as the pages open (pressed with the ENTER that chose
// them) leaves them only once it is pressed again.
TEST_F(FrontEndRules, AnEscapeHeldAsThePagesOpenIsIgnoredUntilReleased) {
    for (bool credits : {false, true}) {
        SCOPED_TRACE(credits);
        dir.write(credits ? "Data/Text/credits.txt" : "Data/Text/help.txt",
                  "Title\nOne\n<p>\nTwo\n");
        const int ups = credits ? 2 : 3, open = platform.framesPresented() + 10 * ups + 10;
        for (int i = 0; i < ups; ++i)
            taps(5 + 10 * i, {kScanUp});
        for (int scanCode : {kScanEnter, kScanEscape})
            key(open, scanCode, true);
        key(open + 20, kScanEscape, false);
        key(open + 22, kScanEnter, false);
        tap(open + 40, kScanEscape);
        tap(open + 60, kScanEscape);
        int first = -1, last = -1;
        eachFrame([&](int frame) {
            if (textPageCount() > 0) {
                first = first < 0 ? frame : first;
                last = frame;
            }
        });
        EXPECT_FALSE(runTitleScreen());
        EXPECT_EQ(app.loopResult, kLoopEscape);
        EXPECT_LE(first, open + 2);
        EXPECT_GE(last, open + 40);
        EXPECT_LT(last, open + 45);
    }
}

// Without the logo neither file is shown: the program ends with the
// message. Without its file a page screen shows nothing and the program
// goes on.
TEST_F(FrontEndRules, TextPagesWithoutTheLogoEndTheProgram) {
    const struct {
        bool credits, logo;
        const char* logged;
    } cases[] = {
        {false, true, "Could not load textfile '.\\Data\\Text\\help.txt'\n"},
        {false, false, "Could not load .\\Data\\Gfx\\logo.bmp\n"},
        {true, false, "Could not load .\\Data\\Gfx\\logo.bmp\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logged);
        if (!c.logo) {
            std::filesystem::remove(dir.file("Data/Gfx/logo.bmp"));
            dir.write(c.credits ? "Data/Text/credits.txt" : "Data/Text/help.txt", "Title\nOne\n");
        }
        ASSERT_TRUE(enterTitleScreen());
        app.quitPosted = false;
        const int start = platform.framesPresented();
        const size_t logged = readFile("log.txt").size();
        showTextPages(c.credits);
        EXPECT_EQ(app.quitPosted, !c.logo);
        EXPECT_EQ(platform.framesPresented(), start);
        EXPECT_EQ(textPageCount(), 0);
        EXPECT_EQ(readFile("log.txt").substr(logged), c.logged);
        EXPECT_TRUE(platform.messageBoxes().empty() || !c.logo);
        leaveTitleScreen();
    }
}

namespace {

// Measured in the surface's selected font.
int widthOf(GfxSurface* surface, const String& text) {
    int width = 0, height = 0;
    surface->GetDC();
    surface->SelectFont();
    surface->GetTextExtent(text.c_str(), width, height);
    surface->ReleaseDC();
    return width;
}

} // namespace

TEST_F(FrontEndRules, AShortTailGrowsTwoCharactersAtATimeUntilItPassesTheView) {
    // Two narrow marks in every ten characters, the rest soft hyphens, which
    // take no room: a hundred characters stay far short of the view, and
    // the width grows by a mark now and then.
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "'\xad\xad\xad\xad|\xad\xad\xad\xad";
    WelcomeScroller scroller;
    ASSERT_TRUE(scroller.setUp(app.screen, text.c_str()));
    EXPECT_EQ(scroller.tailLength(), 100);
    GfxSurface* surface = scroller.surface();
    ASSERT_LT(widthOf(surface, String(text.c_str(), 100)), 429 + 10) << "marks too wide";
    std::vector<int> lengths;
    for (int frame = 0; frame < 2000; ++frame) {
        const int before = scroller.position();
        scroller.advance();
        if (scroller.position() == before && frame > 0)
            continue;
        // Every piece starts at a multiple of ten: the same tail each time.
        const int length = scroller.tailLength();
        lengths.push_back(length);
        EXPECT_EQ((length - 100) % 2, 0) << length;
        EXPECT_EQ(scroller.tail().length(), length);
        // The first length that reaches ten pixels past the view, even when
        // it reaches exactly that far; two characters fewer fall short.
        EXPECT_EQ(widthOf(surface, scroller.tail()), 429 + 10) << length;
        const String shorter(scroller.tail().c_str(), length - 2);
        EXPECT_LT(widthOf(surface, shorter), 429 + 10) << length;
    }
    ASSERT_GT(lengths.size(), 5u);
    EXPECT_EQ(*std::min_element(lengths.begin(), lengths.end()),
              *std::max_element(lengths.begin(), lengths.end()));
    // A new set-up starts with the short tail again.
    ASSERT_TRUE(scroller.setUp(app.screen, text.c_str()));
    EXPECT_EQ(scroller.tailLength(), 100);
}

// An untitled page stands centred below the logo, halves taken toward zero.
TEST_F(FrontEndRules, APageStandsCentredBelowTheLogo) {
    dir.write("Data/Text/help.txt", "<p>\nTwo\nlines\n");
    int top = -1, height = 0, framesOnPage = 0;
    eachFrame([&](int) {
        if (textPageCount() == 0 || textPageIndex() != 1 || ++framesOnPage != 2)
            return;
        const uint32_t corner = pixelOf(*back, 0, 479);
        for (int y = 100; y < 480; ++y)
            if (pixelOf(*back, 320, y) != corner) {
                top = top < 0 ? y : top;
                height = y - top + 1;
            }
    });
    taps(5, {kScanUp, kScanUp, kScanUp, kScanEnter, kScanEnter, kScanEscape, kScanEscape});
    EXPECT_FALSE(runTitleScreen());
    ASSERT_EQ((380 - height) % 2, 0) << "no rounding to check";
    EXPECT_EQ(top, (380 - height) / 2 + 100);
}
