// The one-line input box for typing a name: a lines box whose only line is
// the text typed so far, followed by a blinking caret cell. ENTER finishes
// the entry; the first key typed replaces a preset text.
//
// A pad alone enters a name too: up and down step the character at the
// cursor through the letters, digits, space and accented letters, right
// moves on to the next character, left deletes one (the cursor goes back to
// the character before), south or start finishes.
#pragma once

#include "widgets/TextBox.h"

class GfxInput;

class TextInput : public TextList {
public:
    TextInput(GfxScreen* screen, const TextStyle& style);

    bool getSize(int& width, int& height) override;
    bool render(GfxSurface* target, int x, int y) override;

    // Takes keys from input; at most maxLength characters. Keys down at
    // this moment type nothing until pressed again.
    void setUpInput(GfxInput* input, int maxLength);
    // Presets the text (cut to the maximum length); the first key typed
    // replaces it.
    void setText(const char* text);
    const char* text() const { return buffer_.c_str(); }
    // Reads this frame's new key: a character, BACKSPACE or ENTER, or a
    // pad's direction or button.
    void handleKeys();

    // The characters the pad steps through, in order.
    static int padCharacterCount();
    static uint8_t padCharacter(int index);
    // Frames a held up or down waits before it repeats, and between repeats.
    static constexpr int kPadRepeatDelay = 14;
    static constexpr int kPadRepeatRate = 4;

    bool finished() const { return finished_; }
    int caretX() const { return caretX_; }
    int caretY() const { return caretY_; }
    int caretWidth() const { return caretWidth_; }
    int caretHeight() const { return caretHeight_; }
    bool caretOn() const { return caretOn_; }

private:
    static void blinkCaret(TextBox* box);
    // True when the pad did something this frame.
    bool handlePad();
    void stepPadCharacter(int step);

    String buffer_;
    int capacity_ = 1; // including the terminator
    GfxInput* input_ = nullptr;
    bool finished_ = false;
    int caretX_ = 0, caretY_ = 0, caretWidth_ = -1, caretHeight_ = 0;
    int blinkCountdown_ = 1;
    bool caretOn_ = false;
    bool replaceOnType_ = true;
    bool onPadCharacter_ = false; // the cursor is on the last character
    int padRepeat_ = 0;
};
