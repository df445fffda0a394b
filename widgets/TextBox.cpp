#include "widgets/TextBox.h"

#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "lib/Log.h"

#include <algorithm>

namespace {

constexpr int kSizeCheckWidth = 640;
constexpr int kSizeCheckHeight = 80;

} // namespace

TextBox::TextBox(GfxScreen* screen, const TextStyle& style) : style_(style), screen_(screen) {}

TextBox::~TextBox() {
    delete surface_;
    delete sizeCheckSurface_;
}

void TextBox::setDefaultTarget(GfxSurface* target) {
    defaultTarget_ = target;
}

void TextBox::setFatalErrorHandler(void (*handler)(const char* text)) {
    fatalHandler_ = handler;
}

void TextBox::fatal(const char* text) {
    if (fatalHandler_)
        fatalHandler_(text);
}

void TextBox::invalidate() {
    delete surface_;
    surface_ = nullptr;
    dirty_ = true;
}

void TextBox::setStyle(const TextStyle& style) {
    style_ = style;
    invalidate();
}

void TextBox::setLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
    minWidth_ = minWidth;
    minHeight_ = minHeight;
    maxWidth_ = maxWidth;
    maxHeight_ = maxHeight;
    invalidate();
}

void TextBox::setMinWidth(int value) {
    minWidth_ = value;
    invalidate();
}

void TextBox::setMaxWidth(int value) {
    maxWidth_ = value;
    invalidate();
}

void TextBox::setMinHeight(int value) {
    minHeight_ = value;
    invalidate();
}

void TextBox::setMaxHeight(int value) {
    maxHeight_ = value;
    invalidate();
}

void TextBox::applyLimits(int& width, int& height) const {
    if (minWidth_ != -1)
        width = std::max(width, minWidth_);
    if (maxWidth_ != -1)
        width = std::min(width, maxWidth_);
    if (minHeight_ != -1)
        height = std::max(height, minHeight_);
    if (maxHeight_ != -1)
        height = std::min(height, maxHeight_);
}

bool TextBox::measureText(const TextFont& font, const char* text, int& width, int& height) {
    width = height = 0;
    if (!sizeCheckSurface_) {
        sizeCheckSurface_ = new GfxSurface;
        if (sizeCheckSurface_->Create(screen_, kSizeCheckWidth, kSizeCheckHeight,
                                      kSurfaceMemoryAny) < 0) {
            delete sizeCheckSurface_;
            sizeCheckSurface_ = nullptr;
            reportError("TextBox", __LINE__,
                        "TextBox Error : Could not create sizeCheckSurface-Surface (w=300, "
                        "h=50)\n");
            fatal("TextBox:Could not create sizeCheckSurface-Surface");
            return false;
        }
        sizeCheckSurface_->SetColorKey(0);
        sizeCheckFontSet_ = false;
    }
    // Making a font is dear; the measuring surface keeps the last one.
    if (!sizeCheckFontSet_ || !(sizeCheckFont_ == font)) {
        sizeCheckSurface_->SetFont(font.face.c_str(), font.width, font.height, font.weight);
        sizeCheckFont_ = font;
        sizeCheckFontSet_ = true;
    }
    sizeCheckSurface_->GetDC();
    sizeCheckSurface_->SelectFont();
    const bool measured = sizeCheckSurface_->GetTextExtent(text, width, height);
    sizeCheckSurface_->ReleaseDC();
    return measured;
}

bool TextBox::measure(const TextFont& font, TextLine& line) {
    return measureText(font, line.text.c_str(), line.width, line.height);
}

void TextBox::selectFont(GfxSurface* target, const TextFont& font) {
    target->SetFont(font.face.c_str(), font.width, font.height, font.weight);
    target->SelectFont();
}

