#include "Src/menus/MenuBoxManager.h"

#include "Src/core/InputManager.h"
#include "Src/menus/MenuBox.h"

MenuBoxManager* menuBoxManager = nullptr;

void MenuBoxManager::pop() {
    if (stack_.size() > 0)
        stack_.setSize(stack_.size() - 1);
}

void MenuBoxManager::remove(MenuBox* box) {
    for (int i = stack_.indexOf(box); i >= 0; i = stack_.indexOf(box))
        stack_.removeAt(i);
}

void MenuBoxManager::resetInput() {
    input_.armed = false;
    input_.pendingClick = -1;
}

bool MenuBoxManager::reset() {
    clearStack();
    resetInput();
    return true;
}

int MenuBoxManager::drawAndHandle(const ControlState* control) {
    const int n = stack_.size();
    for (int i = 0; i < n; ++i)
        stack_[i]->draw();
    if (n == 0 || !control)
        return kMenuNothing;
    return handleInput(stack_[n - 1], control);
}

void MenuBoxManager::mouseClick(int x, int y) {
    MenuBox* box = top();
    if (!box || input_.pendingClick != -1)
        return;
    const int hit = box->hitTest(x, y);
    if (hit == kMenuClickBeside) {
        input_.pendingClick = kMenuClickBeside;
    } else if (hit >= 0) {
        input_.pendingClick = hit;
        box->selected = hit;
    }
}

int MenuBoxManager::handleInput(MenuBox* box, const ControlState* control) {
    MenuInputState& s = input_;
    const bool fire = control->buttons & kControlFire;
    const bool escape = control->buttons & kControlEscape;
    const int vertical = control->vertical;
    int result = kMenuNothing;

    if (s.repeatCountdown > 0)
        --s.repeatCountdown;
    // Keys still held from the previous screen are ignored.
    if (!s.armed) {
        if (fire || escape || vertical != 0)
            return kMenuNothing;
        s.armed = true;
        s.lastAction = kNone;
    }
    // A held action repeats once its delay has run out.
    if (s.repeatCountdown == 0)
        s.lastAction = kNone;
    // A click takes the place of this frame's keys.
    if (s.pendingClick != -1) {
        result = s.pendingClick;
        s.pendingClick = -1;
        return result;
    }

    if (fire && s.lastAction != kFire) {
        result = box->selected;
        s.lastAction = kFire;
        s.repeatCountdown = kRepeatDelay;
    } else if (vertical < 0 && s.lastAction != kUp) {
        box->selectPrevious();
        s.lastAction = kUp;
        s.repeatCountdown = kRepeatDelay;
    } else if (vertical > 0 && s.lastAction != kDown) {
        box->selectNext();
        s.lastAction = kDown;
        s.repeatCountdown = kRepeatDelay;
    } else if (escape && s.lastAction != kEscape) {
        result = kMenuEscape;
        s.lastAction = kEscape;
        s.repeatCountdown = kRepeatDelay;
    }

    if (!fire && !escape && vertical == 0)
        s.lastAction = kNone;
    return result;
}
