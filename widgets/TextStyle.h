// The look of a text box: colours, frame, margins and its two fonts. Menu
// boxes use the same record as their colour scheme.
#pragma once

#include "lib/String.h"

#include <cstdint>

// A font as the boxes ask for it.
struct TextFont {
    String face = "Courier";
    int height = 8;
    int width = 0;
    int weight = 700;

    bool operator==(const TextFont& other) const {
        return face == other.face && height == other.height && width == other.width &&
               weight == other.weight;
    }
};

enum TextAlignment : int {
    kAlignLeft = 0,
    kAlignCentre = 1,
    kAlignRight = 2,
};

// Text colours are 0x00BBGGRR values as text drawing takes them; the fill
// colours ("pixel") are pixel values of the target, made with ConvertColor.
// The defaults of the fill colours are left unconverted.
struct TextStyle {
    int32_t framed = 0; // draw a frame, and apply the margins
    int alignment = kAlignCentre;
    uint32_t titleTextColour = 0x00FFFF;
    uint32_t titleBackground = 0x7020; // pixel
    uint32_t textColour = 0xFFFFFF;
    uint32_t background = 0x4000; // pixel
    uint32_t highlightTextColour = 0x004000;
    uint32_t highlightBackground = 0x50B050; // pixel
    uint32_t frameColour = 0x5010;           // pixel
    int frameWidth = 1;
    int marginX = 2;     // inside the frame, left and right
    int marginY = 2;     // inside the frame, top and bottom
    int titleGap = 2;    // above and below the title
    int lineOffset = 0;  // added to each line's y when drawn
    int lineSpacing = 0; // added after each line; may be negative
    TextFont titleFont;
    TextFont textFont;
};
