#include "Src/game/EscapeMenu.h"

#include "Src/core/InputManager.h"
#include "Src/menus/MenuBox.h"
#include "Src/menus/MenuBoxManager.h"
#include "Src/records/Settings.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "lib/Log.h"
#include "sound/SoundSystem.h"

namespace {

enum SoundEvent : int { kSoundChoice = 1, kSoundMove = 2 };
// What playSound is given for a choice (moves give 0 or 1).
constexpr int kSoundValueChoice = 2;
enum Entry : int { kResume = 0, kQuit = 1 };

void pauseMusic(bool paused) {
    if (options.inGameMusic && soundSystem)
        soundSystem->PauseMusic(paused);
}

} // namespace

EscapeMenu::EscapeMenu() {
    loop_.init = [] { return true; };
    loop_.frame = [this] { escapeMenuFrame(); };
    loop_.mouseClick = [](int x, int y) {
        if (menuBoxManager)
            menuBoxManager->mouseClick(x, y);
    };
    loop_.hideCursor = false; // the menu takes clicks
}

EscapeMenu::~EscapeMenu() {
    deleteSnapshot();
    delete escapeMenuBox_;
}

void EscapeMenu::deleteSnapshot() {
    delete escapeSnapshot_;
    escapeSnapshot_ = nullptr;
}

void EscapeMenu::playSound(int value) {
    if (options.soundEffects && soundSystem)
        soundSystem->PlayEvent(value < kSoundValueChoice ? kSoundMove : kSoundChoice);
}

void EscapeMenu::takeEscapeSnapshot(GfxSurface* source) {
    deleteSnapshot();
    if (!source)
        return;
    auto* copy = new GfxSurface;
    if (copy->Create(app.screen, source->GetWidth(), source->GetHeight(), 2) < 0) {
        delete copy;
        gameLog.write("Could not create surface for EscapeMenu");
        return;
    }
    escapeSnapshot_ = copy;
    escapeSnapshot_->SetColorKey(0);
    source->DrawOpaque(escapeSnapshot_, 0, 0);
}

void EscapeMenu::startDissolve(uint32_t backgroundColour) {
    backgroundColour_ = backgroundColour;
    stripeY_ = stripeRow_ = 0;
}

void EscapeMenu::runEscapeMenu(uint32_t backgroundColour) {
    pauseMusic(true);
    if (menuBoxManager) {
        menuBoxManager->reset();
        menuBoxManager->resetInput();
    }
    escapeMenuBox_ = new MenuBox(app.screen, -1, -1, "Really quit game?");
    escapeMenuBox_->onMove = playSound;
    escapeMenuBox_->addEntry("Resume Game", true);
    escapeMenuBox_->addEntry("Quit Game", true);
    escapeMenuBox_->wrap = true;
    escapeMenuBox_->selected = kResume;
    escapeMenuBox_->centred = true;
    if (menuBoxManager)
        menuBoxManager->push(escapeMenuBox_);
    startDissolve(backgroundColour);
    playSound(kSoundValueChoice);

    winloop(loop_, true);

    pauseMusic(false);
    delete escapeMenuBox_;
    escapeMenuBox_ = nullptr;
    if (menuBoxManager)
        menuBoxManager->clearStack();
    deleteSnapshot();
}

void EscapeMenu::escapeMenuFrame() {
    if (escapeSnapshot_) {
        if (app.backSurface)
            escapeSnapshot_->DrawOpaque(app.backSurface, 0, 0);
        const int height = escapeSnapshot_->GetHeight();
        stripeRow_ = stripeY_ < 0 ? 0 : stripeY_;
        escapeSnapshot_->FillArea(0, stripeRow_, escapeSnapshot_->GetWidth(),
                                  stripeRow_ + kStripeHeight, backgroundColour_);
        const int old = stripeY_;
        stripeY_ += kStripeStep;
        // Past the bottom the stripes start again near the top, a little
        // lower each round, so that the bands fill the whole picture.
        if (old + kStripeStep + kStripeHeight > height)
            stripeY_ = old + kStripeStep - 9 - height;
    }
    const ControlState* control = inputManager ? inputManager->updateForMenu() : nullptr;
    const int result = menuBoxManager ? menuBoxManager->drawAndHandle(control) : kMenuNothing;
    if (result == kMenuNothing)
        return;
    playSound(kSoundValueChoice);
    if (result == kResume)
        app.loopResult = kLoopChoice;
    else if (result == kQuit)
        app.loopResult = kLoopEscape;
}
