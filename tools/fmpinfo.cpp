// fmpinfo FILE.fmp: loads a map file through the game's own loader and
// prints its header fields, one "name=value" per line, then layer 0 as rows
// of block numbers. A file the game rejects prints "error=<code>" with the
// loader's error code (1 memory, 2 format, 3 cannot open) and ends with
// status 1.
#include "gfx/GfxScreen.h"
#include "map/TileMap.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fmpinfo FILE.fmp\n");
        return 2;
    }
    // No window: the block surfaces are made in 32-bit colour.
    GfxScreen screen(nullptr);
    TileMap map;
    if (map.load(&screen, argv[1], 0, 0, -1, -1) != 0) {
        std::printf("error=%d\n", static_cast<int>(map.getError()));
        return 1;
    }
    std::printf("mapWidth=%d\nmapHeight=%d\nblockWidth=%d\nblockHeight=%d\nblockDepth=%d\n"
                "numBlockStr=%d\nnumBlockGfx=%d\n",
                map.getMapWidth(), map.getMapHeight(), map.getBlockWidth(), map.getBlockHeight(),
                map.getBlockDepth(), map.getNumBlockStr(), map.getNumBlockGfx());
    std::string row;
    for (int y = 0; y < map.getMapHeight(); ++y) {
        row.clear();
        for (int x = 0; x < map.getMapWidth(); ++x) {
            if (x > 0)
                row += ' ';
            row += std::to_string(map.getBlock(x, y));
        }
        std::printf("%s\n", row.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
