// The title screen's high score list: a group of four framed columns (rank,
// name, score, date) under the title "High Scores", filled from one table.
#pragma once

#include <cstdint>

class GfxScreen;
class HighScoreList;
class TextGroup;
class TextList;

// The place of the last new high score, so that the list can show it
// highlighted; zone -1 when there is none to show.
struct PendingHighlight {
    int32_t zone = -1;
    int32_t skill = 0;
    int32_t rank = 0; // 0-based
};

extern PendingHighlight pendingHighlight;

class HighScorePanel {
public:
    static constexpr int kColumns = 4;

    // Built from the application's panel and high score styles, which must
    // be set up for the screen first.
    explicit HighScorePanel(GfxScreen* screen);
    ~HighScorePanel();
    HighScorePanel(const HighScorePanel&) = delete;
    HighScorePanel& operator=(const HighScorePanel&) = delete;

    // Clears the columns and fills them from the table, best first; the
    // line of the pending highlight is marked in every column when it
    // belongs to this table.
    void show(const HighScoreList& list, const PendingHighlight& highlight);

    TextGroup& group() { return *group_; }
    TextList& column(int i) { return *columns_[i]; }

private:
    TextList* columns_[kColumns] = {};
    TextGroup* group_ = nullptr;
};
