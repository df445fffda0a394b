// Pictures as binary PPM files, and comparing a drawn frame with a checked-in
// reference picture (regenerated when LURVANE_UPDATE_GOLDEN=1 is set).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 0x00RRGGBB pixels, row by row.
std::string writePpm(int width, int height, const std::vector<uint32_t>& rgb);
// False when the text is no binary PPM of 8-bit samples.
bool readPpm(const std::string& bytes, int& width, int& height, std::vector<uint32_t>& rgb);

// Compares the frame with the reference picture at path (a gtest failure
// names the number of differing pixels), or rewrites the reference.
void checkGolden(const std::string& path, int width, int height,
                 const std::vector<uint32_t>& frame);

// The same for a text, such as a table listed one entry a line.
void checkGoldenText(const std::string& path, const std::string& text);
