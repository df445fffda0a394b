// Text boxes measured with the real fonts, driven by scripts of steps whose
// transcripts (sizes, where each line went, highlights, whether the box
// rendered again) are compared with the stored ones; the boxes drawn, and
// the name input box on scripted keys and pad controls.
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

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>

namespace {

const TextFont kArial{"Arial", 20, 0, 400};
const TextFont kArialBlack{"Arial Black", 20, 0, 400};

// A plain style: no frame, no title gap, no spacing, Arial 20 throughout.
TextStyle plainStyle() {
    TextStyle s;
    s.framed = 0;
    s.titleGap = 0;
    s.titleFont = kArial;
    s.textFont = kArial;
    return s;
}

// The plain style with the fields named in settings ("framed=1 mx=10") set and
// titles in a font of their own, so a title measured in the text font shows.
TextStyle styleOf(const std::string& settings) {
    TextStyle s = plainStyle();
    s.titleFont = kArialBlack;
    const std::map<std::string, int*> fields = {
        {"framed", &s.framed},     {"frame", &s.frameWidth}, {"mx", &s.marginX},
        {"my", &s.marginY},        {"gap", &s.titleGap},     {"spacing", &s.lineSpacing},
        {"offset", &s.lineOffset}, {"align", &s.alignment}};
    std::istringstream in(settings);
    for (std::string field; in >> field;) {
        const size_t equals = field.find('=');
        *fields.at(field.substr(0, equals)) = std::stoi(field.substr(equals + 1));
    }
    return s;
}

// Line feeds and bytes past ASCII written out, so a transcript line stays one.
std::string escaped(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        char code[8];
        std::snprintf(code, sizeof code, c == '\n' ? "\\n" : "\\x%02X", c);
        out += c == '\n' || c >= 0x80 ? code : std::string(1, static_cast<char>(c));
    }
    return out;
}

