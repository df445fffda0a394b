#include "Src/frontend/OptionsMenu.h"

#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "Src/core/KeySet.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/Settings.h"
#include "gfx/GfxInput.h"
#include "gfx/GfxScreen.h"
#include "lib/String.h"
#include "widgets/TextBox.h"

namespace {

enum OptionsEntry : int {
    kTitleMusicEntry = 0,
    kInGameMusicEntry = 1,
    kSoundEffectsEntry = 2,
    kFullScreenEntry = 3,
    kConfigureKeysEntry = 4,
    kOptionsBackEntry = 5,
};

enum KeysEntry : int {
    kFirstKeyEntry = 0,
    kLastKeyEntry = 4,
    kResetEntry = 5,
    kKeysBackEntry = 6,
};

// The key set index each key entry edits, and its label, in menu order.
struct KeyEntry {
    const char* label;
    int role;
};
constexpr KeyEntry kKeyEntries[] = {
    {"Up", kKeyUp},     {"Left", kKeyLeft}, {"Right", kKeyRight},
    {"Down", kKeyDown}, {"Fire", kKeyFire},
};

// The choice sound kind of playMenuSound.
constexpr int kChoiceSound = 2;
// Keys that never become bindings: they pause and leave the game, and the
// cheat keys act in a game whatever they are bound to.
constexpr int kKeyCodeEscape = 27;
constexpr int kKeyCodePause = 'p';

bool isAssignable(int k) {
    return k != 0 && k != kKeyCodeEscape && k != kKeyCodePause && k != kCheatKeyEndLevel &&
           k != kCheatKeyLoseSnake;
}

MenuBox* optionsMenu = nullptr;
MenuBox* keysMenu = nullptr;
KeySet* targetKeys = nullptr;
int waitingEntry = -1;
bool keyLatch = false;

const char* onOff(bool value) {
    return value ? " on" : " off";
}

void addSwitch(MenuBox* menu, const char* label, bool value) {
    String text;
    text.format("%s%s", label, onOff(value));
    menu->addEntry(text.c_str());
}

void fillOptionsMenu(MenuBox* menu) {
    menu->clearEntries();
    addSwitch(menu, "Title Music", options.titleMusic);
    addSwitch(menu, "InGame Music", options.inGameMusic);
    addSwitch(menu, "SoundFX", options.soundEffects);
    addSwitch(menu, "FullScreen", options.fullScreen);
    menu->addEntry("Configure Keys");
    menu->addEntry("Back To Main Menu");
}

void fillKeysMenu(MenuBox* menu, const KeySet& keys) {
    menu->clearEntries();
    for (const KeyEntry& entry : kKeyEntries) {
        menu->addEntry(keyBindingText(entry.label, keys.keys[entry.role]).c_str());
    }
    menu->addEntry("Reset To Default");
    menu->addEntry("Back To Main Menu");
}

// Takes a menu off the stack, when it is there, and deletes it.
void closeMenu(MenuBox*& menu) {
    if (!menu)
        return;
    if (menuBoxManager)
        menuBoxManager->remove(menu);
    delete menu;
    menu = nullptr;
}

void openMenu(MenuBox* menu) {
    menu->onMove = playMenuSound;
    if (menuBoxManager) {
        menuBoxManager->push(menu);
        // Keys still held from the menu below choose nothing here.
        menuBoxManager->resetInput();
    }
}

int drawMenusAndHandle(const ControlState* control) {
    return menuBoxManager ? menuBoxManager->drawAndHandle(control) : kMenuNothing;
}

const ControlState* menuControl() {
    return inputManager ? inputManager->updateForMenu() : nullptr;
}

void clickMenu(int x, int y) {
    if (menuBoxManager)
        menuBoxManager->mouseClick(x, y);
}

void runMenuLoop(void (*frame)()) {
    LoopCallbacks callbacks;
    callbacks.init = [] { return true; };
    callbacks.frame = frame;
    callbacks.mouseClick = clickMenu;
    callbacks.hideCursor = false;
    winloop(callbacks, true);
}

void optionsFrame() {
    drawTitleBackground();
    const int r = drawMenusAndHandle(menuControl());
    if (r < kMenuNothing) {
        app.loopResult = kLoopEscape;
        return;
    }
    if (r == kMenuNothing)
        return;
    playMenuSound(kChoiceSound);
    switch (r) {
    case kTitleMusicEntry:
        options.titleMusic = !options.titleMusic;
        updateTitleMusic();
        break;
    case kInGameMusicEntry:
        options.inGameMusic = !options.inGameMusic;
        break;
    case kSoundEffectsEntry:
        options.soundEffects = !options.soundEffects;
        break;
    case kFullScreenEntry:
        // Every loop up to the entry routine ends; it rebuilds the display
        // in the other mode and brings the title screen back.
        options.fullScreen = !options.fullScreen;
        app.fullScreen = options.fullScreen;
        app.modeChangeRequested = true;
        app.loopResult = kLoopQuit;
        break;
    case kConfigureKeysEntry:
        app.loopResult = kLoopKeyConfig;
        break;
    default:
        app.loopResult = kLoopChoice;
        return;
    }
    fillOptionsMenu(optionsMenu);
}

// The flashing entry shows its key again; the key or button that ended the
// wait must be let go before the menu takes input.
void endKeyWait() {
    keysMenu->flash = false;
    waitingEntry = -1;
    fillKeysMenu(keysMenu, *targetKeys);
    keyLatch = false;
    if (menuBoxManager)
        menuBoxManager->resetInput();
}

void takeWaitingKey() {
    if (!inputManager)
        return;
    if (GfxInput* input = inputManager->input())
        input->DetectNewKey(true);
    // East gives up the wait, as it leaves a menu, and is never assigned.
    if (keyLatch && inputManager->isPadPressed(kGfxPadEast)) {
        endKeyWait();
        return;
    }
    int k = inputManager->anyKey();
    // Otherwise a pad button is taken as its joystick key code.
    if (k == 0)
        k = inputManager->anyJoystickButton();
    const bool assignable = isAssignable(k);
    if (assignable && keyLatch) {
        playMenuSound(kChoiceSound);
        targetKeys->keys[kKeyEntries[waitingEntry].role] = k;
        endKeyWait();
        buildControlsPanel();
    } else if (!assignable && !keyLatch) {
        // The key that chose the entry has been let go: the next key counts.
        keyLatch = true;
    }
}

void keysFrame() {
    drawTitleBackground();
    const ControlState* control = menuControl();
    int r;
    if (waitingEntry >= 0) {
        r = drawMenusAndHandle(nullptr);
        takeWaitingKey();
    } else {
        r = drawMenusAndHandle(control);
    }
    if (r < kMenuNothing) {
        app.loopResult = kLoopEscape;
        return;
    }
    if (r == kMenuNothing)
        return;
    playMenuSound(kChoiceSound);
    if (r == kKeysBackEntry) {
        app.loopResult = kLoopChoice;
        return;
    }
    if (r == kResetEntry) {
        *targetKeys = kDefaultKeysPlayer1;
        buildControlsPanel();
        fillKeysMenu(keysMenu, *targetKeys);
        return;
    }
    if (r >= kFirstKeyEntry && r <= kLastKeyEntry && waitingEntry < 0) {
        keysMenu->flash = true;
        waitingEntry = r;
        if (inputManager && inputManager->input())
            inputManager->input()->ClearStates();
        keyLatch = false;
        fillKeysMenu(keysMenu, *targetKeys);
    }
}

} // namespace

