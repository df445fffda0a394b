// The seven controls a key set binds, and the built-in key sets: the fixed
// one of the menus and the defaults of the two players, which the settings
// start from and "Reset To Default" restores.
#pragma once

#include "GfxInput.h"

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

// Key codes of the input layer; 0 means no key. The codes come from the
// settings file, so any value may turn up: one outside 0..269 acts as no key.
struct KeySet {
    int32_t keys[kKeyRoleCount];
};

inline constexpr KeySet kMenuKeys = {{kGfxKeyLeftArrow, kGfxKeyRightArrow, kGfxKeyUpArrow,
                                      kGfxKeyDownArrow, kGfxKeyEnter, 'p', kGfxKeyEscape}};
inline constexpr KeySet kDefaultKeysPlayer1 = {{kGfxKeyLeftArrow, kGfxKeyRightArrow, kGfxKeyUpArrow,
                                                kGfxKeyDownArrow, kGfxKeyRightCtrl, 'p',
                                                kGfxKeyEscape}};
inline constexpr KeySet kDefaultKeysPlayer2 = {
    {'a', 'd', 'w', 's', kGfxKeyLeftCtrl, kGfxKeyNone, kGfxKeyNone}};
