// Debug output of the graphics layer: lines meant for a developer watching
// the program, not for the player. They go to the standard error stream,
// or to a sink a test installs.
#pragma once

void gfxDebugOutput(const char* text);
// Null restores the standard error stream.
void setGfxDebugSink(void (*sink)(const char* text));
