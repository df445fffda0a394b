// Reader of the game's text description files: the whole file in memory,
// comments stripped in place, and a cursor that cuts tokens at delimiter
// characters after skipping characters of a skip set.
#pragma once

#include "lib/String.h"

#include <cstdint>

// What the reader raises: the bare message text ("End Of File", "Error
// reading FileBuffer" or a filled-in syntax error).
class FileBufferError {
public:
    explicit FileBufferError(const char* message) : message_(message) {}
    const char* what() const { return message_.c_str(); }
    bool isEndOfFile() const { return message_ == "End Of File"; }

private:
    String message_;
};

class FileBuffer {
public:
    FileBuffer();
    // Raises "Error reading FileBuffer" when the file cannot be read.
    explicit FileBuffer(const char* fileName);
    // A copy of the source's bytes from..to-1 with its own cursor and line
    // count and empty delimiter and skip sets.
    FileBuffer(const FileBuffer& source, int from, int to);
    ~FileBuffer();
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    bool load(const char* fileName);
    void clear();
    void resetDefaults();
    void setDelimiters(const char* set) { delimiters_ = set ? set : ""; }
    void setSkipSet(const char* set) { skipSet_ = set ? set : ""; }
    void setQuotes(bool on) { quotes_ = on; }
    void stripComments(bool keepNewlinesInBlockComments);

    void rewind();
    int position() const { return static_cast<int>(cursor_ - data_); }
    int getSize() const { return size_; }
    int line() const { return line_; }
    bool atEnd() const { return cursor_ >= end_; }
    const uint8_t* data() const { return data_; }

    char peekChar() const;
    char getChar();
    void advance();
    void skipSkipSet();
    void readToken(String& out);
    bool findString(const char* text);

    // Raises "\n\nError in Textfile! Line=%ld : %s\n" for this buffer's line.
    [[noreturn]] void syntaxError(const char* message) const;

private:
    bool inSet(const String& set, char c) const;
    void adopt(uint8_t* block, int size);

    uint8_t* data_ = nullptr;
    int blockSize_ = 0;
    int size_ = 0;
    const uint8_t* end_ = nullptr;
    const uint8_t* cursor_ = nullptr;
    String delimiters_;
    String skipSet_;
    int line_ = 1;
    bool quotes_ = false;
};
