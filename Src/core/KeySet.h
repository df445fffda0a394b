// The seven controls a key set binds, and the built-in key sets: the fixed
// one of the menus and the defaults of the two players, which the settings
// start from and "Reset To Default" restores.
#pragma once

#include "gfx/GfxInput.h"

#include <cstdint>

enum KeyRole : int {
    kKeyLeft = 0,
    kKeyRight = 1,
    kKeyUp = 2,
    kKeyDown = 3,
    kKeyFire = 4,
    kKeyPause = 5,
    kKeyEscape = 6,
    kKeyRoleCount = 7,
};

// Key codes of the input layer, 0 to 269; 0 means no key. Stored in the
// settings file as seven 32-bit codes.
struct KeySet {
    int32_t keys[kKeyRoleCount];

    // False when a code lies outside the input layer's code space (a damaged
    // settings file); such a set is replaced by its defaults.
    bool hasOnlyKeyCodes() const {
        for (int32_t code : keys)
            if (code < 0 || code >= kGfxKeyCodeCount)
                return false;
        return true;
    }
};

// The cheat keys, which a game reads every frame whatever they are bound to:
// L ends the level and K costs a snake. Neither is ever bound to a control.
inline constexpr int kCheatKeyEndLevel = 'l';
inline constexpr int kCheatKeyLoseSnake = 'k';

inline constexpr KeySet kMenuKeys = {{kGfxKeyLeftArrow, kGfxKeyRightArrow, kGfxKeyUpArrow,
                                      kGfxKeyDownArrow, kGfxKeyEnter, 'p', kGfxKeyEscape}};
inline constexpr KeySet kDefaultKeysPlayer1 = {{kGfxKeyLeftArrow, kGfxKeyRightArrow, kGfxKeyUpArrow,
                                                kGfxKeyDownArrow, kGfxKeyRightCtrl, 'p',
                                                kGfxKeyEscape}};
inline constexpr KeySet kDefaultKeysPlayer2 = {
    {'a', 'd', 'w', 's', kGfxKeyLeftCtrl, kGfxKeyNone, kGfxKeyNone}};
