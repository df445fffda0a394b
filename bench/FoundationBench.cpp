// Tokenizing a large description file and a record file round trip.
#include "lib/FileBuffer.h"
#include "lib/FileIO.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_FileBufferTokenize1MB(benchmark::State& state) {
    const std::string path = scratchPath("lurvane-bench-desc.txt");
    {
        std::string text;
        for (int i = 0; text.size() < 1024 * 1024; ++i)
            text += "level" + std::to_string(i) + " = \"map" + std::to_string(i) +
                    ".fmp\", 120, 8, 3; // a comment\n";
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        FileBuffer buffer;
        buffer.load(path.c_str());
        buffer.stripComments(true);
        buffer.setQuotes(true);
        String token;
        int tokens = 0;
        try {
            for (;;) {
                buffer.readToken(token);
                ++tokens;
                buffer.advance();
            }
        } catch (const FileBufferError&) {
        }
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(state.iterations() * 1024 * 1024);
    std::remove(path.c_str());
}
BENCHMARK(BM_FileBufferTokenize1MB)->Unit(benchmark::kMillisecond);

void BM_FileIORoundTrip10000Records(benchmark::State& state) {
    const std::string path = scratchPath("lurvane-bench-records.dat");
    const String name("A player name");
    for (auto _ : state) {
        {
            FileIO out;
            out.openWrite(path.c_str());
            for (int i = 0; i < 10000; ++i) {
                out.writeString(name);
                out.writeInt(i);
                out.writeBool(i & 1);
            }
        }
        FileIO in;
        in.openRead(path.c_str());
        String s;
        int32_t v = 0;
        bool b = false;
        for (int i = 0; i < 10000; ++i) {
            in.readString(s);
            in.readInt(v);
            in.readBool(b);
        }
        benchmark::DoNotOptimize(v);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_FileIORoundTrip10000Records)->Unit(benchmark::kMillisecond);

} // namespace
