#include "Src/game/GameDisplay.h"

#include "Src/records/HighScoreManager.h"
#include "gfx/GfxSurface.h"

#include <cstdio>

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kTimeRed = 0x1428FF; // 0x00BBGGRR

} // namespace

GameDisplay::~GameDisplay() {
    deleteStrip();
}

void GameDisplay::setFonts(const FontRecord& hud, const FontRecord& message) {
    hudFont_ = hud;
    messageFont_ = message;
    fontSurface_ = nullptr;
    fontOnSurface_ = nullptr;
}

void GameDisplay::setStrip(GfxSurface* strip) {
    deleteStrip();
    strip_ = strip;
}

void GameDisplay::deleteStrip() {
    delete strip_;
    strip_ = nullptr;
}

void GameDisplay::resetRank() {
    firstPlace_ = false;
    stripSource_ = {0, 0, 640, 20};
    rankSoundAllowance_ = 1;
    rankShown_ = -1;
    nextRankScore_ = -1;
}

bool GameDisplay::updateRank(int32_t score, const HighScoreList* table) {
    if (rankShown_ == 0 || !table)
        return false;
    if (nextRankScore_ != -1 && score < nextRankScore_)
        return false;
    int count = 0;
    int32_t next = 0;
    while (count < HighScoreList::kEntries && score < table->entries[count].score) {
        next = table->entries[count].score;
        ++count;
    }
    if (count == 0) {
        firstPlace_ = true;
        stripSource_ = {0, 20, 640, 40};
    } else {
        firstPlace_ = false;
        rankText_.format("%ld", static_cast<long>(count));
        nextScoreText_.format("%ld", static_cast<long>(next));
    }
    bool sound = false;
    if (count < rankShown_ && rankSoundAllowance_ > 0) {
        sound = true;
        --rankSoundAllowance_;
    }
    rankShown_ = count;
    if (count > 0)
        nextRankScore_ = next;
    return sound;
}

void GameDisplay::useFont(GfxSurface* target, const FontRecord& font) {
    if (fontSurface_ != target || fontOnSurface_ != &font || !target->HasFont()) {
        target->SetFont(font.face, font.width, font.height, font.weight);
        fontSurface_ = target;
        fontOnSurface_ = &font;
    }
    target->SelectFont();
}

void GameDisplay::drawStrip(GfxSurface* target, const StripValues& v) {
    if (!strip_ || !target)
        return;
    strip_->DrawOpaque(target, 0, 0, &stripSource_);
    target->GetDC();
    useFont(target, hudFont_);
    // Formatted on the stack: the strip is drawn every frame and must not
    // allocate.
    char lives[16], time[16], items[16], score[16];
    std::snprintf(lives, sizeof lives, "%ld", static_cast<long>(v.lives));
    std::snprintf(time, sizeof time, "%ld", static_cast<long>(v.timeLeft));
    std::snprintf(items, sizeof items, "%ld", static_cast<long>(v.itemsLeft));
    std::snprintf(score, sizeof score, "%ld", static_cast<long>(v.score));
    for (int pass = 0; pass < 2; ++pass) {
        const bool shadow = pass == 0;
        const int dx = shadow ? 1 : 0, y = shadow ? 2 : 1;
        const uint32_t colour = shadow ? kBlack : kWhite;
        target->TextAt(25 + dx, y, colour, lives);
        const bool red = !shadow && v.timeLeft < 11 && !v.messageShown;
        target->TextAt(85 + dx, y, red ? kTimeRed : colour, time);
        target->TextAt(142 + dx, y, colour, items);
        target->TextAt(191 + dx, y, colour, v.title);
        target->TextAt(372 + dx, y, colour, score);
        if (!firstPlace_) {
            target->TextAt(506 + dx, y, colour, rankText_.c_str());
            target->TextAt(585 + dx, y, colour, nextScoreText_.c_str());
        }
    }
    target->ReleaseDC();
}

void GameDisplay::drawCentredText(GfxSurface* target, int y, const char* text) {
    int w = 0, h = 0;
    target->GetTextExtent(text, w, h);
    const int x = (640 - w) / 2;
    static const int kOutline[8][2] = {{-2, -2}, {2, -2}, {-1, -1}, {1, -1},
                                       {1, 1},   {-1, 1}, {2, 2},   {-2, 2}};
    for (const auto& o : kOutline)
        target->TextAt(x + o[0], y + o[1], kBlack, text);
    target->TextAt(x, y, kWhite, text);
}

void GameDisplay::drawMessage(GfxSurface* target, const char* text, bool gameOver) {
    if (!target)
        return;
    target->GetDC();
    useFont(target, messageFont_);
    drawCentredText(target, 220, text);
    if (gameOver) {
        drawCentredText(target, 260, "Game Over");
        drawCentredText(target, 300, "Press Fire To Continue");
    } else {
        drawCentredText(target, 250, "Press Fire To Continue");
    }
    target->ReleaseDC();
}

void GameDisplay::drawPause(GfxSurface* target) {
    if (!target)
        return;
    target->GetDC();
    useFont(target, messageFont_);
    drawCentredText(target, 220, "Pause");
    target->ReleaseDC();
}
