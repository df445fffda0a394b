#include "gfx/PictureFit.h"

#include <algorithm>
#include <cstdint>

namespace {

// Rounds towards minus infinity (b > 0), so a position left of the picture
// stays negative instead of folding onto column 0.
int64_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a < 0 && a % b != 0) ? q - 1 : q;
}

} // namespace

PictureRect fitPicture(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight) {
    PictureRect r;
    if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return r;
    const int64_t ow = outputWidth, oh = outputHeight, pw = pictureWidth, ph = pictureHeight;
    if (ow * ph <= oh * pw) {
        // Narrower than the picture: full width, bars above and below.
        r.width = outputWidth;
        r.height = static_cast<int>(ow * ph / pw);
    } else {
        r.height = outputHeight;
        r.width = static_cast<int>(oh * pw / ph);
    }
    r.x = (outputWidth - r.width) / 2;
    r.y = (outputHeight - r.height) / 2;
    return r;
}

int wholeWindowScale(int usableWidth, int usableHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return 1;
    return std::max(1, std::min(usableWidth / pictureWidth, usableHeight / pictureHeight));
}

PictureRect PictureView::placement() const {
    return fitPicture(outputWidth, outputHeight, pictureWidth, pictureHeight);
}

void PictureView::toPicture(int windowX, int windowY, int& pictureX, int& pictureY) const {
    const PictureRect r = placement();
    if (r.width <= 0 || r.height <= 0 || windowWidth <= 0 || windowHeight <= 0) {
        pictureX = windowX;
        pictureY = windowY;
        return;
    }
    // The middle of the window unit, in drawable pixels.
    const int64_t ox = floorDiv((2 * int64_t{windowX} + 1) * outputWidth, 2 * int64_t{windowWidth});
    const int64_t oy =
        floorDiv((2 * int64_t{windowY} + 1) * outputHeight, 2 * int64_t{windowHeight});
    pictureX = static_cast<int>(floorDiv((ox - r.x) * pictureWidth, r.width));
    pictureY = static_cast<int>(floorDiv((oy - r.y) * pictureHeight, r.height));
}
