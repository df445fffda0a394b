#include "map/TileMap.h"

#include "gfx/GfxScreen.h"
#include "lib/ByteOrder.h"
#include "lib/HostPath.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

bool isId(const uint8_t* id, const char* text) {
    return std::memcmp(id, text, 4) == 0;
}

int bytesPerPixel(int depth) {
    return (depth + 1) / 8;
}

} // namespace

void TileMap::setTransparentColour(uint32_t value) {
    transparentIndex_ = transparentRed_ = value & 0xFF;
    transparentGreen_ = (value >> 8) & 0xFF;
    transparentBlue_ = (value >> 16) & 0xFF;
}

void TileMap::freeMap() {
    blockSurfaces_.clear();
    blockPixels_.clear();
    picture_.clear();
    picture_.shrink_to_fit();
    pictureValid_ = false;
    pictureLayer_ = nullptr;
    undrawableCells_ = 0;
    for (int n = 0; n < kLayers; ++n) {
        layers_[n].clear();
        haveLayer_[n] = false;
    }
    currentLayer_ = nullptr;
    colourMap_.clear();
    blockData_.clear();
    animationData_.clear();
    graphicsData_.clear();
    haveAnimations_ = false;
    haveHeader_ = false;
    mapWidth_ = mapHeight_ = blockWidth_ = blockHeight_ = 0;
    blockDepth_ = blockStrSize_ = numBlockStr_ = numBlockGfx_ = 0;
    recordGraphic_.clear();
    animationRecord_.clear();
    marks_.clear();
    std::memset(palette_, 0, sizeof palette_);
    scrollX_ = scrollY_ = 0;
}

int TileMap::load(GfxScreen* screen, const char* fileName, int viewX, int viewY, int viewWidth,
                  int viewHeight) {
    freeMap();
    error_ = kMapErrorNone;
    if (!readFile(fileName))
        return -1;
    if (!validate() || !prepareGraphics(screen)) {
        const int32_t error = error_ == kMapErrorNone ? kMapErrorFormat : error_;
        freeMap();
        error_ = error;
        return -1;
    }
    currentLayer_ = &layers_[0];
    setView(viewX, viewY, viewWidth, viewHeight);
    setScroll(0, 0);
    if (screen) {
        GfxPaletteEntry entries[256];
        for (int i = 0; i < 256; ++i)
            entries[i] = {palette_[i][0], palette_[i][1], palette_[i][2], 0};
        screen->SetPaletteEntries(0, 256, entries);
    }
    return 0;
}

