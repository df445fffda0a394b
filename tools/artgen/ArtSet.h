// Every picture the game ships, as bitmap files ready to be written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ArtFile {
    bool isBlockSheet; // goes below the art directory, else into Gfx
    std::string path;  // relative, with forward slashes
    std::vector<uint8_t> bytes;
};

std::vector<ArtFile> generateArt();
