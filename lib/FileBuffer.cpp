#include "lib/FileBuffer.h"

#include "lib/HostPath.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* const kDefaultDelimiters = " =;,.\n";
const char* const kDefaultSkipSet = "\t ";
const char* const kEndOfFile = "End Of File";
} // namespace

FileBuffer::FileBuffer() {
    resetDefaults();
}

FileBuffer::FileBuffer(const char* fileName) {
    if (!load(fileName))
        throw FileBufferError("Error reading FileBuffer");
    resetDefaults();
}

FileBuffer::FileBuffer(const FileBuffer& source, int from, int to) {
    const int sourceSize = source.size_;
    if (from > sourceSize - 1)
        from = sourceSize - 1;
    if (from < 0)
        from = 0;
    if (to < 0 || to > sourceSize)
        to = sourceSize;
    if (to < from) {
        const int t = to;
        to = from;
        from = t;
    }
    const int n = to - from;
    uint8_t* block = nullptr;
    if (n > 0) {
        block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(n)));
        if (block)
            std::memcpy(block, source.data_ + from, static_cast<size_t>(n));
    }
    adopt(block, block ? n : 0);
}

FileBuffer::~FileBuffer() {
    std::free(data_);
}

void FileBuffer::adopt(uint8_t* block, int size) {
    std::free(data_);
    data_ = block;
    blockSize_ = size_ = size;
    end_ = data_ + size_;
    cursor_ = data_;
    line_ = 1;
}

bool FileBuffer::load(const char* fileName) {
    clear();
    FILE* file = std::fopen(hostPath(fileName).c_str(), "rb");
    if (!file)
        return false;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        length = std::ftell(file);
    if (length < 0 || length > 0x7FFFFFFF || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return false;
    }
    uint8_t* block = nullptr;
    if (length > 0) {
        block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(length)));
        if (!block || std::fread(block, 1, static_cast<size_t>(length), file) !=
                          static_cast<size_t>(length)) {
            std::free(block);
            std::fclose(file);
            return false;
        }
    }
    std::fclose(file);
    adopt(block, static_cast<int>(length));
    return true;
}

void FileBuffer::clear() {
    adopt(nullptr, 0);
}

void FileBuffer::resetDefaults() {
    cursor_ = data_;
    line_ = 1;
    delimiters_ = kDefaultDelimiters;
    skipSet_ = kDefaultSkipSet;
    quotes_ = false;
}

void FileBuffer::rewind() {
    cursor_ = data_;
    line_ = 1;
}

bool FileBuffer::inSet(const String& set, char c) const {
    return set.contains(c);
}

char FileBuffer::peekChar() const {
    if (atEnd())
        throw FileBufferError(kEndOfFile);
    return static_cast<char>(*cursor_);
}

char FileBuffer::getChar() {
    const char c = peekChar();
    advance();
    return c;
}

void FileBuffer::advance() {
    if (atEnd())
        throw FileBufferError(kEndOfFile);
    if (*cursor_ == '\n')
        ++line_;
    ++cursor_;
}

void FileBuffer::skipSkipSet() {
    while (!atEnd() && inSet(skipSet_, static_cast<char>(*cursor_)))
        advance();
}

void FileBuffer::readToken(String& out) {
    skipSkipSet();
    bool quoted = false;
    if (quotes_ && !atEnd() && *cursor_ == '"') {
        quoted = true;
        advance();
    }
    const uint8_t* start = cursor_;
    if (quoted) {
        while (peekChar() != '"')
            advance();
    } else {
        while (!inSet(delimiters_, peekChar()))
            advance();
    }
    out = String(reinterpret_cast<const char*>(start), static_cast<int>(cursor_ - start));
    if (quoted && !atEnd() && *cursor_ == '"')
        advance();
}

bool FileBuffer::findString(const char* text) {
    const int len = static_cast<int>(std::strlen(text));
    const uint8_t* saved = cursor_;
    while (len < size_ - position()) {
        if (len == 0 || std::memcmp(cursor_, text, static_cast<size_t>(len)) == 0)
            return true;
        advance();
    }
    cursor_ = saved;
    return false;
}

void FileBuffer::stripComments(bool keepNewlines) {
    enum { Normal, LineComment, BlockComment } state = Normal;
    int out = 0;
    for (int in = 0; in < size_; ++in) {
        const uint8_t c = data_[in];
        const uint8_t next = in + 1 < size_ ? data_[in + 1] : 0;
        switch (state) {
        case Normal:
            if (c == '/' && next == '/') {
                state = LineComment;
                ++in;
            } else if (c == '/' && next == '*') {
                state = BlockComment;
                ++in;
            } else {
                data_[out++] = c;
            }
            break;
        case LineComment:
            if (c == '\n') {
                data_[out++] = c;
                state = Normal;
            }
            break;
        case BlockComment:
            if (c == '*' && next == '/') {
                state = Normal;
                ++in;
            } else if (c == '\n' && keepNewlines) {
                data_[out++] = c;
            }
            break;
        }
    }
    size_ = out;
    end_ = data_ + size_;
    if (cursor_ > end_)
        cursor_ = end_;
}

void FileBuffer::syntaxError(const char* message) const {
    String text;
    text.format("\n\nError in Textfile! Line=%ld : %s\n", static_cast<long>(line_),
                message ? message : "");
    throw FileBufferError(text.c_str());
}
