#include "Src/frontend/WelcomeScroller.h"

#include "gfx/GfxSurface.h"
#include "gfx/GfxTypes.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// Appends up to count characters of text from position on, going on from
// the start of text while short; position ends past the last one taken.
void take(const String& text, int& position, int count, String& out) {
    out = "";
    if (text.length() == 0)
        return;
    while (count > 0) {
        if (position >= text.length())
            position = 0;
        int n = text.length() - position;
        if (n > count)
            n = count;
        out += String(text.c_str() + position, n);
        position += n;
        count -= n;
    }
}

} // namespace

bool WelcomeScroller::setUp(GfxScreen* screen, const char* text) {
    release();
    viewWidth_ = kViewWidth;
    height_ = kHeight;
    extraWidth_ = kExtraWidth;
    surfaceWidth_ = kSurfaceWidth;
    headLength_ = kHeadLength;
    tailLength_ = kTailLength;
    offset_ = 0;
    position_ = 0;
    headWidth_ = 0;
    font_ = TextFont{"Times New Roman", 27, 0, 700};
    text_ = text ? text : "";
    surface_ = new GfxSurface;
    if (surface_->Create(screen, surfaceWidth_, height_, kSurfaceMemoryAny) < 0) {
        release();
        return false;
    }
    surface_->SetColorKey(0);
    surface_->SetFont(font_.face.c_str(), font_.width, font_.height, font_.weight);
    return true;
}

void WelcomeScroller::release() {
    delete surface_;
    surface_ = nullptr;
}

void WelcomeScroller::advance() {
    offset_ += kStep;
    if (offset_ >= headWidth_)
        render();
}

void WelcomeScroller::extract() {
    take(text_, position_, headLength_, head_);
    int tailPosition = position_;
    take(text_, tailPosition, tailLength_, tail_);
}

int WelcomeScroller::measure(const String& text) const {
    int width = 0, height = 0;
    if (!surface_ || !surface_->GetTextExtent(text.c_str(), width, height))
        return 0;
    return width;
}

void WelcomeScroller::render() {
    if (!surface_ || text_.length() == 0)
        return;
    surface_->FillAll(kBlack);
    const int saved = position_;
    offset_ = 0;
    // A new context starts on the system font: the scroller's font is
    // selected into one held for the whole rendering, so that the pieces
    // are measured and drawn in it.
    surface_->GetDC();
    surface_->SelectFont();
    extract();
    headWidth_ = measure(head_);
    // The rendered text must reach past the view's right edge whatever the
    // offset; a tail too short for that is taken longer.
    while (measure(tail_) < viewWidth_ + 10 && tailLength_ < text_.length() * 4) {
        position_ = saved;
        tailLength_ += 2;
        extract();
        headWidth_ = measure(head_);
    }
    drawOutlined(0, head_);
    drawOutlined(headWidth_, tail_);
    surface_->ReleaseDC();
}

void WelcomeScroller::drawOutlined(int x, const String& text) {
    for (int i = -2; i <= 2; ++i) {
        if (i == 0)
            continue;
        surface_->TextAt(x - i, i, kBlack, text.c_str());
        surface_->TextAt(x + i, i, kBlack, text.c_str());
    }
    surface_->TextAt(x, 0, kWhite, text.c_str());
}

void WelcomeScroller::draw(GfxSurface* target, int x, int y) const {
    if (!surface_ || !target)
        return;
    GfxRect visible{offset_, 0, offset_ + viewWidth_, height_};
    surface_->DrawOpaque(target, x, y, &visible);
}
