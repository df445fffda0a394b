#include "lib/String.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

String::String(const char* text) {
    if (text)
        assign(text, static_cast<int>(std::strlen(text)));
}

String::String(const char* text, int length) {
    if (text && length >= 0)
        assign(text, length);
}

String::String(const String& other) {
    if (other.data_)
        assign(other.data_, other.length_);
}

String::String(String&& other) noexcept
    : length_(std::exchange(other.length_, 0)), data_(std::exchange(other.data_, nullptr)) {}

String::~String() {
    destroy();
}

void String::destroy() {
    std::free(data_);
    data_ = nullptr;
    length_ = 0;
}

void String::assign(const char* text, int length) {
    // Copy first: the text may point into our own block.
    char* block = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (!block)
        return;
    std::memcpy(block, text, static_cast<size_t>(length));
    block[length] = '\0';
    std::free(data_);
    data_ = block;
    length_ = length;
}

String& String::operator=(const char* text) {
    if (!text) {
        destroy();
        return *this;
    }
    assign(text, static_cast<int>(std::strlen(text)));
    return *this;
}

String& String::operator=(const String& other) {
    if (this == &other)
        return *this;
    if (!other.data_)
        destroy();
    else
        assign(other.data_, other.length_);
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        length_ = std::exchange(other.length_, 0);
        data_ = std::exchange(other.data_, nullptr);
    }
    return *this;
}

String& String::operator+=(const String& other) {
    if (!other.data_)
        return *this;
    const int total = length_ + other.length_;
    char* block = static_cast<char*>(std::malloc(static_cast<size_t>(total) + 1));
    if (!block)
        return *this;
    if (data_)
        std::memcpy(block, data_, static_cast<size_t>(length_));
    std::memcpy(block + length_, other.data_, static_cast<size_t>(other.length_));
    block[total] = '\0';
    std::free(data_);
    data_ = block;
    length_ = total;
    return *this;
}

String& String::operator+=(const char* text) {
    return *this += String(text);
}

String& String::operator+=(char c) {
    const char text[2] = {c, '\0'};
    return *this += String(text);
}

bool String::operator==(const char* text) const {
    return std::strcmp(c_str(), text ? text : "") == 0;
}

int String::format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int n = formatList(fmt, args);
    va_end(args);
    return n;
}

int String::formatList(const char* fmt, va_list args) {
    // vsnprintf tells the length it needs; size from that and print once more.
    char scratch[256];
    va_list first;
    va_copy(first, args);
    const int needed = std::vsnprintf(scratch, sizeof scratch, fmt, first);
    va_end(first);
    if (needed <= 0)
        return 0;
    if (needed < static_cast<int>(sizeof scratch)) {
        assign(scratch, needed);
        return length_ == needed ? needed : 0;
    }
    char* block = static_cast<char*>(std::malloc(static_cast<size_t>(needed) + 1));
    if (!block)
        return 0;
    va_list second;
    va_copy(second, args);
    const int written = std::vsnprintf(block, static_cast<size_t>(needed) + 1, fmt, second);
    va_end(second);
    if (written != needed) {
        std::free(block);
        return 0;
    }
    std::free(data_);
    data_ = block;
    length_ = needed;
    return needed;
}

void String::appendBackslash() {
    if (length_ > 0 && data_[length_ - 1] == '\\')
        return;
    *this += '\\';
}

bool String::contains(char c) const {
    for (int i = 0; i < length_; ++i)
        if (data_[i] == c)
            return true;
    return false;
}

void String::trimRight(const char* set) {
    int n = length_;
    while (n > 0 && std::strchr(set, data_[n - 1]) && data_[n - 1] != '\0')
        --n;
    if (n != length_)
        assign(data_, n);
}

bool String::toUnsigned(unsigned& value) const {
    value = 0;
    for (int i = 0; i < length_; ++i) {
        if (data_[i] < '0' || data_[i] > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(data_[i] - '0');
    }
    return true;
}

bool String::startsWith(const char* prefix) const {
    const size_t n = std::strlen(prefix);
    return n <= static_cast<size_t>(length_) && std::memcmp(c_str(), prefix, n) == 0;
}

void String::substring(String& out, int from, int to) const {
    if (to < 0 || to >= length_)
        to = length_;
    if (from < 0)
        from = 0;
    if (from >= length_ || to <= from) {
        out = "";
        return;
    }
    out.assign(data_ + from, to - from);
}

int String::appendMid(String& out, int start, int count) const {
    if (start < 0)
        start = 0;
    if (start >= length_) {
        out = "";
        return 0;
    }
    if (count < 0 || count > length_ - start)
        count = length_ - start;
    String piece;
    piece.assign(data_ + start, count);
    out += piece;
    return count;
}

bool String::wildcardMatch(const char* pattern, const char* text) {
    bool fit = true;
    while (*pattern && fit && *text) {
        if (*pattern == '?') {
            ++text;
        } else if (*pattern == '*') {
            fit = matchAsterisk(&pattern, &text);
            continue;
        } else {
            fit = *pattern == *text;
            ++text;
        }
        ++pattern;
    }
    while (fit && *pattern == '*')
        ++pattern;
    return fit && !*pattern && !*text;
}

bool String::matchAsterisk(const char** pattern, const char** text) {
    const char* p = *pattern + 1;
    const char* t = *text;
    while (*t && (*p == '?' || *p == '*')) {
        if (*p == '?')
            ++t;
        ++p;
    }
    while (*p == '*')
        ++p;
    *pattern = p;
    *text = t;
    if (!*t)
        return !*p;
    bool fit = wildcardMatch(p, t);
    while (!fit && *t) {
        ++t;
        while (*t && *t != *p)
            ++t;
        fit = wildcardMatch(p, t);
    }
    if (fit) {
        // The sub-match consumed the rest of both strings.
        *pattern = p + std::strlen(p);
        *text = t + std::strlen(t);
    }
    return fit;
}
