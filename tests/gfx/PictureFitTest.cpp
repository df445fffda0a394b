// The picture's place in windows of many sizes and shapes, and clicks mapped
// back onto it, on plain and high-DPI displays.
#include "gfx/PictureFit.h"

#include <gtest/gtest.h>

#include <utility>

TEST(PictureFit, ScalesAsLargeAsFitsWithAspectKeptAndCentred) {
    struct Case {
        int outputWidth, outputHeight;
        PictureRect expected;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}},       {1280, 960, {0, 0, 1280, 960}},
        {800, 480, {80, 0, 640, 480}},      {640, 600, {0, 60, 640, 480}},
        {1920, 1080, {240, 0, 1440, 1080}}, {1000, 1000, {0, 125, 1000, 750}},
        {321, 240, {0, 0, 320, 240}},       {320, 241, {0, 0, 320, 240}},
        {2560, 1600, {213, 0, 2133, 1600}}, {320, 100, {93, 0, 133, 100}},
        {1, 480, {0, 240, 1, 0}},           {2, 2, {0, 0, 2, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitPicture(c.outputWidth, c.outputHeight, 640, 480), c.expected)
            << c.outputWidth << "x" << c.outputHeight;
    EXPECT_EQ(fitPicture(640, 480, 1, 1), (PictureRect{80, 0, 480, 480}));
    EXPECT_EQ(fitPicture(0, 480, 640, 480), PictureRect{});
    EXPECT_EQ(fitPicture(640, -1, 640, 480), PictureRect{});
    EXPECT_EQ(fitPicture(640, 480, 0, 480), PictureRect{});
    EXPECT_EQ(fitPicture(640, 480, 640, 0), PictureRect{});
}

TEST(PictureFit, WindowScaleIsTheLargestWholeMultipleThatFits) {
    struct Case {
        int usableWidth, usableHeight, scale;
    };
    const Case cases[] = {
        {1920, 1040, 2}, {1920, 1080, 2}, {1280, 960, 2},  {1279, 960, 1}, {1280, 959, 1},
        {3840, 2120, 4}, {2560, 1400, 2}, {5120, 2880, 6}, {800, 600, 1},  {600, 400, 1},
        {0, 0, 1},       {1920, 480, 1},  {640, 1440, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wholeWindowScale(c.usableWidth, c.usableHeight, 640, 480), c.scale)
            << c.usableWidth << "x" << c.usableHeight;
    EXPECT_EQ(wholeWindowScale(1920, 1080, 0, 480), 1);
    EXPECT_EQ(wholeWindowScale(1920, 1080, 640, 0), 1);
    EXPECT_EQ(wholeWindowScale(1920, 1080, 1, 1), 1080);
}

TEST(PictureFit, WindowPositionsMapBackToThePicture) {
    struct Case {
        int windowWidth, windowHeight, outputWidth, outputHeight;
        int windowX, windowY, pictureX, pictureY;
    };
    const Case cases[] = {
        // The picture's own size.
        {640, 480, 640, 480, 0, 0, 0, 0},
        {640, 480, 640, 480, 639, 479, 639, 479},
        {640, 480, 640, 480, 320, 240, 320, 240},
        // Twice as large: two window pixels to a picture pixel.
        {1280, 960, 1280, 960, 1, 1, 0, 0},
        {1280, 960, 1280, 960, 2, 3, 1, 1},
        {1280, 960, 1280, 960, 1279, 959, 639, 479},
        // Bars at the sides: positions over them lie beyond the edges.
        {800, 480, 800, 480, 79, 10, -1, 10},
        {800, 480, 800, 480, 80, 10, 0, 10},
        {800, 480, 800, 480, 719, 479, 639, 479},
        {800, 480, 800, 480, 720, 0, 640, 0},
        {1920, 1080, 1920, 1080, 239, 0, -1, 0},
        {1920, 1080, 1920, 1080, 240, 0, 0, 0},
        {1920, 1080, 1920, 1080, 960, 540, 320, 240},
        {1920, 1080, 1920, 1080, 1679, 1079, 639, 479},
        // Bars above and below.
        {640, 600, 640, 600, 10, 59, 10, -1},
        {640, 600, 640, 600, 10, 60, 10, 0},
        {640, 600, 640, 600, 10, 539, 10, 479},
        {640, 600, 640, 600, 10, 540, 10, 480},
        // Smaller than the picture.
        {320, 240, 320, 240, 319, 239, 638, 478},
        // High-DPI: the drawable has twice the window's units.
        {1280, 800, 2560, 1600, 640, 400, 320, 240},
        {1280, 800, 2560, 1600, 106, 0, 0, 0},
        {1280, 800, 2560, 1600, 105, 0, -1, 0},
        {1280, 800, 2560, 1600, 1172, 799, 639, 479},
        {640, 480, 1280, 960, 639, 479, 639, 479},
        {640, 480, 1280, 960, 1, 0, 1, 0},
        // The middle of a window unit decides which drawable pixel it is.
        {1280, 800, 2560, 1600, 640, 3, 320, 2},
        {1280, 800, 2560, 1600, 640, 1, 320, 0},
        {1, 1, 2, 2, 0, 0, 320, 480},
        {2, 1, 2, 1, 1, 0, 640, 0},
    };
    for (const Case& c : cases) {
        const PictureView view{
            c.windowWidth, c.windowHeight, c.outputWidth, c.outputHeight, 640, 480};
        int x = 12345, y = 12345;
        view.toPicture(c.windowX, c.windowY, x, y);
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(c.pictureX, c.pictureY))
            << c.windowWidth << "x" << c.windowHeight << " at " << c.windowX << "," << c.windowY;
    }
    // A window without a size, or too small to show any of the picture,
    // passes positions through.
    const PictureView unsized[] = {{0, 0, 0, 0, 640, 480},       {0, 480, 640, 480, 640, 480},
                                   {640, 0, 640, 480, 640, 480}, {1, 1, 1, 1, 640, 480},
                                   {640, 480, 640, 480, 0, 480}, {5, 1, 5, 1, 1, 2}};
    for (const PictureView& view : unsized) {
        int x = 0, y = 0;
        view.toPicture(17, 23, x, y);
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(17, 23)) << view.windowWidth;
    }
}
