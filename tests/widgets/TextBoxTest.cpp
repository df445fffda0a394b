// Text boxes measured with the real fonts: sizes, layout, line handling,
// rendering only after changes, and the name input box on scripted keys.
#include "widgets/TextBox.h"
#include "tests/support/Golden.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/ScriptedInput.h"
#include "tests/support/SurfacePixels.h"
#include "widgets/TextGroup.h"
#include "widgets/TextInput.h"

#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const TextFont kArial{"Arial", 20, 0, 400};
const TextFont kArialBlack{"Arial Black", 20, 0, 400};

struct Extent {
    int width = 0, height = 0;
    friend bool operator==(const Extent&, const Extent&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Extent& e) {
        return out << e.width << "x" << e.height;
    }
};

// The size a box reports; measuring must not fail.
Extent sizeOf(TextBox& box) {
    Extent e;
    EXPECT_TRUE(box.getSize(e.width, e.height));
    return e;
}

// A plain style: no frame, no title gap, no spacing, Arial 20 throughout.
TextStyle plainStyle() {
    TextStyle s;
    s.framed = 0;
    s.titleGap = 0;
    s.titleFont = kArial;
    s.textFont = kArial;
    return s;
}

TextStyle framedStyle(int frameWidth, int marginX, int marginY) {
    TextStyle s = plainStyle();
    s.framed = 1;
    s.frameWidth = frameWidth;
    s.marginX = marginX;
    s.marginY = marginY;
    return s;
}

class TextBoxTest : public ::testing::Test {
protected:
    uint32_t pixel(uint32_t bgr) { return screen.ConvertColor(bgr); }
    // A text as the font measures it.
    Extent measure(const char* text, const TextFont& font = kArial) {
        GfxSurface s;
        s.Create(&screen, 8, 8, kSurfaceMemoryAny);
        s.SetFont(font.face.c_str(), font.width, font.height, font.weight);
        s.GetDC();
        s.SelectFont();
        Extent e;
        s.GetTextExtent(text, e.width, e.height);
        s.ReleaseDC();
        return e;
    }
    GfxSurface& canvas(int width, int height) {
        EXPECT_EQ(target.Create(&screen, width, height, kSurfaceMemoryAny), 0);
        return target;
    }

    GfxScreen screen{nullptr};
    GfxSurface target;
};

} // namespace

