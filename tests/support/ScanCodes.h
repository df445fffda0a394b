// Keyboard scan codes as the input device reports them, for tests that
// script key presses.
#pragma once

inline constexpr int kScanEscape = 0x01;
inline constexpr int kScanBackspace = 0x0E;
inline constexpr int kScanTab = 0x0F;
inline constexpr int kScanE = 0x12;
inline constexpr int kScanO = 0x18;
inline constexpr int kScanP = 0x19;
inline constexpr int kScanEnter = 0x1C;
inline constexpr int kScanLeftCtrl = 0x1D;
inline constexpr int kScanA = 0x1E;
inline constexpr int kScanS = 0x1F;
inline constexpr int kScanD = 0x20;
inline constexpr int kScanK = 0x25;
inline constexpr int kScanL = 0x26;
inline constexpr int kScanZ = 0x2C;
inline constexpr int kScanX = 0x2D;
inline constexpr int kScanB = 0x30;
inline constexpr int kScanSpace = 0x39;
inline constexpr int kScanRightCtrl = 0x9D;
inline constexpr int kScanFire = kScanRightCtrl; // player 1's fire key by default
inline constexpr int kScanUp = 0xC8;
inline constexpr int kScanLeft = 0xCB;
inline constexpr int kScanRight = 0xCD;
inline constexpr int kScanDown = 0xD0;