template <class... Parts> std::string str(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

std::string placed(const TextLine& line) {
    return str('"', escaped(line.text.c_str()), '"', line.highlighted ? "*@" : "@", line.drawX, ',',
               line.drawY);
}

std::string placed(const ChildSlot& slot) {
    return str('[', slot.x, ',', slot.y, ' ', slot.width, 'x', slot.height, ']');
}

// Whether the next update renders (dirty), what it gives (a new rendering,
// the kept one or none), the size and where the lines or children went.
std::string shown(TextBox& box) {
    std::string out = box.isDirty() ? " dirty" : "";
    const uint64_t stamp = box.renderStamp();
    if (!box.update())
        return out + " none";
    out += str(box.renderStamp() != stamp ? " new " : " kept ", box.width(), 'x', box.height());
    if (auto* list = dynamic_cast<TextList*>(&box)) {
        if (list->title())
            out += " title" + placed(*list->title());
        for (int i = 0; i < list->lineCount(); ++i)
            out += " " + placed(list->line(i));
    } else if (auto* group = dynamic_cast<TextGroup*>(&box)) {
        if (group->titleSlot())
            out += " title" + placed(*group->titleSlot());
        for (int i = 0; i < group->childCount(); ++i)
            out += str(' ', placed(group->child(i)), group->child(i).box->width(), 'x',
                       group->child(i).box->height());
    }
    return out;
}

// A child that measures but cannot draw itself.
class UndrawableBox : public TextBox {
public:
    using TextBox::TextBox;
    bool getSize(int& width, int& height) override {
        keepSize(width = 4, height = 4);
        clearDirty();
        return true;
    }
    bool render(GfxSurface*, int, int) override { return false; }
};

// Lines boxes a and b, a box that cannot draw (x) and a group g of them,
// driven by a script of steps split at ";": "add x" on a, "b:add x" on b,
// "g:child a" on the group.
class Boxes {
public:
    explicit Boxes(GfxScreen& screen) : screen_(screen) {
        EXPECT_EQ(target_.Create(&screen_, 200, 200, kSurfaceMemoryAny), 0);
    }

    // One transcript line a step: the step, what it returned, and how box
    // a, or the group once used, shows afterwards.
    std::string run(const std::string& script) {
        std::string out;
        std::istringstream in(script);
        for (std::string step; std::getline(in, step, ';');) {
            step.erase(0, step.find_first_not_of(' '));
            const size_t space = std::min(step.find(' '), step.size());
            std::string op = step.substr(0, space);
            const std::string rest = step.substr(std::min(space + 1, step.size()));
            const char name = op.size() > 2 && op[1] == ':' ? op[0] : 'a';
            op.erase(0, name == 'a' ? 0 : 2);
            grouped_ = grouped_ || name == 'g';
            const std::string gave = apply(name, op, rest);
            out += "  " + escaped(step) + " =>" + gave +
                   shown(grouped_ ? static_cast<TextBox&>(g_) : a_) + "\n";
        }
        return out;
    }

private:
    std::string apply(char name, const std::string& op, const std::string& rest) {
        TextBox& box = name == 'g' ? static_cast<TextBox&>(g_) : name == 'b' ? b_ : a_;
        TextList& list = name == 'b' ? b_ : a_;
        const int n = std::atoi(rest.c_str());
        const size_t space = rest.find(' ');
        const std::string text = space == std::string::npos ? "" : rest.substr(space + 1);
        const int last = space == std::string::npos ? -1 : std::atoi(text.c_str());
        int limit[4] = {};
        std::sscanf(rest.c_str(), "%d %d %d %d", &limit[0], &limit[1], &limit[2], &limit[3]);
        TextBox* child = rest == "x" ? static_cast<TextBox*>(&x_) : rest == "b" ? &b_ : &a_;
        // Steps that return a count, an index or whether they drew.
        const std::map<std::string, std::function<int()>> counted = {
            {"add", [&] { return list.addLine(rest.c_str()); }},
            {"null", [&] { return list.addLine(nullptr); }},
            {"text", [&] { return list.addText("%s", rest.c_str()); }},
            {"score", [&] { return list.addText("Score %06ld\nRank %02d", 1234L, 3); }},
            {"plain", [&] { return list.addPlainText(rest.c_str()); }},
            {"textat", [&] { return list.addText(n, "%s", text.c_str()); }},
            {"draw", [&] { return box.render(rest == "nowhere" ? nullptr : &target_, 0, 0); }}};
        const std::map<std::string, std::function<void()>> steps = {
            {"style", [&] { box.setStyle(styleOf(rest)); }},
            {"limits", [&] { box.setLimits(limit[0], limit[1], limit[2], limit[3]); }},
            {"minw", [&] { box.setMinWidth(n); }},
            {"maxw", [&] { box.setMaxWidth(n); }},
            {"minh", [&] { box.setMinHeight(n); }},
            {"maxh", [&] { box.setMaxHeight(n); }},
            {"lost", [&] { box.surface()->MarkLost(); }},
            {"title", [&] { list.setTitle(rest.empty() ? nullptr : rest.c_str()); }},
            {"grouptitle", [&] { g_.setTitle(rest.c_str()); }},
            {"titlestyle", [&] { g_.setTitleStyle(styleOf(rest)); }},
            {"child", [&] { g_.addChild(child); }},
            {"columns", [&] { g_.setColumns(n); }},
            {"set", [&] { list.setLine(n, text.c_str()); }},
            {"remove", [&] { list.removeLines(n, last); }},
            {"clear", [&] { list.clear(); }},
            {"hi", [&] { list.toggleHighlight(n); }},
            {"on", [&] { list.setHighlight(n, true); }},
            {"off", [&] { list.setHighlight(n, false); }},
            {"all", [&] { list.setHighlightAll(n); }}};
        if (counted.count(op))
            return str(' ', counted.at(op)());
        steps.at(name == 'g' && op == "title" ? "grouptitle" : op)();
        return "";
    }

    GfxScreen& screen_;
    GfxSurface target_;
    TextList a_{&screen_, plainStyle()}, b_{&screen_, plainStyle()};
    UndrawableBox x_{&screen_, plainStyle()};
    TextGroup g_{&screen_, plainStyle()};
    bool grouped_ = false;
};

class TextBoxTest : public ::testing::Test {
protected:
    uint32_t pixel(uint32_t bgr) { return screen.ConvertColor(bgr); }
    GfxSurface& canvas(int width, int height) {
        EXPECT_EQ(target.Create(&screen, width, height, kSurfaceMemoryAny), 0);
        return target;
    }

    GfxScreen screen{nullptr};
    GfxSurface target;
};

} // namespace

