#include "Src/frontend/ZoneSelection.h"

#include "Src/core/Application.h"
#include "Src/core/GameState.h"
#include "Src/core/InputManager.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/zones/LevelCatalogue.h"

namespace {

// The zone menu sits below and to the left of the main menu's corner.
constexpr int kOffsetX = -60;
constexpr int kOffsetY = 20;

MenuBox* zoneMenu = nullptr;
int zoneChoice = -1;

void dropZoneMenu() {
    if (!zoneMenu)
        return;
    // Also from under a box pushed over it: the stack never keeps a deleted box.
    if (menuBoxManager)
        menuBoxManager->remove(zoneMenu);
    delete zoneMenu;
    zoneMenu = nullptr;
}

MenuBox* makeZoneMenu(int left, int top) {
    auto* menu = new MenuBox(app.screen, left, top, "Select Zone");
    const int count = levelCatalogue.getZoneCount();
    for (int i = 0; i < count; ++i)
        menu->addEntry(levelCatalogue.getZoneDisplayName(i));
    return menu;
}

void buildZoneMenu(int x, int y) {
    dropZoneMenu();
    // Names with their authors can make the menu too wide for its place;
    // the box then moves left by itself to fit on the screen.
    zoneMenu = makeZoneMenu(x + kOffsetX, y + kOffsetY);
    zoneMenu->onMove = playMenuSound;
    const int count = levelCatalogue.getZoneCount();
    zoneMenu->wrap = true;
    zoneMenu->selected = currentZone >= 0 && currentZone < count ? currentZone : 0;
    zoneMenu->centred = true;
    menuBoxManager->push(zoneMenu);
}

void zoneFrame() {
    drawTitleBackground();
    const ControlState* control = inputManager ? inputManager->updateForMenu() : nullptr;
    const int r = menuBoxManager->drawAndHandle(control);
    if (r < kMenuNothing) {
        app.loopResult = kLoopEscape;
    } else if (r >= 0) {
        app.loopResult = kLoopChoice;
        zoneChoice = r;
    }
}

} // namespace

int selectZone(int x, int y) {
    zoneChoice = -1;
    // With no zone there is nothing to choose from (and no entry to select).
    if (!menuBoxManager || levelCatalogue.getZoneCount() == 0)
        return -1;
    buildZoneMenu(x, y);

    LoopCallbacks callbacks;
    callbacks.init = [] { return true; };
    callbacks.exit = [] {};
    callbacks.frame = zoneFrame;
    callbacks.idle = [] {};
    callbacks.mouseClick = [](int cx, int cy) { menuBoxManager->mouseClick(cx, cy); };
    callbacks.hideCursor = false;
    winloop(callbacks, true);

    if (zoneChoice >= 0) {
        playMenuSound(2);
        app.loopResult = kLoopChoice;
    } else if (app.loopResult == kLoopEscape) {
        // Cancelled: the caller keeps the zone and still refreshes its label.
        app.loopResult = kLoopChoice;
        zoneChoice = currentZone;
    }
    dropZoneMenu();
    return zoneChoice;
}
