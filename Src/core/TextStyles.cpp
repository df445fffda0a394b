#include "Src/core/TextStyles.h"

#include "gfx/GfxScreen.h"
#include "widgets/TextBox.h"

#include <cstdint>

TextStyle highScoreStyle;
TextStyle textPageStyle;
TextStyle panelStyle;

namespace {

// The colours of a style as 0x00BBGGRR, before conversion.
struct StyleColours {
    uint32_t titleBackground, background, highlightTextColour, highlightBackground, frameColour;
};

void fillStyle(TextStyle& style, GfxScreen* screen, int framed, int alignment,
               const StyleColours& colours, int frameWidth, const char* textFace) {
    style = TextStyle();
    style.framed = framed;
    style.alignment = alignment;
    style.titleBackground = screen->ConvertColor(colours.titleBackground);
    style.background = screen->ConvertColor(colours.background);
    style.highlightTextColour = colours.highlightTextColour;
    style.highlightBackground = screen->ConvertColor(colours.highlightBackground);
    style.frameColour = screen->ConvertColor(colours.frameColour);
    style.frameWidth = frameWidth;
    style.marginX = 10;
    style.marginY = 0;
    style.titleGap = 5;
    style.lineOffset = 0;
    style.lineSpacing = -2;
    style.titleFont = TextFont{"Arial Black", 20, 0, 400};
    style.textFont = TextFont{textFace, 18, 0, 400};
}

} // namespace

void setUpTextStyles(GfxScreen* screen) {
    fillStyle(panelStyle, screen, 0, kAlignCentre,
              StyleColours{0x000000, 0x000000, 0x00FFFF, 0x000000, 0x400800}, 0, "Arial Black");
    fillStyle(highScoreStyle, screen, 1, kAlignCentre,
              StyleColours{0x001000, 0x206020, 0x000000, 0xFFFFFF, 0xC8FFFF}, 1, "Arial Black");
    fillStyle(textPageStyle, screen, 1, kAlignLeft,
              StyleColours{0x001000, 0x004500, 0xFFFFFF, 0x106010, 0x400800}, 4, "Times New Roman");
}
