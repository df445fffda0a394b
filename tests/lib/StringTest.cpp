#include "lib/String.h"

#include "tests/support/Golden.h"
#include "tests/support/LineTranscript.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

namespace {

// Null or the quoted text, and the length the string keeps.
std::string show(const String& s) {
    return (s.isNull() ? "null" : escaped(s.c_str())) + "/" + std::to_string(s.length());
}

} // namespace

TEST(String, OperationsGiveTheirTexts) {
    LineTranscript t;
    const String null, fromNull(static_cast<const char*>(nullptr)), empty(""), copy(null);
    t.note("null, from null, empty, copy of null", show(null), show(fromNull), show(empty),
           show(copy), empty == "");
    t.note("counted 0 and -1", show(String("abc", 0)), show(String("abc", -1)));
    String nulled("abc");
    nulled = static_cast<const char*>(nullptr);
    t.note("assigned null", show(nulled));
    char text[] = "abc";
    String s(text);
    text[0] = 'x';
    t.note("copied on construction", show(s));
    s += String("def");
    s += 'g';
    t.note("appended", show(s));
    s = *&s;
    t.note("assigned itself", show(s));
    String other;
    other += s;
    t.note("appended to null, != and ==", show(other), other != "abcdef", other == "abcdefg");
    t.note("counted part", show(String(s.c_str() + 2, 3)));
    const String moved(std::move(other));
    t.note("moved, moved from", show(moved), show(other));

    String f("old");
    const int nothing = f.format("%s", "");
    t.note("format of nothing keeps the text", nothing, show(f));
    const int some = f.format("%d-%s", 42, "x");
    t.note("format", some, show(f));
    // Results of 255, 256 and 5002 characters: past the scratch size.
    for (size_t length : {253, 254, 5000}) {
        const std::string longText(length, 'q');
        const int n = f.format("<%s>", longText.c_str());
        t.note("format long", n, f.length(), std::string(f.c_str()) == "<" + longText + ">");
    }

    for (auto [text, set] : {std::pair<const char*, const char*>{"abc \t\r\n", nullptr},
                             {"   ", nullptr},
                             {"", nullptr},
                             {"xyzzz", "z"}}) {
        String trimmed(text);
        set ? trimmed.trimRight(set) : trimmed.trimRight();
        t.note("trimRight " + escaped(text), show(trimmed));
    }
    for (const char* number : {"42", "4x2", "", "-1", " 1"}) {
        unsigned value = 99;
        const bool ok = String(number).toUnsigned(value);
        t.note("toUnsigned " + escaped(number), ok, value);
    }
    for (const char* path : {"Data", "Data\\", ""}) {
        String withSlash(path);
        withSlash.appendBackslash();
        t.note("appendBackslash " + escaped(path), show(withSlash), withSlash.contains('\\'));
    }
    t.note("contains in empty", String("").contains('a'));
    for (const char* prefix : {"", "Dat", "Data\\", "Data\\x"})
        t.note("startsWith " + escaped(prefix), String("Data\\").startsWith(prefix));

    // An end or count of 0 is no "to the end".
    const String abc("abcdef");
    for (auto [from, to] : {std::pair{2, -1}, {4, 2}, {1, 3}, {6, 10}, {0, 0}}) {
        String out("junk");
        abc.substring(out, from, to);
        t.note("substring " + std::to_string(from) + ".." + std::to_string(to), show(out));
    }
    String acc("x");
    for (auto [start, count] : {std::pair{1, 2}, {4, -1}, {4, 3}, {5, 100}, {1, 0}, {6, 1}}) {
        const int added = abc.appendMid(acc, start, count);
        t.note("appendMid " + std::to_string(start) + "+" + std::to_string(count), added,
               show(acc));
    }

    // Pattern and name pairs, split at the first space.
    std::istringstream pairs("*.fmp a.fmp,*.fmp a.fmpx,a?c abc,a?c ac,* , , a,*a aa,A* abc,"
                             "l*v*l.t?t level.txt,**b* aabcc,*x* aabcc,*? a,*?? a");
    for (std::string pair; std::getline(pairs, pair, ',');) {
        const std::string pattern = pair.substr(0, pair.find(' ')),
                          name = pair.substr(pattern.size() + 1);
        t.note("wildcardMatch " + escaped(pattern) + " " + escaped(name),
               String::wildcardMatch(pattern.c_str(), name.c_str()));
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/string.txt", t.text());
}
