// Field-by-field record files (settings, high scores) and directory listing.
// A string is a length byte and its characters, an int 4 bytes little-endian,
// a bool one byte.
#pragma once

#include "lib/Array.h"
#include "lib/String.h"

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
    // Starts a new version of the file: the writes go to a file beside it
    // ("<name>.new"), and only commit puts it in place, so the old file stays
    // whole whatever happens before.
    bool openReplace(const char* fileName);
    // Flushes the new version to disk and renames it over the old file when
    // every write since openReplace succeeded; otherwise (or when flushing or
    // renaming fails) removes it and leaves the old file as it was.
    bool commit();
    // Closes the stream; a new version that was not committed is removed.
    void close();
    bool isOpen() const { return file_ != nullptr; }
    // The number of bytes from the read position to the end of the file,
    // or -1 when it cannot be told.
    long remaining();

    // The rename that commit uses; tests replace it to make it fail.
    static int (*renameFile)(const char* from, const char* to);

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
    String replacing_;  // host path of the file a new version replaces
    String newVersion_; // host path of that new version
    bool writeFailed_ = false;
};
