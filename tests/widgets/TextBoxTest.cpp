// Text boxes measured with the real fonts: sizes, layout, line handling,
// rendering only after changes, and the name input box on scripted keys.
#include "widgets/TextBox.h"
#include "tests/support/ScanCodes.h"
#include "tests/support/SurfacePixels.h"
#include "widgets/TextGroup.h"
#include "widgets/TextInput.h"

#include "gfx/GfxInput.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "gfx/HeadlessInputDevices.h"
#include "gfx/HeadlessPlatform.h"
#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
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
    const Case cases[] = {
        {"plain, three lines", 0, 1, 2, 2, 2, 0, false, {w, 3 * h}},
        {"negative spacing", 0, 1, 2, 2, 2, -2, false, {w, 3 * h - 4}},
        {"framed 2, margin 10", 1, 2, 10, 3, 2, 0, false, {w + 24, 3 * h + 10}},
        {"framed but no frame width", 1, 0, 10, 3, 2, 0, false, {w, 3 * h}},
        {"unframed ignores margins", 0, 2, 10, 3, 2, 0, false, {w, 3 * h}},
        {"title with its gaps",
         0,
         1,
         2,
         2,
         5,
         1,
         true,
         {std::max(w, title.width), title.height + 10 + 3 * h + 2}},
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
}

