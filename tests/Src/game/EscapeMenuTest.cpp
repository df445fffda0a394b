// The escape menu over a running level, played from scripts of keys and
// written as a transcript: each time it opens (the level as it stopped, the
// box, its texts and place, the cursor, the dissolve colour, the sounds so
// far) and how the game ends. The dissolve stripes of the picture apart.
#include "Src/game/EscapeMenu.h"

#include "Src/menus/MenuBox.h"
#include "tests/support/Golden.h"
#include "tests/support/PlayedGame.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace played;

namespace {

const std::vector<std::string> kCorridor = {
    "##############################", "#BB>.........................#",
    "#...........................o#", "##############################"};

class EscapeMenuTest : public PlayedGame {
protected:
    // What a level is made of while it runs.
    std::string levelState() {
        std::ostringstream out;
        out << "snake";
        for (const SnakeSegment* s = game.snake().head(); s; s = s->next)
            out << " " << s->column << "," << s->row << "," << int(s->direction) << ","
                << int(s->growthStage);
        out << " blocks ";
        for (int y = 0; y < game.map().getMapHeight(); ++y)
            for (int x = 0; x < game.map().getMapWidth(); ++x)
                out << game.map().getBlock(x, y);
        out << " items=" << game.itemsLeft() << " score=" << game.score()
            << " time=" << game.timeLeft() << " lives=" << game.lives();
        return out.str();
    }
    // The box three frames after it opened; a click on an entry when asked.
    std::string box(int click) {
        MenuBox* box = menuBoxManager->top();
        std::ostringstream out;
        out << "box \"" << box->title().text.c_str() << "\"";
        for (int i = 0; i < box->entryCount(); ++i)
            out << " \"" << box->entry(i).text.c_str() << "\"";
        int left = 0, top = 0;
        box->position(left, top);
        back->Lock();
        // Dissolved by now in the colour beside the map.
        const bool stripe = back->GetPixel(5, 1) == back->GetPixel(0, 470);
        back->Unlock();
        out << " middle=" << (left == (640 - box->width()) / 2 && top == (480 - box->height()) / 2)
            << " centred=" << box->centred << " cursor=" << platform.cursorVisible()
            << " stripe=" << stripe;
        if (click >= 0) {
            PlatformEvent e;
            e.type = PlatformEvent::MouseButtonDown;
            e.button = 1;
            e.x = left + box->width() / 2;
            e.y = top + box->entry(click).y + box->lineHeight() / 2;
            platform.pushEvent(e);
        }
        return out.str();
    }
};

} // namespace

