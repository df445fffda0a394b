// The welcome text that scrolls across a band of the title picture. The
// visible part is rendered, outlined, into a surface wider than the view,
// and the view slides through it two pixels a frame; once the first piece
// has passed, the text is rendered again a piece further on, wrapping from
// its end to its start without a gap.
#pragma once

#include "lib/String.h"
#include "widgets/TextStyle.h"

class GfxScreen;
class GfxSurface;

class WelcomeScroller {
public:
    static constexpr int kViewWidth = 429;
    static constexpr int kHeight = 30;
    static constexpr int kExtraWidth = 500;
    static constexpr int kSurfaceWidth = kViewWidth + kExtraWidth;
    static constexpr int kHeadLength = 10;
    static constexpr int kTailLength = 100;
    static constexpr int kStep = 2;

    WelcomeScroller() = default;
    ~WelcomeScroller() { release(); }
    WelcomeScroller(const WelcomeScroller&) = delete;
    WelcomeScroller& operator=(const WelcomeScroller&) = delete;

    // Starts the text from its beginning on a new surface; false when the
    // surface cannot be made (nothing is left behind then).
    bool setUp(GfxScreen* screen, const char* text);
    void release();

    // One frame: slides the view on, rendering again when the first piece
    // has passed.
    void advance();
    // Renders the text from the next piece on and starts the view over it.
    void render();
    // Copies the visible part to (x, y) of target.
    void draw(GfxSurface* target, int x, int y) const;

    GfxSurface* surface() const { return surface_; }
    const String& head() const { return head_; }
    const String& tail() const { return tail_; }
    int offset() const { return offset_; }
    int position() const { return position_; }
    int headWidth() const { return headWidth_; }
    int tailLength() const { return tailLength_; }
    int viewWidth() const { return viewWidth_; }
    const TextFont& font() const { return font_; }

private:
    // Fills head and tail from position on; position moves past the head.
    void extract();
    int measure(const String& text) const;
    void drawOutlined(int x, const String& text);

    GfxSurface* surface_ = nullptr;
    String text_;
    String head_;
    String tail_;
    int viewWidth_ = 100;
    int height_ = 100;
    int extraWidth_ = 0;
    int surfaceWidth_ = 0;
    int headLength_ = kHeadLength;
    int tailLength_ = kTailLength;
    int offset_ = 0;
    int position_ = 0;
    int headWidth_ = 0;
    TextFont font_;
};
