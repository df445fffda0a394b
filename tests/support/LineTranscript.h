// A transcript of a table of cases, one line each: what was done and what
// came of it, to compare with a checked-in text (see Golden.h).
#pragma once

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

// A text quoted with its control characters escaped.
inline std::string escaped(const std::string& text) {
    std::string out = "'";
    char code[8];
    for (char c : text) {
        std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(c));
        out += c == '\n'             ? "\\n"
               : c == '\t'           ? "\\t"
               : c >= ' ' && c < 127 ? std::string(1, c)
                                     : code;
    }
    return out + "'";
}

// Bytes from..to in hex, sixteen a line.
template <typename Bytes>
std::string hexLines(const Bytes& bytes, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min<size_t>(to, bytes.size());
    std::string out;
    char digits[4];
    for (size_t i = from; i < to; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(bytes[i]));
        out += digits + std::string((i - from) % 16 == 15 || i + 1 == to ? "\n" : " ");
    }
    return out;
}

// The values streamed one after another, a space between each two.
template <typename First, typename... Rest>
std::string joined(const First& first, const Rest&... rest) {
    std::ostringstream out;
    out << first;
    ((out << " " << rest), ...);
    return out.str();
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
