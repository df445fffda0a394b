// The menu that escape opens during a level: "Really quit game?" over the
// frozen picture of the level, which dissolves band by band into the
// background while the menu is open. The level stays loaded underneath.
#pragma once

#include "Src/core/Application.h"

#include <cstdint>

class GfxSurface;
class MenuBox;

class EscapeMenu {
public:
    static constexpr int kStripeHeight = 3;
    static constexpr int kStripeStep = 117;

    EscapeMenu();
    ~EscapeMenu();
    EscapeMenu(const EscapeMenu&) = delete;
    EscapeMenu& operator=(const EscapeMenu&) = delete;

    // Keeps a copy of the level's picture as it was when escape was pressed.
    void takeEscapeSnapshot(GfxSurface* source);
    // Runs the menu; app.loopResult is then kLoopChoice to resume, kLoopEscape
    // to quit the game, or kLoopQuit when the window was closed.
    // backgroundColour is the level's background pixel value.
    void runEscapeMenu(uint32_t backgroundColour);
    // The dissolve starts again at the top, towards the level's background.
    void startDissolve(uint32_t backgroundColour);
    // One frame of the menu's loop.
    void escapeMenuFrame();

    GfxSurface* snapshot() const { return escapeSnapshot_; }
    int stripeY() const { return stripeY_; }
    int stripeRow() const { return stripeRow_; }
    const LoopCallbacks& loop() const { return loop_; }

    // Plays the menu's sounds: a move for a value below 2, else a choice.
    static void playSound(int value);

private:
    void deleteSnapshot();

    LoopCallbacks loop_;
    GfxSurface* escapeSnapshot_ = nullptr;
    MenuBox* escapeMenuBox_ = nullptr;
    uint32_t backgroundColour_ = 0;
    int stripeY_ = 0;
    int stripeRow_ = 0;
};
