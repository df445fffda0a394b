#include "gfx/GfxDebug.h"

#include <cstdio>
#include <cstring>

namespace {

void (*debugSink)(const char*) = nullptr;

} // namespace

void gfxDebugOutput(const char* text) {
    if (debugSink) {
        debugSink(text);
        return;
    }
    std::fputs(text, stderr);
    const size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\n')
        std::fputc('\n', stderr);
}

void setGfxDebugSink(void (*sink)(const char* text)) {
    debugSink = sink;
}