TEST_F(TextBoxTest, LinesBoxSizeFollowsTheMeasuredTexts) {
    const Extent wide = measure("A much longer line");
    const Extent title = measure("Title", kArialBlack);
    ASSERT_GT(wide.width, measure("Short").width);
    ASSERT_GT(wide.height, 15);

    struct Case {
        const char* what;
        int framed, frameWidth, marginX, marginY, titleGap, lineSpacing;
        bool withTitle;
        Extent expected;
    };
    const int w = wide.width, h = wide.height;
    const Extent titled{std::max(w, title.width), title.height + 10 + 3 * h + 2};
    const Case cases[] = {
        {"plain, three lines", 0, 1, 2, 2, 2, 0, false, {w, 3 * h}},
        {"negative spacing", 0, 1, 2, 2, 2, -2, false, {w, 3 * h - 4}},
        {"framed 2, margin 10", 1, 2, 10, 3, 2, 0, false, {w + 24, 3 * h + 10}},
        {"framed but no frame width", 1, 0, 10, 3, 2, 0, false, {w, 3 * h}},
        {"unframed ignores margins", 0, 2, 10, 3, 2, 0, false, {w, 3 * h}},
        {"title with its gaps", 0, 1, 2, 2, 5, 1, true, titled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextStyle style = framedStyle(c.frameWidth, c.marginX, c.marginY);
        style.framed = c.framed;
        style.titleGap = c.titleGap;
        style.lineSpacing = c.lineSpacing;
        style.titleFont = kArialBlack;
        TextList box(&screen, style);
        if (c.withTitle)
            box.setTitle("Title");
        for (const char* line : {"Short", "A much longer line", "Short"})
            box.addLine(line);
        EXPECT_EQ(sizeOf(box), c.expected);
    }
    // Each limit on its own.
    TextList box(&screen, plainStyle());
    box.addLine("Middle");
    box.setMaxHeight(7);
    EXPECT_EQ(sizeOf(box).height, 7);
    box.setMaxHeight(-1);
    box.setMinHeight(500);
    box.setMaxWidth(9);
    EXPECT_EQ(sizeOf(box), (Extent{9, 500}));
}

TEST_F(TextBoxTest, LinesAreAddedSetRemovedAndSplitAtLineFeeds) {
    TextList box(&screen, plainStyle());
    auto texts = [&] {
        std::string all;
        for (int i = 0; i < box.lineCount(); ++i)
            all += std::string(box.line(i).text.c_str()) + "|";
        return all;
    };
    EXPECT_EQ(box.addLine(""), 0);
    EXPECT_EQ(box.addLine(nullptr), 1);
    EXPECT_EQ(texts(), " | |");
    EXPECT_EQ(sizeOf(box).height, 2 * measure("x").height); // a blank is as high as the font

    box.clear();
    EXPECT_EQ(box.addText("Score %06ld\nRank %02d", 1234L, 3), 2);
    EXPECT_EQ(box.addText("trailing\n"), 1);
    EXPECT_EQ(box.addText("a\n\nb"), 3);
    EXPECT_EQ(box.addText("%s", ""), 1);
    EXPECT_EQ(texts(), "Score 001234|Rank 03|trailing|a| |b| |");

    // Data is never a format, however many conversions it holds.
    box.clear();
    box.addPlainText("100% %s %n %d");
    box.addText("%s", "50%% %s");
    EXPECT_EQ(texts(), "100% %s %n %d|50%% %s|");

    // No fixed buffer: a long text stays whole.
    box.clear();
    const std::string longText(1000, 'x');
    box.addText("%s!", longText.c_str());
    EXPECT_EQ(std::string(box.line(0).text.c_str()), longText + "!");

    // Setting past the end fills the gap with blanks; the start-index
    // variant overwrites from there on.
    box.clear();
    box.setLine(2, "third");
    box.setLine(0, "first");
    box.setLine(3, "");
    EXPECT_EQ(texts(), "first| |third| |");
    box.addText(1, "x%d\ny%d\nz%d", 1, 2, 3);
    box.addText(-2, "w"); // a start before the first line is the first line
    EXPECT_EQ(texts(), "w|x1|y2|z3|");
    box.setLine(-1, "ignored");

    box.removeLines(1, 3);
    EXPECT_EQ(texts(), "w|z3|");
    box.removeLines(-5, 1);
    EXPECT_EQ(texts(), "z3|");
    box.addLine("b");
    box.addLine("c");
    box.removeLines(1, 99);
    EXPECT_EQ(texts(), "z3|");
}

// Boxes of every kind drawn on one canvas and compared with the stored
// picture: frames, margins, titles and their gaps, line offsets and
// alignments, highlights, keyed and opaque copies, centring and groups.
TEST_F(TextBoxTest, BoxesOfEveryKindDrawAsTheStoredPicture) {
    GfxSurface& c = canvas(400, 300);
    c.FillAll(pixel(0x808080));
    TextBox::setDefaultTarget(&c);
    TextStyle coloured = framedStyle(2, 3, 1);
    coloured.frameColour = pixel(0x0000FF);
    coloured.background = pixel(0x00FF00);
    coloured.titleBackground = pixel(0xFF0000);
    coloured.highlightBackground = pixel(0xFFFFFF);
    coloured.textColour = 0x000000;
    coloured.lineSpacing = 1;
    coloured.titleGap = 2;

    // Titled, framed, one line highlighted and one made longer after the
    // first rendering; drawn in place at an offset.
    TextStyle style = coloured;
    style.lineOffset = 3;
    TextList titled(&screen, style);
    titled.setTitle("T");
    titled.addLine("one");
    titled.addLine("two");
    GfxSurface* first = titled.update();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(titled.update(), first);
    EXPECT_EQ(first->GetColorKey(), style.background);
    titled.toggleHighlight(1);
    titled.setLine(0, "a longer first line");
    ASSERT_TRUE(titled.render(&c, 5, 5));
    // Where the lines went, for callers that find a line under the mouse.
    const int titleHeight = titled.title()->height, lineHeight = titled.line(0).height;
    EXPECT_EQ(titled.title()->drawY, 5 + 2 + 2);
    EXPECT_EQ(titled.line(0).drawX, 5 + 2 + 3);
    EXPECT_EQ(titled.line(0).drawY, 5 + 2 + titleHeight + 4 + 1 + 3);
    EXPECT_EQ(titled.line(1).drawY, 5 + 2 + titleHeight + 4 + 1 + 3 + lineHeight + 1);

    // Every alignment, framed and plain, in a box wider than its line.
    for (int i = 0; i < 6; ++i) {
        style = coloured;
        style.alignment = i % 3;
        style.framed = i / 3;
        style.marginX = 10;
        TextList box(&screen, style);
        box.addLine("Middle");
        box.setMinWidth(120);
        box.drawOpaque(270, 5 + 28 * i);
    }
    // Limits cut a box down to a single row of pixels.
    TextList cutDown(&screen, coloured);
    cutDown.addLine("Middle");
    cutDown.setLimits(-1, -1, 10, 1);
    cutDown.drawOpaque(250, 5);

    // Black is transparent in a keyed copy; an opaque copy moves by its
    // offset; -1 centres, and a box wider than the target goes to 0.
    style = plainStyle();
    style.background = 0;
    TextList hi(&screen, style);
    hi.addLine("Hi");
    hi.drawKeyed(5, 80);
    hi.drawOpaque(40, 80, 5, 2);
    hi.drawKeyed(-1, -1);
    TextList wide(&screen, style);
    wide.addLine("x");
    wide.setMinWidth(500);
    wide.drawOpaque(-1, 278);

    // Columns as tall as the tallest, under a title as wide as the group;
    // rows as wide as the widest.
    TextStyle column = coloured;
    column.marginX = 2;
    column.frameWidth = 1;
    TextList a(&screen, column), b(&screen, column), d(&screen, column);
    a.addLine("1");
    b.addText("22\n22\n22");
    d.addText("333\n333");
    style = coloured;
    style.marginX = 4;
    style.marginY = 3;
    style.lineSpacing = 5; // the gap between children
    style.background = pixel(0xFFFF00);
    TextGroup columns(&screen, style);
    columns.setTitleStyle(column);
    columns.setTitle("Scores");
    for (TextBox* child : {&a, &b, &d})
        columns.addChild(child);
    columns.setColumns(true);
    columns.drawOpaque(5, 130);
    TextList e(&screen, column), f(&screen, column);
    e.addLine("narrow");
    f.addLine("the widest row");
    TextGroup rows(&screen, style);
    rows.setTitleStyle(plainStyle());
    rows.setTitle("T");
    rows.addChild(&e);
    rows.addChild(&f);
    rows.drawOpaque(110, 185);
    // Unframed, a group keeps no margins.
    rows.setStyle(plainStyle());
    rows.drawOpaque(250, 190);

    TextBox::setDefaultTarget(nullptr);
    checkGolden(LURVANE_GOLDEN_DIR "/boxes.ppm", 400, 300, pixelsOf(c));
}

namespace {

class TextInputTest : public TextBoxTest, protected ScriptedInput {
protected:
    void SetUp() override { box.setUpInput(&input, 3); }
    // One frame with a key tapped.
    void tap(int scanCode) {
        key(PlatformEvent::KeyDown, scanCode);
        frame();
        key(PlatformEvent::KeyUp, scanCode);
        frame();
    }
    void frame() {
        update();
        box.handleKeys();
    }
    std::string text() const { return box.text(); }

    TextInput box{&screen, plainStyle()};
};

} // namespace

TEST_F(TextInputTest, TypingReplacesThePresetAndKeepsToTheMaximum) {
    box.setText("Anonymous");
    EXPECT_EQ(text(), "Ano"); // cut to the maximum length
    frame();                  // a frame without a new key changes nothing
    EXPECT_EQ(text(), "Ano");
    // Each key, and the text after it; a preset is replaced even at full
    // length, and the fourth character is one too many.
    const std::pair<int, const char*> typing[] = {
        {kScanA, "a"},          {kScanSpace, "a "},  {kScanA, "a a"},       {kScanB, "a a"},
        {kScanBackspace, "a "}, {kScanEscape, "a "}, {kScanBackspace, "a"}, {kScanBackspace, ""},
    };
    for (const auto& [scanCode, shown] : typing) {
        tap(scanCode);
        EXPECT_EQ(text(), shown) << scanCode;
    }

    box.setText("Preset");
    tap(kScanBackspace);
    EXPECT_EQ(text(), "");
    tap(kScanEnter); // nothing to finish
    EXPECT_FALSE(box.finished());
    tap(kScanBackspace);
    EXPECT_EQ(text(), "");
    tap(kScanB);
    tap(kScanEnter);
    EXPECT_TRUE(box.finished());
    tap(kScanA); // a finished box takes no more keys
    EXPECT_EQ(text(), "b");
    box.setUpInput(&input, 3);
    EXPECT_FALSE(box.finished());
    EXPECT_EQ(text(), "");
    tap(kScanA);
    EXPECT_EQ(text(), "a");
}

TEST_F(TextInputTest, AKeyHeldWhenTheBoxOpensTypesOnlyWhenPressedAgain) {
    // The key that went on from the screen before, read while no box took
    // keys, is still down when the box opens.
    key(PlatformEvent::KeyDown, kScanA);
    update();
    box.setUpInput(&input, 3);
    box.setText("Zed");
    frame();
    key(PlatformEvent::KeyUp, kScanA);
    frame();
    EXPECT_EQ(text(), "Zed");
    tap(kScanA);
    EXPECT_EQ(text(), "a");
}

TEST_F(TextInputTest, TheCaretIsTheTrailingSpaceAndBlinksEveryTwentyOneDraws) {
    box.setText("ab");
    const Extent ab = measure("ab");
    const int caret = measure("ab ").width - ab.width;
    EXPECT_EQ(sizeOf(box).width, ab.width + caret);
    ASSERT_NE(box.update(), nullptr);
    EXPECT_EQ(box.caretWidth(), caret);
    EXPECT_EQ(box.caretX(), box.line(0).drawX + ab.width);
    EXPECT_EQ(box.caretHeight(), ab.height);

    canvas(200, 50);
    std::string phases;
    for (int i = 0; i < 44; ++i) {
        box.drawOpaque(0, 0, 0, 0, &target);
        phases += box.caretOn() ? '1' : '0';
    }
    // On after the second draw, off 21 draws later, on again 21 after that.
    EXPECT_EQ(phases, "0" + std::string(21, '1') + std::string(21, '0') + "1");
    EXPECT_EQ(pixelOf(*box.surface(), box.caretX(), box.caretY()), box.style().textColour);

    // Typing keeps the caret one space wide and the box follows the text.
    tap(kScanA);
    tap(kScanA);
    EXPECT_EQ(sizeOf(box).width, measure("aa ").width);
    EXPECT_EQ(box.caretWidth(), caret);
    tap(kScanBackspace);
    EXPECT_EQ(sizeOf(box).width, measure("a ").width);
    tap(kScanB);

    // A finished entry shows no caret cell.
    tap(kScanEnter);
    ASSERT_TRUE(box.finished());
    EXPECT_EQ(sizeOf(box).width, ab.width);
}

// clear and removeLines are open to callers: the line of the text comes back.
TEST_F(TextInputTest, TheTextLineComesBackAfterClearOrRemoveLines) {
    box.setText("ab");
    box.clear();
    EXPECT_TRUE(box.render(&canvas(200, 50), 0, 0));
    box.removeLines(0);
    EXPECT_EQ(sizeOf(box).width, measure("ab ").width);
    ASSERT_NE(box.update(), nullptr);
    EXPECT_EQ(box.lineCount(), 1);
    box.setText("xyz"); // a new preset shows at once
    EXPECT_EQ(sizeOf(box).width, measure("xyz ").width);
}

// A lost surface comes back empty; the box renders again before it draws.
TEST_F(TextBoxTest, ABoxDrawsItsTextAgainAfterItsSurfaceWasLost) {
    canvas(100, 50);
    TextStyle style = plainStyle();
    style.background = pixel(0x00FF00);
    TextList box(&screen, style);
    box.addLine("Hi");
    auto drawn = [&] {
        target.FillAll(0);
        box.drawOpaque(0, 0, 0, 0, &target);
        return pixelsOf(target);
    };
    const std::vector<uint32_t> first = drawn();
    box.surface()->MarkLost();
    EXPECT_EQ(drawn(), first);
    EXPECT_EQ(drawn(), first);
}

TEST_F(TextBoxTest, AFailedSurfaceIsReportedAndEndsTheProgram) {
    TempDir dir;
    errorLog.open(dir.file("errorLog.txt").c_str());
    static std::string fatalText;
    TextBox::setFatalErrorHandler([](const char* text) { fatalText = text; });
    TextList box(&screen, plainStyle());
    box.addLine("x");
    box.setLimits(100000, 100000, -1, -1); // too large for any surface
    EXPECT_EQ(box.update(), nullptr);
    EXPECT_EQ(fatalText, "TextBox:Could not create Surface");
    TextBox::setFatalErrorHandler(nullptr);
    errorLog.close();
    const std::string log = dir.read("errorLog.txt");
    EXPECT_NE(log.find("\n\nError in File TextBox, line "), std::string::npos);
    EXPECT_NE(log.find("TextBox Error : Could not create Surface (w=100000, h=100000)\n"),
              std::string::npos);
}

TEST_F(TextBoxTest, HighlightsShowOnTheNextUpdate) {
    TextList box(&screen, plainStyle());
    box.addLine("zero");
    box.addLine("one");
    // "*" when the change makes the next update render again, then the
    // highlight of each line.
    auto shown = [&] {
        std::string flags = box.isDirty() ? "*" : "";
        EXPECT_NE(box.update(), nullptr);
        for (int i = 0; i < box.lineCount(); ++i)
            flags += box.line(i).highlighted ? '1' : '0';
        return flags;
    };
    EXPECT_EQ(shown(), "*00");
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[&] { box.toggleHighlight(0); }, "*10"},
        {[&] { box.setHighlightAll(false); }, "*00"},
        {[&] { box.setHighlightAll(true); }, "*11"},
        {[&] { box.setHighlight(1, false); }, "*10"},
        {[&] { box.toggleHighlight(1); }, "*11"},
        // Every change of the texts shows too.
        {[&] { box.addLine("two"); }, "*110"},
        {[&] { box.removeLines(2); }, "*11"},
        {[&] { box.setLine(1, "1"); }, "*11"},
        {[&] { box.setTitle("T"); }, "*11"},
        {[&] { box.addPlainText("2"); }, "*110"},
        {[&] { box.setStyle(plainStyle()); }, "*110"},
        // Indices outside the lines change nothing.
        {[&] {
             box.toggleHighlight(3);
             box.toggleHighlight(-1);
             box.setHighlight(3, false);
             box.setHighlight(-1, false);
         },
         "110"},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(shown(), expected);
    }
}

