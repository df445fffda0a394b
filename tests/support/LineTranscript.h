// A transcript of a table of cases, one line each: what was done and what
// came of it, to compare with a checked-in text (see Golden.h).
#pragma once

#include <sstream>
#include <string>

// A text quoted with its control characters escaped.
inline std::string escaped(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : std::string(1, c);
    return out + "'";
}

struct LineTranscript {
    std::ostringstream out;
    template <typename... Values> void note(const std::string& what, const Values&... values) {
        out << what << ":";
        ((out << " " << values), ...);
        out << "\n";
    }
    std::string text() const { return out.str(); }
};
