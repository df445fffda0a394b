// Picture files into pixel stores: the whole file is read into memory, its
// format recognised from its first and last bytes (TGA, BMP, PSD, PCX,
// JPEG, in that order), decoded, and converted into the pixel format of the
// display.
#pragma once

#include "gfx/GfxImageLoader.h"
#include "gfx/GfxPixelStore.h"
#include "gfx/GfxTypes.h"

#include <cstdio>
#include <memory>
#include <vector>

class GfxScreen;

// A picture file opened for reading.
class GfxFile {
public:
    GfxFile() = default;
    ~GfxFile() { close(); }
    GfxFile(const GfxFile&) = delete;
    GfxFile& operator=(const GfxFile&) = delete;

    bool open(const char* fileName);
    // Size in bytes; -1 when unknown.
    long size();
    size_t read(void* buffer, size_t count);
    void close();

private:
    FILE* file_ = nullptr;
};

class GfxImage {
public:
    enum Format : int {
        kRecognise = 0,
        kUnsupported = 0,
        kBMP = 1,
        kPSD = 2,
        kTGA = 3,
        kPCX = 4,
        kJPEG = 5,
    };

    // The format of the file's bytes, or kUnsupported.
    static int Recognise(const uint8_t* data, size_t size);
    // Decodes the bytes; format kRecognise recognises them first. False
    // (with the debug line for an unrecognised format) on failure.
    static bool Decode(const uint8_t* data, size_t size, int format, GfxDib& image);
    // A new store of the picture's size holding the decoded file, in the
    // given pixel format or else the screen's display format; null on any
    // failure.
    static std::unique_ptr<GfxPixelStore> GetImage(GfxScreen* screen, const char* fileName,
                                                   int memoryPlacement, int format,
                                                   const GfxPixelFormat* pixelFormat = nullptr);
    static std::unique_ptr<GfxPixelStore> FromMemory(GfxScreen* screen, const uint8_t* data,
                                                     size_t size, int memoryPlacement, int format,
                                                     const GfxPixelFormat* pixelFormat = nullptr);
    // The bitmap path: a Windows bitmap file by name (top-down bitmaps too).
    static std::unique_ptr<GfxPixelStore> LoadBitmapSurface(GfxScreen* screen, const char* name,
                                                            int& width, int& height,
                                                            int memoryPlacement);
    // Draws a decoded image one to one at (0, 0) of a store, converting each
    // colour into the store's format (8-bit stores take the nearest entry of
    // the colour table). False for an image the conversion cannot read.
    static bool DrawDib(const GfxDib& image, GfxPixelStore& store,
                        const GfxPaletteEntry* colorTable);
    // Reads a whole file; false when it cannot be opened or read.
    static bool ReadFile(const char* fileName, std::vector<uint8_t>& bytes);
};
