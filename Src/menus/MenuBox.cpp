#include "Src/menus/MenuBox.h"

#include "Src/core/Application.h"
#include "gfx/GfxFont.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "lib/Log.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// The menu font.
constexpr const char* kFontFace = "Courier";
constexpr int kFontHeight = 20;
constexpr int kFontWidth = 0;
constexpr int kFontWeight = 700;

// Colours outside the scheme, 0x00BBGGRR.
constexpr uint32_t kGreyedText = 0xA0A0A0;
constexpr uint32_t kGreyedFill = 0x003000;
constexpr uint32_t kFlashText = 0x00FFFF;
constexpr uint32_t kFlashFill = 0x003060;

// The greyed fill as a pixel value, shared by all boxes.
uint32_t greyedFill = 0;

// Measuring needs only the font, not a surface; it is made once.
const GfxFont* menuFont() {
    static std::unique_ptr<GfxFont> font(
        GfxFont::create(kFontFace, kFontWidth, kFontHeight, kFontWeight));
    return font.get();
}

} // namespace

TextStyle& MenuBox::defaultScheme() {
    static TextStyle scheme;
    return scheme;
}

MenuBox::MenuBox(GfxScreen* screen, int x, int y, const char* titleText)
    : x_(x), y_(y), screen_(screen) {
    title_.text = titleText ? titleText : "";
    setColours(nullptr);
    if (screen_)
        greyedFill = screen_->ConvertColor(kGreyedFill);
}

MenuBox::~MenuBox() {
    delete surface_;
}

void MenuBox::setColours(const TextStyle* scheme) {
    if (scheme) {
        colours_ = scheme;
        return;
    }
    TextStyle& s = defaultScheme();
    auto fill = [&](uint32_t bgr) { return screen_ ? screen_->ConvertColor(bgr) : bgr; };
    s.titleTextColour = 0x00FFFF;
    s.titleBackground = fill(0x005020);
    s.textColour = 0xFFFFFF;
    s.background = fill(0x004000);
    s.highlightTextColour = 0x004000;
    s.highlightBackground = fill(0x50B050);
    s.frameColour = fill(0x009010);
    colours_ = &s;
}

void MenuBox::dropSurface() {
    delete surface_;
    surface_ = nullptr;
    rendered_ = false;
}

int MenuBox::addEntry(const char* text, bool selectable) {
    if (!text)
        return -1;
    MenuEntry* entry = new MenuEntry;
    entry->text = text;
    entry->selectable = selectable;
    entries_.add(entry);
    dropSurface();
    return entries_.size() - 1;
}

void MenuBox::setEntryText(int index, const char* text) {
    if (index < 0 || index >= entries_.size())
        return;
    entries_[index]->text = text ? text : "";
    dropSurface();
}

void MenuBox::clearEntries() {
    entries_.clear();
    dropSurface();
}

bool MenuBox::measure(const char* text, int& width, int& height) const {
    width = height = 0;
    const GfxFont* font = screen_ ? menuFont() : nullptr;
    if (!font)
        return false;
    return font->measure(text, static_cast<int>(std::strlen(text)), width, height);
}

bool MenuBox::build() {
    if (!screen_) {
        reportError("MenuBox", __LINE__, "MenuBox Error : No Screen\n");
        return false;
    }
    spacing_ = kDefaultSpacing;
    margin_ = kDefaultMargin;
    width_ = 16;
    height_ = 8;
    int cx = 0, cy = 0;
    if (!title_.text.isEmpty()) {
        measure(title_.text.c_str(), cx, cy);
        lineHeight_ = cy;
        title_.width = cx + 16;
        width_ = std::max(width_, cx + 16);
        height_ += lineHeight_ + 2 * margin_;
    }
    for (MenuEntry* entry : entries_) {
        measure(entry->text.c_str(), cx, cy);
        lineHeight_ = cy;
        entry->width = cx + 16;
        width_ = std::max(width_, cx + 16);
        height_ += spacing_ + lineHeight_;
    }
    surface_ = new GfxSurface;
    if (surface_->Create(screen_, width_, height_, kSurfaceMemoryAny) < 0) {
        delete surface_;
        surface_ = nullptr;
        reportError("MenuBox", __LINE__, "MenuBox Error : Could not create MenuBox-Surface\n");
        fatalError(screen_, "Could not create MenuBox-Surface");
        gameLog.write("Could not create MenuBox-Surface");
        return false;
    }
    surface_->SetColorKey(0);
    surface_->SetFont(kFontFace, kFontWidth, kFontHeight, kFontWeight);
    rendered_ = false;
    return true;
}

