#include "lib/FileBuffer.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A buffer over the given text, read through a file as the game does.
struct TextFile {
    explicit TextFile(const std::string& text) {
        dir.write("f.txt", text);
        EXPECT_TRUE(buffer.load(dir.file("f.txt").c_str()));
    }
    TempDir dir;
    FileBuffer buffer;
};

std::string raisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileBufferError& e) {
        return e.what();
    }
    return "";
}

std::string bufferText(const FileBuffer& b) {
    return std::string(reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.getSize()));
}

} // namespace

TEST(FileBuffer, DefaultSetsCutTokensAndLeaveSingleDelimiters) {
    TextFile f("a=1;");
    String token;
    f.buffer.readToken(token);
    EXPECT_TRUE(token == "a");
    EXPECT_EQ(f.buffer.peekChar(), '=');
    f.buffer.readToken(token);
    EXPECT_TRUE(token == "");
    EXPECT_FALSE(token.isNull());
    EXPECT_EQ(f.buffer.getChar(), '=');
    f.buffer.readToken(token);
    EXPECT_TRUE(token == "1");
}

TEST(FileBuffer, QuotedValuesKeepDelimiters) {
    TextFile f("\"x.bmp\" x.bmp\n");
    f.buffer.setQuotes(true);
    String token;
    f.buffer.readToken(token);
    EXPECT_TRUE(token == "x.bmp");
    f.buffer.readToken(token);
    EXPECT_TRUE(token == "x");
}

TEST(FileBuffer, LinesCountAndRewindResets) {
    TextFile f("one\ntwo\nthree\n");
    f.buffer.setDelimiters("\n");
    f.buffer.setSkipSet("\n");
    String token;
    f.buffer.readToken(token);
    f.buffer.readToken(token);
    EXPECT_TRUE(token == "two");
    EXPECT_EQ(f.buffer.line(), 2);
    f.buffer.readToken(token);
    EXPECT_EQ(f.buffer.line(), 3);
    f.buffer.rewind();
    EXPECT_EQ(f.buffer.line(), 1);
    EXPECT_EQ(f.buffer.position(), 0);
}

TEST(FileBuffer, EndOfInputIsRaisedWithoutReadingPastTheBlock) {
    TextFile f("ab");
    EXPECT_EQ(f.buffer.getChar(), 'a');
    EXPECT_EQ(f.buffer.getChar(), 'b');
    EXPECT_TRUE(f.buffer.atEnd());
    EXPECT_EQ(raisedBy([&] { f.buffer.peekChar(); }), "End Of File");
    EXPECT_EQ(raisedBy([&] { f.buffer.getChar(); }), "End Of File");
    EXPECT_EQ(raisedBy([&] { f.buffer.advance(); }), "End Of File");

    // A last token without a final line break runs into the end.
    TextFile g("last");
    String token;
    EXPECT_EQ(raisedBy([&] { g.buffer.readToken(token); }), "End Of File");
    TextFile q("\"open");
    q.buffer.setQuotes(true);
    EXPECT_EQ(raisedBy([&] { q.buffer.readToken(token); }), "End Of File");
}

TEST(FileBuffer, MissingAndEmptyFiles) {
    TempDir dir;
    FileBuffer b;
    EXPECT_FALSE(b.load(dir.file("missing.txt").c_str()));
    EXPECT_EQ(b.getSize(), 0);
    EXPECT_TRUE(b.atEnd());
    EXPECT_EQ(raisedBy([&] { FileBuffer f(dir.file("missing.txt").c_str()); }),
              "Error reading FileBuffer");

    TextFile empty("");
    EXPECT_EQ(empty.buffer.getSize(), 0);
    String token;
    EXPECT_EQ(raisedBy([&] { empty.buffer.readToken(token); }), "End Of File");
    empty.buffer.skipSkipSet(); // stops at the end without raising
    EXPECT_FALSE(empty.buffer.findString("x"));
}

TEST(FileBuffer, CrLfFilesKeepTheirBytesAndCountLines) {
    TextFile f("a=1\r\nb=2\r\n");
    EXPECT_EQ(f.buffer.getSize(), 10);
    f.buffer.setDelimiters("=\r\n");
    f.buffer.setSkipSet("=\r\n \t");
    String token;
    f.buffer.readToken(token);
    f.buffer.readToken(token);
    f.buffer.readToken(token);
    EXPECT_TRUE(token == "b");
    EXPECT_EQ(f.buffer.line(), 2);
}

