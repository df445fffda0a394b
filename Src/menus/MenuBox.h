// The menu widget: a framed box with an optional title band and a list of
// text entries, one of them selected. It renders itself into a surface of
// its own, sized to its texts, and copies that onto the back surface each
// frame; the surface is rendered again only when what it shows changes.
#pragma once

#include "lib/Array.h"
#include "lib/String.h"
#include "widgets/TextStyle.h"

#include <cstdint>

class GfxScreen;
class GfxSurface;

struct MenuEntry {
    String text;
    int y = 0;     // top of the entry's row inside the box, set by each render
    int width = 0; // measured text width plus 4 margins
    bool selectable = true;
};

class MenuBox {
public:
    static constexpr int kDefaultSpacing = 3;
    static constexpr int kDefaultMargin = 4;

    // x or y -1 centres the box on that axis of the back surface. A null
    // title gives no title band.
    MenuBox(GfxScreen* screen, int x, int y, const char* titleText);
    ~MenuBox();
    MenuBox(const MenuBox&) = delete;
    MenuBox& operator=(const MenuBox&) = delete;

    // Null selects the default scheme, filled anew for this box's screen.
    void setColours(const TextStyle* scheme);
    // Appends an entry and returns its index; a null text adds nothing (-1).
    int addEntry(const char* text, bool selectable = true);
    void setEntryText(int index, const char* text);
    void clearEntries();
    // Builds the surface when needed, renders and copies the box onto the
    // back surface. The copy's result; 0 when the surface cannot be built.
    int draw();

    // Keyboard moves; they skip greyed entries while wrap is on.
    void selectPrevious();
    void selectNext();

    // The box's top-left corner on the back surface.
    void position(int& left, int& top) const;
    // What a click at (x, y) of the back surface means: an entry index,
    // -2 beside the box, -1 for nothing.
    int hitTest(int x, int y) const;

    int entryCount() const { return entries_.size(); }
    const MenuEntry& entry(int index) const { return *entries_[index]; }
    const MenuEntry& title() const { return title_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int lineHeight() const { return lineHeight_; }
    int spacing() const { return spacing_; }
    int margin() const { return margin_; }
    GfxSurface* surface() const { return surface_; }
    const TextStyle* colours() const { return colours_; }

    // Called after each keyboard move: 1 after a move up, 0 after a move down.
    void (*onMove)(int up) = nullptr;
    bool flash = false;   // the selected entry in the flash colours
    bool wrap = true;     // moving past an end continues at the other
    int selected = 0;     // index of the selected entry
    bool centred = false; // entries centred, else left-aligned at 2 margins

    // The scheme used unless a box is given another.
    static TextStyle& defaultScheme();

private:
    bool measure(const char* text, int& width, int& height) const;
    bool build();
    void render();
    void dropSurface();

    MenuEntry title_;
    PtrArray<MenuEntry> entries_;
    int x_, y_;
    int width_ = 0, height_ = 0;
    GfxSurface* surface_ = nullptr;
    int lineHeight_ = 0;
    int spacing_ = kDefaultSpacing;
    int margin_ = kDefaultMargin;
    const TextStyle* colours_ = nullptr;
    GfxScreen* screen_;

    // What the surface shows, so that an unchanged box is only copied.
    bool rendered_ = false;
    int renderedSelected_ = 0;
    bool renderedFlash_ = false;
    bool renderedCentred_ = false;
    const TextStyle* renderedColours_ = nullptr;
};
