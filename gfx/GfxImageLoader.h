// The image decoders. Each turns a whole file in memory into a
// device-independent image: an indexed image with a palette, or 16-, 24-
// or 32-bit colour, rows padded to four bytes. Every decoder takes
// untrusted bytes: a file that is short, inconsistent or too large fails
// the load and nothing is read or written outside a buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct GfxDib {
    int width = 0, height = 0;
    // 1, 4, 8 (indexed), 16 (5-5-5), 24 (blue, green, red) or 32 (blue,
    // green, red and a fourth byte that plays no part in drawing).
    int bitsPerPixel = 0;
    bool topDown = false; // true when the first stored row is the top row
    int rowBytes = 0;
    std::vector<uint8_t> pixels;
    // Blue, green, red, reserved (0); entries past the file's own are black.
    uint8_t palette[256][4] = {};
    int paletteSize = 0;

    // Sizes the pixel buffer (zeroed) for the given geometry; false when the
    // size is out of bounds or cannot be allocated.
    bool allocate(int width, int height, int bitsPerPixel);
};

class GfxImageLoader {
public:
    virtual ~GfxImageLoader() = default;
    // Recognises the format from the first bytes (at most 256) and the last
    // bytes (at most 64) of a file of the given size.
    virtual bool CanLoad(const uint8_t* header, size_t headerLength, const uint8_t* tail,
                         size_t tailLength) const = 0;
    virtual bool Load(const uint8_t* data, size_t size) = 0;

    GfxDib& image() { return image_; }

protected:
    GfxDib image_;
};

class GfxImageBMP : public GfxImageLoader {
public:
    // The bitmap path also takes top-down bitmaps, which the decoder proper
    // refuses.
    explicit GfxImageBMP(bool allowTopDown = false) : allowTopDown_(allowTopDown) {}
    bool CanLoad(const uint8_t* header, size_t headerLength, const uint8_t* tail,
                 size_t tailLength) const override;
    bool Load(const uint8_t* data, size_t size) override;

private:
    bool decodeRle8(const uint8_t* data, size_t size, size_t offset);
    bool allowTopDown_;
};

class GfxImagePSD : public GfxImageLoader {
public:
    bool CanLoad(const uint8_t* header, size_t headerLength, const uint8_t* tail,
                 size_t tailLength) const override;
    bool Load(const uint8_t* data, size_t size) override;
};

class GfxImageTGA : public GfxImageLoader {
public:
    bool CanLoad(const uint8_t* header, size_t headerLength, const uint8_t* tail,
                 size_t tailLength) const override;
    bool Load(const uint8_t* data, size_t size) override;
};

class GfxImagePCX : public GfxImageLoader {
public:
    bool CanLoad(const uint8_t* header, size_t headerLength, const uint8_t* tail,
                 size_t tailLength) const override;
    bool Load(const uint8_t* data, size_t size) override;
};

class GfxImageJPG : public GfxImageLoader {
public:
    bool CanLoad(const uint8_t* header, size_t headerLength, const uint8_t* tail,
                 size_t tailLength) const override;
    bool Load(const uint8_t* data, size_t size) override;
};
