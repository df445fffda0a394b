// The InputManager game module: owns the one GfxInput and turns its key
// states into control states. The menus read one state that merges the
// fixed menu keys with both players' keys; the game reads one per player.
#pragma once

#include "Src/core/GameModule.h"
#include "Src/core/KeySet.h"
#include "lib/String.h"

#include <cstdint>

class GfxInput;
class Platform;

enum ControlButton : int8_t {
    kControlFire = 1,
    kControlPause = 2,
    kControlEscape = 4,
};

// One controller's input for one frame.
struct ControlState {
    int8_t horizontal = 0; // -1 left, +1 right
    int8_t vertical = 0;   // -1 up, +1 down
    int8_t buttons = 0;    // ControlButton bits
};

class InputManager : public GameModule {
public:
    // Both players' key sets start on the built-in defaults.
    InputManager();
    ~InputManager() override;

    // Opens the input devices of the platform's window, once; false when
    // that fails (true when already open).
    bool init(Platform* platform);
    void shutdown();

    // Zeroes both players' control states.
    void clearStates();
    // Player 0 is the first player, any other the second. The key set is not
    // owned and must outlive its use; null means no keys.
    void setKeySet(int player, const KeySet* keys);
    const KeySet* keySet(int player) const { return player == 0 ? player1Keys_ : player2Keys_; }

    // Samples the devices, then adds each player's keys to that player's
    // state, and the pad (direction pad or left stick, south fire, back
    // pause, start escape) to the first player's. The states keep what was
    // set until clearStates, so presses between two frames are latched.
    void updateForGame();
    // Samples the devices and sets the first state from the menu keys, both
    // players' keys and the pad (directions, south fire, east escape); the
    // menu keys win. A pad pulled out in a menu is forgotten.
    const ControlState* updateForMenu();
    // True once after the pad in use was pulled out during play.
    bool takePadLoss();
    // Player 0's state or, for any other player, player 1's.
    const ControlState* state(int player) const { return &states_[player == 0 ? 0 : 1]; }

    // Pressed, held or released in this very update.
    bool isKeyDown(int code) const;
    // The first keyboard key down, or 0; mouse and joystick buttons never.
    int anyKey() const;
    // The key code of the first joystick button down, or 0.
    int anyJoystickButton() const;
    // A control of a pad with a known layout (GfxPadControl), down or
    // freshly pressed.
    bool isPadDown(int control) const;
    bool isPadPressed(int control) const;
    void keyName(int code, String& out) const;

    // The device, for text entry and the key configuration; null before
    // init.
    GfxInput* input() const { return input_; }

private:
    void setFromMenuKeys(ControlState& state, const KeySet& keys) const;
    void merge(ControlState& state, const KeySet* keys) const;
    // Adds the pad; the buttons for fire, pause and escape are pad controls.
    void mergePad(ControlState& state, int fire, int pause, int escape) const;
    // Whether a key set entry names a key that is down; 0 and corrupt codes
    // never are.
    bool isBoundKeyDown(int32_t code) const;

    ControlState states_[2];
    GfxInput* input_ = nullptr;
    const KeySet* player1Keys_ = &kDefaultKeysPlayer1;
    const KeySet* player2Keys_ = &kDefaultKeysPlayer2;
    uint32_t padLossesSeen_ = 0;
};

// Where the player may put pad mappings, beside the settings.
constexpr const char* kPadMappingFile = ".\\Data\\gamecontrollerdb.txt";

extern InputManager* inputManager;

// The name of a key code through the input manager; empty without one.
void nameOfKey(int code, String& name);
// "label = " and the name of the key code, as the menus and panels show a
// binding.
String keyBindingText(const char* label, int code);
