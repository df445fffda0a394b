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
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const TextFont kArial{"Arial", 20, 0, 400};
const TextFont kArialBlack{"Arial Black", 20, 0, 400};

struct Extent {
    int width = 0, height = 0;
};

Extent measure(GfxScreen& screen, const TextFont& font, const char* text) {
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

// A plain style: no frame, no title gap, no spacing, Arial 20 throughout.
TextStyle plainStyle() {
    TextStyle s;
    s.framed = 0;
    s.titleGap = 0;
    s.titleFont = kArial;
    s.textFont = kArial;
    return s;
}

class TextBoxTest : public ::testing::Test {
protected:
    GfxScreen screen{nullptr};
    uint32_t pixel(uint32_t bgr) { return screen.ConvertColor(bgr); }
};

} // namespace

TEST_F(TextBoxTest, LinesBoxSizeFollowsTheMeasuredTexts) {
    const Extent wide = measure(screen, kArial, "A much longer line");
    const Extent shortLine = measure(screen, kArial, "Short");
    const Extent title = measure(screen, kArialBlack, "Title");
    ASSERT_GT(wide.width, shortLine.width);
    ASSERT_GT(wide.height, 15);

    struct Case {
        const char* what;
        int framed, frameWidth, marginX, marginY, titleGap, lineSpacing;
        bool withTitle;
        int expectedWidth, expectedHeight;
    };
    const int w = wide.width, h = wide.height;
    const Case cases[] = {
        {"plain, three lines", 0, 1, 2, 2, 2, 0, false, w, 3 * h},
        {"negative spacing", 0, 1, 2, 2, 2, -2, false, w, 3 * h - 4},
        {"framed 2, margin 10", 1, 2, 10, 3, 2, 0, false, w + 24, 3 * h + 10},
        {"framed but no frame width", 1, 0, 10, 3, 2, 0, false, w, 3 * h},
        {"unframed ignores margins", 0, 2, 10, 3, 2, 0, false, w, 3 * h},
        {"title with its gaps", 0, 1, 2, 2, 5, 1, true, std::max(w, title.width),
         title.height + 10 + 3 * h + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextStyle style = plainStyle();
        style.framed = c.framed;
        style.frameWidth = c.frameWidth;
        style.marginX = c.marginX;
        style.marginY = c.marginY;
        style.titleGap = c.titleGap;
        style.lineSpacing = c.lineSpacing;
        style.titleFont = kArialBlack;
        TextList box(&screen, style);
        if (c.withTitle)
            box.setTitle("Title");
        box.addLine("Short");
        box.addLine("A much longer line");
        box.addLine("Short");
        int bw = 0, bh = 0;
        ASSERT_TRUE(box.getSize(bw, bh));
        EXPECT_EQ(bw, c.expectedWidth);
        EXPECT_EQ(bh, c.expectedHeight);
    }
}

TEST_F(TextBoxTest, LimitsAndAlignmentPlaceTheLines) {
    const Extent line = measure(screen, kArial, "Middle");
    ASSERT_LT(line.width, 200);
    struct Case {
        int alignment, framed, expectedX;
    };
    // Framed with width 2 and margin 10: left and right lines keep 12 from the edge.
    const Case cases[] = {
        {kAlignCentre, 0, (200 - line.width) / 2}, {kAlignLeft, 0, 0},
        {kAlignRight, 0, 200 - line.width},        {kAlignLeft, 1, 12},
        {kAlignRight, 1, 200 - line.width - 12},   {kAlignCentre, 1, (200 - line.width) / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alignment * 10 + c.framed);
        TextStyle style = plainStyle();
        style.alignment = c.alignment;
        style.framed = c.framed;
        style.frameWidth = 2;
        style.marginX = 10;
        style.marginY = 1;
        TextList box(&screen, style);
        box.addLine("Middle");
        box.setMinWidth(200);
        int w = 0, h = 0;
        ASSERT_TRUE(box.getSize(w, h));
        EXPECT_EQ(w, 200);
        ASSERT_NE(box.update(), nullptr);
        EXPECT_EQ(box.line(0).drawX, c.expectedX);
        EXPECT_EQ(box.line(0).drawY, c.framed ? 3 : 0);
    }
    // Upper limits cut the box.
    TextList box(&screen, plainStyle());
    box.addLine("Middle");
    box.setLimits(-1, -1, 10, 5);
    int w = 0, h = 0;
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(w, 10);
    EXPECT_EQ(h, 5);
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
    int w = 0, h = 0;
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(h, 2 * measure(screen, kArial, "x").height); // a blank is as high as the font

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
    EXPECT_EQ(texts(), "first|x1|y2|z3|");
    box.setLine(-1, "ignored");

    box.removeLines(1, 3);
    EXPECT_EQ(texts(), "first|z3|");
    box.removeLines(-5, 1);
    EXPECT_EQ(texts(), "z3|");
    box.addLine("b");
    box.addLine("c");
    box.removeLines(1, 99);
    EXPECT_EQ(texts(), "z3|");
}

TEST_F(TextBoxTest, RendersOnlyAfterAChange) {
    TextStyle style = plainStyle();
    style.framed = 1;
    style.frameWidth = 2;
    style.marginX = 3;
    style.marginY = 1;
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

    first->Lock();
    const int titleBand = box.title()->height + 4;
    EXPECT_EQ(first->GetPixel(0, 0), style.frameColour);
    EXPECT_EQ(first->GetPixel(1, box.height() - 1), style.frameColour);
    EXPECT_EQ(first->GetPixel(2, 2), style.titleBackground);
    EXPECT_EQ(first->GetPixel(2, 2 + titleBand - 1), style.titleBackground);
    EXPECT_EQ(first->GetPixel(2, 2 + titleBand), style.background);
    first->Unlock();

    // A highlight is a change: the next update shows it.
    box.toggleHighlight(1);
    GfxSurface* second = box.update();
    ASSERT_NE(second, nullptr);
    const TextLine& two = box.line(1);
    second->Lock();
    EXPECT_EQ(two.drawY, 2 + titleBand + 1 + box.line(0).height);
    EXPECT_EQ(second->GetPixel(2, two.drawY), style.highlightBackground);
    EXPECT_EQ(second->GetPixel(box.width() - 3, two.drawY + two.height - 1),
              style.highlightBackground);
    EXPECT_EQ(second->GetPixel(2, two.drawY + two.height), style.background);
    second->Unlock();

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
    GfxSurface target;
    ASSERT_EQ(target.Create(&screen, 300, 100, kSurfaceMemoryAny), 0);
    const uint32_t red = pixel(0x0000FF);
    TextStyle style = plainStyle();
    style.background = 0; // black
    style.textColour = 0xFFFFFF;
    TextList box(&screen, style);
    box.addLine("Hi");
    int w = 0, h = 0;
    ASSERT_TRUE(box.getSize(w, h));

    target.FillAll(red);
    box.drawKeyed(-1, -1, 0, 0, &target);
    target.Lock();
    const int left = (300 - w) / 2, top = (100 - h) / 2;
    int white = 0, redInside = 0;
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x) {
            white += target.GetPixel(x, y) == pixel(0xFFFFFF);
            redInside += target.GetPixel(x, y) == red;
        }
    target.Unlock();
    EXPECT_GT(white, 10);
    EXPECT_GT(redInside, w * h / 3); // the black background let the red through

    target.FillAll(red);
    box.drawOpaque(10, -1, 5, 2, &target);
    target.Lock();
    EXPECT_EQ(target.GetPixel(15, (100 - h) / 2 + 2), 0u);
    EXPECT_EQ(target.GetPixel(14, (100 - h) / 2 + 2), red);
    EXPECT_EQ(target.GetPixel(15, (100 - h) / 2 + 1), red);
    target.Unlock();

    // Without a target the default one is drawn on.
    TextBox::setDefaultTarget(&target);
    target.FillAll(red);
    box.drawOpaque(0, 0);
    target.Lock();
    EXPECT_EQ(target.GetPixel(0, 0), 0u);
    target.Unlock();
    TextBox::setDefaultTarget(nullptr);

    // A box larger than the target is placed at 0 when centred.
    TextList big(&screen, style);
    big.addLine("x");
    big.setMinWidth(400);
    target.FillAll(red);
    big.drawOpaque(-1, 0, 0, 0, &target);
    target.Lock();
    EXPECT_EQ(target.GetPixel(0, 0), 0u);
    target.Unlock();
}