int TextBox::fillFrame(GfxSurface* target, int x, int y) const {
    const int f = style_.frameWidth;
    if (style_.framed && f > 0) {
        target->FillArea(x, y, x + width_, y + height_, style_.frameColour);
        target->FillArea(x + f, y + f, x + width_ - f, y + height_ - f, style_.background);
        return f;
    }
    target->FillArea(x, y, x + width_, y + height_, style_.background);
    return 0;
}

GfxSurface* TextBox::update() {
    // A lost surface would come back empty: the box is rendered again.
    if (surface_ && !isDirty() && !surface_->IsLost())
        return surface_;
    delete surface_;
    surface_ = nullptr;
    int width = 0, height = 0;
    if (!getSize(width, height))
        return nullptr;
    // An empty box has nothing to show (and no surface can be that small).
    if (width <= 0 || height <= 0)
        return nullptr;
    surface_ = new GfxSurface;
    if (surface_->Create(screen_, width, height, kSurfaceMemoryAny) < 0) {
        delete surface_;
        surface_ = nullptr;
        reportError("TextBox", __LINE__,
                    "TextBox Error : Could not create Surface (w=%ld, h=%ld)\n",
                    static_cast<long>(width), static_cast<long>(height));
        fatal("TextBox:Could not create Surface");
        return nullptr;
    }
    surface_->SetColorKey(style_.background);
    render(surface_, 0, 0);
    renderStamp_ = ++lastRenderStamp_;
    return surface_;
}

GfxSurface* TextBox::resolveTarget(GfxSurface* target) const {
    if (target)
        return target;
    if (defaultTarget_)
        return defaultTarget_;
    return screen_ ? screen_->GetBackSurface() : nullptr;
}

bool TextBox::placeOn(GfxSurface* target, int& x, int& y, int dx, int dy) {
    if (!target || !update())
        return false;
    if (x == -1)
        x = std::max(0, (target->GetWidth() - surface_->GetWidth()) / 2);
    if (y == -1)
        y = std::max(0, (target->GetHeight() - surface_->GetHeight()) / 2);
    x += dx;
    y += dy;
    return true;
}

void TextBox::drawOpaque(int x, int y, int dx, int dy, GfxSurface* target) {
    target = resolveTarget(target);
    if (!placeOn(target, x, y, dx, dy))
        return;
    if (beforeDraw)
        beforeDraw(this);
    surface_->DrawOpaque(target, x, y);
}

void TextBox::drawKeyed(int x, int y, int dx, int dy, GfxSurface* target) {
    target = resolveTarget(target);
    if (!placeOn(target, x, y, dx, dy))
        return;
    surface_->SetColorKey(0);
    surface_->DrawKeyed(target, x, y);
}

// --- the lines box

TextList::~TextList() {
    delete title_;
}

void TextList::setTitle(const char* text) {
    delete title_;
    title_ = text ? new TextLine(text) : nullptr;
    invalidate();
}

int TextList::addLine(const char* text) {
    lines_.add(new TextLine(text));
    invalidate();
    return lines_.size() - 1;
}

void TextList::removeLines(int first, int last) {
    const int count = lines_.size();
    first = std::max(first, 0);
    if (last == -1 || last > count)
        last = count;
    for (int i = last - 1; i >= first; --i) {
        delete lines_[i];
        lines_.removeAt(i);
    }
    // Lines gone from a shown box must go from the screen too.
    if (first < last)
        invalidate();
}

void TextList::setLine(int index, const char* text) {
    if (index < 0)
        return;
    if (index < lines_.size()) {
        lines_[index]->setText(text);
        invalidate();
        return;
    }
    while (lines_.size() < index)
        addLine(" ");
    addLine(text);
}

int TextList::addPlainText(const char* text, int first) {
    if (!text)
        text = "";
    int added = 0;
    const char* start = text;
    for (;;) {
        const char* end = start;
        while (*end && *end != '\n')
            ++end;
        // A trailing line feed ends the last line rather than adding a blank.
        if (*end || end != start || added == 0) {
            const String piece(start, static_cast<int>(end - start));
            if (first < 0)
                addLine(piece.c_str());
            else
                setLine(first + added, piece.c_str());
            ++added;
        }
        if (!*end)
            break;
        start = end + 1;
        if (!*start)
            break;
    }
    return added;
}

