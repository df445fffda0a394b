// The screen after a game whose score enters the high score table of the
// zone and skill played: congratulations, score and rank, and the player's
// name, which goes into the table and is offered again next time. After a
// game with cheat keys it congratulates all the same but enters nothing.
#pragma once

#include "Src/core/Application.h"
#include "lib/String.h"

#include <cstdint>

class GfxSurface;
class HighScoreList;
class TextInput;
class TextList;

class NewHighScore {
public:
    static constexpr const char* kPicture = ".\\Data\\Gfx\\GoodScore.bmp";
    static constexpr uint32_t kPictureKey = 0x404040; // RGB(64, 64, 64)
    static constexpr uint32_t kBackground = 0xFACDBF; // RGB(191, 205, 250)
    static constexpr int kNameWidth = 290;
    static constexpr int kStampPeriod = 10;

    NewHighScore();
    ~NewHighScore();
    NewHighScore(const NewHighScore&) = delete;
    NewHighScore& operator=(const NewHighScore&) = delete;

    // The whole screen; returns at once when the score does not reach the
    // table.
    void runNewHighScore(int32_t score, HighScoreList* list, int32_t zone, int32_t skill,
                         bool cheatsUsed);
    // One frame of the screen's loop.
    void frame();

    // What the last run showed, for tests.
    int rank() const { return rank_; }
    const String& messageLines() const { return messageLines_; }
    int pictureX() const { return pictureX_; }
    int pictureY() const { return pictureY_; }
    int pictureCountdown() const { return pictureCountdown_; }
    int stamps() const { return stamps_; }
    int layoutTop() const { return layoutTop_; }
    TextInput* nameBox() const { return nameBox_; }

private:
    bool loadPicture();
    void release();

    LoopCallbacks loop_;
    int rank_ = 0;
    int32_t score_ = 0;
    HighScoreList* list_ = nullptr;
    bool cheatsUsed_ = false;
    GfxSurface* picture_ = nullptr;
    int pictureX_ = 0, pictureY_ = 0;
    int pictureCountdown_ = 2;
    int stamps_ = 0;
    TextList* messageBox_ = nullptr;
    TextInput* nameBox_ = nullptr;
    String messageLines_;
    int layoutTop_ = -1; // -1 until the first frame has measured the boxes
};
