#include "lib/Log.h"

#include "lib/HostPath.h"

#include <cstdio>

Log gameLog;
Log errorLog;

void Log::open(const char* fileName, int /*mode*/) {
    fileName_ = fileName;
    enabled_ = true;
}

void Log::close() {
    enabled_ = false;
}

void Log::print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    printList(format, args);
    va_end(args);
}

void Log::printList(const char* format, va_list args) {
    if (!enabled_)
        return;
    FILE* file = std::fopen(hostPath(fileName_.c_str()).c_str(), "a");
    if (!file)
        return;
    std::vfprintf(file, format, args);
    std::fclose(file);
}

void Log::write(const char* text) {
    print("%s", text);
}

void reportError(const char* sourceFile, long line, const char* format, ...) {
    errorLog.print("\n\nError in File %s, line %ld\n", sourceFile, line);
    va_list args;
    va_start(args, format);
    errorLog.printList(format, args);
    va_end(args);
}
