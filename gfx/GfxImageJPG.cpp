// JPEG through libjpeg-turbo; the only file that sees it.
#include "gfx/GfxImageLoader.h"
#include "gfx/GfxTypes.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

// Progressive files with absurd numbers of scans cost time, not pixels.
constexpr int kMaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr, int) {
    // Warnings about damaged data are not the player's business.
}

void onProgress(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans)
        onError(info);
}

// Decodes into blue, green, red rows of rowBytes; false on any error. Kept
// free of objects with destructors, because errors leave it by longjmp.
bool decode(const uint8_t* data, size_t size, GfxDib& image) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    jpeg_progress_mgr progress;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    progress.progress_monitor = onProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGR;
    const int width = static_cast<int>(info.image_width);
    const int height = static_cast<int>(info.image_height);
    if (!image.allocate(width, height, 24)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    if (info.output_width != info.image_width || info.output_height != info.image_height ||
        info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + static_cast<size_t>(info.output_scanline) *
                                                 static_cast<size_t>(image.rowBytes);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool GfxImageJPG::CanLoad(const uint8_t* header, size_t headerLength, const uint8_t*,
                          size_t) const {
    return headerLength >= 10 && header[0] == 0xFF && header[2] == 0xFF &&
           std::memcmp(header + 6, "JFIF", 4) == 0;
}

bool GfxImageJPG::Load(const uint8_t* data, size_t size) {
    GfxDib decoded;
    if (!decode(data, size, decoded))
        return false;
    decoded.topDown = true;
    image_ = std::move(decoded);
    return true;
}
