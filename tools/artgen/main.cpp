// artgen OUT_GFX_DIR OUT_ART_DIR
// Paints the game's pictures: the screens and snake sheets into the Gfx
// directory, and each zone's block sheet into OUT_ART_DIR/<zone>/blocks.bmp
// for the level compiler.
#include "ArtSet.h"
#include "Bitmap.h"
#include "HostPath.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen OUT_GFX_DIR OUT_ART_DIR\n");
        return 2;
    }
    for (const ArtFile& file : generateArt()) {
        const std::string path = std::string(argv[file.isBlockSheet ? 2 : 1]) + "/" + file.path;
        const std::string host = hostPath(path.c_str()).c_str();
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(host).parent_path(), ignored);
        if (!writeFileBytes(host, file.bytes)) {
            std::fprintf(stderr, "artgen: cannot write %s\n", host.c_str());
            return 1;
        }
    }
    return 0;
}