MenuBox* makeOptionsMenu(int x, int y) {
    auto* menu = new MenuBox(app.screen, x + 15, y + 20, "Options");
    fillOptionsMenu(menu);
    menu->wrap = true;
    menu->selected = kOptionsBackEntry;
    menu->centred = true;
    return menu;
}

MenuBox* makeKeysMenu(int x, int y, KeySet* keys) {
    auto* menu = new MenuBox(app.screen, x + 15, y + 20, "Configure Keys");
    fillKeysMenu(menu, *keys);
    menu->wrap = true;
    menu->selected = kKeysBackEntry;
    menu->centred = true;
    return menu;
}

void configureKeys(int x, int y, KeySet* keys) {
    targetKeys = keys;
    closeMenu(keysMenu);
    keysMenu = makeKeysMenu(x, y, keys);
    openMenu(keysMenu);

    const Options saved = options;
    waitingEntry = -1;
    runMenuLoop(keysFrame);
    if (app.loopResult == kLoopEscape) {
        options = saved;
        buildControlsPanel();
    }
    closeMenu(keysMenu);
}

void runOptions(int x, int y) {
    closeMenu(optionsMenu);
    optionsMenu = makeOptionsMenu(x, y);
    openMenu(optionsMenu);

    const Options saved = options;
    runMenuLoop(optionsFrame);
    while (app.loopResult == kLoopKeyConfig) {
        configureKeys(x + 15, y + 20, &options.player1Keys);
        // A closed window ends the options too, instead of opening them
        // again into a loop that can only end at once.
        if (app.loopResult != kLoopChoice && app.loopResult != kLoopEscape)
            break;
        runMenuLoop(optionsFrame);
    }
    if (app.loopResult == kLoopEscape) {
        const bool titleMusicNow = options.titleMusic;
        options = saved;
        if (titleMusicNow != options.titleMusic)
            updateTitleMusic();
        // The panel shows the keys restored, not those just undone.
        buildControlsPanel();
        app.loopResult = kLoopChoice;
    }
    closeMenu(optionsMenu);
}
