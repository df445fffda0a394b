// Players add their own levels: the map loader must reject any file it
// cannot use, never read or write outside its buffers.
#include "fuzz/FuzzInput.h"
#include "map/TileMap.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = scratchPath("tilemap");
    if (!writeInput(path, data, size))
        return 0;
    TileMap map;
    if (map.load(nullptr, path.c_str(), 0, 20, 640, 460) == 0) {
        for (int y = -1; y <= map.getMapHeight(); ++y)
            for (int x = -1; x <= map.getMapWidth(); ++x)
                map.setBlock(x, y, map.getBlock(x, y));
        map.setScroll(1 << 20, 1 << 20);
        for (int n = 0; n < 8; ++n)
            map.selectLayer(n);
    }
    return 0;
}
