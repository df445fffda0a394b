// The screens opened from the main menu, and how the welcome scroller's
// tail grows.
#include "Src/frontend/TextPageScreen.h"
#include "Src/frontend/ZoneSelection.h"
#include "Src/menus/MenuBox.h"
#include "tests/support/Golden.h"
#include "tests/support/SurfacePixels.h"
#include "tests/support/TitleScreenFixture.h"

using FrontEndRules = TitleScreenFixture;

// Each scenario is named after the rule it shows.
TEST_F(FrontEndRules, Scenarios) {
    options.soundEffects = true;
    currentZone = 1;
    setInfoPanel(1);
    frontEnd(
        "the zone menu opens on the zone, wraps, sounds, chooses at once; escape keeps the zone",
        "5 down enter up*4 enter enter 80 best:Zoe 85 esc esc");
    currentZone = 2;
    frontEnd("a window closed in the zone menu keeps the zone", "5 down enter 40 close:");

    app.quitPosted = false;
    frontEnd("an escape held as the help opens is ignored until pressed again",
             "pages:help 5 up*3 40 +enter +esc 60 -esc 62 -enter 80 esc 100 esc");
    std::filesystem::remove(dir.file("Data/Text/help.txt")); // the credits show their own
    frontEnd("an escape held as the credits open is ignored until pressed again",
             "pages:credits 5 up*2 30 +enter +esc 50 -esc 52 -enter 70 esc 90 esc");
    std::filesystem::remove_all(dir.file("Data/Levels"));
    std::filesystem::create_directories(dir.file("Data/Levels"));
    frontEnd("without zones the zone entry opens nothing", "5 down enter esc");
    out << "zone menu without zones " << selectZone(430, 10) << "\n";
    frontEnd("without its file a page screen shows nothing and the program goes on",
             "5 up*3 enter 50 esc");
    std::filesystem::remove(dir.file("Data/Gfx/logo.bmp"));
    frontEnd("without the logo the help ends the program with the message",
             "pages:help 5 up*3 enter");
    app.quitPosted = false;
    frontEnd("without the logo the credits end the program with the message", "5 up*2 enter");
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/front_end_rules.txt", out.str());
}

// A zone menu opened on an unknown zone selects the first and its escape
// gives the zone back; a box pushed over it stays when it goes, and the
// deleted zone menu leaves the stack from under that box.
TEST_F(FrontEndRules, AZoneMenuOpenedOnAnUnknownZoneSelectsTheFirstAndEscapeGivesTheZoneBack) {
    for (int zone : {3, 7, -1}) {
        ASSERT_TRUE(enterTitleScreen());
        MenuBox* mainMenu = menuBoxManager->top();
        MenuBox over(app.screen, 10, 10, "Over");
        over.addEntry("Entry");
        currentZone = zone;
        int selected = -2;
        eachFrame([&](int) {
            if (menuBoxManager->stackSize() == 2 && menuBoxManager->top() != &over) {
                selected = menuBoxManager->top()->selected;
                menuBoxManager->push(&over);
            }
        });
        script("5 esc");
        EXPECT_EQ(selectZone(430, 10), zone);
        EXPECT_EQ(std::make_pair(app.loopResult, selected),
                  std::make_pair(static_cast<int>(kLoopChoice), 0));
        ASSERT_EQ(menuBoxManager->stackSize(), 2);
        EXPECT_EQ(menuBoxManager->top(), &over);
        menuBoxManager->pop();
        EXPECT_EQ(menuBoxManager->top(), mainMenu);
        leaveTitleScreen();
    }
}

// An untitled page stands centred below the logo across the whole screen.
TEST_F(FrontEndRules, APageStandsCentredBelowTheLogo) {
    dir.write("Data/Text/help.txt", "<p>\nEven\nwidth\n");
    int top = -1, height = 0, left = -1, width = 0, framesOnPage = 0;
    eachFrame([&](int) {
        if (textPageCount() == 0 || textPageIndex() != 1 || ++framesOnPage != 2)
            return;
        const uint32_t corner = pixelOf(*back, 0, 479);
        for (int y = 100; y < 480; ++y)
            if (pixelOf(*back, 320, y) != corner) {
                top = top < 0 ? y : top;
                height = y - top + 1;
            }
        for (int x = 0; x < 640; ++x)
            if (pixelOf(*back, x, top + height / 2) != corner) {
                left = left < 0 ? x : left;
                width = x - left + 1;
            }
    });
    script("5 up*3 enter enter esc esc");
    EXPECT_FALSE(runTitleScreen());
    ASSERT_EQ((380 - height) % 2 + width % 2, 0) << "an odd size hides a screen one pixel short";
    EXPECT_EQ(top, (380 - height) / 2 + 100);
    EXPECT_EQ(left, (640 - width) / 2);
}