TEST_F(TextBoxTest, LimitsAndAlignmentPlaceTheLines) {
    const int lineWidth = measure("Middle").width;
    ASSERT_LT(lineWidth, 200);
    struct Case {
        int alignment, framed, expectedX;
    };
    // Framed with width 2 and margin 10: left and right lines keep 12 from the edge.
    const Case cases[] = {
        {kAlignCentre, 0, (200 - lineWidth) / 2}, {kAlignLeft, 0, 0},
        {kAlignRight, 0, 200 - lineWidth},        {kAlignLeft, 1, 12},
        {kAlignRight, 1, 200 - lineWidth - 12},   {kAlignCentre, 1, (200 - lineWidth) / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alignment * 10 + c.framed);
        TextStyle style = framedStyle(2, 10, 1);
        style.alignment = c.alignment;
        style.framed = c.framed;
        TextList box(&screen, style);
        box.addLine("Middle");
        box.setMinWidth(200);
        EXPECT_EQ(sizeOf(box).width, 200);
        ASSERT_NE(box.update(), nullptr);
        EXPECT_EQ(box.line(0).drawX, c.expectedX);
        EXPECT_EQ(box.line(0).drawY, c.framed ? 3 : 0);
    }
    // Upper limits cut the box, down to a single row of pixels.
    TextList box(&screen, plainStyle());
    box.addLine("Middle");
    box.setLimits(-1, -1, 10, 1);
    EXPECT_EQ(sizeOf(box), (Extent{10, 1}));
    EXPECT_NE(box.update(), nullptr);
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

TEST_F(TextBoxTest, RendersOnlyAfterAChange) {
    TextStyle style = framedStyle(2, 3, 1);
    style.titleGap = 2;
    style.frameColour = pixel(0x0000FF);
    style.background = pixel(0x00FF00);
    style.titleBackground = pixel(0xFF0000);
    style.highlightBackground = pixel(0xFFFFFF);
    TextList box(&screen, style);
    box.setTitle("T");
    box.addLine("one");
    box.addLine("two");

    GfxSurface* first = box.update();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(box.update(), first);
    EXPECT_EQ(first->GetColorKey(), style.background);

    const int titleBand = box.title()->height + 4;
    EXPECT_EQ(pixelOf(*first, 0, 0), style.frameColour);
    EXPECT_EQ(pixelOf(*first, 1, box.height() - 1), style.frameColour);
    EXPECT_EQ(pixelOf(*first, 2, 2), style.titleBackground);
    EXPECT_EQ(pixelOf(*first, 2, 2 + titleBand - 1), style.titleBackground);
    EXPECT_EQ(pixelOf(*first, 2, 2 + titleBand), style.background);

    // A highlight is a change: the next update shows it.
    box.toggleHighlight(1);
    GfxSurface* second = box.update();
    ASSERT_NE(second, nullptr);
    const TextLine& two = box.line(1);
    EXPECT_EQ(two.drawY, 2 + titleBand + 1 + box.line(0).height);
    EXPECT_EQ(pixelOf(*second, 2, two.drawY), style.highlightBackground);
    EXPECT_EQ(pixelOf(*second, box.width() - 3, two.drawY + two.height - 1),
              style.highlightBackground);
    EXPECT_EQ(pixelOf(*second, 2, two.drawY + two.height), style.background);

    // Changing a line's text that gets longer widens the box.
    const int before = box.width();
    box.setLine(0, "a much longer first line");
    ASSERT_NE(box.update(), nullptr);
    EXPECT_GT(box.width(), before);

    // An empty unframed box has nothing to draw and reports no failure.
    TextList empty(&screen, plainStyle());
    EXPECT_EQ(empty.update(), nullptr);
}

TEST_F(TextBoxTest, DrawsOpaqueOrWithBlackTransparentAndCentres) {
    canvas(300, 100);
    const uint32_t red = pixel(0x0000FF);
    TextStyle style = plainStyle();
    style.background = 0; // black
    style.textColour = 0xFFFFFF;
    TextList box(&screen, style);
    box.addLine("Hi");
    const auto [w, h] = sizeOf(box);

    target.FillAll(red);
    box.drawKeyed(-1, -1, 0, 0, &target);
    const std::vector<uint32_t> drawn = pixelsOf(target, (300 - w) / 2, (100 - h) / 2, w, h);
    EXPECT_GT(std::count(drawn.begin(), drawn.end(), pixel(0xFFFFFF)), 10);
    // the black background let the red through
    EXPECT_GT(std::count(drawn.begin(), drawn.end(), red), w * h / 3);

    target.FillAll(red);
    box.drawOpaque(10, -1, 5, 2, &target);
    EXPECT_EQ(pixelOf(target, 15, (100 - h) / 2 + 2), 0u);
    EXPECT_EQ(pixelOf(target, 14, (100 - h) / 2 + 2), red);
    EXPECT_EQ(pixelOf(target, 15, (100 - h) / 2 + 1), red);

    // Without a target the default one is drawn on.
    TextBox::setDefaultTarget(&target);
    target.FillAll(red);
    box.drawOpaque(0, 0);
    EXPECT_EQ(pixelOf(target, 0, 0), 0u);
    TextBox::setDefaultTarget(nullptr);

    // A box larger than the target is placed at 0 when centred.
    TextList big(&screen, style);
    big.addLine("x");
    big.setMinWidth(400);
    target.FillAll(red);
    big.drawOpaque(-1, 0, 0, 0, &target);
    EXPECT_EQ(pixelOf(target, 0, 0), 0u);
}

TEST_F(TextBoxTest, ColumnGroupMakesEveryColumnAsTallAsTheTallest) {
    const TextStyle column = framedStyle(1, 2, 0);
    TextList a(&screen, column), b(&screen, column), c(&screen, column);
    a.addLine("1");
    b.addText("22\n22\n22");
    c.addText("333\n333");

    TextStyle groupStyle = framedStyle(2, 4, 3);
    groupStyle.lineSpacing = 5; // the gap between children
    TextGroup group(&screen, groupStyle);
    group.setTitleStyle(column);
    group.setTitle("High Scores");
    for (TextBox* child : {&a, &b, &c})
        group.addChild(child);
    group.setColumns(true);

    const Extent as = sizeOf(a), bs = sizeOf(b), cs = sizeOf(c);
    const Extent title = sizeOf(*group.titleBox());
    const auto [w, h] = sizeOf(group);
    const int ox = 4 + 2, oy = 3 + 2;
    EXPECT_EQ(w, ox + as.width + 5 + bs.width + 5 + cs.width + ox);
    EXPECT_EQ(h, bs.height + 2 * oy + title.height);
    const int columnX[] = {ox, ox + as.width + 5, ox + as.width + 5 + bs.width + 5};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(group.child(i).height, bs.height);
        EXPECT_EQ(group.child(i).y, oy + title.height);
        EXPECT_EQ(group.child(i).x, columnX[i]);
        EXPECT_EQ(sizeOf(*group.child(i).box).height, bs.height);
    }
    EXPECT_EQ(group.titleSlot()->width, w - 4);
    EXPECT_EQ(sizeOf(*group.titleBox()).width, w - 4);

    GfxSurface* built = group.update();
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(group.update(), built);
    // A change inside a column rebuilds the group, and the columns follow a
    // shorter content again.
    b.removeLines(1);
    b.addLine("22");
    ASSERT_NE(group.update(), nullptr);
    EXPECT_EQ(group.child(0).height, cs.height);
    EXPECT_EQ(group.height(), cs.height + 2 * oy + title.height);
}