TEST_F(TextBoxTest, ScriptsOfStepsShowAsTheStoredTranscript) {
    const std::pair<const char*, const char*> scripts[] = {
        {"plain", "style gap=2; plain Short\nA much longer line\nShort"},
        {"negative spacing", "style spacing=-2; plain Short\nA much longer line\nShort"},
        {"framed 2, margin 10",
         "style framed=1 frame=2 mx=10 my=3; plain Short\nA much longer line"},
        {"framed but no frame width",
         "style framed=1 frame=0 mx=10 my=3; plain Short\nA long line"},
        {"unframed ignores margins", "style frame=2 mx=10 my=3; plain Short\nA much longer line"},
        {"title with its gaps", "style gap=5 spacing=1; title Title; plain Short\nA longer line"},
        {"each limit on its own", "add Middle; maxh 7; maxh -1; minh 500; maxw 9; minw 200; "
                                  "limits -1 -1 10 1; limits 300 30 -1 -1"},
        {"alignments",
         "add Middle; minw 120; style align=0; style align=2; style align=1; "
         "style framed=1 frame=2 mx=10 align=0; style framed=1 frame=2 mx=10 align=2"},
        {"titled, framed, offset lines",
         "style framed=1 frame=2 mx=3 my=1 gap=2 spacing=1 offset=3; title T; add one; add two; "
         "hi 1; set 0 a longer first line; title"},
        {"blanks", "add ; null"},
        {"line feeds and formats",
         "score; text trailing\n; text a\n\nb; text ; clear; plain 100% %s %n %d; text 50%% %s"},
        {"set and remove", "set 2 third; set 0 first; set 3 ; textat 1 x1\ny2\nz3; textat -2 w; "
                           "set -1 ignored; remove 1 3; remove -5 1; add b; add c; remove 1 99"},
        {"highlights and changes",
         "add zero; add one; hi 0; all 0; all 1; off 1; off 0; on 0; on 0; hi 1; "
         "add two; remove 2; set 1 1; title T; plain 2; style; hi 3; "
         "hi -1; off 3; off -1; on -1; remove 5; lost"},
        {"rows follow the widest",
         "add a; b:add b; g:style framed=1 frame=1 mx=3 my=2; g:titlestyle; "
         "g:title a title wider than the rows; g:child a; g:child b; g:title t; "
         "b:set 0 now a rather long row; g:limits -1 -1 -1 40; g:limits -1 -1 -1 -1"},
        {"columns follow the tallest",
         "add a; b:add b; g:style framed=1 frame=1 mx=3 my=2 spacing=5; g:title T; g:child a; "
         "g:child b; g:columns 1; add a; add a; remove 1 2; remove 1; g:draw"},
        {"an unframed group keeps no margins", "g:style mx=3 my=2; g:title T; g:child b; b:add b"},
        {"a group emptied", "add a; g:child a; clear; g:draw; g:draw nowhere"},
        {"a child that cannot draw", "add a; g:child a; g:child x; g:draw"},
    };
    std::string transcript;
    for (const auto& [what, script] : scripts)
        transcript += std::string(what) + "\n" + Boxes(screen).run(script);
    checkGoldenText(LURVANE_GOLDEN_DIR "/boxes.txt", transcript);
}

