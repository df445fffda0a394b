// Expected file contents laid out by hand: fields appended in order (little-
// endian unless named big), so that a test states a format's bytes without
// the code under test.
#pragma once

#include <cstdint>
#include <string>

struct ByteBuilder {
    std::string data;

    ByteBuilder& u8(uint8_t v) {
        data += static_cast<char>(v);
        return *this;
    }
    ByteBuilder& le16(uint32_t v) {
        return u8(static_cast<uint8_t>(v)).u8(static_cast<uint8_t>(v >> 8));
    }
    ByteBuilder& be16(uint32_t v) {
        return u8(static_cast<uint8_t>(v >> 8)).u8(static_cast<uint8_t>(v));
    }
    ByteBuilder& be32(uint32_t v) { return be16(v >> 16).be16(v); }
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
    ByteBuilder& raw(const void* bytes, size_t n) {
        data.append(static_cast<const char*>(bytes), n);
        return *this;
    }
    ByteBuilder& zeros(size_t n) { return raw(std::string(n, '\0')); }
};
