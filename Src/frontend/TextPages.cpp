#include "Src/frontend/TextPages.h"

#include "lib/FileBuffer.h"
#include "lib/Log.h"

#include <string>

namespace {

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

bool startsWith(const char* text, int length, const char* prefix, int prefixLength) {
    if (length < prefixLength)
        return false;
    for (int i = 0; i < prefixLength; ++i)
        if (text[i] != prefix[i])
            return false;
    return true;
}

} // namespace

bool TextPages::load(const char* fileName) {
    clear();
    FileBuffer file;
    if (!file.load(fileName)) {
        gameLog.print("Could not load textfile '%s'\n", fileName);
        return false;
    }
    parse(reinterpret_cast<const char*>(file.data()), file.getSize());
    return true;
}

void TextPages::parse(const char* bytes, int size) {
    clear();
    TextPage* current = new TextPage;
    pages_.add(current);
    String header;
    int pos = 0;
    for (int token = 0; pos < size; ++token) {
        const int start = pos;
        // The end of the file ends a last line that has no line end.
        while (pos < size && !isLineEnd(bytes[pos]))
            ++pos;
        const char* line = bytes + start;
        const int length = pos - start;
        // A line end is one or two of CR and LF in any order, so a bare-LF
        // file loses the empty line that directly follows a line.
        for (int n = 0; n < 2 && pos < size && isLineEnd(bytes[pos]); ++n)
            ++pos;

        if (length == 3 && startsWith(line, length, "<p>", 3)) {
            if (pages_.size() >= kMaxPages)
                break;
            current = new TextPage;
            pages_.add(current);
            if (!header.isEmpty()) {
                current->hasTitle = true;
                current->title = header;
            }
        } else if (token == 0) {
            header = String(line, length);
            current->hasTitle = true;
            current->title = header;
        } else if (startsWith(line, length, "<h>", 3)) {
            auto* heading = new TextPageLine;
            heading->text = length > 3 ? String(line + 3, length - 3) : String(" ");
            heading->highlighted = true;
            current->lines.add(heading);
        } else {
            auto* text = new TextPageLine;
            text->text = lineText(line, length);
            current->lines.add(text);
        }
    }
}

String TextPages::lineText(const char* line, int length) {
    std::string out;
    for (int i = 0; i < length; ++i) {
        out += line[i];
        if (line[i] == '%' && i + 1 < length && line[i + 1] == '%')
            ++i;
    }
    if (out.empty())
        return String(" ");
    return String(out.data(), static_cast<int>(out.size()));
}
