// Panels of text: a framed or plain rectangle with an optional centred title
// and lines of text, drawn through a TextStyle. A box measures its texts,
// sizes itself and renders itself into a surface of its own, which is built
// again only after a change and copied onto a target, opaquely or with black
// transparent.
#pragma once

#include "lib/Array.h"
#include "lib/String.h"
#include "widgets/TextStyle.h"

#include <cstdarg>
#include <cstdint>

class GfxScreen;
class GfxSurface;

// One line of a box, and the title of a lines box.
struct TextLine {
    explicit TextLine(const char* text = nullptr) { setText(text); }
    // An empty or null text is kept as " ", a blank of the font's height.
    void setText(const char* newText) { text = newText && *newText ? newText : " "; }

    String text;
    bool highlighted = false;
    int width = 0, height = 0; // measured
    int drawX = 0, drawY = 0;  // where the last render put it
};

class TextBox {
public:
    TextBox(GfxScreen* screen, const TextStyle& style);
    virtual ~TextBox();
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;

    // Size of the whole box in pixels; false when measuring fails.
    virtual bool getSize(int& width, int& height) = 0;
    // The rendered box: kept while nothing changed, otherwise built anew.
    // Null when there is nothing to show or it cannot be built.
    GfxSurface* update();
    // Numbers the renders of all boxes in order; a caller that keeps a copy
    // of a rendered box knows it is stale when the box's stamp moved on.
    uint64_t renderStamp() const { return renderStamp_; }
    // Draws the box at (x, y) of target, which must be large enough.
    virtual bool render(GfxSurface* target, int x, int y) = 0;

    // Copies the box to (x + dx, y + dy) of target (the default text target
    // when null); x or y -1 centres on that axis.
    void drawOpaque(int x, int y, int dx = 0, int dy = 0, GfxSurface* target = nullptr);
    void draw(int x, int y, int dx = 0, int dy = 0, GfxSurface* target = nullptr) {
        drawOpaque(x, y, dx, dy, target);
    }
    // The same with the box's black pixels transparent.
    void drawKeyed(int x, int y, int dx = 0, int dy = 0, GfxSurface* target = nullptr);

    // Deletes the rendered surface; the next use measures again.
    void invalidate();
    // Whether the next update must measure and render again.
    virtual bool isDirty() const { return dirty_; }

    const TextStyle& style() const { return style_; }
    void setStyle(const TextStyle& style);
    // Size limits, -1 for none.
    void setLimits(int minWidth, int minHeight, int maxWidth, int maxHeight);
    void setMinWidth(int value);
    void setMaxWidth(int value);
    void setMinHeight(int value);
    void setMaxHeight(int value);
    int minWidth() const { return minWidth_; }
    int maxWidth() const { return maxWidth_; }
    int minHeight() const { return minHeight_; }
    int maxHeight() const { return maxHeight_; }
    // Last computed size.
    int width() const { return width_; }
    int height() const { return height_; }
    GfxScreen* screen() const { return screen_; }
    GfxSurface* surface() const { return surface_; }

    // Called by drawOpaque before each copy (the input box blinks its caret).
    void (*beforeDraw)(TextBox* box) = nullptr;

    // Where boxes draw when given no target; start-up points it at the
    // frame's back surface. Without one the screen's back surface is used.
    static void setDefaultTarget(GfxSurface* target);
    static GfxSurface* defaultTarget() { return defaultTarget_; }
    // What a failure to make a surface ends with (the program's fatal error
    // box); a text box cannot carry on without its surfaces.
    static void setFatalErrorHandler(void (*handler)(const char* text));

protected:
    // Measures a text in a font; false when no measuring surface exists.
    bool measure(const TextFont& font, TextLine& line);
    bool measureText(const TextFont& font, const char* text, int& width, int& height);
    // The limits applied to a size.
    void applyLimits(int& width, int& height) const;
    // Fills the box's frame and background at (x, y); returns the frame
    // width used (0 when not framed).
    int fillFrame(GfxSurface* target, int x, int y) const;
    // Sets and selects a font on a surface whose context is held.
    static void selectFont(GfxSurface* target, const TextFont& font);
    void setDirty() { dirty_ = true; }
    void clearDirty() { dirty_ = false; }
    void keepSize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    TextStyle& mutableStyle() { return style_; }

    static void fatal(const char* text);

private:
    GfxSurface* resolveTarget(GfxSurface* target) const;
    bool placeOn(GfxSurface* target, int& x, int& y, int dx, int dy);

    TextStyle style_;
    GfxSurface* surface_ = nullptr;
    GfxScreen* screen_;
    GfxSurface* sizeCheckSurface_ = nullptr;
    TextFont sizeCheckFont_; // the font set on the measuring surface
    bool sizeCheckFontSet_ = false;
    int width_ = 0, height_ = 0;
    int minWidth_ = -1, minHeight_ = -1, maxWidth_ = -1, maxHeight_ = -1;
    bool dirty_ = true;
    uint64_t renderStamp_ = 0;
    static inline uint64_t lastRenderStamp_ = 0;

    static inline GfxSurface* defaultTarget_ = nullptr;
    static inline void (*fatalHandler_)(const char*) = nullptr;
};

// The lines box: an optional title and lines of text, aligned by the style.
class TextList : public TextBox {
public:
    TextList(GfxScreen* screen, const TextStyle& style) : TextBox(screen, style) {}
    ~TextList() override;

    bool getSize(int& width, int& height) override;
    bool render(GfxSurface* target, int x, int y) override;

    // Null removes the title.
    void setTitle(const char* text);
    // Appends a line and returns its index.
    int addLine(const char* text);
    // Deletes lines first..last-1 (last -1 or past the end: to the end).
    void removeLines(int first, int last = -1);
    void clear() {
        removeLines(0, -1);
        invalidate();
    }
    // Replaces line index; past the end, blank lines fill the gap.
    void setLine(int index, const char* text);
    // Formats the text and adds each piece between line feeds as a line.
    // Returns the number of lines added.
    int addText(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The same, setting lines from first on.
    int addText(int first, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // Adds a text as it stands (never as a format), split at line feeds.
    int addPlainText(const char* text, int first = -1);

    void toggleHighlight(int index);
    void setHighlight(int index, bool on);
    void setHighlightAll(bool on);

    int lineCount() const { return lines_.size(); }
    const TextLine& line(int index) const { return *lines_[index]; }
    const TextLine* title() const { return title_; }

protected:
    // The size of the title and lines before frame and limits.
    bool contentSize(int& width, int& height);
    TextLine* mutableLine(int index) { return lines_[index]; }

private:
    TextLine* title_ = nullptr;
    PtrArray<TextLine> lines_;
};
