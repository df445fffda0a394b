#include "lib/FileBuffer.h"

#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

// A buffer over the given text, read through a file as the game does.
struct TextFile {
    explicit TextFile(const std::string& text) {
        dir.write("f.txt", text);
        EXPECT_TRUE(buffer.load(dir.file("f.txt").c_str()));
    }
    // The tokens read until the end, which every token list ends with.
    std::string tokens() {
        std::string out;
        try {
            for (String token;;) {
                buffer.readToken(token);
                out += escaped(token.c_str()) + " ";
                if (token.isEmpty())
                    buffer.advance(); // an empty token stops at a delimiter
            }
        } catch (const FileBufferError& e) {
            out += e.what();
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
        return escaped(e.what());
    }
    return "nothing raised";
}

std::string bufferText(const FileBuffer& b) {
    return escaped(
        std::string(reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.getSize())));
}

} // namespace

// A single delimiter is left for the next token, which is empty.
TEST(FileBuffer, TokensCommentsSectionsAndErrors) {
    LineTranscript t;
    const struct {
        const char* text;
        const char* delimiters; // null: the defaults
        bool quotes;
    } cases[] = {
        {"a=1;", nullptr, false},
        {"\t x.y,z\n", nullptr, false},
        {"\"x.bmp\" x.bmp\n", nullptr, true},
        {"\"x.bmp\"", nullptr, false},
        {"\"open", nullptr, true},
        {"last", nullptr, false},
        {"", nullptr, false},
        {"a b\nc", "\n", false},
    };
    for (const auto& c : cases) {
        TextFile f(c.text);
        if (c.delimiters)
            f.buffer.setDelimiters(c.delimiters);
        f.buffer.setQuotes(c.quotes);
        t.note("tokens of " + escaped(c.text) + (c.quotes ? " quoted" : ""), f.tokens());
    }

    TextFile lines("one\ntwo\r\nthree\n");
    lines.buffer.setDelimiters("\r\n");
    lines.buffer.setSkipSet("\r\n");
    lines.buffer.setQuotes(true);
    t.note("lines: size, tokens", lines.buffer.getSize(), lines.tokens());
    t.note("lines: line at the end", lines.buffer.line());
    lines.buffer.rewind();
    t.note("lines rewound: line, position", lines.buffer.line(), lines.buffer.position());
    t.note("lines rewound: tokens", lines.tokens());
    // Back to the start, the default sets and quotes off.
    TextFile quotedLine("\"a b\"\nnext\n");
    quotedLine.buffer.setQuotes(true);
    quotedLine.buffer.setDelimiters("");
    const bool found = quotedLine.buffer.findString("next");
    t.note("find next: found, position, line", found, quotedLine.buffer.position(),
           quotedLine.buffer.line());
    quotedLine.buffer.resetDefaults();
    t.note("defaults reset: line", quotedLine.buffer.line());
    t.note("defaults reset: tokens", quotedLine.tokens());

    // End of input is raised without reading past the block.
    TextFile ab("ab");
    const char first = ab.buffer.getChar(), peeked = ab.buffer.peekChar(),
               second = ab.buffer.getChar();
    t.note("get, peek, get, at end", first, peeked, second, ab.buffer.atEnd());
    t.note("peek, get, advance at the end", raisedBy([&] { ab.buffer.peekChar(); }),
           raisedBy([&] { ab.buffer.getChar(); }), raisedBy([&] { ab.buffer.advance(); }),
           raisedBy([&] { ab.buffer.skipSkipSet(); }));
    // Missing files: nothing of what was loaded before is left.
    const bool loaded = ab.buffer.load(ab.dir.file("missing.txt").c_str());
    t.note("missing file: loaded, size, at end, find", loaded, ab.buffer.getSize(),
           ab.buffer.atEnd(), ab.buffer.findString("x"));
    // A file past 2 GiB and a directory are not loaded.
    writeFile(ab.dir.file("huge.txt"), "");
    std::filesystem::resize_file(ab.dir.file("huge.txt"), 1ull << 31); // sparse
    for (const char* name : {"huge.txt", "."})
        t.note(std::string("load ") + name, FileBuffer().load(ab.dir.file(name).c_str()));
    t.note("constructed over a missing file",
           raisedBy([&] { FileBuffer b(ab.dir.file("missing.txt").c_str()); }));

    // A match needs one byte after it.
    TextFile keys("xx key yy\nkey");
    for (const char* key : {"key", "key", "missing", ""}) {
        const bool match = keys.buffer.findString(key);
        t.note("find " + escaped(key), match, keys.buffer.position());
        keys.buffer.advance();
    }

    const struct {
        const char* text;
        bool keepNewlines;
    } comments[] = {
        {"a//x\nb/*y\nz*/c", true},
        {"a//x\nb/*y\nz*/c", false},
        {"1/2 /* open", true},
        {"x/", true},
        {"/", true},
        {"a/**/b//", false},
    };
    for (const auto& c : comments) {
        TextFile f(c.text);
        f.buffer.stripComments(c.keepNewlines);
        t.note("stripped " + escaped(c.text) + (c.keepNewlines ? " keeping newlines" : ""),
               bufferText(f.buffer));
    }
    // Stripped twice: the byte after the shortened text is a stale '*'.
    TextFile twice("/**/x/");
    twice.buffer.stripComments(true);
    twice.buffer.stripComments(true);
    t.note("stripped twice", bufferText(twice.buffer));
    TextFile cursor("a//bcdef");
    for (int i = 0; i < 5; ++i)
        cursor.buffer.advance();
    cursor.buffer.stripComments(true);
    t.note("cursor at 5 after stripping", cursor.buffer.position());

    // Clamped ranges (an end of 0 is no "to the end"), starting at line one.
    TextFile f("l1\nl2\nl3 tail");
    for (auto [from, to] :
         {std::pair{6, 11}, {5, 3}, {3, 0}, {-4, 1000}, {4, 4}, {0, 1}, {1000, -1}, {13, 1000}})
        t.note("section " + std::to_string(from) + ".." + std::to_string(to),
               bufferText(FileBuffer(f.buffer, from, to)));
    for (int i = 0; i < 3; ++i)
        f.buffer.advance();
    FileBuffer section(f.buffer, 6, 11);
    t.note("section 6..11 of a buffer at 3: line, position", section.line(), section.position());
    section.setDelimiters(" ");
    String token;
    section.readToken(token);
    t.note("its first token", escaped(token.c_str()));
    FileBuffer empty;
    t.note("section of an empty buffer", FileBuffer(empty, 0, -1).getSize());
    f.buffer.rewind();
    f.buffer.advance();
    f.buffer.advance();
    f.buffer.advance();
    t.note("syntax error on line 2", raisedBy([&] { f.buffer.syntaxError("bad value"); }));
    checkGoldenText(LURVANE_GOLDEN_DIR "/file-buffer.txt", t.text());
}
