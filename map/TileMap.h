// A level's tile map, loaded from a ".fmp" file: block graphics turned into
// surfaces in the screen's format, up to eight cell layers, and a byte of
// marks per cell for the game's own use.
#pragma once

#include "gfx/GfxSurface.h"
#include "lib/Array.h"
#include "lib/String.h"

#include <cstdint>
#include <vector>

class GfxScreen;

enum TileMapError : int32_t {
    kMapErrorNone = 0,
    kMapErrorMemory = 1,
    kMapErrorFormat = 2, // read or format error
    kMapErrorOpen = 3,
};

class TileMap {
public:
    static constexpr int kLayers = 8;
    // Bounds that keep a hostile file from making us allocate without limit.
    static constexpr int kMaxBlockSide = 256;
    static constexpr int64_t kMaxFileSize = 256LL * 1024 * 1024;

    TileMap() = default;
    ~TileMap() { freeMap(); }
    TileMap(const TileMap&) = delete;
    TileMap& operator=(const TileMap&) = delete;

    void setTransparentColour(uint32_t value);
    // Returns 0, or -1 with getError() telling why.
    int load(GfxScreen* screen, const char* fileName, int viewX, int viewY, int viewWidth,
             int viewHeight);
    void freeMap();
    int32_t getError() const { return error_; }
    bool isLoaded() const { return currentLayer_ != nullptr; }

    int getBlock(int x, int y) const;
    void setBlock(int x, int y, int block);
    int selectLayer(int n);

    int getMapWidth() const { return mapWidth_; }
    int getMapHeight() const { return mapHeight_; }
    int getBlockWidth() const { return blockWidth_; }
    int getBlockHeight() const { return blockHeight_; }
    int getBlockDepth() const { return blockDepth_; }
    int getNumBlockStr() const { return numBlockStr_; }
    int getNumBlockGfx() const { return numBlockGfx_; }
    int getMapWidthPixels() const { return mapWidth_ * blockWidth_; }
    int getMapHeightPixels() const { return mapHeight_ * blockHeight_; }

    void setView(int x, int y, int width, int height);
    void setScroll(int x, int y);
    int getViewX() const { return viewX_; }
    int getViewY() const { return viewY_; }
    int getViewWidth() const { return viewWidth_; }
    int getViewHeight() const { return viewHeight_; }
    int getScrollX() const { return scrollX_; }
    int getScrollY() const { return scrollY_; }
    int draw(GfxSurface* target);

    void clearMarks();
    int getMark(int x, int y) const;
    void setMark(int x, int y, int value);

    // The block surface that draws a cell's value (also for animated cells);
    // null for a value that names no block.
    GfxSurface* surfaceForCell(int16_t cell) const;
    GfxSurface* blockSurface(int index) const;

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < mapWidth_ && y < mapHeight_; }
    bool readFile(const char* fileName);
    bool readChunk(const uint8_t* id, const uint8_t* data, uint32_t size);
    bool validate();
    bool validateAnimations();
    bool prepareGraphics(GfxScreen* screen);
    bool fillBlocks();
    bool blocksCurrent() const;
    bool refreshBlocks();
    bool pictureUsable(int depth);
    bool buildPicture(int depth);
    void drawCellIntoPicture(int x, int y);
    bool cellDrawable(int x, int y) const;
    int recordForCell(int16_t cell) const;
    int graphicIndex(int32_t offset) const;

    // Window and scroll.
    int viewX_ = 0, viewY_ = 0, viewWidth_ = 320, viewHeight_ = 200;
    int scrollX_ = 0, scrollY_ = 0;
    uint32_t transparentIndex_ = 0;
    uint32_t transparentRed_ = 255, transparentGreen_ = 0, transparentBlue_ = 255;
    int32_t error_ = kMapErrorNone;

    // Header.
    bool haveHeader_ = false;
    uint16_t mapWidth_ = 0, mapHeight_ = 0, blockWidth_ = 0, blockHeight_ = 0;
    uint16_t blockDepth_ = 0, blockStrSize_ = 0, numBlockStr_ = 0, numBlockGfx_ = 0;

    // Raw chunks.
    std::vector<uint8_t> colourMap_, blockData_, animationData_, graphicsData_;
    bool haveAnimations_ = false;
    std::vector<uint8_t> layers_[kLayers];
    bool haveLayer_[kLayers] = {};
    std::vector<uint8_t>* currentLayer_ = nullptr;
    uint8_t palette_[256][4] = {};

    // Resolved references: per block record its background graphic, per
    // animation record (counted from the chunk's end) its current frame's
    // block record.
    std::vector<int32_t> recordGraphic_;
    std::vector<int32_t> animationRecord_;
    PtrArray<GfxSurface> blockSurfaces_;
    // Where each block's pixels lie, fetched when the block was filled; the
    // store they belong to tells when a display mode change or a loss has
    // replaced or emptied them, and they are filled and fetched again.
    struct BlockPixels {
        const uint8_t* bytes;
        int pitch;
        uint64_t store; // the store's serial
    };
    std::vector<BlockPixels> blockPixels_;
    // The current layer drawn whole in the blocks' format, so that drawing
    // the window is one straight copy; cells changed by setBlock are drawn
    // into it again. Kept only for maps of a reasonable size.
    static constexpr size_t kMaxPictureBytes = 32u * 1024 * 1024;
    std::vector<uint8_t> picture_;
    size_t picturePitch_ = 0;
    int pictureDepth_ = 0;
    const std::vector<uint8_t>* pictureLayer_ = nullptr;
    bool pictureValid_ = false;
    // Cells of the picture that name no block: the window over them is left
    // as it was, which only the block by block drawing does.
    int undrawableCells_ = 0;
    std::vector<int8_t> marks_;
    GfxScreen* screen_ = nullptr;
};
