#include "gfx/GfxImage.h"

#include "gfx/GfxDebug.h"
#include "gfx/GfxScreen.h"
#include "lib/HostPath.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

bool GfxDib::allocate(int w, int h, int bits) {
    if (w <= 0 || h <= 0 || w > kGfxMaxSide || h > kGfxMaxSide ||
        static_cast<int64_t>(w) * h > kGfxMaxPixels)
        return false;
    width = w;
    height = h;
    bitsPerPixel = bits;
    rowBytes = static_cast<int>((static_cast<int64_t>(bits) * w + 31) / 32 * 4);
    try {
        pixels.assign(static_cast<size_t>(rowBytes) * static_cast<size_t>(h), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool GfxFile::open(const char* fileName) {
    close();
    if (!fileName || !*fileName)
        return false;
    file_ = std::fopen(hostPath(fileName).c_str(), "rb");
    return file_ != nullptr;
}

long GfxFile::size() {
    if (!file_ || std::fseek(file_, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(file_);
    if (std::fseek(file_, 0, SEEK_SET) != 0)
        return -1;
    return size;
}

size_t GfxFile::read(void* buffer, size_t count) {
    return file_ ? std::fread(buffer, 1, count, file_) : 0;
}

void GfxFile::close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
}

bool GfxImage::ReadFile(const char* fileName, std::vector<uint8_t>& bytes) {
    GfxFile file;
    if (!file.open(fileName))
        return false;
    const long size = file.size();
    if (size <= 0)
        return false;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return file.read(bytes.data(), bytes.size()) == bytes.size();
}

namespace {

std::unique_ptr<GfxImageLoader> makeLoader(int format) {
    switch (format) {
    case GfxImage::kBMP:
        return std::make_unique<GfxImageBMP>();
    case GfxImage::kPSD:
        return std::make_unique<GfxImagePSD>();
    case GfxImage::kTGA:
        return std::make_unique<GfxImageTGA>();
    case GfxImage::kPCX:
        return std::make_unique<GfxImagePCX>();
    case GfxImage::kJPEG:
        return std::make_unique<GfxImageJPG>();
    default:
        return nullptr;
    }
}

} // namespace

int GfxImage::Recognise(const uint8_t* data, size_t size) {
    if (!data || size == 0)
        return kUnsupported;
    const size_t headerLength = std::min<size_t>(size, 256);
    const size_t tailLength = std::min<size_t>(size, 64);
    const uint8_t* tail = data + size - tailLength;
    for (int format : {kTGA, kBMP, kPSD, kPCX, kJPEG})
        if (makeLoader(format)->CanLoad(data, headerLength, tail, tailLength))
            return format;
    return kUnsupported;
}

bool GfxImage::Decode(const uint8_t* data, size_t size, int format, GfxDib& image) {
    if (format == kRecognise)
        format = Recognise(data, size);
    std::unique_ptr<GfxImageLoader> loader = makeLoader(format);
    if (!loader) {
        gfxDebugOutput("Error: GfxImage - Unsupported Image type.");
        return false;
    }
    if (!loader->Load(data, size))
        return false;
    image = std::move(loader->image());
    return true;
}

namespace {

// Places 8-bit components into a format's channels (the top bits of each).
struct ChannelPacker {
    int shift[3] = {}, width[3] = {};

    explicit ChannelPacker(const GfxPixelFormat& format) {
        const uint32_t masks[3] = {format.redMask, format.greenMask, format.blueMask};
        for (int i = 0; i < 3; ++i) {
            if (!masks[i])
                continue;
            shift[i] = std::countr_zero(masks[i]);
            width[i] = std::min(8, std::countr_one(masks[i] >> shift[i]));
        }
    }
    uint32_t pack(uint32_t r, uint32_t g, uint32_t b) const {
        return ((r >> (8 - width[0])) << shift[0]) | ((g >> (8 - width[1])) << shift[1]) |
               ((b >> (8 - width[2])) << shift[2]);
    }
};

void storePixel(uint8_t* p, int bytesPerPixel, uint32_t value) {
    for (int i = 0; i < bytesPerPixel; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

bool GfxImage::DrawDib(const GfxDib& image, GfxPixelStore& store,
                       const GfxPaletteEntry* colorTable) {
    const int bits = image.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (image.width <= 0 || image.height <= 0 || image.rowBytes <= 0 ||
        static_cast<size_t>(image.rowBytes) * static_cast<size_t>(image.height) >
            image.pixels.size() ||
        static_cast<int64_t>(image.rowBytes) * 8 < static_cast<int64_t>(image.width) * bits)
        return false;
    uint8_t* bytes = store.bytes();
    if (!bytes || store.isLost())
        return false;

    const GfxPixelFormat& format = store.format();
    const bool indexedTarget = format.bitsPerPixel <= 8;
    const int bpp = format.bytesPerPixel();
    const ChannelPacker packer(format);
    GfxPaletteEntry fallback[256];
    if (!colorTable) {
        makeDefaultPalette(fallback);
        colorTable = fallback;
    }
    auto pixelFor = [&](uint32_t r, uint32_t g, uint32_t b) -> uint32_t {
        if (indexedTarget)
            return nearestPaletteIndex(colorTable, r | (g << 8) | (b << 16));
        return packer.pack(r, g, b);
    };
    // Indexed images convert each palette entry once.
    uint32_t paletteValues[256];
    if (bits <= 8)
        for (int i = 0; i < 256; ++i)
            paletteValues[i] =
                pixelFor(image.palette[i][2], image.palette[i][1], image.palette[i][0]);
    // True colour onto an 8-bit display: nearest entries cached by 5-5-5.
    std::vector<int16_t> nearest;
    if (indexedTarget && bits > 8)
        nearest.assign(32768, -1);

    const int w = std::min(image.width, store.width());
    const int h = std::min(image.height, store.height());
    for (int y = 0; y < h; ++y) {
        const int sourceRow = image.topDown ? y : image.height - 1 - y;
        const uint8_t* row = image.pixels.data() + static_cast<size_t>(sourceRow) * image.rowBytes;
        uint8_t* out = bytes + static_cast<ptrdiff_t>(y) * store.pitch();
        for (int x = 0; x < w; ++x, out += bpp) {
            uint32_t value;
            if (bits <= 8) {
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                const int index = (row[x / perByte] >> shift) & ((1 << bits) - 1);
                value = paletteValues[index];
            } else {
                uint32_t r, g, b;
                if (bits == 16) {
                    const uint32_t v = row[x * 2] | (row[x * 2 + 1] << 8);
                    r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                    r = (r << 3) | (r >> 2), g = (g << 3) | (g >> 2), b = (b << 3) | (b >> 2);
                } else {
                    const uint8_t* p = row + static_cast<ptrdiff_t>(x) * (bits / 8);
                    b = p[0], g = p[1], r = p[2];
                }
                if (indexedTarget) {
                    const int key = static_cast<int>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                    if (nearest[key] < 0)
                        nearest[key] = nearestPaletteIndex(colorTable, r | (g << 8) | (b << 16));
                    value = static_cast<uint32_t>(nearest[key]);
                } else {
                    value = packer.pack(r, g, b);
                }
            }
            storePixel(out, bpp, value);
        }
    }
    return true;
}

std::unique_ptr<GfxPixelStore> GfxImage::FromMemory(GfxScreen* screen, const uint8_t* data,
                                                    size_t size, int memoryPlacement, int format,
                                                    const GfxPixelFormat* pixelFormat) {
    GfxDib image;
    if (!Decode(data, size, format, image))
        return nullptr;
    const GfxPixelFormat target =
        pixelFormat ? *pixelFormat
                    : (screen ? screen->GetDisplayFormat() : GfxPixelFormat::forDepth(32));
    std::unique_ptr<GfxPixelStore> store =
        GfxPixelStore::create(image.width, image.height, target, memoryPlacement);
    if (!store)
        return nullptr;
    if (!DrawDib(image, *store, screen ? screen->GetColorTable() : nullptr))
        return nullptr;
    return store;
}

std::unique_ptr<GfxPixelStore> GfxImage::GetImage(GfxScreen* screen, const char* fileName,
                                                  int memoryPlacement, int format,
                                                  const GfxPixelFormat* pixelFormat) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(fileName, bytes))
        return nullptr;
    return FromMemory(screen, bytes.data(), bytes.size(), memoryPlacement, format, pixelFormat);
}

std::unique_ptr<GfxPixelStore> GfxImage::LoadBitmapSurface(GfxScreen* screen, const char* name,
                                                           int& width, int& height,
                                                           int memoryPlacement) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(name, bytes))
        return nullptr;
    GfxImageBMP loader(true);
    if (!loader.CanLoad(bytes.data(), std::min<size_t>(bytes.size(), 256), nullptr, 0) ||
        !loader.Load(bytes.data(), bytes.size()))
        return nullptr;
    const GfxDib& image = loader.image();
    const GfxPixelFormat target =
        screen ? screen->GetDisplayFormat() : GfxPixelFormat::forDepth(32);
    std::unique_ptr<GfxPixelStore> store =
        GfxPixelStore::create(image.width, image.height, target, memoryPlacement);
    if (!store || !DrawDib(image, *store, screen ? screen->GetColorTable() : nullptr))
        return nullptr;
    width = image.width;
    height = image.height;
    return store;
}
