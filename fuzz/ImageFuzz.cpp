// Picture files come from players and level authors: each decoder must
// fail cleanly on any bytes, never read or write outside a buffer. Built
// once per decoder, with LURVANE_FUZZ_FORMAT naming it.
#include "gfx/GfxImage.h"
#include "gfx/GfxPixelStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GfxImage::Recognise(data, size);
    GfxDib image;
    if (!GfxImage::Decode(data, size, LURVANE_FUZZ_FORMAT, image))
        return 0;
    // Conversion into the display formats, on pictures of a sane size.
    if (static_cast<int64_t>(image.width) * image.height > 256 * 256)
        return 0;
    for (int depth : {8, 16, 32}) {
        std::unique_ptr<GfxPixelStore> store = GfxPixelStore::create(
            image.width, image.height, GfxPixelFormat::forDepth(depth), kSurfaceMemorySystem);
        if (store)
            GfxImage::DrawDib(image, *store, nullptr);
    }
    return 0;
}
