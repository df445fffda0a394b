// Expected file contents laid out by hand: little-endian fields appended in
// order, so that a test states a format's bytes without the code under test.
#pragma once

#include <cstdint>
#include <string>

struct ByteBuilder {
    std::string data;

    ByteBuilder& u8(uint8_t v) {
        data += static_cast<char>(v);
        return *this;
    }
    ByteBuilder& i32(int32_t v) {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    ByteBuilder& i64(int64_t v) {
        for (int i = 0; i < 8; ++i)
            u8(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
        return *this;
    }
    ByteBuilder& raw(const std::string& s) {
        data += s;
        return *this;
    }
    ByteBuilder& zeros(size_t n) { return raw(std::string(n, '\0')); }
};
