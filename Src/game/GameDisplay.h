// The in-game display: the strip along the top with snakes, time, food,
// level title, score and rank, and the centred messages over the field.
#pragma once

#include "gfx/GfxTypes.h"
#include "lib/String.h"

#include <cstdint>

class GfxSurface;
class HighScoreList;

// A font as the game asks for it.
struct FontRecord {
    const char* face = "Courier";
    int height = 8;
    int width = 0;
    int weight = 700;
};

class GameDisplay {
public:
    GameDisplay() = default;
    ~GameDisplay();
    GameDisplay(const GameDisplay&) = delete;
    GameDisplay& operator=(const GameDisplay&) = delete;

    void setFonts(const FontRecord& hud, const FontRecord& message);
    // Takes ownership of the strip picture (two 640x20 bands).
    void setStrip(GfxSurface* strip);
    void deleteStrip();
    bool hasStrip() const { return strip_ != nullptr; }
    // Rank state at the start of a level.
    void resetRank();
    void allowRankSound() { rankSoundAllowance_ = 1; }

    // Compares the score with the table; returns true when the rank sound
    // should play this frame.
    bool updateRank(int32_t score, const HighScoreList* table);

    struct StripValues {
        int32_t lives = 0, timeLeft = 0, itemsLeft = 0, score = 0;
        const char* title = "";
        bool messageShown = false;
    };
    void drawStrip(GfxSurface* target, const StripValues& values);
    // The message of message mode; gameOver moves the continue line down.
    void drawMessage(GfxSurface* target, const char* text, bool gameOver);
    void drawPause(GfxSurface* target);

    // Text centred across the 640-pixel picture with a black outline, in
    // the font selected on the surface (whose context the caller holds).
    static void drawCentredText(GfxSurface* target, int y, const char* text);

    bool firstPlace() const { return firstPlace_; }
    int rankShown() const { return rankShown_; }
    int32_t nextRankScore() const { return nextRankScore_; }
    const GfxRect& stripSource() const { return stripSource_; }

private:
    void useFont(GfxSurface* target, const FontRecord& font);

    GfxSurface* strip_ = nullptr;
    GfxRect stripSource_ = {0, 0, 640, 20};
    bool firstPlace_ = false;
    int rankShown_ = -1;
    int32_t nextRankScore_ = -1;
    String rankText_;
    String nextScoreText_;
    int rankSoundAllowance_ = 1;
    FontRecord hudFont_;
    FontRecord messageFont_;
    // The font last set on a surface by the display, so it is made only
    // when it changes.
    const GfxSurface* fontSurface_ = nullptr;
    const FontRecord* fontOnSurface_ = nullptr;
};
