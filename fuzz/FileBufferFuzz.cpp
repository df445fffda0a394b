// Description files come from players: the reader must raise, never crash.
#include "lib/FileBuffer.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/lurvane-fuzz-filebuffer-" + std::to_string(getpid());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    FileBuffer buffer;
    if (!buffer.load(path.c_str()))
        return 0;
    buffer.stripComments(size & 1);
    buffer.setQuotes(size & 2);
    String token;
    try {
        for (int i = 0; i < 10000; ++i) {
            buffer.readToken(token);
            buffer.findString("level");
            buffer.getChar();
        }
    } catch (const FileBufferError&) {
    }
    FileBuffer section(buffer, static_cast<int>(size / 3), static_cast<int>(size / 2));
    try {
        section.setDelimiters(",\n");
        section.setSkipSet(",\n");
        for (;;)
            section.readToken(token);
    } catch (const FileBufferError&) {
    }
    return 0;
}
