#include "TitleScreen.h"

#include "Application.h"
#include "GameState.h"
#include "GameSystems.h"
#include "GfxScreen.h"
#include "GfxSurface.h"
#include "GfxTypes.h"
#include "HighScoreManager.h"
#include "HighScorePanel.h"
#include "InputManager.h"
#include "LevelCatalogue.h"
#include "Log.h"
#include "MenuBox.h"
#include "MenuBoxManager.h"
#include "OptionsMenu.h"
#include "Settings.h"
#include "SoundSystem.h"
#include "StatisticsLines.h"
#include "TextBox.h"
#include "TextGroup.h"
#include "TextPageScreen.h"
#include "TitleContent.h"
#include "WelcomeScroller.h"
#include "ZoneSelection.h"

TextList* controlsPanel = nullptr;

namespace {

constexpr int kMenuX = 430;
constexpr int kMenuY = 10;
constexpr int kTitleFramesPerSecond = 50;
constexpr const char* kTitlePicture = ".\\Data\\Gfx\\title.bmp";
constexpr int kReloadKey = 'l';
constexpr int kScrollerX = 0;
constexpr int kScrollerY = 140;
// The information panels are centred in the band below the scroller.
constexpr int kPanelAreaTop = 180;
constexpr int kPanelAreaHeight = 300;
constexpr int kScreenWidth = 640;
constexpr uint32_t kPanelFrameColour = 0x005000;

constexpr int kSoundChoice = 1;
constexpr int kSoundMove = 2;
constexpr int kSoundTitleMusic = 14;

const char* const kMenuTexts[] = {"Start", "Select Zone", "Skill Level", "Options",
                                  "Help",  "Credits",     "Quit",        nullptr};

struct TitleScreen {
    int menuChoice = -1;
    MenuBox* mainMenu = nullptr;
    GfxSurface* titlePicture = nullptr;
    InfoPanelCycle panels;
    HighScorePanel* highScorePanel = nullptr;
    TextList* statisticsPanel = nullptr;
    bool reloadArmed = true;
    GfxSurface* drawTarget = nullptr;
    WelcomeScroller scroller;
    // The picture with the shown panel keyed onto it, kept while neither
    // changes, so that a frame copies it once instead of copying the picture
    // and then keying the panel over it.
    GfxSurface* backdrop = nullptr;
    uint64_t backdropStamp = 0;
    int backdropX = 0, backdropY = 0;
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

void stopMusic() {
    if (soundSystem)
        soundSystem->StopAll();
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

bool loadTitlePicture() {
    title.titlePicture = new GfxSurface;
    if (title.titlePicture->CreateFromImage(app.screen, kTitlePicture, kSurfaceMemoryAny) < 0) {
        delete title.titlePicture;
        title.titlePicture = nullptr;
        fatalError(app.screen, "Could not load titlepic '%s'", kTitlePicture);
        return false;
    }
    if (!title.titlePicture->GetStore()) {
        delete title.titlePicture;
        title.titlePicture = nullptr;
        fatalError(app.screen, "No titlepic Surface!");
        return false;
    }
    return true;
}

TextBox* shownPanel() {
    switch (title.panels.panel()) {
    case InfoPanel::HighScores:
        return title.highScorePanel ? &title.highScorePanel->group() : nullptr;
    case InfoPanel::Statistics:
        return title.statisticsPanel;
    case InfoPanel::Controls:
        return controlsPanel;
    default:
        return nullptr;
    }
}

// The level reload key: rescans the zones once per press.
void handleReloadKey() {
    const bool down = inputManager && inputManager->isKeyDown(kReloadKey);
    if (title.reloadArmed && down) {
        const int before = currentZone;
        levelCatalogue.clearZones();
        if (!levelCatalogue.scanZones()) {
            app.loopResult = kLoopEscape;
            return;
        }
        // The scan puts an unknown zone back on the first; a zone that went
        // away keeps the player as near to it as there are zones.
        const int count = levelCatalogue.getZoneCount();
        if (before >= count)
            currentZone = count - 1;
        setZoneLabel();
        title.reloadArmed = false;
    } else if (!title.reloadArmed && !down) {
        title.reloadArmed = true;
    }
}

} // namespace

void setInfoPanel(int n) {
    title.panels.setInfoPanel(n);
}

void setPanelCountdown(int frames) {
    title.panels.setCountdown(frames);
}

void playMenuSound(int kind) {
    if (options.titleMusic || !options.soundEffects || !soundSystem)
        return;
    soundSystem->PlayEvent(kind < 2 ? kSoundMove : kSoundChoice);
}

void updateTitleMusic() {
    if (!soundSystem)
        return;
    if (options.titleMusic)
        soundSystem->PlayEvent(kSoundTitleMusic);
    else
        stopMusic();
}

void refreshHighScorePanel() {
    if (!title.highScorePanel || !highScoreManager)
        return;
    // No table is made up for a zone that does not exist.
    if (currentZone < 0 || currentZone >= levelCatalogue.getZoneCount())
        return;
    HighScoreList* list = highScoreManager->getList(currentSkill, currentZone);
    if (list)
        title.highScorePanel->show(*list, pendingHighlight);
}

void buildStatisticsPanel() {
    if (!title.statisticsPanel) {
        TextStyle style = panelStyle;
        style.framed = 1;
        style.frameWidth = 2;
        style.frameColour = app.screen ? app.screen->ConvertColor(kPanelFrameColour) : 0;
        title.statisticsPanel = new TextList(app.screen, style);
        title.statisticsPanel->setTitle("Statistics");
    }
    title.statisticsPanel->clear();
    for (const String& line : statisticsLines(statistics))
        title.statisticsPanel->addLine(line.c_str());
}

void drawTitleBackground() {
    title.panels.advance();
    GfxSurface* target = title.drawTarget;
    if (!target)
        return;
    TextBox* panel = shownPanel();
    int w = 0, h = 0;
    if (panel && (!panel->getSize(w, h) || !panel->update()))
        panel = nullptr;
    const int panelX = (kScreenWidth - w) / 2;
    const int panelY = (kPanelAreaHeight - h) / 2 + kPanelAreaTop;

    if (!panel || !title.backdrop || !title.titlePicture) {
        if (title.titlePicture)
            title.titlePicture->DrawOpaque(target, 0, 0);
        if (panel)
            panel->drawKeyed(panelX, panelY, 0, 0, target);
    } else {
        if (panel->renderStamp() != title.backdropStamp || panelX != title.backdropX ||
            panelY != title.backdropY) {
            title.titlePicture->DrawOpaque(title.backdrop, 0, 0);
            panel->drawKeyed(panelX, panelY, 0, 0, title.backdrop);
            title.backdropStamp = panel->renderStamp();
            title.backdropX = panelX;
            title.backdropY = panelY;
        }
        title.backdrop->DrawOpaque(target, 0, 0);
    }
    title.scroller.advance();
    title.scroller.draw(target, kScrollerX, kScrollerY);
    // A panel tall enough to reach the scroller is drawn over it.
    if (panel && panelY < kScrollerY + WelcomeScroller::kHeight)
        panel->drawKeyed(panelX, panelY, 0, 0, target);
}

bool enterTitleScreen() {
    leaveTitleScreen();
    title.drawTarget = app.backSurface;
    if (!menuBoxManager || !app.screen || !app.backSurface)
        return false;
    menuBoxManager->reset();

    buildMainMenu();
    title.highScorePanel = new HighScorePanel(app.screen);
    refreshHighScorePanel();
    buildStatisticsPanel();
    buildControlsPanel();

    if (!loadTitlePicture())
        return false;
    // Without room for the backdrop each frame keys the panel itself.
    title.backdrop = new GfxSurface;
    if (title.backdrop->Create(app.screen, title.titlePicture->GetWidth(),
                               title.titlePicture->GetHeight(), kSurfaceMemoryAny) < 0) {
        delete title.backdrop;
        title.backdrop = nullptr;
    }
    updateTitleMusic();

    if (!title.scroller.setUp(app.screen, kWelcomeText)) {
        fatalError(app.screen, "Could not create surface (width=%ld, height=%ld",
                   static_cast<long>(WelcomeScroller::kSurfaceWidth),
                   static_cast<long>(WelcomeScroller::kHeight));
        return false;
    }

    if (GfxSurface* front = app.screen->GetFrontSurface())
        front->FillAll(0);
    if (GfxSurface* back = app.screen->GetBackSurface())
        back->FillAll(0);

    levelCatalogue.clearZones();
    const bool scanned = levelCatalogue.scanZones();
    // The zones may have changed since the menu was built.
    setZoneLabel();
    refreshHighScorePanel();
    return scanned;
}

void leaveTitleScreen() {
    title.scroller.release();
    if (options.titleMusic)
        stopMusic();
    if (highScoreManager)
        highScoreManager->save();
    delete title.titlePicture;
    title.titlePicture = nullptr;
    delete title.backdrop;
    title.backdrop = nullptr;
    title.backdropStamp = 0;
    delete title.mainMenu;
    title.mainMenu = nullptr;
    delete title.highScorePanel;
    title.highScorePanel = nullptr;
    delete title.statisticsPanel;
    title.statisticsPanel = nullptr;
    delete controlsPanel;
    controlsPanel = nullptr;
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
HighScorePanel* titleHighScorePanel() {
    return title.highScorePanel;
}
TextList* titleStatisticsPanel() {
    return title.statisticsPanel;
}
WelcomeScroller& welcomeScroller() {
    return title.scroller;
}
int infoPanel() {
    return title.panels.phase();
}
int panelCountdown() {
    return title.panels.countdown();
}
