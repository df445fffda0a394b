#include "lib/String.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(String, NullAndEmptyAreBothEmptyButDistinct) {
    String null;
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.length(), 0);
    EXPECT_STREQ(null.c_str(), "");
    String fromNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(fromNull.isNull());
    String empty("");
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty == "");
    String copy(null);
    EXPECT_TRUE(copy.isNull());
    // A counted text of no characters is empty, a negative count null.
    EXPECT_FALSE(String("abc", 0).isNull());
    EXPECT_TRUE(String("abc", 0) == "");
    EXPECT_TRUE(String("abc", -1).isNull());
    String nulled("abc");
    nulled = static_cast<const char*>(nullptr);
    EXPECT_TRUE(nulled.isNull());
    EXPECT_EQ(nulled.length(), 0);
}

TEST(String, AssignmentAndConcatenationCopyTheText) {
    char text[] = "abc";
    String s(text);
    text[0] = 'x';
    EXPECT_TRUE(s == "abc");
    s += String("def");
    s += 'g';
    EXPECT_TRUE(s == "abcdefg");
    EXPECT_EQ(s.length(), 7);
    s = s; // self-assignment keeps the text
    EXPECT_TRUE(s == "abcdefg");
    String t;
    t += s;
    EXPECT_TRUE(t == "abcdefg");
    EXPECT_TRUE(t != "abcdef");
    String part(s.c_str() + 2, 3);
    EXPECT_TRUE(part == "cde");
    // What is moved from is left null.
    String moved(std::move(t));
    EXPECT_TRUE(moved == "abcdefg");
    EXPECT_TRUE(t.isNull());
    EXPECT_EQ(t.length(), 0);
}

TEST(String, FormatGrowsPastAnyScratchSizeAndKeepsTextOnEmptyResult) {
    String s("old");
    EXPECT_EQ(s.format("%s", ""), 0);
    EXPECT_TRUE(s == "old");
    EXPECT_EQ(s.format("%d-%s", 42, "x"), 4);
    EXPECT_TRUE(s == "42-x");
    for (size_t length : {253, 254, 5000}) { // results of 255, 256 and 5002 characters
        const std::string longText(length, 'q');
        EXPECT_EQ(s.format("<%s>", longText.c_str()), static_cast<int>(length + 2));
        EXPECT_EQ(std::string(s.c_str()), "<" + longText + ">");
        EXPECT_EQ(s.length(), static_cast<int>(length + 2));
    }
}

TEST(String, TrimRight) {
    String s("abc \t\r\n");
    s.trimRight();
    EXPECT_TRUE(s == "abc");
    String blanks("   ");
    blanks.trimRight();
    EXPECT_EQ(blanks.length(), 0);
    String empty("");
    empty.trimRight();
    EXPECT_EQ(empty.length(), 0);
    String custom("xyzzz");
    custom.trimRight("z");
    EXPECT_TRUE(custom == "xy");
}

TEST(String, ToUnsigned) {
    unsigned v = 99;
    EXPECT_TRUE(String("42").toUnsigned(v));
    EXPECT_EQ(v, 42u);
    EXPECT_FALSE(String("4x2").toUnsigned(v));
    EXPECT_EQ(v, 4u);
    EXPECT_TRUE(String("").toUnsigned(v));
    EXPECT_EQ(v, 0u);
    EXPECT_FALSE(String("-1").toUnsigned(v));
    EXPECT_FALSE(String(" 1").toUnsigned(v));
}

TEST(String, AppendBackslashContainsStartsWith) {
    String a("Data");
    a.appendBackslash();
    EXPECT_TRUE(a == "Data\\");
    a.appendBackslash();
    EXPECT_TRUE(a == "Data\\");
    String e("");
    e.appendBackslash();
    EXPECT_TRUE(e == "\\");
    EXPECT_TRUE(a.contains('\\'));
    EXPECT_FALSE(String("").contains('a'));
    EXPECT_TRUE(a.startsWith(""));
    EXPECT_TRUE(a.startsWith("Dat"));
    EXPECT_FALSE(a.startsWith("Data\\x"));
}

TEST(String, SubstringAndAppendMid) {
    const String s("abcdef");
    String out("junk");
    s.substring(out, 2, -1);
    EXPECT_TRUE(out == "cdef");
    s.substring(out, 4, 2);
    EXPECT_TRUE(out == "");
    s.substring(out, 1, 3);
    EXPECT_TRUE(out == "bc");
    s.substring(out, 6, 10);
    EXPECT_TRUE(out == "");
    s.substring(out, 0, 0); // an end of 0 is no "to the end"
    EXPECT_TRUE(out == "");

    String acc("x");
    EXPECT_EQ(s.appendMid(acc, 1, 2), 2);
    EXPECT_TRUE(acc == "xbc");
    EXPECT_EQ(s.appendMid(acc, 4, -1), 2);
    EXPECT_TRUE(acc == "xbcef");
    EXPECT_EQ(s.appendMid(acc, 4, 3), 2); // no more than the rest
    EXPECT_TRUE(acc == "xbcefef");
    acc = "xbcef";
    EXPECT_EQ(s.appendMid(acc, 5, 100), 1);
    EXPECT_TRUE(acc == "xbceff");
    EXPECT_EQ(s.appendMid(acc, 1, 0), 0); // a count of 0 is no "to the end"
    EXPECT_TRUE(acc == "xbceff");
    EXPECT_EQ(s.appendMid(acc, 6, 1), 0);
    EXPECT_TRUE(acc == "");
}

TEST(String, WildcardMatch) {
    EXPECT_TRUE(String::wildcardMatch("*.fmp", "a.fmp"));
    EXPECT_FALSE(String::wildcardMatch("*.fmp", "a.fmpx"));
    EXPECT_TRUE(String::wildcardMatch("a?c", "abc"));
    EXPECT_FALSE(String::wildcardMatch("a?c", "ac"));
    EXPECT_TRUE(String::wildcardMatch("*", ""));
    EXPECT_TRUE(String::wildcardMatch("", ""));
    EXPECT_FALSE(String::wildcardMatch("", "a"));
    EXPECT_TRUE(String::wildcardMatch("*a", "aa"));
    EXPECT_FALSE(String::wildcardMatch("A*", "abc"));
    EXPECT_TRUE(String::wildcardMatch("l*v*l.t?t", "level.txt"));
    EXPECT_TRUE(String::wildcardMatch("**b*", "aabcc"));
    EXPECT_FALSE(String::wildcardMatch("*x*", "aabcc"));
    EXPECT_TRUE(String::wildcardMatch("*?", "a"));
    EXPECT_FALSE(String::wildcardMatch("*??", "a"));
}
