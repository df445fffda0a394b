#include "Src/frontend/TextPages.h"

#include "lib/Log.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A page as "[title]" ("-" for none), then its lines, headings marked
// with '*', separated by '|'; pages separated by " / ".
std::string dump(const TextPages& pages) {
    std::string out;
    for (int p = 0; p < pages.pageCount(); ++p) {
        const TextPage& page = pages.page(p);
        if (p > 0)
            out += " / ";
        out += page.hasTitle ? "[" + std::string(page.title.c_str()) + "]" : "-";
        for (int i = 0; i < page.lines.size(); ++i) {
            out += i == 0 ? "" : "|";
            if (page.lines[i]->highlighted)
                out += "*";
            out += page.lines[i]->text.c_str();
        }
    }
    return out;
}

std::string parsed(const std::string& text) {
    TextPages pages;
    pages.parse(text.data(), static_cast<int>(text.size()));
    return dump(pages);
}

} // namespace

TEST(TextPages, MarkUpMakesPagesHeadingsAndLines) {
    const struct {
        const char* name;
        std::string file;
        std::string pages;
    } cases[] = {
        {"title and lines", "Help\nfirst\nsecond\n", "[Help]first|second"},
        {"two page breaks make three titled pages", "Help\na\n<p>\nb\n<p>\nc\n",
         "[Help]a / [Help]b / [Help]c"},
        {"heading", "T\n<h>Items\nplain\n", "[T]*Items|plain"},
        {"tags are whole", "T\nxp>\nah>x\n<x>y\n", "[T]xp>|ah>x|<x>y"},
        {"empty heading is a blank highlighted line", "T\n<h>\n", "[T]* "},
        {"heading keeps its text as it stands", "T\n<h>50%% off\n", "[T]*50%% off"},
        {"<p> only when alone on its line", "T\n<p> \nx<p>\n<P>\n", "[T]<p> |x<p>|<P>"},
        {"first line a page break: no title anywhere", "<p>\na\n<p>\nb\n", "- / -a / -b"},
        {"the first line is the title even when it looks like a heading", "<h>T\nx\n", "[<h>T]x"},
        {"empty first line titles only the first page", "\r\nx\r\n<p>\r\ny\r\n", "[]x / -y"},
        {"CR LF keeps empty lines", "T\r\na\r\n\r\nb\r\n", "[T]a| |b"},
        {"bare LF loses the empty line after a line", "T\na\n\nb\n", "[T]a|b"},
        {"bare LF keeps the second of two empty lines", "T\na\n\n\nb\n", "[T]a| |b"},
        {"LF CR counts as one line end", "T\n\ra\n\r", "[T]a"},
        {"CR alone ends a line", "T\ra\rb\r", "[T]a|b"},
        {"last line without line end", "T\na\nlast", "[T]a|last"},
        {"title alone without line end", "T", "[T]"},
        {"file ending on a page break", "T\na\n<p>", "[T]a / [T]"},
        {"empty file is one empty page", "", "-"},
        {"doubled percent reads as one", "T\n100%% sure, 50%%%% odds\n", "[T]100% sure, 50%% odds"},
        {"conversions are shown, never used", "T\n%s %d %n %\n", "[T]%s %d %n %"},
        {"a lone trailing percent", "T\nend %\n", "[T]end %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parsed(c.file), c.pages) << c.name;
}

// At most ten pages, the rest ignored; exactly nine breaks still make ten
// pages, the tenth with its lines. Long lines come through whole.
TEST(TextPages, AtMostTenPagesAndLongLinesWhole) {
    std::string line(1000, 'x');
    line[500] = line[501] = '%';
    std::string twelve = "T\n", nine = "T\n";
    for (int i = 1; i <= 12; ++i)
        twelve += "line " + std::to_string(i) + "\n<p>\n";
    for (int i = 1; i <= 9; ++i)
        nine += "<p>\n";
    std::string tenth = "[T]";
    for (int i = 1; i <= 10; ++i)
        tenth += "line " + std::to_string(i) + (i < 10 ? " / [T]" : "");
    EXPECT_EQ(parsed(twelve + "tail\n"), tenth);
    EXPECT_EQ(parsed(nine + "x\ny\n"),
              "[T] / [T] / [T] / [T] / [T] / [T] / [T] / [T] / [T] / [T]x|y");
    // Far beyond the 300 bytes a formatted line could hold.
    const std::string halved = line.substr(0, 501) + line.substr(502);
    EXPECT_EQ(parsed("T\n" + line + "\n" + line), "[T]" + halved + "|" + halved);
}

TEST(TextPages, LoadReadsTheFileAndAMissingOneIsLogged) {
    TempDir dir;
    gameLog.open(dir.file("log.txt").c_str());
    dir.write("Text/help.txt", "Help\r\n<h>Keys\r\nArrows steer\r\n");
    TextPages pages;
    ASSERT_TRUE(pages.load((dir.path() + "/Text/help.txt").c_str()));
    EXPECT_EQ(dump(pages), "[Help]*Keys|Arrows steer");
    EXPECT_EQ(dir.read("log.txt"), "");

    const std::string missing = dir.path() + "/Text/credits.txt";
    EXPECT_FALSE(pages.load(missing.c_str()));
    EXPECT_EQ(pages.pageCount(), 0) << "no pages of the earlier file stay";
    EXPECT_EQ(dir.read("log.txt"), "Could not load textfile '" + missing + "'\n");
    gameLog.close();

    EXPECT_STREQ(TextPages::fileFor(false), ".\\Data\\Text\\help.txt");
    EXPECT_STREQ(TextPages::fileFor(true), ".\\Data\\Text\\credits.txt");
}
