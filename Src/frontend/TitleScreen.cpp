#include "Src/frontend/TitleScreen.h"

#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/frontend/OptionsMenu.h"
#include "Src/frontend/TextPageScreen.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleContent.h"
#include "Src/frontend/ZoneSelection.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/ZoneOrder.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "lib/String.h"

namespace {

constexpr int kMenuX = 430;
constexpr int kMenuY = 10;
constexpr int kTitleFramesPerSecond = 50;
constexpr int kReloadKey = 'l';

const char* const kMenuTexts[] = {"Start", "Select Zone", "Skill Level", "Options",
                                  "Help",  "Credits",     "Quit",        nullptr};

struct TitleScreen {
    int menuChoice = -1;
    MenuBox* mainMenu = nullptr;
    bool reloadArmed = true;
};

TitleScreen title;

void setZoneLabel() {
    if (!title.mainMenu)
        return;
    String label;
    makeZoneLabel(levelCatalogue, currentZone, label);
    title.mainMenu->setEntryText(kMenuZone, label.c_str());
}

void setSkillLabel() {
    if (!title.mainMenu)
        return;
    String label;
    makeSkillLabel(currentSkill, label);
    title.mainMenu->setEntryText(kMenuSkill, label.c_str());
}

void buildMainMenu() {
    title.mainMenu = new MenuBox(app.screen, kMenuX, kMenuY, "Main Menu");
    title.mainMenu->onMove = playMenuSound;
    for (int i = 0; kMenuTexts[i]; ++i)
        title.mainMenu->addEntry(kMenuTexts[i]);
    setZoneLabel();
    setSkillLabel();
    title.mainMenu->wrap = true;
    title.mainMenu->selected = kMenuStart;
    title.mainMenu->centred = true;
    menuBoxManager->push(title.mainMenu);
}

// The level reload key: rescans the zones once per press.
void handleReloadKey() {
    const bool down = inputManager && inputManager->isKeyDown(kReloadKey);
    if (title.reloadArmed && down) {
        levelCatalogue.clearZones();
        if (!levelCatalogue.scanZones()) {
            app.loopResult = kLoopEscape;
            return;
        }
        // A zone that went away keeps the player as near to it as there
        // are zones.
        followZones(true);
        setZoneLabel();
        title.reloadArmed = false;
    } else if (!title.reloadArmed && !down) {
        title.reloadArmed = true;
    }
}

} // namespace

bool enterTitleScreen() {
    leaveTitleScreen();
    setTitleDrawTarget(app.backSurface);
    if (!menuBoxManager || !app.screen || !app.backSurface)
        return false;
    menuBoxManager->reset();

    buildMainMenu();
    createTitlePanels();

    if (!loadTitlePicture())
        return false;
    updateTitleMusic();

    if (!setUpWelcomeScroller())
        return false;

    if (GfxSurface* front = app.screen->GetFrontSurface())
        front->FillAll(0);
    if (GfxSurface* back = app.screen->GetBackSurface())
        back->FillAll(0);

    levelCatalogue.clearZones();
    const bool scanned = levelCatalogue.scanZones();
    if (scanned)
        followZones();
    // The zones may have changed since the menu was built.
    setZoneLabel();
    refreshHighScorePanel();
    return scanned;
}

void leaveTitleScreen() {
    releaseWelcomeScroller();
    stopTitleMusic();
    if (highScoreManager)
        highScoreManager->save();
    releaseTitleBackground();
    delete title.mainMenu;
    title.mainMenu = nullptr;
    if (menuBoxManager)
        menuBoxManager->clearStack();
}

void titleFrame() {
    drawTitleBackground();
    const ControlState* control = inputManager ? inputManager->updateForMenu() : nullptr;
    const int r = menuBoxManager ? menuBoxManager->drawAndHandle(control) : kMenuNothing;
    if (r == kMenuEscape) {
        app.loopResult = kLoopEscape;
    } else if (r != kMenuNothing) {
        app.loopResult = kLoopChoice;
        title.menuChoice = r;
    }
    handleReloadKey();
}

bool runTitleScreen() {
    bool result = false;
    if (!enterTitleScreen()) {
        leaveTitleScreen();
        return false;
    }

    LoopCallbacks callbacks;
    callbacks.init = [] { return true; };
    callbacks.exit = [] {};
    callbacks.frame = titleFrame;
    callbacks.idle = [] {};
    callbacks.mouseClick = [](int x, int y) {
        if (menuBoxManager)
            menuBoxManager->mouseClick(x, y);
    };
    callbacks.hideCursor = false;

    for (bool leave = false; !leave;) {
        title.menuChoice = -1;
        menuBoxManager->resetInput();
        const int savedRate = app.framesPerSecond;
        app.framesPerSecond = kTitleFramesPerSecond;
        winloop(callbacks, true);
        app.framesPerSecond = savedRate;
        if (app.loopResult != kLoopChoice)
            break;
        if (title.menuChoice < 0)
            continue;
        playMenuSound(2);
        switch (title.menuChoice) {
        case kMenuStart:
            result = true;
            leave = true;
            break;
        case kMenuQuit:
            app.loopResult = kLoopQuit;
            leave = true;
            break;
        case kMenuSkill:
            currentSkill = nextSkill(currentSkill);
            setSkillLabel();
            refreshHighScorePanel();
            break;
        case kMenuZone: {
            const int zone = selectZone(kMenuX, kMenuY);
            if (zone >= 0) {
                currentZone = zone;
                setZoneLabel();
                refreshHighScorePanel();
            }
            break;
        }
        case kMenuOptions:
            runOptions(kMenuX, kMenuY);
            if (app.loopResult == kLoopQuit)
                leave = true;
            break;
        case kMenuHelp:
            showTextPages(false);
            break;
        case kMenuCredits:
            showTextPages(true);
            break;
        default:
            break;
        }
    }
    leaveTitleScreen();
    return result;
}

MenuBox* titleMainMenu() {
    return title.mainMenu;
}