TEST_F(TextBoxTest, ColumnGroupMakesEveryColumnAsTallAsTheTallest) {
    TextStyle column = plainStyle();
    column.framed = 1;
    column.frameWidth = 1;
    column.marginX = 2;
    column.marginY = 0;
    TextList a(&screen, column), b(&screen, column), c(&screen, column);
    a.addLine("1");
    b.addLine("22");
    b.addLine("22");
    b.addLine("22");
    c.addLine("333");
    c.addLine("333");

    TextStyle groupStyle = plainStyle();
    groupStyle.framed = 1;
    groupStyle.frameWidth = 2;
    groupStyle.marginX = 4;
    groupStyle.marginY = 3;
    groupStyle.lineSpacing = 5; // the gap between children
    TextGroup group(&screen, groupStyle);
    group.setTitleStyle(column);
    group.setTitle("High Scores");
    group.addChild(&a);
    group.addChild(&b);
    group.addChild(&c);
    group.setColumns(true);

    int aw, ah, bw, bh, cw, ch, tw, th;
    a.getSize(aw, ah);
    b.getSize(bw, bh);
    c.getSize(cw, ch);
    group.titleBox()->getSize(tw, th);
    int w = 0, h = 0;
    ASSERT_TRUE(group.getSize(w, h));
    const int ox = 4 + 2, oy = 3 + 2;
    EXPECT_EQ(w, ox + aw + 5 + bw + 5 + cw + ox);
    EXPECT_EQ(h, bh + 2 * oy + th);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(group.child(i).height, bh);
        EXPECT_EQ(group.child(i).y, oy + th);
        int cw2, ch2;
        group.child(i).box->getSize(cw2, ch2);
        EXPECT_EQ(ch2, bh);
    }
    EXPECT_EQ(group.child(0).x, ox);
    EXPECT_EQ(group.child(1).x, ox + aw + 5);
    EXPECT_EQ(group.child(2).x, ox + aw + 5 + bw + 5);
    EXPECT_EQ(group.titleSlot()->width, w - 4);
    int titleW, titleH;
    group.titleBox()->getSize(titleW, titleH);
    EXPECT_EQ(titleW, w - 4);

    GfxSurface* built = group.update();
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(group.update(), built);
    // A change inside a column rebuilds the group, and the columns follow a
    // shorter content again.
    b.removeLines(1);
    b.addLine("22");
    GfxSurface* rebuilt = group.update();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(group.child(0).height, ch);
    EXPECT_EQ(group.height(), ch + 2 * oy + th);
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
    int aw, ah, bw, bh, tw, th;
    a.getSize(aw, ah);
    b.getSize(bw, bh);
    group.titleBox()->getSize(tw, th);
    int w = 0, h = 0;
    ASSERT_TRUE(group.getSize(w, h));
    EXPECT_EQ(w, bw);
    EXPECT_EQ(h, th + ah + bh);
    EXPECT_EQ(group.child(0).width, bw);
    EXPECT_EQ(group.child(1).y, th + ah);
    EXPECT_EQ(group.titleSlot()->x, 0); // margins count only in a frame
    EXPECT_EQ(group.titleSlot()->height, th);
    a.getSize(aw, ah);
    EXPECT_EQ(aw, bw);
    ASSERT_NE(group.update(), nullptr);
}

