#include "Src/frontend/TextPages.h"

#include "lib/Log.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Each file as written (line ends shown) and the pages made of it: a
// page as "[title]" ("-" for none), headings marked '*', lines separated by
// '|', pages by " / ". Tags count only alone on their line; the first line
// is the title even when it looks like a heading; CR LF keeps empty lines,
// bare LF loses the one after a line; a doubled percent reads as one,
// conversions are shown, never used. At most ten pages, the rest ignored;
// nine breaks still make ten, the tenth with its lines; long lines (far
// beyond the 300 bytes a formatted line could hold) come through whole.
TEST(TextPages, MarkUpMakesPagesHeadingsAndLines) {
    std::string out, twelve = "T\n", line(1000, 'x');
    line[500] = line[501] = '%';
    for (int i = 1; i <= 12; ++i)
        twelve += "line " + std::to_string(i) + "\n<p>\n";
    for (std::string file :
         std::vector<std::string>{twelve + "tail\n",
                                  "T\n<p>\n<p>\n<p>\n<p>\n<p>\n<p>\n<p>\n<p>\n<p>\nx\ny\n",
                                  "T\n" + line + "\n" + line,
                                  "Help\nfirst\nsecond\n",
                                  "Help\na\n<p>\nb\n<p>\nc\n",
                                  "T\n<h>Items\nplain\n",
                                  "T\nxp>\nah>x\n<x>y\n",
                                  "T\n<h>\n",
                                  "T\n<h>50%% off\n",
                                  "T\n<p> \nx<p>\n<P>\n",
                                  "<p>\na\n<p>\nb\n",
                                  "<h>T\nx\n",
                                  "\r\nx\r\n<p>\r\ny\r\n",
                                  "T\r\na\r\n\r\nb\r\n",
                                  "T\na\n\nb\n",
                                  "T\na\n\n\nb\n",
                                  "T\n\ra\n\r",
                                  "T\ra\rb\r",
                                  "T\na\nlast",
                                  "T",
                                  "T\na\n<p>",
                                  "",
                                  "T\n100%% sure, 50%%%% odds\n",
                                  "T\n%s %d %n %\n",
                                  "T\nend %\n"}) {
        const std::string pages = parsed(file);
        for (size_t at = 0; (at = file.find_first_of("\r\n", at)) != std::string::npos;)
            file.replace(at, 1, file[at] == '\r' ? "\\r" : "\\n");
        out += file + " => " + pages + "\n";
    }
    checkGoldenText(LURVANE_TEST_GOLDEN_DIR "/text_pages.txt", out);
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