void MenuBox::render() {
    const TextStyle& c = *colours_;
    const int w = width_, h = height_, l = lineHeight_;
    GfxSurface* s = surface_;
    s->FillAll(c.frameColour);
    s->FillArea(1, 1, w - 1, h - 1, c.background);
    s->GetDC();
    s->SelectFont();
    int r = margin_;
    if (!title_.text.isEmpty()) {
        const int b = l + 2 * margin_;
        s->Line(1, b, w - 1, b, c.frameColour);
        s->FillArea(1, 1, w - 1, b - 1, c.titleBackground);
        s->TextAt((w - (title_.width - 4 * margin_)) / 2, margin_, c.titleTextColour,
                  title_.text.c_str());
        title_.y = margin_;
        r = b + margin_;
    }
    for (int i = 0; i < entries_.size(); ++i) {
        MenuEntry& entry = *entries_[i];
        const int bottom = r + l + spacing_;
        uint32_t colour = c.textColour;
        if (!entry.selectable) {
            s->FillArea(2, r, w - 2, bottom - 1, greyedFill);
            colour = kGreyedText;
        } else if (i == selected) {
            s->FillArea(2, r, w - 2, bottom - 1,
                        flash ? screen_->ConvertColor(kFlashFill) : c.highlightBackground);
            colour = flash ? kFlashText : c.highlightTextColour;
        }
        const int textX = centred ? (w - (entry.width - 4 * margin_)) / 2 : 2 * margin_;
        s->TextAt(textX, r, colour, entry.text.c_str());
        entry.y = r;
        r += l + spacing_;
    }
    s->ReleaseDC();
    rendered_ = true;
    renderedSelected_ = selected;
    renderedFlash_ = flash;
    renderedCentred_ = centred;
    renderedColours_ = colours_;
}

void MenuBox::position(int& left, int& top) const {
    const GfxSurface* back = app.backSurface;
    const int backWidth = back ? back->GetWidth() : 0;
    const int backHeight = back ? back->GetHeight() : 0;
    left = x_ == -1 ? (backWidth - width_) / 2 : x_;
    top = y_ == -1 ? (backHeight - height_) / 2 : y_;
    // Entries that grow (a long key name) would push the box past the
    // right edge; it moves left instead, as far as the left edge.
    if (back && left + width_ > backWidth)
        left = backWidth > width_ ? backWidth - width_ : 0;
}

int MenuBox::draw() {
    // A lost surface would come back empty: the box is built again.
    if (surface_ && surface_->IsLost())
        dropSurface();
    if (!surface_ && !build())
        return 0;
    if (!rendered_ || renderedSelected_ != selected || renderedFlash_ != flash ||
        renderedCentred_ != centred || renderedColours_ != colours_)
        render();
    int left, top;
    position(left, top);
    return surface_->DrawOpaque(app.backSurface, left, top);
}

void MenuBox::selectPrevious() {
    const int n = entries_.size();
    if (n == 0)
        return;
    int i = selected;
    // Bounded, so that a menu with nothing selectable cannot hang.
    for (int step = 0; step < n; ++step) {
        if (--i < 0)
            i = wrap ? n - 1 : 0;
        if (entries_[i]->selectable || !wrap)
            break;
    }
    selected = i;
    if (onMove)
        onMove(1);
}

void MenuBox::selectNext() {
    const int n = entries_.size();
    if (n == 0)
        return;
    int i = selected;
    for (int step = 0; step < n; ++step) {
        if (++i > n - 1)
            i = wrap ? 0 : n - 1;
        if (entries_[i]->selectable || !wrap)
            break;
    }
    selected = i;
    if (onMove)
        onMove(0);
}

int MenuBox::hitTest(int x, int y) const {
    int left, top;
    position(left, top);
    if (x < left || x > left + width_)
        return -2;
    const int n = entries_.size();
    const int ry = y - top;
    if (n == 0 || ry < entries_[0]->y || ry > entries_[n - 1]->y + margin_ + lineHeight_)
        return -1;
    // Rows below the last entry but inside the frame belong to no entry.
    for (int i = 0; i < n; ++i)
        if (entries_[i]->y + spacing_ + lineHeight_ > ry)
            return entries_[i]->selectable ? i : -1;
    return -1;
}
