// Description files come from players: the reader must raise, never crash.
#include "fuzz/FuzzInput.h"
#include "lib/FileBuffer.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = scratchPath("filebuffer");
    if (!writeInput(path, data, size))
        return 0;
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
