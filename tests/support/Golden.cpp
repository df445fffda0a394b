#include "tests/support/Golden.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

std::string writePpm(int width, int height, const std::vector<uint32_t>& rgb) {
    std::string out = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (uint32_t c : rgb) {
        out += static_cast<char>((c >> 16) & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

bool readPpm(const std::string& bytes, int& width, int& height, std::vector<uint32_t>& rgb) {
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    if (magic != "P6" || maxValue != 255 || width <= 0 || height <= 0)
        return false;
    in.get();
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t start = static_cast<size_t>(in.tellg());
    if (bytes.size() < start + count * 3)
        return false;
    rgb.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + start + i * 3);
        rgb[i] = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    return true;
}

namespace {

bool updating() {
    const char* update = std::getenv("LURVANE_UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

} // namespace

void checkGolden(const std::string& path, int width, int height,
                 const std::vector<uint32_t>& frame) {
    if (updating()) {
        writeFile(path, writePpm(width, height, frame));
        return;
    }
    int w = 0, h = 0;
    std::vector<uint32_t> golden;
    ASSERT_TRUE(readPpm(readFile(path), w, h, golden)) << path;
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    ASSERT_EQ(golden.size(), frame.size());
    int differing = 0;
    for (size_t i = 0; i < golden.size(); ++i)
        differing += golden[i] != frame[i];
    EXPECT_EQ(differing, 0) << path
                            << ": run with LURVANE_UPDATE_GOLDEN=1 after a deliberate change";
}

void checkGoldenText(const std::string& path, const std::string& text) {
    if (updating())
        writeFile(path, text);
    else
        EXPECT_EQ(readFile(path), text)
            << path << ": run with LURVANE_UPDATE_GOLDEN=1 after a deliberate change";
}
