#include "Src/core/InputManager.h"

#include "gfx/GfxInput.h"
#include "gfx/Platform.h"
#include "lib/String.h"

InputManager* inputManager = nullptr;

namespace {

constexpr int kKeyNameBufferSize = 50;

bool isBound(int32_t code) {
    return code > 0 && code < kGfxKeyCodeCount;
}

} // namespace

InputManager::InputManager() : GameModule("InputManager") {}

InputManager::~InputManager() {
    shutdown();
}

bool InputManager::init(Platform* platform) {
    if (input_)
        return true;
    clearStates();
    input_ = new GfxInput;
    if (input_->Create(platform, platform ? platform->createInputDevices() : nullptr,
                       kPadMappingFile) < 0) {
        // Nothing half-open stays behind; a later init tries again.
        delete input_;
        input_ = nullptr;
        return false;
    }
    padLossesSeen_ = input_->GetJoystickLosses();
    return true;
}

void InputManager::shutdown() {
    delete input_;
    input_ = nullptr;
}

void InputManager::clearStates() {
    states_[0] = ControlState();
    states_[1] = ControlState();
}

void InputManager::setKeySet(int player, const KeySet* keys) {
    if (player == 0)
        player1Keys_ = keys;
    else
        player2Keys_ = keys;
}

void InputManager::updateForGame() {
    if (input_)
        input_->Update();
    merge(states_[0], player1Keys_);
    merge(states_[1], player2Keys_);
    mergePad(states_[0], kGfxPadSouth, kGfxPadBack, kGfxPadStart);
}

const ControlState* InputManager::updateForMenu() {
    if (input_)
        input_->Update();
    setFromMenuKeys(states_[0], kMenuKeys);
    merge(states_[0], player1Keys_);
    merge(states_[0], player2Keys_);
    mergePad(states_[0], kGfxPadSouth, -1, kGfxPadEast);
    if (input_)
        padLossesSeen_ = input_->GetJoystickLosses();
    return &states_[0];
}

bool InputManager::takePadLoss() {
    if (!input_ || input_->GetJoystickLosses() == padLossesSeen_)
        return false;
    padLossesSeen_ = input_->GetJoystickLosses();
    return true;
}

void InputManager::mergePad(ControlState& state, int fire, int pause, int escape) const {
    if (state.horizontal == 0)
        state.horizontal = isPadDown(kGfxPadLeft) ? -1 : isPadDown(kGfxPadRight) ? 1 : 0;
    if (state.vertical == 0)
        state.vertical = isPadDown(kGfxPadUp) ? -1 : isPadDown(kGfxPadDown) ? 1 : 0;
    if (isPadDown(fire))
        state.buttons |= kControlFire;
    if (isPadDown(pause))
        state.buttons |= kControlPause;
    if (isPadDown(escape))
        state.buttons |= kControlEscape;
}

bool InputManager::isPadDown(int control) const {
    return input_ && input_->GetPadState(control) != kGfxKeyUp;
}

bool InputManager::isPadPressed(int control) const {
    return input_ && input_->GetPadState(control) == kGfxKeyPressed;
}

int InputManager::anyJoystickButton() const {
    for (int code = kGfxKeyJoystickFirst; code < kGfxKeyJoystickFirst + kGfxJoystickButtons; ++code)
        if (isKeyDown(code))
            return code;
    return 0;
}

bool InputManager::isKeyDown(int code) const {
    return input_ && input_->GetKeyState(code) != kGfxKeyUp;
}

bool InputManager::isBoundKeyDown(int32_t code) const {
    return isBound(code) && isKeyDown(code);
}

void InputManager::setFromMenuKeys(ControlState& state, const KeySet& keys) const {
    const int32_t* k = keys.keys;
    state.horizontal = isBoundKeyDown(k[kKeyLeft]) ? -1 : isBoundKeyDown(k[kKeyRight]) ? 1 : 0;
    state.vertical = isBoundKeyDown(k[kKeyUp]) ? -1 : isBoundKeyDown(k[kKeyDown]) ? 1 : 0;
    state.buttons = 0;
    if (isBoundKeyDown(k[kKeyPause]))
        state.buttons |= kControlPause;
    if (isBoundKeyDown(k[kKeyEscape]))
        state.buttons |= kControlEscape;
    if (isBoundKeyDown(k[kKeyFire]))
        state.buttons |= kControlFire;
}

void InputManager::merge(ControlState& state, const KeySet* keys) const {
    if (!keys)
        return;
    const int32_t* k = keys->keys;
    // Only adds: what an earlier merge or the menu keys set stays.
    if (state.horizontal == 0)
        state.horizontal = isBoundKeyDown(k[kKeyLeft]) ? -1 : isBoundKeyDown(k[kKeyRight]) ? 1 : 0;
    if (state.vertical == 0)
        state.vertical = isBoundKeyDown(k[kKeyUp]) ? -1 : isBoundKeyDown(k[kKeyDown]) ? 1 : 0;
    if (!(state.buttons & kControlPause) && isBoundKeyDown(k[kKeyPause]))
        state.buttons |= kControlPause;
    if (!(state.buttons & kControlEscape) && isBoundKeyDown(k[kKeyEscape]))
        state.buttons |= kControlEscape;
    if (!(state.buttons & kControlFire) && isBoundKeyDown(k[kKeyFire]))
        state.buttons |= kControlFire;
}

int InputManager::anyKey() const {
    static constexpr int kFirstTested[] = {kGfxKeyBackspace, kGfxKeyTab, kGfxKeyEnter,
                                           kGfxKeyEscape, kGfxKeySpace};
    for (int code : kFirstTested)
        if (isKeyDown(code))
            return code;
    for (int code = kGfxKeySpace; code <= kGfxKeyPause; ++code)
        if (isKeyDown(code))
            return code;
    return 0;
}

void InputManager::keyName(int code, String& out) const {
    char buffer[kKeyNameBufferSize] = {};
    if (input_)
        input_->GetKeyName(code, buffer, kKeyNameBufferSize);
    out = buffer;
}

void nameOfKey(int code, String& name) {
    if (inputManager)
        inputManager->keyName(code, name);
    else
        name = "";
}

String keyBindingText(const char* label, int code) {
    String name;
    nameOfKey(code, name);
    String text;
    text.format("%s = %s", label, name.c_str());
    return text;
}
