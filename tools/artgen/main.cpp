// artgen OUT_GFX_DIR OUT_ART_DIR
// artgen --icons OUT_ICON_DIR
// Paints the game's pictures: the screens and snake sheets into the Gfx
// directory, and each zone's block sheet into OUT_ART_DIR/<zone>/blocks.bmp
// for the level compiler. With --icons: the application icon for the icon
// theme (OUT_ICON_DIR/hicolor/<N>x<N>/apps/lurvane.png and the scalable
// hicolor/scalable/apps/lurvane.svg) and the window icon as C++ source
// (OUT_ICON_DIR/AppIcon.cpp).
#include "lib/HostPath.h"
#include "tools/artgen/ArtPainters.h"
#include "tools/artgen/ArtSet.h"
#include "tools/artgen/Bitmap.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string host = hostPath(path.c_str()).c_str();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(host).parent_path(), ignored);
    if (writeFileBytes(host, bytes))
        return true;
    std::fprintf(stderr, "artgen: cannot write %s\n", host.c_str());
    return false;
}

// Painting takes a while; an unusable output directory is refused first.
bool makeDirectory(const std::string& dir) {
    std::error_code error;
    const std::string host = hostPath(dir.c_str()).c_str();
    std::filesystem::create_directories(host, error);
    if (!error && std::filesystem::is_directory(host))
        return true;
    std::fprintf(stderr, "artgen: cannot write %s\n", host.c_str());
    return false;
}

// The icon theme's PNG files and the window icon's source.
int writeIcons(const std::string& dir) {
    if (!makeDirectory(dir))
        return 1;
    for (const ArtFile& file : generateIcons())
        if (!writeFile(dir + "/hicolor/" + file.path, file.bytes))
            return 1;
    const std::string svg = makeIconSvg();
    if (!writeFile(dir + "/hicolor/scalable/apps/lurvane.svg",
                   std::vector<uint8_t>(svg.begin(), svg.end())))
        return 1;
    const std::string source = windowIconSource(makeIcon(kWindowIconSize));
    return writeFile(dir + "/AppIcon.cpp", std::vector<uint8_t>(source.begin(), source.end())) ? 0
                                                                                               : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons")
        return writeIcons(argv[2]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen OUT_GFX_DIR OUT_ART_DIR\n"
                             "       artgen --icons OUT_ICON_DIR\n");
        return 2;
    }
    if (!makeDirectory(argv[1]) || !makeDirectory(argv[2]))
        return 1;
    for (const ArtFile& file : generateArt()) {
        const std::string path = std::string(argv[file.isBlockSheet ? 2 : 1]) + "/" + file.path;
        if (!writeFile(path, file.bytes))
            return 1;
    }
    return 0;
}
