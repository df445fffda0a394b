// Plain-text logs. Each line reopens the file for appending, so the file is
// complete on disk even if the process dies right after.
#pragma once

#include "lib/String.h"

class Log {
public:
    // The mode is accepted for the callers' sake and not used.
    void open(const char* fileName, int mode = 0);
    void close();
    bool isEnabled() const { return enabled_; }
    const String& fileName() const { return fileName_; }

    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void printList(const char* format, va_list args);
    // Writes the text as it is, never as a format.
    void write(const char* text);

private:
    String fileName_;
    bool enabled_ = false;
};

// The running log ("log.txt") and the error log ("errorLog.txt").
extern Log gameLog;
extern Log errorLog;

// The two-write error report of the file, widget and high score code:
// a header naming the reporting source file and line, then the message.
void reportError(const char* sourceFile, long line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
