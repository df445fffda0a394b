#include "widgets/TextInput.h"

#include "gfx/GfxInput.h"
#include "gfx/GfxSurface.h"

#include <algorithm>

namespace {

constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kBlinkFrames = 20;

} // namespace

TextInput::TextInput(GfxScreen* screen, const TextStyle& style) : TextList(screen, style) {
    addLine(" ");
}

void TextInput::setUpInput(GfxInput* input, int maxLength) {
    input_ = input;
    // Keys already down belong to the screen before (the key that went on
    // from a message, for one): only a key that goes down while the box is
    // open types.
    if (input_)
        input_->DetectNewKey(true);
    capacity_ = (maxLength > 0 ? maxLength : 0) + 1;
    buffer_ = "";
    setTitle(nullptr);
    finished_ = false;
    beforeDraw = blinkCaret;
    blinkCountdown_ = 1;
    caretOn_ = false;
    caretWidth_ = -1;
    replaceOnType_ = true;
    invalidate();
}

void TextInput::setText(const char* text) {
    const String whole(text ? text : "");
    buffer_ = String(whole.c_str(), std::min(whole.length(), capacity_ - 1));
    replaceOnType_ = true;
    invalidate();
}

bool TextInput::getSize(int& width, int& height) {
    // The line of the text comes back after clear or removeLines (render
    // measures first, so it finds the line too).
    if (lineCount() == 0)
        addLine(" ");
    if (isDirty()) {
        String display(buffer_.isEmpty() ? " " : buffer_.c_str());
        int before = -1;
        if (!finished_) {
            if (caretWidth_ == -1) {
                int h = 0;
                if (!measureText(style().textFont, display.c_str(), before, h))
                    return false;
            }
            // The trailing blank is the caret's cell.
            display += ' ';
        }
        mutableLine(0)->setText(display.c_str());
        if (!TextList::getSize(width, height))
            return false;
        if (before >= 0)
            caretWidth_ = line(0).width - before;
        return true;
    }
    return TextList::getSize(width, height);
}

bool TextInput::render(GfxSurface* target, int x, int y) {
    if (!TextList::render(target, x, y))
        return false;
    const TextLine& display = line(0);
    caretX_ = display.drawX + display.width - caretWidth_;
    caretY_ = display.drawY;
    caretHeight_ = display.height;
    return true;
}

void TextInput::blinkCaret(TextBox* box) {
    TextInput* self = static_cast<TextInput*>(box);
    if (self->finished_)
        return;
    if (self->blinkCountdown_ > 0) {
        --self->blinkCountdown_;
        return;
    }
    self->blinkCountdown_ = kBlinkFrames;
    self->caretOn_ = !self->caretOn_;
    GfxSurface* surface = self->surface();
    if (!surface)
        return;
    // The text colour stands in as the caret's pixel value.
    const uint32_t colour = self->caretOn_ ? self->style().textColour : self->style().background;
    surface->FillArea(self->caretX_, self->caretY_, self->caretX_ + self->caretWidth_,
                      self->caretY_ + self->caretHeight_, colour);
}

void TextInput::handleKeys() {
    if (finished_ || !input_)
        return;
    const int n = buffer_.length();
    input_->DetectNewKey(true);
    if (input_->GetKeyState(kKeyBackspace) == kGfxKeyPressed) {
        if (n >= 1) {
            if (replaceOnType_) {
                buffer_ = "";
                replaceOnType_ = false;
            } else {
                buffer_ = String(buffer_.c_str(), n - 1);
            }
            invalidate();
        }
        return;
    }
    if (input_->GetKeyState(kKeyEnter) == kGfxKeyPressed) {
        if (n >= 1) {
            finished_ = true;
            invalidate();
        }
        return;
    }
    // A preset text about to be replaced leaves room, even at full length.
    if (!replaceOnType_ && n >= capacity_ - 1)
        return;
    const uint8_t c = input_->ScanCodeToChar(input_->GetLastNewKey());
    // Only what the fonts can show goes in: no control characters (TAB
    // included), neither the 7-bit nor the 8-bit ones.
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return;
    if (replaceOnType_) {
        buffer_ = "";
        replaceOnType_ = false;
    }
    buffer_ += static_cast<char>(c);
    invalidate();
}
