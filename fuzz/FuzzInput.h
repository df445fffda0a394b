// The readers under test read files: each input is written to a scratch
// file of the harness's own process first.
#pragma once

#include <cstdio>
#include <string>
#include <unistd.h>

// "/tmp/lurvane-fuzz-<name>-<process id>".
inline std::string scratchPath(const char* name) {
    return "/tmp/lurvane-fuzz-" + std::string(name) + "-" + std::to_string(getpid());
}

// False when the file cannot be written (the input is then skipped).
inline bool writeInput(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(data, 1, size, f);
    return std::fclose(f) == 0;
}