bool TileMap::readFile(const char* fileName) {
    FILE* file = std::fopen(hostPath(fileName).c_str(), "rb");
    if (!file) {
        error_ = kMapErrorOpen;
        return false;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    std::vector<uint8_t> bytes;
    bool ok = size >= 12 && size <= kMaxFileSize && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    // The container: "FORM", a length that covers exactly the rest of the
    // file, and the form type "FMAP".
    if (!ok || !isId(bytes.data(), "FORM") ||
        static_cast<uint64_t>(readBE32(&bytes[4])) + 8 != bytes.size() ||
        !isId(&bytes[8], "FMAP")) {
        error_ = kMapErrorFormat;
        return false;
    }
    size_t at = 12;
    while (at < bytes.size()) {
        // A chunk's length is an unsigned count that must fit in what is
        // left; a bad one ends the load instead of seeking anywhere.
        if (bytes.size() - at < 8) {
            error_ = kMapErrorFormat;
            return false;
        }
        const uint8_t* id = &bytes[at];
        const uint32_t length = readBE32(&bytes[at + 4]);
        at += 8;
        if (length > bytes.size() - at) {
            error_ = kMapErrorFormat;
            return false;
        }
        if (!readChunk(id, &bytes[at], length))
            return false;
        at += length;
    }
    return true;
}

bool TileMap::readChunk(const uint8_t* id, const uint8_t* data, uint32_t size) {
    auto keep = [&](std::vector<uint8_t>& block) { block.assign(data, data + size); };
    if (isId(id, "MPHD")) {
        if (size < 24) {
            error_ = kMapErrorFormat;
            return false;
        }
        mapWidth_ = readLE16(data + 4);
        mapHeight_ = readLE16(data + 6);
        blockWidth_ = readLE16(data + 12);
        blockHeight_ = readLE16(data + 14);
        blockDepth_ = readLE16(data + 16);
        blockStrSize_ = readLE16(data + 18);
        numBlockStr_ = readLE16(data + 20);
        numBlockGfx_ = readLE16(data + 22);
        haveHeader_ = true;
    } else if (isId(id, "CMAP")) {
        keep(colourMap_);
        std::memset(palette_, 0, sizeof palette_);
        for (uint32_t i = 0; i < 256 && 3 * i + 2 < size; ++i) {
            palette_[i][0] = data[3 * i];
            palette_[i][1] = data[3 * i + 1];
            palette_[i][2] = data[3 * i + 2];
        }
    } else if (isId(id, "BKDT")) {
        keep(blockData_);
    } else if (isId(id, "ANDT")) {
        keep(animationData_);
        haveAnimations_ = true;
    } else if (isId(id, "BGFX")) {
        keep(graphicsData_);
    } else if (isId(id, "BODY")) {
        keep(layers_[0]);
        haveLayer_[0] = true;
    } else if (std::memcmp(id, "LYR", 3) == 0 && id[3] >= '1' && id[3] <= '7') {
        keep(layers_[id[3] - '0']);
        haveLayer_[id[3] - '0'] = true;
    }
    return true;
}

int TileMap::graphicIndex(int32_t offset) const {
    const int64_t graphicSize =
        static_cast<int64_t>(blockWidth_) * blockHeight_ * bytesPerPixel(blockDepth_);
    if (offset < 0 || graphicSize <= 0 || offset / graphicSize >= numBlockGfx_)
        return -1;
    return static_cast<int>(offset / graphicSize);
}

bool TileMap::validate() {
    error_ = kMapErrorFormat;
    const int depth = blockDepth_;
    if (!haveHeader_ || !haveLayer_[0] || mapWidth_ == 0 || mapHeight_ == 0 || blockWidth_ == 0 ||
        blockHeight_ == 0 || blockWidth_ > kMaxBlockSide || blockHeight_ > kMaxBlockSide ||
        (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) ||
        numBlockStr_ == 0 || numBlockGfx_ == 0)
        return false;
    const size_t cells = static_cast<size_t>(mapWidth_) * mapHeight_;
    const size_t graphicSize =
        static_cast<size_t>(blockWidth_) * blockHeight_ * static_cast<size_t>(bytesPerPixel(depth));
    if (blockData_.size() < static_cast<size_t>(numBlockStr_) * 32 ||
        graphicsData_.size() < graphicSize * numBlockGfx_ ||
        (depth == 8 && colourMap_.size() < 768))
        return false;
    for (int n = 0; n < kLayers; ++n)
        if (haveLayer_[n] && layers_[n].size() < cells * 2)
            return false;

    // Every record's graphics must lie in the graphics chunk.
    recordGraphic_.assign(numBlockStr_, -1);
    for (int k = 0; k < numBlockStr_; ++k) {
        const uint8_t* record = &blockData_[static_cast<size_t>(k) * 32];
        for (int g = 0; g < 4; ++g) {
            const int32_t offset = static_cast<int32_t>(readLE32(record + 4 * g));
            if ((g == 0 || offset != 0) && graphicIndex(offset) < 0)
                return false;
        }
        recordGraphic_[static_cast<size_t>(k)] =
            graphicIndex(static_cast<int32_t>(readLE32(record)));
    }
    if (haveAnimations_ && !validateAnimations())
        return false;

    // Every cell of every layer must name a block record or an animation.
    for (int n = 0; n < kLayers; ++n) {
        if (!haveLayer_[n])
            continue;
        for (size_t i = 0; i < cells; ++i)
            if (recordForCell(static_cast<int16_t>(readLE16(&layers_[n][2 * i]))) < 0)
                return false;
    }
    error_ = kMapErrorNone;
    return true;
}

bool TileMap::validateAnimations() {
    // Records of 16 bytes stand at the chunk's end, the last one being
    // animation 0, back to the end marker; the walk stops at the chunk's
    // start even without a marker.
    const int64_t size = static_cast<int64_t>(animationData_.size());
    int64_t marker = -1;
    int64_t records = 0;
    for (int64_t at = size - 16; at >= 0; at -= 16) {
        if (animationData_[static_cast<size_t>(at)] == 255) {
            marker = at;
            break;
        }
        ++records;
    }
    const int64_t frameListEnd = marker < 0 ? 0 : marker;
    animationRecord_.assign(static_cast<size_t>(records), -1);
    for (int64_t n = 0; n < records; ++n) {
        const uint8_t* record = &animationData_[static_cast<size_t>(size - 16 * (n + 1))];
        for (int f = 0; f < 3; ++f) {
            // Frame offsets count from the chunk's end to a frame-list entry.
            const int64_t entry = size + static_cast<int32_t>(readLE32(record + 4 + 4 * f));
            if (entry < 0 || entry + 4 > frameListEnd || entry % 4 != 0)
                return false;
            const int32_t blockOffset =
                static_cast<int32_t>(readLE32(&animationData_[static_cast<size_t>(entry)]));
            if (blockOffset < 0 || blockOffset / 32 >= numBlockStr_)
                return false;
            if (f == 0)
                animationRecord_[static_cast<size_t>(n)] = blockOffset / 32;
        }
    }
    return true;
}

int TileMap::recordForCell(int16_t cell) const {
    if (cell >= 0)
        return cell / 32 < numBlockStr_ ? cell / 32 : -1;
    const int distance = -static_cast<int>(cell);
    const int n = distance / 16 - 1;
    if (distance % 16 != 0 || n < 0 || n >= static_cast<int>(animationRecord_.size()))
        return -1;
    return animationRecord_[static_cast<size_t>(n)];
}

int TileMap::getBlock(int x, int y) const {
    // Outside the map (or without one) everything is wall.
    if (!currentLayer_ || !inside(x, y))
        return 0;
    const int16_t c = static_cast<int16_t>(readLE16(
        &(*currentLayer_)[2 * (static_cast<size_t>(y) * mapWidth_ + static_cast<size_t>(x))]));
    if (c >= 0)
        return c / 32;
    return 1 - ((-static_cast<int>(c)) / 16);
}

void TileMap::setBlock(int x, int y, int block) {
    if (!currentLayer_ || !inside(x, y))
        return;
    const int32_t stored = block >= 0 ? block * 32 : block * 16;
    const bool wasDrawable = cellDrawable(x, y);
    writeLE16(&(*currentLayer_)[2 * (static_cast<size_t>(y) * mapWidth_ + static_cast<size_t>(x))],
              static_cast<uint16_t>(stored));
    // The picture follows at once, unless its blocks are stale: drawing
    // rebuilds both then.
    if (pictureValid_ && !blocksCurrent())
        pictureValid_ = false;
    if (pictureValid_ && pictureLayer_ == currentLayer_) {
        undrawableCells_ += static_cast<int>(wasDrawable) - static_cast<int>(cellDrawable(x, y));
        drawCellIntoPicture(x, y);
    }
}

bool TileMap::cellDrawable(int x, int y) const {
    const int16_t cell = static_cast<int16_t>(readLE16(
        &(*currentLayer_)[2 * (static_cast<size_t>(y) * mapWidth_ + static_cast<size_t>(x))]));
    return surfaceForCell(cell) != nullptr;
}

int TileMap::selectLayer(int n) {
    if (n < 0 || n >= kLayers || !haveLayer_[n])
        return -1;
    currentLayer_ = &layers_[n];
    return n;
}

void TileMap::setView(int x, int y, int width, int height) {
    viewX_ = x;
    viewY_ = y;
    const int mapWidthPixels = getMapWidthPixels();
    const int mapHeightPixels = getMapHeightPixels();
    viewWidth_ = width == -1 || width > mapWidthPixels ? mapWidthPixels : width;
    viewHeight_ = height == -1 || height > mapHeightPixels ? mapHeightPixels : height;
    if (viewWidth_ < 3 * blockWidth_)
        viewWidth_ = 3 * blockWidth_;
    if (viewHeight_ < 3 * blockHeight_)
        viewHeight_ = 3 * blockHeight_;
}

void TileMap::setScroll(int x, int y) {
    const int mapWidthPixels = static_cast<uint16_t>(getMapWidthPixels());
    const int mapHeightPixels = static_cast<uint16_t>(getMapHeightPixels());
    if (x > mapWidthPixels - viewWidth_)
        x = mapWidthPixels - viewWidth_;
    if (x < 0)
        x = 0;
    if (y > mapHeightPixels - viewHeight_)
        y = mapHeightPixels - viewHeight_;
    if (y < 0)
        y = 0;
    scrollX_ = x;
    scrollY_ = y;
}

void TileMap::clearMarks() {
    std::fill(marks_.begin(), marks_.end(), 0);
}

int TileMap::getMark(int x, int y) const {
    if (marks_.empty() || !inside(x, y))
        return 0;
    return marks_[static_cast<size_t>(y) * mapWidth_ + static_cast<size_t>(x)];
}

void TileMap::setMark(int x, int y, int value) {
    if (marks_.empty() || !inside(x, y))
        return;
    marks_[static_cast<size_t>(y) * mapWidth_ + static_cast<size_t>(x)] =
        static_cast<int8_t>(value);
}

GfxSurface* TileMap::blockSurface(int index) const {
    return index >= 0 && index < blockSurfaces_.size() ? blockSurfaces_[index] : nullptr;
}

GfxSurface* TileMap::surfaceForCell(int16_t cell) const {
    const int record = recordForCell(cell);
    if (record < 0)
        return nullptr;
    return blockSurface(recordGraphic_[static_cast<size_t>(record)]);
}

namespace {

// n bits of a 15- or 16-bit pixel word, taken from the field's top bit
// downwards (a wider mask takes the bits that follow the field).
uint32_t wordBits(uint32_t word, int topBit, int n) {
    const int shift = topBit + 1 - n;
    const uint32_t value = shift >= 0 ? word >> shift : word << -shift;
    return value & ((1u << n) - 1);
}

int bitCount(uint32_t mask) {
    int n = 0;
    for (; mask; mask >>= 1)
        n += mask & 1;
    return n;
}

} // namespace

bool TileMap::prepareGraphics(GfxScreen* screen) {
    screen_ = screen;
    const size_t cells = static_cast<size_t>(mapWidth_) * mapHeight_;
    marks_.assign(cells, 0);

    for (int i = 0; i < numBlockGfx_; ++i) {
        auto* surface = new GfxSurface;
        if (surface->Create(screen, blockWidth_, blockHeight_, kSurfaceMemorySystem) < 0) {
            delete surface;
            error_ = kMapErrorMemory;
            return false;
        }
        blockSurfaces_.add(surface);
    }
    return fillBlocks();
}

// Converts every block graphic into its surface in the surfaces' present
// format, sets the colour key, and fetches where the pixels lie.
bool TileMap::fillBlocks() {
    blockPixels_.clear();
    pictureValid_ = false;
    const PixelFormatInfo& format = blockSurfaces_[0]->GetPixelFormat();
    const int screenDepth = format.depth;
    if (screenDepth == 0)
        return false;
    const int redBits = bitCount(format.redMask), greenBits = bitCount(format.greenMask),
              blueBits = bitCount(format.blueMask);
    uint32_t key = transparentIndex_;
    if (screenDepth > 8)
        key = (transparentRed_ >> (8 - redBits)) << format.redShift |
              (transparentGreen_ >> (8 - greenBits)) << format.greenShift |
              (transparentBlue_ >> (8 - blueBits)) << format.blueShift;
    const int sourceBytes = bytesPerPixel(blockDepth_);
    const int targetBytes = screenDepth == 15 ? 2 : (screenDepth + 7) / 8;
    const size_t graphicSize = static_cast<size_t>(blockWidth_) * blockHeight_ * sourceBytes;

    for (int i = 0; i < numBlockGfx_; ++i) {
        GfxSurface* surface = blockSurfaces_[i];
        surface->SetColorKey(key);
        if (surface->Lock() < 0) {
            error_ = kMapErrorMemory;
            return false;
        }
        uint8_t* pixels = surface->GetPixels();
        const uint8_t* source = &graphicsData_[graphicSize * static_cast<size_t>(i)];
        for (int y = 0; y < blockHeight_; ++y) {
            uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * surface->GetPitch();
            for (int x = 0; x < blockWidth_; ++x, source += sourceBytes) {
                uint32_t r = 0, g = 0, b = 0, word = 0;
                switch (blockDepth_) {
                case 8:
                    r = palette_[source[0]][0];
                    g = palette_[source[0]][1];
                    b = palette_[source[0]][2];
                    break;
                case 15:
                case 16:
                    word = readBE16(source);
                    break;
                case 24:
                    r = source[0];
                    g = source[1];
                    b = source[2];
                    break;
                default:
                    r = source[1];
                    g = source[2];
                    b = source[3];
                    break;
                }
                const bool wordPixel = blockDepth_ == 15 || blockDepth_ == 16;
                const int redTop = blockDepth_ == 15 ? 14 : 15;
                const int greenTop = blockDepth_ == 15 ? 9 : 10;
                uint32_t value = 0;
                if (screenDepth == 8) {
                    // A palette display: indices stay, colours take the
                    // nearest palette entry.
                    if (wordPixel) {
                        const int greenWidth = blockDepth_ == 15 ? 5 : 6;
                        r = wordBits(word, redTop, 5) << 3;
                        g = wordBits(word, greenTop, greenWidth) << (8 - greenWidth);
                        b = wordBits(word, 4, 5) << 3;
                    }
                    value = blockDepth_ == 8 ? source[0]
                            : screen_        ? screen_->NearestPaletteIndex(r | g << 8 | b << 16)
                                             : 0;
                } else if (wordPixel) {
                    value = wordBits(word, redTop, redBits) << format.redShift |
                            wordBits(word, greenTop, greenBits) << format.greenShift |
                            wordBits(word, 4, blueBits) << format.blueShift;
                } else {
                    value = (r >> (8 - redBits)) << format.redShift |
                            (g >> (8 - greenBits)) << format.greenShift |
                            (b >> (8 - blueBits)) << format.blueShift;
                }
                for (int k = 0; k < targetBytes; ++k)
                    row[x * targetBytes + k] = static_cast<uint8_t>(value >> (8 * k));
            }
        }
        // A block's pixels stay where they are while its store lives, so
        // drawing copies from them without locking each block; refreshBlocks
        // notices a new store.
        blockPixels_.push_back({pixels, surface->GetPitch(), surface->GetStore()->serial()});
        surface->Unlock();
    }
    return true;
}

// A display mode change gives every registered surface a new, empty store
// in the new format, and a loss empties a store: the blocks are then filled
// again from the map's graphics, so drawing never reads freed or blank
// pixels.
bool TileMap::blocksCurrent() const {
    if (blockPixels_.size() != static_cast<size_t>(blockSurfaces_.size()))
        return false;
    for (int i = 0; i < blockSurfaces_.size(); ++i) {
        const GfxPixelStore* store = blockSurfaces_[i]->GetStore();
        if (!store || store->serial() != blockPixels_[static_cast<size_t>(i)].store ||
            store->isLost())
            return false;
    }
    return true;
}

bool TileMap::refreshBlocks() {
    if (blocksCurrent())
        return true;
    for (int i = 0; i < blockSurfaces_.size(); ++i) {
        GfxSurface* surface = blockSurfaces_[i];
        if (!surface->GetStore())
            return false;
        if (surface->GetStore()->isLost())
            surface->Restore(); // made by size: the memory comes back empty
    }
    return fillBlocks();
}

namespace {

// Whole rows of the game's 20-pixel blocks get copies of a fixed size, which
// the compiler turns into a few moves instead of a library call per row.
template <int kBytes>
void copyFixedRows(uint8_t* to, int toPitch, const uint8_t* from, int fromPitch, int rows) {
    for (int r = 0; r < rows; ++r, to += toPitch, from += fromPitch)
        std::memcpy(to, from, kBytes);
}

void copyRows(uint8_t* to, int toPitch, const uint8_t* from, int fromPitch, int bytes, int rows) {
    switch (bytes) {
    case 40:
        copyFixedRows<40>(to, toPitch, from, fromPitch, rows);
        return;
    case 80:
        copyFixedRows<80>(to, toPitch, from, fromPitch, rows);
        return;
    default:
        for (int r = 0; r < rows; ++r, to += toPitch, from += fromPitch)
            std::memcpy(to, from, static_cast<size_t>(bytes));
    }
}

} // namespace

bool TileMap::pictureUsable(int depth) {
    if (pictureValid_ && pictureDepth_ == depth && pictureLayer_ == currentLayer_)
        return undrawableCells_ == 0;
    return buildPicture(depth) && undrawableCells_ == 0;
}

bool TileMap::buildPicture(int depth) {
    pictureValid_ = false;
    const size_t bytesPerPixel = static_cast<size_t>(depth + 7) / 8;
    const size_t pitch = static_cast<size_t>(getMapWidthPixels()) * bytesPerPixel;
    const size_t bytes = pitch * static_cast<size_t>(getMapHeightPixels());
    if (bytes == 0 || bytes > kMaxPictureBytes)
        return false;
    picture_.assign(bytes, 0);
    picturePitch_ = pitch;
    pictureDepth_ = depth;
    pictureLayer_ = currentLayer_;
    pictureValid_ = true;
    undrawableCells_ = 0;
    for (int y = 0; y < mapHeight_; ++y)
        for (int x = 0; x < mapWidth_; ++x) {
            undrawableCells_ += cellDrawable(x, y) ? 0 : 1;
            drawCellIntoPicture(x, y);
        }
    return true;
}

void TileMap::drawCellIntoPicture(int x, int y) {
    const int16_t cell = static_cast<int16_t>(readLE16(
        &(*currentLayer_)[2 * (static_cast<size_t>(y) * mapWidth_ + static_cast<size_t>(x))]));
    // A cell naming no block keeps the picture from being used at all.
    const int record = recordForCell(cell);
    if (record < 0)
        return;
    const BlockPixels& pixels =
        blockPixels_[static_cast<size_t>(recordGraphic_[static_cast<size_t>(record)])];
    const size_t rowBytes = picturePitch_ / mapWidth_;
    uint8_t* to = picture_.data() + static_cast<size_t>(y) * blockHeight_ * picturePitch_ +
                  static_cast<size_t>(x) * rowBytes;
    copyRows(to, static_cast<int>(picturePitch_), pixels.bytes, pixels.pitch,
             static_cast<int>(rowBytes), blockHeight_);
}

int TileMap::draw(GfxSurface* target) {
    if (!target || !currentLayer_ || blockWidth_ == 0 || blockHeight_ == 0)
        return -1;
    if (!refreshBlocks())
        return -1;
    // A window larger than the map draws the map only, never beyond it.
    const int width = std::min(viewWidth_, getMapWidthPixels() - scrollX_);
    const int height = std::min(viewHeight_, getMapHeightPixels() - scrollY_);
    const int xOff = scrollX_ % blockWidth_, yOff = scrollY_ % blockHeight_;
    const int firstColumn = scrollX_ / blockWidth_, firstRow = scrollY_ / blockHeight_;
    const int right = viewX_ + width, bottom = viewY_ + height;
    int result = 0;

    const GfxRect& clip = target->GetClipRect();
    const GfxSurface* first = blockSurface(0);
    const int depth = target->GetPixelFormat().depth;
    const int bytesPerTargetPixel = depth == 15 ? 2 : (depth + 7) / 8;
    bool direct = first && depth != 0 && first->GetPixelFormat().depth == depth &&
                  viewX_ >= clip.left && viewY_ >= clip.top && right <= clip.right &&
                  bottom <= clip.bottom && target->Lock() >= 0;
    uint8_t* targetPixels = direct ? target->GetPixels() : nullptr;
    const int targetPitch = direct ? target->GetPitch() : 0;
    if (direct && !targetPixels) {
        target->Unlock();
        direct = false;
    }
    if (direct && width > 0 && height > 0 && pictureUsable(depth)) {
        // The window is a rectangle of the map's picture: one copy, row by
        // row, as the blitter would make it.
        const uint8_t* from = picture_.data() + static_cast<size_t>(scrollY_) * picturePitch_ +
                              static_cast<size_t>(scrollX_) * bytesPerTargetPixel;
        uint8_t* to = targetPixels + static_cast<ptrdiff_t>(viewY_) * targetPitch +
                      viewX_ * bytesPerTargetPixel;
        copyRows(to, targetPitch, from, static_cast<int>(picturePitch_),
                 width * bytesPerTargetPixel, height);
        target->Unlock();
        return 0;
    }
    for (int j = 0, y = viewY_ - yOff; y < bottom; ++j, y += blockHeight_) {
        const size_t rowStart = static_cast<size_t>(firstRow + j) * mapWidth_;
        for (int i = 0, x = viewX_ - xOff; x < right; ++i, x += blockWidth_) {
            const size_t at = 2 * (rowStart + static_cast<size_t>(firstColumn + i));
            const int record = recordForCell(static_cast<int16_t>(readLE16(&(*currentLayer_)[at])));
            const int graphic = record < 0 ? -1 : recordGraphic_[static_cast<size_t>(record)];
            GfxSurface* block = blockSurface(graphic);
            if (!block)
                continue;
            GfxRect source = {0, 0, blockWidth_, blockHeight_};
            int dx = x, dy = y;
            if (dx < viewX_) {
                source.left = viewX_ - dx;
                dx = viewX_;
            }
            if (dy < viewY_) {
                source.top = viewY_ - dy;
                dy = viewY_;
            }
            if (x + blockWidth_ > right)
                source.right = right - x;
            if (y + blockHeight_ > bottom)
                source.bottom = bottom - y;
            if (direct) {
                // Same pixel format and the window inside the target: rows
                // are copied straight, as the blitter would.
                const BlockPixels& pixels = blockPixels_[static_cast<size_t>(graphic)];
                const int bytes = (source.right - source.left) * bytesPerTargetPixel;
                const uint8_t* from = pixels.bytes +
                                      static_cast<ptrdiff_t>(source.top) * pixels.pitch +
                                      source.left * bytesPerTargetPixel;
                uint8_t* to = targetPixels + static_cast<ptrdiff_t>(dy) * targetPitch +
                              dx * bytesPerTargetPixel;
                copyRows(to, targetPitch, from, pixels.pitch, bytes, source.bottom - source.top);
            } else if (block->DrawOpaque(target, dx, dy, &source) < 0) {
                result = -1;
            }
        }
    }
    if (direct)
        target->Unlock();
    return result;
}