TEST_F(TextBoxTest, GroupsFollowTheirChildrenAsTheyGrowAndShrink) {
    const TextStyle style = plainStyle();
    TextList a(&screen, style), b(&screen, style);
    a.addLine("a");
    b.addLine("b");
    TextGroup group(&screen, framedStyle(1, 3, 2));
    group.setTitleStyle(style);
    group.setTitle("a title wider than the rows");
    group.addChild(&a);
    group.addChild(&b);
    const int ox = 4, oy = 3, lineHeight = measure("x").height;
    ASSERT_NE(group.update(), nullptr);
    EXPECT_FALSE(group.isDirty());
    const Extent title = sizeOf(*group.titleBox());
    // Rows: the title is the widest; every row is as wide.
    const int natural = measure("a title wider than the rows").width;
    EXPECT_EQ(sizeOf(group), (Extent{natural + 2 * ox, oy + title.height + 2 * lineHeight + oy}));
    EXPECT_EQ(sizeOf(a), (Extent{natural, lineHeight}));
    EXPECT_EQ(group.child(0).width, natural);
    EXPECT_EQ(title.width, group.width() - 2);
    // Where the title box sits: inside the frame.
    const ChildSlot& slot = *group.titleSlot();
    EXPECT_EQ(std::make_tuple(slot.x, slot.y, slot.width, slot.height),
              std::make_tuple(1, oy, title.width, title.height));

    // A shorter title lets the rows narrow; a wider row widens them all.
    group.setTitle("t");
    EXPECT_TRUE(group.isDirty());
    ASSERT_NE(group.update(), nullptr);
    const int narrowest = std::max({measure("t").width, measure("a").width, measure("b").width});
    EXPECT_EQ(group.width(), narrowest + 2 * ox);
    b.setLine(0, "now a rather long row");
    ASSERT_NE(group.update(), nullptr);
    EXPECT_EQ(sizeOf(a).width, measure("now a rather long row").width);
    EXPECT_EQ(group.width(), sizeOf(a).width + 2 * ox);

    // Turned into columns, the taller column sets the height, and a column
    // that grows or shrinks takes the others with it.
    const int rowsWidth = group.width();
    group.setColumns(true);
    ASSERT_NE(group.update(), nullptr);
    EXPECT_GT(group.width(), rowsWidth);
    for (int lines : {2, 3, 1}) {
        a.clear();
        for (int i = 0; i < lines; ++i)
            a.addLine("a");
        ASSERT_NE(group.update(), nullptr);
        EXPECT_EQ(sizeOf(b).height, lines * lineHeight);
        EXPECT_EQ(group.child(1).height, lines * lineHeight);
        EXPECT_EQ(group.height(), lines * lineHeight + 2 * oy + title.height);
    }

    // Margins count only in a frame.
    TextGroup plain(&screen, style);
    plain.setTitle("T");
    plain.addChild(&b);
    ASSERT_NE(plain.update(), nullptr);
    EXPECT_EQ(plain.titleSlot()->x, 0);

    // Children emptied: the group has nothing left to show and keeps no
    // surface of what it showed.
    TextGroup untitled(&screen, style);
    untitled.addChild(&a);
    ASSERT_NE(untitled.update(), nullptr);
    a.clear();
    EXPECT_EQ(untitled.update(), nullptr);
    EXPECT_EQ(untitled.surface(), nullptr);
    EXPECT_FALSE(untitled.render(nullptr, 0, 0)); // nowhere to draw
}

