// The title screen's small pieces that need no drawing: the scrolling
// welcome text, the information panel cycle and the main menu's zone and
// skill labels.
#pragma once

#include "lib/String.h"

class LevelCatalogue;

// The whole scrolling text: leading blanks so that it enters from the
// right, then the greeting and what the game offers.
extern const char* const kWelcomeText;
constexpr int kWelcomeTextLength = 383;

// The information panel below the scroller cycles through six phases:
// nothing, high scores, nothing, statistics, nothing, keyboard controls.
enum class InfoPanel { None, HighScores, Statistics, Controls };

class InfoPanelCycle {
public:
    static constexpr int kPhases = 6;
    static constexpr int kGapFrames = 50;
    static constexpr int kPanelFrames = 400;

    // Selects phase n for its number of frames; a phase past the last
    // starts the cycle again.
    void setInfoPanel(int n);
    // One frame: counts down and moves to the next phase when it is over.
    // Gives the panel to show in this frame.
    InfoPanel advance();

    // Frames left for the phase shown now.
    void setCountdown(int frames) { panelCountdown_ = frames; }

    int phase() const { return infoPanel_; }
    int countdown() const { return panelCountdown_; }
    InfoPanel panel() const;

    static int framesOf(int phase);

private:
    int infoPanel_ = 0;
    int panelCountdown_ = kGapFrames;
};

// "Easy", "Normal" or "Hard"; null for any other value.
const char* skillName(int skill);
// "Skill = " and the skill's name; the name is left out when the skill is
// not one of the three.
void makeSkillLabel(int skill, String& out);
// "Zone = " and the zone's name; the name is left out when the index is
// not one of the catalogue's zones.
void makeZoneLabel(const LevelCatalogue& catalogue, int zone, String& out);
// The skill after this one: Easy, Normal, Hard, then Easy again.
int nextSkill(int skill);
