#include "GfxDebug.h"

#include <cstdio>

namespace {

void (*debugSink)(const char*) = nullptr;

} // namespace

void gfxDebugOutput(const char* text) {
    if (debugSink) {
        debugSink(text);
        return;
    }
    std::fputs(text, stderr);
}

void setGfxDebugSink(void (*sink)(const char* text)) {
    debugSink = sink;
}
