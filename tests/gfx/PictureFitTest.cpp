// The picture's place in windows of every shape, and clicks mapped back, also on high-DPI.
#include "gfx/PictureFit.h"
#include "tests/support/Golden.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

TEST(PictureFit, PlacementWindowScaleAndClicksInWindowsOfEveryShape) {
    std::ostringstream out;
    // Output (or usable desktop) sizes for a 640x480 picture, then odd pictures.
    const std::pair<int, int> outputs[] = {
        {640, 480},   {1280, 960},  {800, 480},   {640, 600},   {1920, 1080},
        {1000, 1000}, {321, 240},   {320, 241},   {2560, 1600}, {320, 100},
        {1, 480},     {2, 2},       {1920, 1040}, {1279, 960},  {1280, 959},
        {3840, 2120}, {2560, 1400}, {5120, 2880}, {800, 600},   {600, 400},
        {0, 0},       {1920, 480},  {640, 1440},  {0, 480},     {640, -1}};
    auto fit = [&](int w, int h, int pictureWidth, int pictureHeight) {
        const PictureRect r = fitPicture(w, h, pictureWidth, pictureHeight);
        out << "output " << w << "x" << h << " picture " << pictureWidth << "x" << pictureHeight
            << ": at " << r.x << "," << r.y << " size " << r.width << "x" << r.height
            << " window scale " << wholeWindowScale(w, h, pictureWidth, pictureHeight) << "\n";
    };
    for (const auto& [w, h] : outputs)
        fit(w, h, 640, 480);
    for (const auto& [w, h] : {std::pair{640, 480}, {1920, 1080}})
        for (const auto& [pw, ph] : {std::pair{1, 1}, {0, 480}, {640, 0}})
            fit(w, h, pw, ph);
    // Positions over the bars lie beyond the picture's edges; a drawable may be larger.
    const std::pair<PictureView, std::vector<std::pair<int, int>>> views[] = {
        {{640, 480, 640, 480, 640, 480}, {{0, 0}, {639, 479}, {320, 240}}},
        {{1280, 960, 1280, 960, 640, 480}, {{1, 1}, {2, 3}, {1279, 959}}},
        {{800, 480, 800, 480, 640, 480}, {{79, 10}, {80, 10}, {719, 479}, {720, 0}}},
        {{1920, 1080, 1920, 1080, 640, 480}, {{239, 0}, {240, 0}, {960, 540}, {1679, 1079}}},
        {{640, 600, 640, 600, 640, 480}, {{10, 59}, {10, 60}, {10, 539}, {10, 540}}},
        {{320, 240, 320, 240, 640, 480}, {{319, 239}}},
        {{1280, 800, 2560, 1600, 640, 480},
         {{640, 400}, {106, 0}, {105, 0}, {1172, 799}, {640, 3}, {640, 1}}},
        {{640, 480, 1280, 960, 640, 480}, {{639, 479}, {1, 0}}},
        {{1, 1, 2, 2, 640, 480}, {{0, 0}}},
        {{2, 1, 2, 1, 640, 480}, {{1, 0}}},
        // No size, or too small to show any of the picture: passed through.
        {{0, 0, 0, 0, 640, 480}, {{17, 23}}},
        {{0, 480, 640, 480, 640, 480}, {{17, 23}}},
        {{640, 0, 640, 480, 640, 480}, {{17, 23}}},
        {{1, 1, 1, 1, 640, 480}, {{17, 23}}},
        {{640, 480, 640, 480, 0, 480}, {{17, 23}}},
        {{5, 1, 5, 1, 1, 2}, {{17, 23}}},
    };
    for (const auto& [v, at] : views) {
        out << "window " << v.windowWidth << "x" << v.windowHeight << " drawable " << v.outputWidth
            << "x" << v.outputHeight << " picture " << v.pictureWidth << "x" << v.pictureHeight
            << ":";
        for (const auto& [x, y] : at) {
            int px = 12345, py = 12345;
            v.toPicture(x, y, px, py);
            out << " " << x << "," << y << "->" << px << "," << py;
        }
        out << "\n";
    }
    checkGoldenText(LURVANE_GOLDEN_DIR "/picturefit.txt", out.str());
}