TEST_F(EscapeMenuTest, ScriptedMenusAsTheTranscriptSays) {
    const struct {
        const char* what;
        const char* keys; // see scriptKeys
        int frames;
        bool sounds = false;
        std::vector<int> clicks = {}; // the entry clicked each time the menu opens
    } cases[] = {
        // P held through "Resume Game": the level pauses in its first frame,
        // so nothing moves before escape opens the menu again; "Quit Game"
        // ends the game without statistics or entry.
        {"resume, then quit", "40:esc 70:p+ 75:enter 100:p- 120:esc 140:down 150:enter", 170},
        // Held from before the level resumes: no second menu until let go;
        // the menu's frames do not count on the clock.
        {"escape held through resume", "10:esc+ 20:esc- 40:enter 40:esc+ 120:esc-", 120},
        // Escape in the menu only sounds, moves sound past the ends, the
        // music waits; enter, still down after "Resume Game", boosts.
        {"sounds", "10:esc 30:esc 50:down 60:up 70:up 80:down 90:enter", 130, true},
        {"silent", "10:esc 50:down 70:enter", 130},
        {"window closed in the menu", "10:esc", 30},
        {"clicks resume, then quit", "10:esc 40:esc", 300, false, {0, 1}},
    };
    std::string out;
    for (const auto& c : cases) {
        writeZone(
            dir, "Test",
            {{kCorridor, "Time=60,60,60\nStartSpeed=8,8,8\nTopSpeed=2,2,2\nIncSpeed=5,5,5\n"}},
            "Skill=1\nBackcolor=RGB(22,52,20)\n");
        ASSERT_TRUE(levelCatalogue.scanZones());
        recordSounds();
        options.soundEffects = options.inGameMusic = c.sounds;
        if (!c.sounds)
            soundSystem->PlayEvent(16); // the music of another option goes on
        soundsPlayed();
        statistics = Statistics();
        app.quitPosted = false;
        const int start = frame();
        int opened = -100;
        size_t menus = 0;
        out += std::string("# ") + c.what + "\n";
        game.onEscapeMenu = [&] {
            opened = frame();
            back->Lock();
            const bool clear = back->GetPixel(320, 205) == back->GetPixel(0, 470);
            back->Unlock();
            out += "menu at frame " + std::to_string(opened - start) +
                   " picture=" + std::to_string(game.escapeMenu().snapshot() != nullptr) +
                   " beside the map=" + (clear ? "background" : "menu") +
                   " sounds=" + soundsPlayed() + "\n  " + levelState() + "\n";
        };
        platform.afterPresent = [&](int f) {
            if (f == opened + 3 && menuBoxManager->top())
                out += "  " + box(menus < c.clicks.size() ? c.clicks[menus++] : -1) + "\n";
        };
        scriptKeys(platform, c.keys, start);
        limitFrames(start + c.frames);
        game.run();
        platform.afterPresent = nullptr;
        out += std::string("end: ") + loopResultName(app.loopResult) +
               " games=" + std::to_string(statistics.gamesPlayed) +
               " levels=" + std::to_string(statistics.levelsDone) +
               " run time=" + std::to_string(statistics.totalRunTime.ticks()) +
               " rank=" + std::to_string(game.newHighScore().rank()) +
               " picture=" + std::to_string(game.escapeMenu().snapshot() != nullptr) +
               " menus left=" + std::to_string(menuBoxManager->stackSize()) +
               " quit=" + std::to_string(app.quitPosted) +
               " time=" + std::to_string(game.timeLeft()) +
               " map width=" + std::to_string(game.map().getMapWidth()) +
               " sounds=" + soundsPlayed() + "\n";
        // Any loop after a closed window ends at once.
        const int before = frame();
        if (app.quitPosted)
            winloop(game.escapeMenu().loop(), true);
        out += "a loop after: frames=" + std::to_string(frame() - before) + "\n";
        finishScript(start + c.frames);
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/escape_menu.txt", out);
}
// Each frame fills the next stripe of the picture in the background colour:
// its row, and whether its first and last rows are filled; the picture
// stays where no stripe came.
TEST_F(EscapeMenuTest, StripesDissolveThePictureBandByBand) {
    const uint32_t picture = 0x123456, background = 0x00AA00;
    EscapeMenu menu; // one for all: each dissolve starts again at the top
    std::string out;
    for (const auto& [height, frames] :
         std::vector<std::pair<int, int>>{{480, 14}, {120, 4}, {119, 4}, {110, 3}}) {
        GfxSurface source;
        ASSERT_EQ(source.Create(app.screen, 640, height, 2), 0);
        source.FillAll(picture);
        menu.takeEscapeSnapshot(&source);
        menu.startDissolve(background);
        out += "height " + std::to_string(height) + ":";
        for (int i = 0; i < frames; ++i) {
            menu.escapeMenuFrame();
            GfxSurface* snapshot = menu.snapshot();
            const int row = menu.stripeRow();
            snapshot->Lock();
            out += " " + std::to_string(row) +
                   ((snapshot->GetPixel(5, row) & 0xFFFFFF) == background &&
                            (snapshot->GetPixel(639, row + 2) & 0xFFFFFF) == background
                        ? ""
                        : "(not filled)");
            const bool kept = (snapshot->GetPixel(0, 3) & 0xFFFFFF) == picture;
            snapshot->Unlock();
            out += i + 1 == frames && kept ? " picture kept\n" : "";
        }
    }
    // The back surface shows the picture as it was before this frame's
    // stripe: rows 0-2 went in the first frame, so the second shows them.
    back->Lock();
    out += "back surface at the top: " + std::to_string(back->GetPixel(0, 0) & 0xFFFFFF) + "\n";
    back->Unlock();
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/escape_stripes.txt", out);
}
