// The text type used throughout the game: a heap-backed string of single
// bytes that always owns a private copy of its text.
#pragma once

#include <cstdarg>
#include <cstddef>

class String {
public:
    String() = default;
    String(const char* text);
    // The first length bytes of text, which need no terminator.
    String(const char* text, int length);
    String(const String& other);
    String(String&& other) noexcept;
    virtual ~String();

    String& operator=(const char* text);
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;

    String& operator+=(const String& other);
    String& operator+=(const char* text);
    String& operator+=(char c);

    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }
    bool operator==(const String& other) const { return *this == other.c_str(); }
    bool operator!=(const String& other) const { return !(*this == other.c_str()); }

    // Never null: a string built from a null pointer reads as "".
    const char* c_str() const { return data_ ? data_ : ""; }
    bool isNull() const { return data_ == nullptr; }
    int length() const { return length_; }
    bool isEmpty() const { return length_ == 0; }
    char operator[](int i) const { return data_[i]; }

    // Replaces the text by the printf-style result and returns its length.
    // An empty result (or an encoding error) returns 0 and keeps the text.
    int format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    int formatList(const char* fmt, va_list args);

    void appendBackslash();
    bool contains(char c) const;
    void trimRight(const char* set = " \n\t\r");
    bool toUnsigned(unsigned& value) const;
    bool startsWith(const char* prefix) const;
    void substring(String& out, int from, int to) const;
    int appendMid(String& out, int start, int count) const;
    void destroy();

    // '*' matches any run of characters, '?' exactly one; case-sensitive.
    static bool wildcardMatch(const char* pattern, const char* text);

private:
    static bool matchAsterisk(const char** pattern, const char** text);
    void assign(const char* text, int length);

    int length_ = 0;
    char* data_ = nullptr;
};