namespace {

class TextInputTest : public TextBoxTest {
protected:
    void SetUp() override {
        ASSERT_EQ(input.Create(&platform, platform.createInputDevices()), kGfxInputOk);
        box.setUpInput(&input, 3);
    }
    // One frame with a key tapped.
    void tap(int scanCode) {
        PlatformEvent e;
        e.type = PlatformEvent::KeyDown;
        e.scancode = scanCode;
        platform.pushEvent(e);
        frame();
        e.type = PlatformEvent::KeyUp;
        platform.pushEvent(e);
        frame();
    }
    void frame() {
        PlatformEvent e;
        while (platform.pollEvent(e)) {
        }
        input.Update();
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
    tap(kScanA); // replaces the preset, even at full length
    EXPECT_EQ(text(), "a");
    tap(kScanB);
    tap(kScanA);
    tap(kScanB); // one too many
    EXPECT_EQ(text(), "aba");
    tap(kScanBackspace);
    EXPECT_EQ(text(), "ab");
    tap(0x01); // ESC types nothing
    EXPECT_EQ(text(), "ab");
    tap(kScanBackspace);
    tap(kScanBackspace);
    EXPECT_EQ(text(), "");

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
    PlatformEvent e;
    e.type = PlatformEvent::KeyDown;
    e.scancode = kScanA;
    platform.pushEvent(e);
    while (platform.pollEvent(e)) {
    }
    input.Update();
    box.setUpInput(&input, 3);
    box.setText("Zed");
    frame();
    e.type = PlatformEvent::KeyUp;
    e.scancode = kScanA;
    platform.pushEvent(e);
    frame();
    EXPECT_EQ(text(), "Zed");
    tap(kScanA);
    EXPECT_EQ(text(), "a");
}

TEST_F(TextInputTest, TheCaretIsTheTrailingSpaceAndBlinksEveryTwentyOneDraws) {
    box.setText("ab");
    const Extent ab = measure(screen, kArial, "ab");
    const Extent abSpace = measure(screen, kArial, "ab ");
    int w = 0, h = 0;
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(w, abSpace.width);
    ASSERT_NE(box.update(), nullptr);
    EXPECT_EQ(box.caretWidth(), abSpace.width - ab.width);
    EXPECT_EQ(box.caretX(), box.line(0).drawX + abSpace.width - box.caretWidth());
    EXPECT_EQ(box.caretHeight(), ab.height);

    GfxSurface target;
    ASSERT_EQ(target.Create(&screen, 200, 50, kSurfaceMemoryAny), 0);
    std::string phases;
    for (int i = 0; i < 44; ++i) {
        box.drawOpaque(0, 0, 0, 0, &target);
        phases += box.caretOn() ? '1' : '0';
    }
    // On after the second draw, off 21 draws later, on again 21 after that.
    EXPECT_EQ(phases, "0" + std::string(21, '1') + std::string(21, '0') + "1");
    GfxSurface* s = box.surface();
    s->Lock();
    EXPECT_EQ(s->GetPixel(box.caretX(), box.caretY()), box.style().textColour);
    s->Unlock();

    // Typing keeps the caret one space wide and the box follows the text.
    tap(kScanA);
    tap(kScanA);
    const Extent aaSpace = measure(screen, kArial, "aa ");
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(w, aaSpace.width);
    EXPECT_EQ(box.caretWidth(), abSpace.width - ab.width);
    tap(kScanBackspace);
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(w, measure(screen, kArial, "a ").width);
    tap(kScanB);

    // A finished entry shows no caret cell.
    tap(kScanEnter);
    ASSERT_TRUE(box.finished());
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(w, ab.width);
}

// clear and removeLines are open to callers: the line of the text comes back.
TEST_F(TextInputTest, TheTextLineComesBackAfterClearOrRemoveLines) {
    box.setText("ab");
    box.clear();
    GfxSurface target;
    ASSERT_EQ(target.Create(&screen, 200, 50, kSurfaceMemoryAny), 0);
    EXPECT_TRUE(box.render(&target, 0, 0));
    box.removeLines(0);
    int w = 0, h = 0;
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(w, measure(screen, kArial, "ab ").width);
    ASSERT_NE(box.update(), nullptr);
    EXPECT_EQ(box.lineCount(), 1);
}

// A lost surface comes back empty; the box renders again before it draws.
TEST_F(TextBoxTest, ABoxDrawsItsTextAgainAfterItsSurfaceWasLost) {
    GfxSurface target;
    ASSERT_EQ(target.Create(&screen, 100, 50, kSurfaceMemoryAny), 0);
    TextStyle style = plainStyle();
    style.background = pixel(0x00FF00);
    TextList box(&screen, style);
    box.addLine("Hi");
    auto drawn = [&] {
        target.FillAll(0);
        box.drawOpaque(0, 0, 0, 0, &target);
        return pixelsOf(target, 0, 0, 100, 50);
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
    std::ifstream in(dir.file("errorLog.txt"));
    std::stringstream log;
    log << in.rdbuf();
    EXPECT_NE(log.str().find("\n\nError in File TextBox, line "), std::string::npos);
    EXPECT_NE(log.str().find("TextBox Error : Could not create Surface (w=100000, h=100000)\n"),
              std::string::npos);
}

TEST_F(TextBoxTest, RenderingAtAnOffsetKeepsInsideTheBox) {
    TextStyle style = plainStyle();
    style.framed = 1;
    style.frameWidth = 1;
    style.marginX = 2;
    style.marginY = 1;
    style.titleGap = 1;
    style.lineOffset = 3;
    style.frameColour = pixel(0x0000FF);
    style.background = pixel(0x00FF00);
    style.titleBackground = style.background;
    TextList box(&screen, style);
    box.setTitle("T");
    box.addLine("a wide line under a narrow title");
    int w = 0, h = 0;
    ASSERT_TRUE(box.getSize(w, h));
    const TextLine& line = box.line(0);
    EXPECT_EQ(w, line.width + 6); // a frame of 1 counts: 2 × (margin 2 + frame 1)

    GfxSurface target;
    ASSERT_EQ(target.Create(&screen, w + 40, h + 40, kSurfaceMemoryAny), 0);
    const uint32_t outside = pixel(0x808080);
    target.FillAll(outside);
    ASSERT_TRUE(box.render(&target, 10, 20));
    EXPECT_EQ(box.title()->drawX, 10 + (w - box.title()->width) / 2);
    EXPECT_EQ(box.title()->drawY, 20 + 1 + 1);
    EXPECT_EQ(line.drawX, 10 + 3);
    EXPECT_EQ(line.drawY, 20 + 1 + box.title()->height + 2 + 1 + 3);
    target.Lock();
    EXPECT_EQ(target.GetPixel(10, 20), style.frameColour);
    EXPECT_EQ(target.GetPixel(10 + w - 1, 20 + h - 1), style.frameColour);
    EXPECT_EQ(target.GetPixel(11, 20 + h - 2), style.background);
    for (int x = 9; x <= 10 + w; ++x) {
        EXPECT_EQ(target.GetPixel(x, 20 + h), outside);
        EXPECT_EQ(target.GetPixel(x, 19), outside);
    }
    for (int y = 19; y <= 20 + h; ++y) {
        EXPECT_EQ(target.GetPixel(10 + w, y), outside);
        EXPECT_EQ(target.GetPixel(9, y), outside);
    }
    target.Unlock();

    // Each limit on its own.
    box.setMaxHeight(7);
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(h, 7);
    box.setMaxHeight(-1);
    box.setMinHeight(500);
    box.setMaxWidth(9);
    ASSERT_TRUE(box.getSize(w, h));
    EXPECT_EQ(h, 500);
    EXPECT_EQ(w, 9);
}

TEST_F(TextBoxTest, HighlightsShowOnTheNextUpdate) {
    TextStyle style = plainStyle();
    style.background = pixel(0x00FF00);
    style.highlightBackground = pixel(0xFFFFFF);
    TextList box(&screen, style);
    box.addLine("zero");
    box.addLine("one");
    auto bandAt = [&](int index) {
        GfxSurface* s = box.update();
        s->Lock();
        const bool highlighted = s->GetPixel(0, box.line(index).drawY) == style.highlightBackground;
        s->Unlock();
        return highlighted;
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
    GfxSurface target;
    ASSERT_EQ(target.Create(&screen, 200, 100, kSurfaceMemoryAny), 0);
    target.FillAll(0);
    TextBox::setDefaultTarget(&target);
    box.drawKeyed(0, 0);
    TextBox::setDefaultTarget(nullptr);
    target.Lock();
    EXPECT_EQ(target.GetPixel(0, box.line(0).drawY), style.highlightBackground);
    target.Unlock();
}

TEST_F(TextBoxTest, GroupsFollowTheirChildrenAsTheyGrowAndShrink) {
    TextStyle style = plainStyle();
    TextList a(&screen, style), b(&screen, style);
    a.addLine("a");
    b.addLine("b");
    TextStyle groupStyle = plainStyle();
    groupStyle.framed = 1;
    groupStyle.frameWidth = 1;
    groupStyle.marginX = 3;
    groupStyle.marginY = 2;
    TextGroup group(&screen, groupStyle);
    group.setTitleStyle(style);
    group.setTitle("a title wider than the rows");
    group.addChild(&a);
    group.addChild(&b);
    const int f = 1, ox = 4, oy = 3;
    int tw, th;
    ASSERT_NE(group.update(), nullptr);
    EXPECT_FALSE(group.isDirty());
    group.titleBox()->getSize(tw, th);
    EXPECT_EQ(group.titleSlot()->x, ox - 3);
    EXPECT_EQ(group.titleSlot()->y, oy);
    EXPECT_EQ(group.child(0).x, ox);
    EXPECT_EQ(group.child(1).x, ox);
    EXPECT_EQ(group.child(1).y, oy + th + measure(screen, kArial, "a").height);
    EXPECT_EQ(group.titleBox()->title()->drawX, f + (tw - group.titleBox()->title()->width) / 2);
    const int lineHeight = measure(screen, kArial, "x").height;
    // Rows: the title is the widest; every row is as wide.
    const int natural = measure(screen, kArial, "a title wider than the rows").width;
    EXPECT_EQ(group.width(), natural + 2 * ox);
    EXPECT_EQ(group.height(), oy + th + 2 * lineHeight + oy);
    for (int i = 0; i < 2; ++i) {
        int cw, ch;
        group.child(i).box->getSize(cw, ch);
        EXPECT_EQ(cw, natural);
        EXPECT_EQ(ch, lineHeight);
    }
    EXPECT_EQ(tw, group.width() - 2 * f);

    // A shorter title lets the rows narrow; a wider row widens them all.
    group.setTitle("t");
    EXPECT_TRUE(group.isDirty());
    ASSERT_NE(group.update(), nullptr);
    int aw, ah;
    a.getSize(aw, ah);
    const int narrowest =
        std::max({measure(screen, kArial, "t").width, measure(screen, kArial, "a").width,
                  measure(screen, kArial, "b").width});
    EXPECT_EQ(group.width(), narrowest + 2 * ox);
    b.setLine(0, "now a rather long row");
    ASSERT_NE(group.update(), nullptr);
    a.getSize(aw, ah);
    EXPECT_EQ(aw, measure(screen, kArial, "now a rather long row").width);
    EXPECT_EQ(group.width(), aw + 2 * ox);

    // Turned into columns, the taller column sets the height, and a column
    // that grows makes the others grow with it.
    const int rowsWidth = group.width();
    group.setColumns(true);
    ASSERT_NE(group.update(), nullptr);
    EXPECT_GT(group.width(), rowsWidth);
    a.addLine("a2");
    ASSERT_NE(group.update(), nullptr);
    int bw, bh;
    b.getSize(bw, bh);
    EXPECT_EQ(bh, 2 * lineHeight);
    a.addLine("a3");
    ASSERT_NE(group.update(), nullptr);
    b.getSize(bw, bh);
    EXPECT_EQ(bh, 3 * lineHeight);
    EXPECT_EQ(group.height(), 3 * lineHeight + 2 * oy + th);
}

TEST_F(TextInputTest, APadAloneStepsTheCharacterAtTheCursorMovesOnDeletesAndConfirms) {
    auto* devices = platform.inputDevices();
    devices->plugPad();
    platform.pushEvent(PlatformEvent::DeviceAdded);
    // Holds the controls for some frames, then lets go for one.
    auto pad = [&](std::initializer_list<int> controls, int frames = 1) {
        for (int control : controls)
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
    EXPECT_EQ(pad({right}), "Zed");
    EXPECT_EQ(pad({up}), "Zed");
    EXPECT_EQ(pad({left}), "Ze");
    EXPECT_EQ(pad({up}), "Zf");
    EXPECT_EQ(pad({down}), "Ze");
    EXPECT_EQ(pad({down}, 18), "Zc"); // the first step, and one 14 frames later
    EXPECT_EQ(pad({up}, 19), "Zf");   // ...and one more each 4 frames
    EXPECT_EQ(pad({right}), "Zf");
    EXPECT_EQ(pad({down}), "Zf\xFF"); // a new character starts at either end
    EXPECT_EQ(pad({up}), "ZfA");
    EXPECT_EQ(pad({up}), "ZfB");
    EXPECT_EQ(pad({down}), "ZfA");
    EXPECT_EQ(pad({left}), "Zf");
    EXPECT_EQ(pad({left}), "Z");
    EXPECT_EQ(pad({up}), "a"); // the one character left is still at the cursor
    EXPECT_EQ(pad({left}), "");
    EXPECT_EQ(pad({left}), "");
    EXPECT_EQ(pad({kGfxPadSouth}), ""); // nothing to confirm
    EXPECT_FALSE(box.finished());
    // A typed character outside the list steps to either end of it.
    tap(kScanA);
    tap(0x0C); // '-'
    EXPECT_EQ(pad({up}), "a-A");
    EXPECT_EQ(pad({left}), "a-");
    EXPECT_EQ(pad({up}), "aA");
    tap(kScanBackspace);
    tap(0x0C);
    EXPECT_EQ(pad({up}), "a-A");
    EXPECT_EQ(pad({left}), "a-");
    EXPECT_EQ(pad({down}), "a\xFF");
    tap(kScanBackspace);
    EXPECT_EQ(pad({up}), "aA"); // typing and deleting leave the cursor after the text
    EXPECT_EQ(pad({kGfxPadStart}), "aA");
    EXPECT_TRUE(box.finished());

    // A preset is replaced by the first step; south confirms.
    box.setUpInput(&input, 3);
    box.setText("Bob");
    EXPECT_EQ(pad({left}), "Bo"); // ...but not after a deletion
    EXPECT_EQ(pad({up}), "Bp");
    box.setText("Bob");
    EXPECT_EQ(pad({down}), "\xFF");
    EXPECT_EQ(pad({kGfxPadSouth}), "\xFF");
    EXPECT_TRUE(box.finished());

    // A preset is replaced only once, and every step is drawn anew.
    box.setUpInput(&input, 3);
    box.setText("Bob");
    const std::pair<int, const char*> steps[] = {{up, "A"}, {up, "B"}, {left, ""}};
    for (const auto& [control, shown] : steps) {
        box.update();
        const uint64_t stamp = box.renderStamp();
        EXPECT_EQ(pad({control}), shown);
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
