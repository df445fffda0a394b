#include "lib/FileBuffer.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A buffer over the given text, read through a file as the game does.
struct TextFile {
    explicit TextFile(const std::string& text) {
        dir.write("f.txt", text);
        EXPECT_TRUE(buffer.load(dir.file("f.txt").c_str()));
    }
    // The tokens read until the end, which every token list ends with.
    std::vector<std::string> tokens() {
        std::vector<std::string> out;
        try {
            for (String token;;) {
                buffer.readToken(token);
                out.push_back(token.c_str());
                if (token.isEmpty())
                    buffer.advance(); // an empty token stops at a delimiter
            }
        } catch (const FileBufferError& e) {
            out.push_back(e.what());
        }
        return out;
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

using Tokens = std::vector<std::string>;

} // namespace

TEST(FileBuffer, TokensAreCutAtDelimitersAfterTheSkipSet) {
    const struct {
        const char* text;
        const char* delimiters; // null: the defaults
        bool quotes;
        Tokens tokens;
    } cases[] = {
        // A single delimiter is left for the next token, which is empty.
        {"a=1;", nullptr, false, {"a", "", "1", "", "End Of File"}},
        {"\t x.y,z\n", nullptr, false, {"x", "", "y", "", "z", "", "End Of File"}},
        {"\"x.bmp\" x.bmp\n", nullptr, true, {"x.bmp", "x", "", "bmp", "", "End Of File"}},
        {"\"x.bmp\"", nullptr, false, {"\"x", "", "End Of File"}},
        {"\"open", nullptr, true, {"End Of File"}},
        {"last", nullptr, false, {"End Of File"}}, // no final line break
        {"", nullptr, false, {"End Of File"}},
        {"a b\nc", "\n", false, {"a b", "", "End Of File"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TextFile f(c.text);
        if (c.delimiters)
            f.buffer.setDelimiters(c.delimiters);
        f.buffer.setQuotes(c.quotes);
        EXPECT_EQ(f.tokens(), c.tokens);
    }
}

TEST(FileBuffer, LinesCountAndRewindAndDefaultsReset) {
    TextFile f("one\ntwo\r\nthree\n");
    EXPECT_EQ(f.buffer.getSize(), 15); // a carriage return is kept
    f.buffer.setDelimiters("\r\n");
    f.buffer.setSkipSet("\r\n");
    f.buffer.setQuotes(true);
    EXPECT_EQ(f.tokens(), (Tokens{"one", "two", "three", "End Of File"}));
    EXPECT_EQ(f.buffer.line(), 4);
    f.buffer.rewind();
    EXPECT_EQ(f.buffer.line(), 1);
    EXPECT_EQ(f.buffer.position(), 0);
    EXPECT_EQ(f.tokens(), (Tokens{"one", "two", "three", "End Of File"}));
    // resetDefaults: cursor and line back to the start, default sets, quotes off.
    TextFile quoted("\"a b\"\nnext\n");
    quoted.buffer.setQuotes(true);
    quoted.buffer.setDelimiters("");
    EXPECT_TRUE(quoted.buffer.findString("next"));
    EXPECT_EQ(quoted.buffer.position(), 6);
    EXPECT_EQ(quoted.buffer.line(), 2);
    quoted.buffer.resetDefaults();
    EXPECT_EQ(quoted.buffer.line(), 1);
    EXPECT_EQ(quoted.tokens(), (Tokens{"\"a", "b\"", "", "next", "", "End Of File"}));
}

TEST(FileBuffer, EndOfInputIsRaisedWithoutReadingPastTheBlock) {
    TextFile f("ab");
    EXPECT_EQ(f.buffer.getChar(), 'a');
    EXPECT_EQ(f.buffer.peekChar(), 'b');
    EXPECT_EQ(f.buffer.getChar(), 'b');
    EXPECT_TRUE(f.buffer.atEnd());
    EXPECT_EQ(raisedBy([&] { f.buffer.peekChar(); }), "End Of File");
    EXPECT_EQ(raisedBy([&] { f.buffer.getChar(); }), "End Of File");
    EXPECT_EQ(raisedBy([&] { f.buffer.advance(); }), "End Of File");
    f.buffer.skipSkipSet(); // stops at the end without raising

    // Missing files: nothing of what was loaded before is left.
    EXPECT_FALSE(f.buffer.load(f.dir.file("missing.txt").c_str()));
    EXPECT_EQ(f.buffer.getSize(), 0);
    EXPECT_TRUE(f.buffer.atEnd());
    EXPECT_FALSE(f.buffer.findString("x"));
    EXPECT_EQ(raisedBy([&] { FileBuffer b(f.dir.file("missing.txt").c_str()); }),
              "Error reading FileBuffer");
}

TEST(FileBuffer, FindStringNeedsOneByteAfterTheMatch) {
    TextFile f("xx key yy\nkey");
    EXPECT_TRUE(f.buffer.findString("key"));
    EXPECT_EQ(f.buffer.position(), 3);
    f.buffer.advance();
    EXPECT_FALSE(f.buffer.findString("key")); // only the last bytes hold it
    EXPECT_EQ(f.buffer.position(), 4);
    EXPECT_FALSE(f.buffer.findString("missing"));
    EXPECT_TRUE(f.buffer.findString(""));
}

TEST(FileBuffer, StripCommentsWithAndWithoutNewlines) {
    const struct {
        const char* text;
        bool keepNewlines;
        const char* stripped;
    } cases[] = {
        {"a//x\nb/*y\nz*/c", true, "a\nb\nc"},
        {"a//x\nb/*y\nz*/c", false, "a\nbc"},
        {"1/2 /* open", true, "1/2 "},
        {"x/", true, "x/"}, // a last slash looks at no byte after the buffer
        {"/", true, "/"},
        {"a/**/b//", false, "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TextFile f(c.text);
        f.buffer.stripComments(c.keepNewlines);
        EXPECT_EQ(bufferText(f.buffer), c.stripped);
    }
    // Stripped twice: the byte after the shortened text is a stale '*'.
    TextFile twice("/**/x/");
    twice.buffer.stripComments(true);
    twice.buffer.stripComments(true);
    EXPECT_EQ(bufferText(twice.buffer), "x/");
    TextFile f("a//bcdef");
    for (int i = 0; i < 5; ++i)
        f.buffer.advance();
    f.buffer.stripComments(true);
    EXPECT_EQ(f.buffer.position(), 1); // the cursor stays inside the stripped text
}

TEST(FileBuffer, SectionsCopyClampedRangesAndStartAtLineOne) {
    TextFile f("l1\nl2\nl3 tail");
    const struct {
        int from, to;
        const char* text;
    } cases[] = {
        {6, 11, "l3 ta"},
        {5, 3, "l2"},
        {3, 0, "l1\n"}, // an end of 0 is no "to the end"
        {-4, 1000, "l1\nl2\nl3 tail"},
        {4, 4, ""},
        {0, 1, "l"},
        {1000, -1, "l"}, // from is held at the last byte
        {13, 1000, "l"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << ".." << c.to);
        EXPECT_EQ(bufferText(FileBuffer(f.buffer, c.from, c.to)), c.text);
    }
    f.buffer.advance();
    f.buffer.advance();
    f.buffer.advance();
    FileBuffer section(f.buffer, 6, 11);
    EXPECT_EQ(section.line(), 1);
    EXPECT_EQ(section.position(), 0);
    section.setDelimiters(" ");
    String token;
    section.readToken(token);
    EXPECT_TRUE(token == "l3");
    FileBuffer empty;
    EXPECT_EQ(FileBuffer(empty, 0, -1).getSize(), 0);
}

TEST(FileBuffer, SyntaxErrorNamesTheLine) {
    TextFile f("a\nb\n");
    f.buffer.advance();
    f.buffer.advance();
    EXPECT_EQ(raisedBy([&] { f.buffer.syntaxError("bad value"); }),
              "\n\nError in Textfile! Line=2 : bad value\n");
}
