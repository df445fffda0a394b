// Rules of the screens opened from the main menu, through the real loop:
// the zone menu (what it lists and selects, its sounds, a closed window, no
// zones at all), the text pages (their rate, cursor and drifting background)
// and the welcome scroller (when it renders again, how its tail grows, and
// its outlined text).
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

namespace {

class FrontEndRules : public TitleScreenFixture {
protected:
    void SetUp() override {
        TitleScreenFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            limitFrames(600);
    }
};

} // namespace

TEST_F(FrontEndRules, TheZoneMenuListsEveryZoneOpensOnTheCurrentOneAndItsEscapeRefreshesThePanel) {
    // (The title screen puts an unknown zone back on the first before its
    // menu runs; the next test opens the zone menu alone on one.)
    const struct {
        int zone;
        int selected;
    } cases[] = {{0, 0}, {2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        currentZone = c.zone;
        std::string opened;
        std::vector<int> stack, selected;
        int countdownAtOpen = -1, countdownLast = -1;
        std::string leaderAfter;
        platform.afterPresent = [&](int) {
            const int size = menuBoxManager->stackSize();
            if (stack.empty() || stack.back() != size)
                stack.push_back(size);
            if (size == 1 && stack.size() > 2)
                leaderAfter = titleHighScorePanel()->column(1).line(0).text.c_str();
            if (size != 2)
                return;
            MenuBox* menu = menuBoxManager->top();
            if (opened.empty())
                opened = std::string(menu->title().text.c_str()) + ": " + entriesOf(menu) +
                         (menu->wrap ? " wrap" : "") + (menu->centred ? " centred" : "") +
                         (menu->onMove == playMenuSound ? " sounds" : "");
            if (selected.empty() || selected.back() != menu->selected)
                selected.push_back(menu->selected);
            if (countdownAtOpen < 0) {
                countdownAtOpen = panelCountdown();
                // A new best while the menu is open shows once it is left.
                highScoreManager->getList(currentSkill, c.zone)->insert("Zoe", 99999);
            }
            countdownLast = panelCountdown();
        };
        setInfoPanel(1);
        // The zone menu, up once (wrapping from the first entry), escape twice.
        taps(5, {kScanDown, kScanEnter, kScanUp, kScanEscape, kScanEscape});
        EXPECT_FALSE(runTitleScreen());
        EXPECT_EQ(opened, "Select Zone: Alpha,Beta,Gamma wrap centred sounds");
        EXPECT_EQ(stack, (std::vector<int>{1, 2, 1}));
        EXPECT_EQ(leaderAfter, "Zoe");
        EXPECT_EQ(selected, (std::vector<int>{c.selected, (c.selected + 2) % 3}));
        // The title keeps moving under the zone menu.
        EXPECT_GT(countdownAtOpen - countdownLast, 10);
    }
}

// The zone menu runs at the rate in force: the title screen's 50 frames a
// second there, the game's 55 here.
TEST_F(FrontEndRules, AZoneMenuOpenedOnAnUnknownZoneSelectsTheFirstAndEscapeGivesTheZoneBack) {
    for (int zone : {3, 7, -1}) {
        SCOPED_TRACE(zone);
        ASSERT_TRUE(enterTitleScreen());
        currentZone = zone;
        int selected = -2, rate = 0;
        eachFrame([&](int) {
            if (menuBoxManager->stackSize() == 2 && selected == -2) {
                selected = menuBoxManager->top()->selected;
                rate = app.framesPerSecond;
            }
        });
        taps(5, {kScanEscape});
        EXPECT_EQ(selectZone(430, 10), zone);
        EXPECT_EQ(app.loopResult, kLoopChoice);
        EXPECT_EQ(selected, 0);
        EXPECT_EQ(rate, 55);
        EXPECT_EQ(app.framesPerSecond, 55);
        EXPECT_EQ(menuBoxManager->stackSize(), 1);
        leaveTitleScreen();
    }
}

// A box pushed over the zone menu stays when the zone menu goes; the
// deleted zone menu leaves the stack from under it.
TEST_F(FrontEndRules, TheZoneMenuLeavesTheStackFromUnderABoxPushedOverIt) {
    ASSERT_TRUE(enterTitleScreen());
    MenuBox* mainMenu = menuBoxManager->top();
    MenuBox over(app.screen, 10, 10, "Over");
    over.addEntry("Entry");
    platform.afterPresent = [&](int) {
        if (menuBoxManager->stackSize() == 2)
            menuBoxManager->push(&over);
    };
    taps(5, {kScanEscape});
    selectZone(430, 10);
    ASSERT_EQ(menuBoxManager->stackSize(), 2);
    EXPECT_EQ(menuBoxManager->top(), &over);
    menuBoxManager->pop();
    EXPECT_EQ(menuBoxManager->top(), mainMenu);
}

TEST_F(FrontEndRules, ChoosingAZoneEndsItsMenuAtOnceAndSoundsLikeAnyChoiceEvenTheFirstZone) {
    ASSERT_NO_FATAL_FAILURE(recordSounds());
    options.soundEffects = true;
    currentZone = 1;
    const int start = platform.framesPresented();
    int closedAt = -1;
    platform.afterPresent = [&](int) {
        if (menuBoxManager->stackSize() == 2)
            closedAt = -1;
        else if (closedAt < 0)
            closedAt = platform.framesPresented();
    };
    // Zone menu at 15, up to the first zone at 25, chosen at 35.
    taps(5, {kScanDown, kScanEnter, kScanUp, kScanEnter});
    taps(60, {kScanEscape});
    EXPECT_FALSE(runTitleScreen());
    EXPECT_EQ(currentZone, 0);
    EXPECT_LT(closedAt, start + 40);
    EXPECT_EQ(menuSounds(), (std::vector<std::string>{"move", "choice", "move", "choice"}));
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
}

TEST_F(FrontEndRules, TextPagesRunAtFiftyFramesWithTheCursorAndADriftingBackground) {
    dir.write("Data/Text/help.txt", "<p>\nOne line\n<p>\nTwo\nlines\n");
    GfxSurface logo;
    ASSERT_GT(logo.CreateFromImage(app.screen, ".\\Data\\Gfx\\logo.bmp", kSurfaceMemoryAny), 0);
    const int logoHeight = logo.GetHeight();
    // Where each page stood: its box found against the background.
    struct Placed {
        int page, left, top, width, height;
    };
    std::vector<Placed> placed;
    int lastPage = -1;
    // Every background level from what the screen makes of each colour.
    std::map<uint32_t, std::pair<int, int>> levelsOf;
    for (int blue = 0; blue < 256; ++blue)
        for (int green = 0; green < 256; ++green)
            levelsOf[app.screen->ConvertColor(static_cast<uint32_t>(blue << 16 | green << 8))] = {
                blue, green};
    std::vector<int> blues, greens, rates;
    bool cursorHidden = false;
    int pageFrames = 0;
    platform.afterPresent = [&](int) {
        // The first frame of the pages shows what the title screen drew.
        if (textPageCount() == 0 || ++pageFrames == 1)
            return;
        rates.push_back(app.framesPerSecond);
        cursorHidden = cursorHidden || !platform.cursorVisible();
        back->Lock();
        const uint32_t corner = back->GetPixel(0, 479);
        back->Unlock();
        const auto found = levelsOf.find(corner);
        ASSERT_NE(found, levelsOf.end());
        blues.push_back(found->second.first);
        greens.push_back(found->second.second);
        // The page drawn in the frame before is the one shown now, unless
        // that frame turned it.
        const int page = textPageIndex();
        if (page != lastPage) {
            lastPage = page;
            return;
        }
        if (!placed.empty() && placed.back().page == page)
            return;
        back->Lock();
        int top = -1, bottom = -1, left = -1, right = -1;
        for (int y = logoHeight; y < 480; ++y)
            if (back->GetPixel(320, y) != corner) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        for (int x = 0; x < 640 && top >= 0; ++x)
            if (back->GetPixel(x, (top + bottom) / 2) != corner) {
                left = left < 0 ? x : left;
                right = x;
            }
        back->Unlock();
        placed.push_back({page, left, top, right - left + 1, bottom - top + 1});
    };
    // Help, the next page, escape after 200 frames of it, escape again.
    taps(5, {kScanUp, kScanUp, kScanUp});
    taps(35, {kScanEnter, kScanEnter});
    taps(250, {kScanEscape, kScanEscape});
    EXPECT_FALSE(runTitleScreen());
    ASSERT_GT(blues.size(), 200u);
    EXPECT_EQ(*std::min_element(rates.begin(), rates.end()), 50);
    EXPECT_EQ(*std::max_element(rates.begin(), rates.end()), 50);
    EXPECT_FALSE(cursorHidden);
    // The first frame drawn steps once from 30 and 30; then blue swings in
    // steps of 1 between 19 and 81, green in steps of 2 between 12 and 86.
    const std::vector<int>& blue = blues;
    const std::vector<int>& green = greens;
    EXPECT_EQ(blue[0], 31);
    EXPECT_EQ(green[0], 32);
    for (size_t i = 1; i < blue.size(); ++i) {
        EXPECT_EQ(std::abs(blue[i] - blue[i - 1]), 1) << i;
        EXPECT_EQ(std::abs(green[i] - green[i - 1]), 2) << i;
    }
    EXPECT_EQ(*std::min_element(blue.begin(), blue.end()), 19);
    EXPECT_EQ(*std::max_element(blue.begin(), blue.end()), 81);
    EXPECT_EQ(*std::min_element(green.begin(), green.end()), 12);
    EXPECT_EQ(*std::max_element(green.begin(), green.end()), 86);
    EXPECT_EQ(app.framesPerSecond, 55);
    // Each page centred below the logo, halves taken toward zero. (A file
    // that begins with a new page starts with an empty one, and its pages
    // have no title.)
    ASSERT_EQ(placed.size(), 2u);
    ASSERT_EQ((480 - logoHeight - placed[1].height) % 2, 0) << "no rounding to check";
    for (const Placed& p : placed) {
        SCOPED_TRACE(p.page);
        EXPECT_EQ(p.left, (640 - p.width) / 2);
        EXPECT_EQ(p.top, (480 - logoHeight - p.height) / 2 + logoHeight);
    }
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

// Without the logo neither file is shown: the program ends with the message.
TEST_F(FrontEndRules, TextPagesWithoutTheLogoEndTheProgram) {
    std::filesystem::remove(dir.file("Data/Gfx/logo.bmp"));
    for (bool credits : {false, true}) {
        SCOPED_TRACE(credits);
        dir.write(credits ? "Data/Text/credits.txt" : "Data/Text/help.txt", "Title\nOne\n");
        ASSERT_TRUE(enterTitleScreen());
        app.quitPosted = false;
        const int start = platform.framesPresented();
        const size_t logged = readFile("log.txt").size();
        showTextPages(credits);
        EXPECT_TRUE(app.quitPosted);
        EXPECT_EQ(platform.framesPresented(), start);
        EXPECT_EQ(textPageCount(), 0);
        EXPECT_EQ(readFile("log.txt").substr(logged), "Could not load .\\Data\\Gfx\\logo.bmp\n");
        leaveTitleScreen();
    }
}

namespace {

std::vector<uint32_t> pictureOf(GfxSurface* surface) {
    return pixelsOf(*surface, 0, 0, surface->GetWidth(), surface->GetHeight());
}

// What the scroller's surface must hold after a render: each piece drawn as
// outlined text, black copies on the two diagonals two pixels out, white on
// top; the tail right after the head.
std::vector<uint32_t> expectedScrollerPicture(const WelcomeScroller& scroller) {
    GfxSurface surface;
    EXPECT_EQ(surface.Create(app.screen, WelcomeScroller::kSurfaceWidth, WelcomeScroller::kHeight,
                             kSurfaceMemoryAny),
              0);
    const TextFont& font = scroller.font();
    surface.SetFont(font.face.c_str(), font.width, font.height, font.weight);
    surface.FillAll(0);
    surface.GetDC();
    surface.SelectFont();
    const auto outlined = [&](int x, const String& text) {
        for (int i : {-2, -1, 1, 2}) {
            surface.TextAt(x - i, i, 0x000000, text.c_str());
            surface.TextAt(x + i, i, 0x000000, text.c_str());
        }
        surface.TextAt(x, 0, 0xFFFFFF, text.c_str());
    };
    outlined(0, scroller.head());
    outlined(scroller.headWidth(), scroller.tail());
    surface.ReleaseDC();
    return pictureOf(&surface);
}

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

TEST_F(FrontEndRules, TheScrollerRendersAgainExactlyWhenTheFirstPieceHasPassed) {
    WelcomeScroller scroller;
    // Ten equal letters make a head of even width, where sliding past it
    // and reaching its end are one frame apart.
    ASSERT_TRUE(scroller.setUp(app.screen, "MMMMMMMMMMAAAAAAAAAA"));
    scroller.advance();
    const int headWidth = scroller.headWidth();
    ASSERT_GT(headWidth, 0);
    ASSERT_EQ(headWidth % 2, 0);
    int advances = 0;
    while (scroller.position() == 10 && advances < 1000) {
        scroller.advance();
        ++advances;
    }
    EXPECT_EQ(advances, headWidth / 2);
    EXPECT_EQ(scroller.offset(), 0);
    // A released scroller draws nothing and does not fail.
    scroller.release();
    for (int i = 0; i < 2 * headWidth; ++i)
        scroller.advance();
    EXPECT_EQ(scroller.surface(), nullptr);
}

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

TEST_F(FrontEndRules, TheScrollerDrawsEachPieceAsOutlinedText) {
    // Letters that fill their width, so that the tail's outline reaches
    // into the head's last letter.
    for (const char* text : {"MMMMMMMMMMWWWWWWWWWWHHHHHHHHHH", kWelcomeText}) {
        SCOPED_TRACE(text);
        WelcomeScroller scroller;
        ASSERT_TRUE(scroller.setUp(app.screen, text));
        int renders = 0;
        for (int frame = 0; frame < 3000 && renders < 40; ++frame) {
            const int before = scroller.position();
            scroller.advance();
            if (scroller.position() == before && frame > 0)
                continue;
            ++renders;
            ASSERT_EQ(pictureOf(scroller.surface()), expectedScrollerPicture(scroller))
                << "render " << renders;
        }
    }
}
