#include "Src/records/HighScorePanel.h"

#include "Src/core/TextStyles.h"
#include "Src/records/HighScoreManager.h"
#include "gfx/GfxScreen.h"
#include "lib/String.h"
#include "widgets/TextBox.h"
#include "widgets/TextGroup.h"

PendingHighlight pendingHighlight;

namespace {

enum Column : int { kRank = 0, kName = 1, kScore = 2, kDate = 3 };

} // namespace

HighScorePanel::HighScorePanel(GfxScreen* screen) {
    TextStyle columnStyle = panelStyle;
    columnStyle.framed = 1;
    columnStyle.frameColour = screen->ConvertColor(0x005000);
    columnStyle.frameWidth = 1;
    TextStyle groupStyle = highScoreStyle;
    groupStyle.framed = 0;
    groupStyle.marginX = 0;
    groupStyle.lineSpacing = 2; // the gap between the columns
    // Only the framed columns and their texts show when drawn keyed.
    groupStyle.titleBackground = 0;
    groupStyle.background = 0;
    groupStyle.highlightBackground = 0;
    group_ = new TextGroup(screen, groupStyle);
    group_->setTitleStyle(columnStyle);
    for (TextList*& column : columns_) {
        column = new TextList(screen, columnStyle);
        group_->addChild(column);
    }
    group_->setColumns(true);
    group_->setTitle("High Scores");
}

HighScorePanel::~HighScorePanel() {
    // The group refers to the columns: it goes first.
    delete group_;
    for (TextList* column : columns_)
        delete column;
}

void HighScorePanel::show(const HighScoreList& list, const PendingHighlight& highlight) {
    for (TextList* column : columns_)
        column->clear();
    String text;
    for (int i = 0; i < HighScoreList::kEntries; ++i) {
        const HighScoreEntry& entry = list.entries[i];
        text.format("%02ld", static_cast<long>(i + 1));
        columns_[kRank]->setLine(i, text.c_str());
        // Set as one line whatever it holds: a name is never a format and
        // never breaks the columns apart.
        columns_[kName]->setLine(i, entry.name);
        text.format("%06ld", static_cast<long>(entry.score));
        columns_[kScore]->setLine(i, text.c_str());
        if (entry.byPlayer)
            text.format(
                "%02ld/%02ld/%04ld %02ld:%02ld", static_cast<long>(entry.date.getMonth()),
                static_cast<long>(entry.date.getDay()), static_cast<long>(entry.date.getYear()),
                static_cast<long>(entry.date.getHour()), static_cast<long>(entry.date.getMinute()));
        else
            text = " ";
        columns_[kDate]->setLine(i, text.c_str());
    }
    if (highlight.zone != -1 && highlight.zone == list.zone && highlight.skill == list.skill &&
        highlight.rank >= 0 && highlight.rank < HighScoreList::kEntries)
        for (TextList* column : columns_)
            column->setHighlight(highlight.rank, true);
}