TEST_F(TextBoxTest, RowGroupMakesEveryRowAsWideAsTheWidest) {
    TextStyle style = plainStyle();
    TextList a(&screen, style), b(&screen, style);
    a.addLine("narrow");
    b.addLine("the widest row of all");
    TextGroup group(&screen, style);
    group.setTitleStyle(style);
    group.setTitle("T");
    group.addChild(&a);
    group.addChild(&b);
    const Extent as = sizeOf(a), bs = sizeOf(b), title = sizeOf(*group.titleBox());
    EXPECT_EQ(sizeOf(group), (Extent{bs.width, title.height + as.height + bs.height}));
    EXPECT_EQ(group.child(0).width, bs.width);
    EXPECT_EQ(group.child(1).y, title.height + as.height);
    EXPECT_EQ(group.titleSlot()->x, 0); // margins count only in a frame
    EXPECT_EQ(group.titleSlot()->height, title.height);
    EXPECT_EQ(sizeOf(a).width, bs.width);
    ASSERT_NE(group.update(), nullptr);

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

namespace {

class TextInputTest : public TextBoxTest {
protected:
    void SetUp() override {
        ASSERT_EQ(input.Create(&platform, platform.createInputDevices()), kGfxInputOk);
        box.setUpInput(&input, 3);
    }
    void key(PlatformEvent::Type type, int scanCode) {
        PlatformEvent e;
        e.type = type;
        e.scancode = scanCode;
        platform.pushEvent(e);
    }
    // One frame with a key tapped.
    void tap(int scanCode) {
        key(PlatformEvent::KeyDown, scanCode);
        frame();
        key(PlatformEvent::KeyUp, scanCode);
        frame();
    }
    void update() {
        PlatformEvent e;
        while (platform.pollEvent(e)) {
        }
        input.Update();
    }
    void frame() {
        update();
        box.handleKeys();
    }
    std::string text() const { return box.text(); }

    HeadlessPlatform platform;
    GfxInput input;
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

TEST_F(TextBoxTest, RenderingAtAnOffsetKeepsInsideTheBox) {
    TextStyle style = framedStyle(1, 2, 1);
    style.titleGap = 1;
    style.lineOffset = 3;
    style.frameColour = pixel(0x0000FF);
    style.background = pixel(0x00FF00);
    style.titleBackground = style.background;
    TextList box(&screen, style);
    box.setTitle("T");
    box.addLine("a wide line under a narrow title");
    const auto [w, h] = sizeOf(box);
    const TextLine& line = box.line(0);
    EXPECT_EQ(w, line.width + 6); // a frame of 1 counts: 2 × (margin 2 + frame 1)

    canvas(w + 40, h + 40);
    const uint32_t outside = pixel(0x808080);
    target.FillAll(outside);
    ASSERT_TRUE(box.render(&target, 10, 20));
    EXPECT_EQ(box.title()->drawX, 10 + (w - box.title()->width) / 2);
    EXPECT_EQ(box.title()->drawY, 20 + 1 + 1);
    EXPECT_EQ(line.drawX, 10 + 3);
    EXPECT_EQ(line.drawY, 20 + 1 + box.title()->height + 2 + 1 + 3);
    EXPECT_EQ(pixelOf(target, 10, 20), style.frameColour);
    EXPECT_EQ(pixelOf(target, 10 + w - 1, 20 + h - 1), style.frameColour);
    EXPECT_EQ(pixelOf(target, 11, 20 + h - 2), style.background);
    // The ring of pixels just outside the box is untouched.
    const std::vector<uint32_t> untouched(static_cast<size_t>(w + 2), outside);
    EXPECT_EQ(pixelsOf(target, 9, 19, w + 2, 1), untouched);
    EXPECT_EQ(pixelsOf(target, 9, 20 + h, w + 2, 1), untouched);
    const std::vector<uint32_t> sides(static_cast<size_t>(h + 2), outside);
    EXPECT_EQ(pixelsOf(target, 9, 19, 1, h + 2), sides);
    EXPECT_EQ(pixelsOf(target, 10 + w, 19, 1, h + 2), sides);

    // Each limit on its own.
    box.setMaxHeight(7);
    EXPECT_EQ(sizeOf(box).height, 7);
    box.setMaxHeight(-1);
    box.setMinHeight(500);
    box.setMaxWidth(9);
    EXPECT_EQ(sizeOf(box), (Extent{9, 500}));
}

TEST_F(TextBoxTest, HighlightsShowOnTheNextUpdate) {
    TextStyle style = plainStyle();
    style.background = pixel(0x00FF00);
    style.highlightBackground = pixel(0xFFFFFF);
    TextList box(&screen, style);
    box.addLine("zero");
    box.addLine("one");
    auto bandAt = [&](int index) {
        return pixelOf(*box.update(), 0, box.line(index).drawY) == style.highlightBackground;
    };
    EXPECT_FALSE(bandAt(0));
    box.toggleHighlight(0);
    EXPECT_TRUE(box.line(0).highlighted);
    EXPECT_TRUE(bandAt(0));
    box.setHighlightAll(false);
    EXPECT_FALSE(bandAt(0));
    box.setHighlightAll(true);
    EXPECT_TRUE(bandAt(1));
    box.setHighlight(1, false);
    EXPECT_FALSE(bandAt(1));
    EXPECT_TRUE(bandAt(0));
    // Indices outside the lines change nothing.
    box.toggleHighlight(2);
    box.toggleHighlight(-1);
    box.setHighlight(2, true);
    box.setHighlight(-1, true);
    EXPECT_EQ(box.lineCount(), 2);
    EXPECT_FALSE(box.isDirty());

    // The keyed copy also goes to the default target.
    canvas(200, 100).FillAll(0);
    TextBox::setDefaultTarget(&target);
    box.drawKeyed(0, 0);
    TextBox::setDefaultTarget(nullptr);
    EXPECT_EQ(pixelOf(target, 0, box.line(0).drawY), style.highlightBackground);
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
    const int f = 1, ox = 4, oy = 3;
    ASSERT_NE(group.update(), nullptr);
    EXPECT_FALSE(group.isDirty());
    const Extent title = sizeOf(*group.titleBox());
    EXPECT_EQ(group.titleSlot()->x, ox - 3);
    EXPECT_EQ(group.titleSlot()->y, oy);
    EXPECT_EQ(group.child(0).x, ox);
    EXPECT_EQ(group.child(1).x, ox);
    EXPECT_EQ(group.child(1).y, oy + title.height + measure("a").height);
    EXPECT_EQ(group.titleBox()->title()->drawX,
              f + (title.width - group.titleBox()->title()->width) / 2);
    const int lineHeight = measure("x").height;
    // Rows: the title is the widest; every row is as wide.
    const int natural = measure("a title wider than the rows").width;
    EXPECT_EQ(group.width(), natural + 2 * ox);
    EXPECT_EQ(group.height(), oy + title.height + 2 * lineHeight + oy);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(sizeOf(*group.child(i).box), (Extent{natural, lineHeight})) << i;
    EXPECT_EQ(title.width, group.width() - 2 * f);

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
    // that grows makes the others grow with it.
    const int rowsWidth = group.width();
    group.setColumns(true);
    ASSERT_NE(group.update(), nullptr);
    EXPECT_GT(group.width(), rowsWidth);
    a.addLine("a2");
    ASSERT_NE(group.update(), nullptr);
    EXPECT_EQ(sizeOf(b).height, 2 * lineHeight);
    a.addLine("a3");
    ASSERT_NE(group.update(), nullptr);
    EXPECT_EQ(sizeOf(b).height, 3 * lineHeight);
    EXPECT_EQ(group.height(), 3 * lineHeight + 2 * oy + title.height);
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
