// Where the game's fixed-size picture stands in a window of any size, and
// where a position in that window falls on the picture. Pure arithmetic, so
// that every window size can be checked without a display.
#pragma once

// A rectangle in the window's drawable pixels.
struct PictureRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PictureRect&) const = default;
};

// The picture scaled as large as the output allows with its aspect kept and
// centred; the rest of the output stays as black bars. Empty when any size
// is not positive.
PictureRect fitPicture(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);

// The largest whole multiple of the picture that fits the usable desktop
// area, at least 1 so that a small desktop still gets the picture whole.
int wholeWindowScale(int usableWidth, int usableHeight, int pictureWidth, int pictureHeight);

// A window showing the picture. Window sizes and positions are in the window
// system's units; the drawable may have more pixels than that on a high-DPI
// display.
struct PictureView {
    int windowWidth = 0, windowHeight = 0;
    int outputWidth = 0, outputHeight = 0;
    int pictureWidth = 0, pictureHeight = 0;

    PictureRect placement() const;
    // The picture position under a window position. Positions over the bars
    // come out beyond the picture's edges, as they would in a window of the
    // picture's own size.
    void toPicture(int windowX, int windowY, int& pictureX, int& pictureY) const;
};
