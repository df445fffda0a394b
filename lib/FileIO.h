// Field-by-field record files (settings, high scores) and directory listing.
// A string is a length byte and its characters, an int 4 bytes little-endian,
// a bool one byte.
#pragma once

#include "Array.h"
#include "String.h"

#include <cstdint>
#include <cstdio>

struct DirEntry {
    String path; // the directory, a backslash, the name
    String name;
    int32_t size = 0;
    bool isDirectory = false;
};

class FileIO {
public:
    // The longest text a length byte can carry.
    static constexpr int kMaxStringLength = 255;

    FileIO() = default;
    ~FileIO() { close(); }
    FileIO(const FileIO&) = delete;
    FileIO& operator=(const FileIO&) = delete;

    bool openRead(const char* fileName);
    bool openWrite(const char* fileName);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    int write(const void* buffer, int n);
    int read(void* buffer, int n);

    // Each field operation logs a short transfer to "errorLog.txt" and carries
    // on; the result tells callers that want to know.
    bool writeString(const String& text);
    bool readString(String& out);
    bool writeInt(int32_t value);
    bool readInt(int32_t& out);
    bool writeBool(bool value);
    bool readBool(bool& out);

    static bool isDirectory(const char* path);
    // Appends the entries of directory that match pattern (letter case is
    // ignored, as on the system the data was made for), optionally of every
    // subdirectory too. Symbolic links to directories are listed but not
    // entered, so a link loop cannot make the walk endless.
    static bool listDirectory(PtrArray<DirEntry>& out, const char* pattern, const char* directory,
                              bool recursive, bool filesOnly);

private:
    FILE* file_ = nullptr;
};