TEST(FileBuffer, FindStringNeedsOneByteAfterTheMatch) {
    TextFile f("xx key yy\nkey");
    EXPECT_TRUE(f.buffer.findString("key"));
    EXPECT_EQ(f.buffer.position(), 3);
    f.buffer.advance();
    const int before = f.buffer.position();
    EXPECT_FALSE(f.buffer.findString("key")); // only the last bytes hold it
    EXPECT_EQ(f.buffer.position(), before);
    EXPECT_FALSE(f.buffer.findString("missing"));
    EXPECT_TRUE(f.buffer.findString(""));
}

TEST(FileBuffer, StripCommentsWithAndWithoutNewlines) {
    const std::string text = "a//x\nb/*y\nz*/c";
    TextFile keep(text);
    keep.buffer.stripComments(true);
    EXPECT_EQ(bufferText(keep.buffer), "a\nb\nc");
    TextFile drop(text);
    drop.buffer.stripComments(false);
    EXPECT_EQ(bufferText(drop.buffer), "a\nbc");
    String token;
    drop.buffer.setDelimiters("\n");
    drop.buffer.readToken(token); // the cursor walks the stripped text
    EXPECT_EQ(std::string(token.c_str()), "a");
    TextFile slash("1/2 /* open");
    slash.buffer.stripComments(true);
    EXPECT_EQ(bufferText(slash.buffer), "1/2 ");
    // A slash as the last byte looks at no byte after the buffer.
    TextFile last("x/");
    last.buffer.stripComments(true);
    EXPECT_EQ(bufferText(last.buffer), "x/");
}

TEST(FileBuffer, SectionsCopyClampedRangesAndStartAtLineOne) {
    TextFile f("l1\nl2\nl3 tail");
    FileBuffer section(f.buffer, 6, 11);
    EXPECT_EQ(bufferText(section), "l3 ta");
    EXPECT_EQ(section.line(), 1);
    String token;
    section.setDelimiters(" ");
    section.readToken(token);
    EXPECT_TRUE(token == "l3");

    FileBuffer swapped(f.buffer, 5, 3);
    EXPECT_EQ(bufferText(swapped), "l2");
    EXPECT_EQ(bufferText(FileBuffer(f.buffer, 3, 0)), "l1\n"); // an end of 0 is no "to the end"
    FileBuffer clamped(f.buffer, -4, 1000);
    EXPECT_EQ(clamped.getSize(), f.buffer.getSize());
    FileBuffer none(f.buffer, 4, 4);
    EXPECT_EQ(none.getSize(), 0);
    FileBuffer empty;
    FileBuffer ofEmpty(empty, 0, -1);
    EXPECT_EQ(ofEmpty.getSize(), 0);
}

TEST(FileBuffer, SyntaxErrorNamesTheLine) {
    TextFile f("a\nb\n");
    f.buffer.advance();
    f.buffer.advance();
    EXPECT_EQ(raisedBy([&] { f.buffer.syntaxError("bad value"); }),
              "\n\nError in Textfile! Line=2 : bad value\n");
}

TEST(FileBuffer, OneByteFilesSectionsAtTheEdgesAndDefaultsRestored) {
    TextFile one("x");
    EXPECT_EQ(bufferText(one.buffer), "x");
    // A failed load leaves nothing of what was loaded before.
    EXPECT_FALSE(one.buffer.load(one.dir.file("missing.txt").c_str()));
    EXPECT_EQ(one.buffer.getSize(), 0);

    TextFile f("l1\nl2\nl3 tail");
    EXPECT_EQ(bufferText(FileBuffer(f.buffer, 0, 1)), "l");
    EXPECT_EQ(bufferText(FileBuffer(f.buffer, 1000, -1)), "l"); // from held at the last byte
    EXPECT_EQ(bufferText(FileBuffer(f.buffer, 13, 1000)), "l");

    // resetDefaults: cursor and line back to the start, quotes off.
    TextFile quoted("\"a b\"\nnext\n");
    quoted.buffer.setQuotes(true);
    EXPECT_TRUE(quoted.buffer.findString("next"));
    EXPECT_EQ(quoted.buffer.position(), 6);
    EXPECT_EQ(quoted.buffer.line(), 2);
    quoted.buffer.resetDefaults();
    EXPECT_EQ(quoted.buffer.position(), 0);
    EXPECT_EQ(quoted.buffer.line(), 1);
    String token;
    quoted.buffer.readToken(token);
    EXPECT_EQ(std::string(token.c_str()), "\"a");
    TextFile fresh("\"a b\"");
    fresh.buffer.readToken(token);
    EXPECT_EQ(std::string(token.c_str()), "\"a");
}