TEST_F(TextInputTest, APadAloneStepsTheCharacterAtTheCursorMovesOnDeletesAndConfirms) {
    auto* devices = platform.inputDevices();
    devices->plugPad();
    platform.pushEvent(PlatformEvent::DeviceAdded);
    // Holds the controls for some frames, then lets go for one.
    auto pad = [&](int control, int frames = 1) {
        devices->setPadControl(control, true);
        for (int i = 0; i < frames; ++i)
            frame();
        devices->joystick = GfxJoystickState();
        devices->joystick.mapped = true;
        frame();
        return text();
    };
    const int up = kGfxPadUp, down = kGfxPadDown, left = kGfxPadLeft, right = kGfxPadRight;
    box.setText("Zed");
    EXPECT_EQ(pad(right), "Zed");
    EXPECT_EQ(pad(up), "Zed");
    EXPECT_EQ(pad(left), "Ze");
    EXPECT_EQ(pad(up), "Zf");
    EXPECT_EQ(pad(down), "Ze");
    EXPECT_EQ(pad(down, 18), "Zc"); // the first step, and one 14 frames later
    EXPECT_EQ(pad(up, 19), "Zf");   // ...and one more each 4 frames
    EXPECT_EQ(pad(right), "Zf");
    EXPECT_EQ(pad(down), "Zf\xFF"); // a new character starts at either end
    EXPECT_EQ(pad(up), "ZfA");
    EXPECT_EQ(pad(up), "ZfB");
    EXPECT_EQ(pad(down), "ZfA");
    EXPECT_EQ(pad(left), "Zf");
    EXPECT_EQ(pad(left), "Z");
    EXPECT_EQ(pad(up), "a"); // the one character left is still at the cursor
    EXPECT_EQ(pad(left), "");
    EXPECT_EQ(pad(left), "");
    EXPECT_EQ(pad(kGfxPadSouth), ""); // nothing to confirm
    EXPECT_FALSE(box.finished());
    // A typed character outside the list steps to either end of it.
    tap(kScanA);
    tap(0x0C); // '-'
    EXPECT_EQ(pad(up), "a-A");
    EXPECT_EQ(pad(left), "a-");
    EXPECT_EQ(pad(up), "aA");
    tap(kScanBackspace);
    tap(0x0C);
    EXPECT_EQ(pad(up), "a-A");
    EXPECT_EQ(pad(left), "a-");
    EXPECT_EQ(pad(down), "a\xFF");
    tap(kScanBackspace);
    EXPECT_EQ(pad(up), "aA");         // typing and deleting leave the cursor after the text
    ASSERT_NE(box.update(), nullptr); // shown with its caret cell
    EXPECT_EQ(pad(kGfxPadStart), "aA");
    EXPECT_TRUE(box.finished());
    EXPECT_EQ(sizeOf(box).width, measure("aA").width); // no caret cell once finished

    // A preset is replaced by the first step; south confirms.
    box.setUpInput(&input, 3);
    box.setText("Bob");
    EXPECT_EQ(pad(left), "Bo"); // ...but not after a deletion
    EXPECT_EQ(pad(up), "Bp");
    box.setText("Bob");
    EXPECT_EQ(pad(down), "\xFF");
    EXPECT_EQ(pad(kGfxPadSouth), "\xFF");
    EXPECT_TRUE(box.finished());

    // A preset is replaced only once, and every step is drawn anew.
    box.setUpInput(&input, 3);
    box.setText("Bob");
    const std::pair<int, const char*> steps[] = {{up, "A"}, {up, "B"}, {left, ""}};
    for (const auto& [control, shown] : steps) {
        box.update();
        const uint64_t stamp = box.renderStamp();
        EXPECT_EQ(pad(control), shown);
        box.update();
        EXPECT_NE(box.renderStamp(), stamp) << shown;
    }
}

TEST(TextInputPadTest, ThePadStepsThroughLettersDigitsSpaceAndTheAccentedLetters) {
    const std::pair<int, int> cases[] = {
        {0, 'A'},   {25, 'Z'},  {26, 'a'},  {51, 'z'},   {52, '0'},   {61, '9'},   {62, ' '},
        {63, 0xC0}, {85, 0xD6}, {86, 0xD8}, {116, 0xF6}, {117, 0xF8}, {124, 0xFF},
    };
    EXPECT_EQ(TextInput::padCharacterCount(), 125);
    for (const auto& [index, c] : cases)
        EXPECT_EQ(TextInput::padCharacter(index), c) << index;
}
