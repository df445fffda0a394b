#include "Src/frontend/TitleBackground.h"

#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/core/KeySet.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleContent.h"
#include "Src/frontend/WelcomeScroller.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/HighScorePanel.h"
#include "Src/records/Settings.h"
#include "Src/records/StatisticsLines.h"
#include "Src/zones/LevelCatalogue.h"
#include "gfx/GfxInput.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/GfxTypes.h"
#include "lib/String.h"
#include "sound/SoundSystem.h"
#include "widgets/TextBox.h"
#include "widgets/TextGroup.h"

TextList* controlsPanel = nullptr;

namespace {

constexpr const char* kTitlePicture = ".\\Data\\Gfx\\title.bmp";
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

struct TitleBackground {
    GfxSurface* titlePicture = nullptr;
    InfoPanelCycle panels;
    HighScorePanel* highScorePanel = nullptr;
    TextList* statisticsPanel = nullptr;
    GfxSurface* drawTarget = nullptr;
    WelcomeScroller scroller;
    // The picture with the shown panel keyed onto it, kept while neither
    // changes, so that a frame copies it once instead of copying the picture
    // and then keying the panel over it.
    GfxSurface* backdrop = nullptr;
    uint64_t backdropStamp = 0;
    int backdropX = 0, backdropY = 0;
};

TitleBackground title;

// The statistics and controls panels: framed panel text.
TextList* newFramedPanel(const char* caption) {
    TextStyle style = panelStyle;
    style.framed = 1;
    style.frameWidth = 2;
    style.frameColour = app.screen ? app.screen->ConvertColor(kPanelFrameColour) : 0;
    auto* panel = new TextList(app.screen, style);
    panel->setTitle(caption);
    return panel;
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
        soundSystem->StopAll();
}

void stopTitleMusic() {
    if (options.titleMusic && soundSystem)
        soundSystem->StopAll();
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
    if (!title.statisticsPanel)
        title.statisticsPanel = newFramedPanel("Statistics");
    title.statisticsPanel->clear();
    for (const String& line : statisticsLines(statistics))
        title.statisticsPanel->addLine(line.c_str());
}

void buildControlsPanel() {
    if (!controlsPanel)
        controlsPanel = newFramedPanel("Keyboard Controls");
    struct Line {
        const char* label;
        int role;
    };
    static constexpr Line kLines[] = {
        {"Up Key", kKeyUp},     {"Left Key", kKeyLeft}, {"Right Key", kKeyRight},
        {"Down Key", kKeyDown}, {"Fire Key", kKeyFire},
    };
    const KeySet& keys = options.player1Keys;
    controlsPanel->clear();
    controlsPanel->addLine(" ");
    for (const Line& line : kLines) {
        controlsPanel->addLine(keyBindingText(line.label, keys.keys[line.role]).c_str());
    }
    controlsPanel->addLine(" ");
    controlsPanel->addLine("Pause Game = P");
    controlsPanel->addLine("Quit Game = Esc");
    controlsPanel->addLine(" ");
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

    // A picture smaller than the screen keeps a backdrop that would crop the
    // panel; the layers are then drawn one by one.
    const bool panelInBackdrop = title.backdrop && panelX >= 0 && panelY >= 0 &&
                                 panelX + w <= title.backdrop->GetWidth() &&
                                 panelY + h <= title.backdrop->GetHeight();
    if (!panel || !panelInBackdrop || !title.titlePicture) {
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

void setTitleDrawTarget(GfxSurface* target) {
    title.drawTarget = target;
}

void createTitlePanels() {
    title.highScorePanel = new HighScorePanel(app.screen);
    refreshHighScorePanel();
    buildStatisticsPanel();
    buildControlsPanel();
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
    // Without room for the backdrop each frame keys the panel itself.
    title.backdrop = new GfxSurface;
    if (title.backdrop->Create(app.screen, title.titlePicture->GetWidth(),
                               title.titlePicture->GetHeight(), kSurfaceMemoryAny) < 0) {
        delete title.backdrop;
        title.backdrop = nullptr;
    }
    return true;
}

bool setUpWelcomeScroller() {
    if (title.scroller.setUp(app.screen, kWelcomeText))
        return true;
    fatalError(app.screen, "Could not create surface (width=%ld, height=%ld",
               static_cast<long>(WelcomeScroller::kSurfaceWidth),
               static_cast<long>(WelcomeScroller::kHeight));
    return false;
}

void releaseWelcomeScroller() {
    title.scroller.release();
}

void releaseTitleBackground() {
    delete title.titlePicture;
    title.titlePicture = nullptr;
    delete title.backdrop;
    title.backdrop = nullptr;
    title.backdropStamp = 0;
    delete title.highScorePanel;
    title.highScorePanel = nullptr;
    delete title.statisticsPanel;
    title.statisticsPanel = nullptr;
    delete controlsPanel;
    controlsPanel = nullptr;
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
