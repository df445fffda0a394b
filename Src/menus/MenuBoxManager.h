// The MenuBoxManager game module: a stack of open menu boxes. Each frame
// the screen that owns the menus draws the whole stack, bottom first, and
// the box on top takes the frame's control state, which yields the player's
// choice. The manager does not own the boxes: whoever pushes one pops and
// deletes it.
#pragma once

#include "Src/core/GameModule.h"
#include "lib/Array.h"

class MenuBox;
struct ControlState;

// Results of handleInput and drawAndHandle besides an entry index.
constexpr int kMenuNothing = -1;
constexpr int kMenuClickBeside = -2;
constexpr int kMenuEscape = -3;

// The input state shared by all boxes.
struct MenuInputState {
    bool armed = false;      // false until fire, escape and up/down are all released
    int repeatCountdown = 0; // frames until a held action may repeat
    int lastAction = 0;      // the action taken and not yet released
    int pendingClick = -1;   // the last click's result, or -1
};

class MenuBoxManager : public GameModule {
public:
    static constexpr int kRepeatDelay = 14;
    enum Action : int { kNone = 0, kFire = 1, kUp = 2, kDown = 3, kEscape = 4 };

    MenuBoxManager() : GameModule("MenuBoxManager") {}

    void push(MenuBox* box) { stack_.add(box); }
    void pop();
    // Takes a box off the stack wherever it lies (every time it was pushed);
    // the boxes above it stay, in order. For a box about to be deleted.
    void remove(MenuBox* box);
    int stackSize() const { return stack_.size(); }
    MenuBox* top() const { return stack_.size() > 0 ? stack_[stack_.size() - 1] : nullptr; }

    // Draws every box, bottom first, then lets the top box handle control.
    // The top box's result; -1 with an empty stack or no control.
    int drawAndHandle(const ControlState* control);
    // A click in screen coordinates, for the loops' mouseClick callback.
    void mouseClick(int x, int y);
    void resetInput();
    void clearStack() { stack_.setSize(0); }
    bool reset();

    // One frame's reaction of a box to a control state: -1 nothing, an
    // entry index (chosen), -2 (a click beside the box) or -3 (escape).
    static int handleInput(MenuBox* box, const ControlState* control);
    static MenuInputState& inputState() { return input_; }

private:
    Array<MenuBox*> stack_;
    static inline MenuInputState input_;
};

extern MenuBoxManager* menuBoxManager;