// Boxes of every kind drawn on one canvas and compared with the stored
// picture: frames, margins, titles and their gaps, line offsets,
// highlights, keyed and opaque copies, centring and groups.
TEST_F(TextBoxTest, BoxesOfEveryKindDrawAsTheStoredPicture) {
    GfxSurface& c = canvas(400, 300);
    c.FillAll(pixel(0x808080));
    TextBox::setDefaultTarget(&c);
    TextStyle coloured = styleOf("framed=1 frame=2 mx=3 my=1 spacing=1 gap=2");
    coloured.titleFont = kArial;
    coloured.frameColour = pixel(0x0000FF);
    coloured.background = pixel(0x00FF00);
    coloured.titleBackground = pixel(0xFF0000);
    coloured.highlightBackground = pixel(0xFFFFFF);
    coloured.textColour = 0x000000;

    // Titled, framed, one line highlighted and one made longer after the
    // first rendering; drawn in place at an offset.
    TextStyle style = coloured;
    style.lineOffset = 3;
    TextList titled(&screen, style);
    titled.setTitle("T");
    titled.addLine("one");
    titled.addLine("two");
    ASSERT_NE(titled.update(), nullptr);
    EXPECT_EQ(titled.surface()->GetColorKey(), style.background);
    titled.toggleHighlight(1);
    titled.setLine(0, "a longer first line");
    ASSERT_TRUE(titled.render(&c, 5, 5));

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

    // Columns as tall as the tallest, under a title as wide as the group.
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

    TextBox::setDefaultTarget(nullptr);
    checkGolden(LURVANE_GOLDEN_DIR "/boxes.ppm", 400, 300, pixelsOf(c));
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

namespace {

class TextInputTest : public TextBoxTest, protected ScriptedInput {
protected:
    TextInputTest() : ScriptedInput([](HeadlessInputDevices& d) { d.plugPad(); }) {}
    // A frame of the loop, with a key event first when given.
    void frame(PlatformEvent::Type type = PlatformEvent::None, int scanCode = 0) {
        if (type != PlatformEvent::None)
            key(type, scanCode);
        update();
        box.handleKeys();
    }
    // Runs the steps of a script on a box opened for three characters, one
    // transcript line a step: the text, whether finished, and the box shown.
    // A key name taps it ("+a" holds it, "-a" lets go); U, D, L, R, S(outh)
    // and T (start) hold a pad control for a frame or the frames given,
    // then let go for one; "=text" presets; "." is a frame without input.
    std::string type(const std::string& script) {
        const std::map<std::string, int> keys = {
            {"a", kScanA},         {"b", kScanB},          {"-", 0x0C},
            {"space", kScanSpace}, {"bs", kScanBackspace}, {"esc", kScanEscape},
            {"enter", kScanEnter}};
        const std::map<char, int> pad = {{'U', kGfxPadUp},    {'D', kGfxPadDown},
                                         {'L', kGfxPadLeft},  {'R', kGfxPadRight},
                                         {'S', kGfxPadSouth}, {'T', kGfxPadStart}};
        box.setUpInput(&input, 3);
        std::string out;
        std::istringstream in(script);
        for (std::string step; in >> step;) {
            const std::string name = step.size() > 1 ? step.substr(1) : "";
            if (step == "open" || step == "close")
                box.setUpInput(step == "open" ? &input : nullptr, 3);
            else if (step[0] == '=')
                box.setText(name.c_str());
            else if (step == ".")
                frame();
            else if (step == "clear")
                box.clear();
            else if (step == "remove")
                box.removeLines(0);
            else if (keys.count(step)) {
                frame(PlatformEvent::KeyDown, keys.at(step));
                frame(PlatformEvent::KeyUp, keys.at(step));
            } else if (step[0] == '+' || step[0] == '-') {
                frame(step[0] == '+' ? PlatformEvent::KeyDown : PlatformEvent::KeyUp,
                      keys.at(name));
            } else {
                devices->setPadControl(pad.at(step[0]), true);
                for (int i = name.empty() ? 1 : std::stoi(name); i > 0; --i)
                    frame();
                devices->setPadControl(pad.at(step[0]), false);
                frame();
            }
            const std::string text = escaped(box.text()) + (box.finished() ? "\" finished" : "\"");
            const std::string drawn = shown(box);
            out += str("  ", step, " => \"", text, drawn, " caret ", box.caretX(), ',',
                       box.caretY(), ' ', box.caretWidth(), 'x', box.caretHeight(), '\n');
        }
        return out;
    }

    TextInput box{&screen, plainStyle()};
};

} // namespace

TEST_F(TextInputTest, ScriptsOfKeysAndPadControlsShowAsTheStoredTranscript) {
    const std::pair<const char*, const char*> scripts[] = {
        {"a preset cut to the length and replaced by typing; the fourth character is too many",
         "=Anonymous . a space a b bs esc bs bs"},
        {"backspace clears a preset; enter finishes only a text; a finished box takes no keys",
         "=Preset bs enter bs b enter a open a"},
        {"a key held when the box opens types only when pressed again",
         "close +a open =Zed . -a a"},
        {"the caret cell follows the text and goes when finished", "=ab a a bs b enter"},
        {"the text line comes back after clear or remove", "=ab clear remove =xyz"},
        {"the pad steps the character at the cursor, moves on, deletes and confirms",
         "=Zed R U L U D D18 U19 R D U U D L L U L L S"},
        {"a typed character outside the pad's list steps to either end of it",
         "a - U L U bs - U L D bs U T"},
        {"the first pad step replaces a preset, but not after a deletion; south confirms",
         "=Bob L U =Bob D S"},
        {"a preset is replaced only once", "=Bob U U L"},
    };
    std::string transcript;
    for (const auto& [what, script] : scripts)
        transcript += std::string(what) + "\n" + type(script);
    checkGoldenText(LURVANE_GOLDEN_DIR "/input.txt", transcript);
}

TEST_F(TextInputTest, TheCaretBlinksEveryTwentyOneDrawsInTheTextColour) {
    box.setUpInput(&input, 3);
    box.setText("ab");
    canvas(200, 50);
    std::string phases;
    for (int i = 0; i < 44; ++i) {
        box.drawOpaque(0, 0, 0, 0, &target);
        phases += box.caretOn() ? '1' : '0';
    }
    // On after the second draw, off 21 draws later, on again 21 after that.
    EXPECT_EQ(phases, "0" + std::string(21, '1') + std::string(21, '0') + "1");
    EXPECT_EQ(pixelOf(*box.surface(), box.caretX(), box.caretY()), box.style().textColour);
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