int TextList::addText(const char* format, ...) {
    String text;
    va_list args;
    va_start(args, format);
    text.formatList(format ? format : "", args);
    va_end(args);
    return addPlainText(text.c_str());
}

int TextList::addText(int first, const char* format, ...) {
    String text;
    va_list args;
    va_start(args, format);
    text.formatList(format ? format : "", args);
    va_end(args);
    return addPlainText(text.c_str(), std::max(first, 0));
}

void TextList::toggleHighlight(int index) {
    if (index < 0 || index >= lines_.size())
        return;
    lines_[index]->highlighted = !lines_[index]->highlighted;
    invalidate();
}

void TextList::setHighlight(int index, bool on) {
    if (index < 0 || index >= lines_.size() || lines_[index]->highlighted == on)
        return;
    lines_[index]->highlighted = on;
    invalidate();
}

void TextList::setHighlightAll(bool on) {
    for (TextLine* line : lines_)
        line->highlighted = on;
    invalidate();
}

bool TextList::contentSize(int& width, int& height) {
    width = height = 0;
    if (title_) {
        if (!measure(style().titleFont, *title_))
            return false;
        width = title_->width;
        height = title_->height;
    }
    for (TextLine* line : lines_) {
        if (!measure(style().textFont, *line))
            return false;
        width = std::max(width, line->width);
        height += line->height + style().lineSpacing;
    }
    if (lines_.size() > 0)
        height -= style().lineSpacing;
    return true;
}

bool TextList::getSize(int& width, int& height) {
    if (isDirty()) {
        int w = 0, h = 0;
        if (!contentSize(w, h))
            return false;
        clearDirty();
        const TextStyle& s = style();
        if (s.framed && s.frameWidth > 0) {
            w += 2 * (s.marginX + s.frameWidth);
            h += 2 * (s.marginY + s.frameWidth);
        }
        if (title_)
            h += 2 * s.titleGap;
        applyLimits(w, h);
        keepSize(w, h);
    }
    width = this->width();
    height = this->height();
    return true;
}

bool TextList::render(GfxSurface* target, int x, int y) {
    int w = 0, h = 0;
    if (!target || !getSize(w, h))
        return false;
    const TextStyle& s = style();
    int inner = fillFrame(target, x, y);
    int top = y + inner;
    const int bandLeft = x + inner;
    const int bandRight = x + w - inner;
    if (s.framed)
        inner += s.marginX;

    target->GetDC();
    if (title_) {
        const int band = title_->height + 2 * s.titleGap;
        if (s.titleBackground != s.background)
            target->FillArea(bandLeft, top, bandRight, top + band, s.titleBackground);
        selectFont(target, s.titleFont);
        title_->drawX = x + (w - title_->width) / 2;
        title_->drawY = top + s.titleGap;
        target->TextAt(title_->drawX, title_->drawY, s.titleTextColour, title_->text.c_str());
        top += band;
    }
    if (s.framed)
        top += s.marginY;

    selectFont(target, s.textFont);
    for (TextLine* line : lines_) {
        int lineX = x + inner;
        if (s.alignment == kAlignCentre)
            lineX = x + (w - line->width) / 2;
        else if (s.alignment == kAlignRight)
            lineX = x + w - line->width - inner;
        uint32_t colour = s.textColour;
        if (line->highlighted) {
            target->FillArea(bandLeft, top, bandRight, top + line->height, s.highlightBackground);
            colour = s.highlightTextColour;
        }
        line->drawX = lineX;
        line->drawY = top + s.lineOffset;
        target->TextAt(line->drawX, line->drawY, colour, line->text.c_str());
        top += line->height + s.lineSpacing;
    }
    target->ReleaseDC();
    return true;
}
