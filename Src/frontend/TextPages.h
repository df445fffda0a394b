// The help and credits pages: a text file cut into pages and lines by its
// two-tag mark-up. A line that is exactly "<p>" starts a new page, a line
// beginning with "<h>" is a highlighted heading, and the file's first line
// titles every page. The screen that shows them copies the lines into its
// text boxes as they stand: they are plain text, never formats.
#pragma once

#include "lib/Array.h"
#include "lib/String.h"

struct TextPageLine {
    String text;
    bool highlighted = false;
};

struct TextPage {
    bool hasTitle = false;
    String title;
    PtrArray<TextPageLine> lines;
};

class TextPages {
public:
    static constexpr int kMaxPages = 10;
    static constexpr const char* kHelpFile = ".\\Data\\Text\\help.txt";
    static constexpr const char* kCreditsFile = ".\\Data\\Text\\credits.txt";

    // The file the main menu's "Help" (false) or "Credits" (true) shows.
    static const char* fileFor(bool credits) { return credits ? kCreditsFile : kHelpFile; }

    // Replaces the pages by those of the file. A file that cannot be read
    // logs "Could not load textfile '%s'" and gives false with no pages.
    bool load(const char* fileName);
    // Cuts the bytes of a file already read into pages.
    void parse(const char* bytes, int size);
    void clear() { pages_.clear(); }

    int pageCount() const { return pages_.size(); }
    const TextPage& page(int i) const { return *pages_[i]; }

    // The text of an ordinary line as the page shows it: "%%" reads "%",
    // every other character stays, and an empty line is a blank " ".
    static String lineText(const char* line, int length);

private:
    PtrArray<TextPage> pages_;
};
