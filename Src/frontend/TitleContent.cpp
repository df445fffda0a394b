#include "Src/frontend/TitleContent.h"

#include "Src/zones/LevelCatalogue.h"

#define LURVANE_BLANKS_10 "          "
// 79 blanks, then the text with its fixed gaps of four and five blanks.
const char* const kWelcomeText = LURVANE_BLANKS_10 LURVANE_BLANKS_10 LURVANE_BLANKS_10
    LURVANE_BLANKS_10 LURVANE_BLANKS_10 LURVANE_BLANKS_10 LURVANE_BLANKS_10
    "         "
    "Welcome to Lurvane 1.2, the snake arcade!"
    "    "
    "Lurvane is freeware, made by the Lurvane developers."
    "     "
    "8 zones with 41 levels are waiting for you."
    " Guide your snake through all of them and make a new high score!"
    "    "
    "From version 1.2 on you can make your own zones: see the Help pages and the level compiler.";
#undef LURVANE_BLANKS_10

int InfoPanelCycle::framesOf(int phase) {
    return phase % 2 == 1 ? kPanelFrames : kGapFrames;
}

void InfoPanelCycle::setInfoPanel(int n) {
    // Phases out of range (only a caller's slip) start the cycle again.
    if (n < 0 || n >= kPhases)
        n = 0;
    infoPanel_ = n;
    panelCountdown_ = framesOf(n);
}

InfoPanel InfoPanelCycle::advance() {
    if (--panelCountdown_ < 1)
        setInfoPanel(infoPanel_ + 1);
    return panel();
}

InfoPanel InfoPanelCycle::panel() const {
    switch (infoPanel_) {
    case 1:
        return InfoPanel::HighScores;
    case 3:
        return InfoPanel::Statistics;
    case 5:
        return InfoPanel::Controls;
    default:
        return InfoPanel::None;
    }
}

const char* skillName(int skill) {
    static const char* const names[] = {"Easy", "Normal", "Hard"};
    return skill >= 0 && skill < 3 ? names[skill] : nullptr;
}

void makeSkillLabel(int skill, String& out) {
    out = "Skill = ";
    if (const char* name = skillName(skill))
        out += name;
}

void makeZoneLabel(const LevelCatalogue& catalogue, int zone, String& out) {
    out = "Zone = ";
    if (const char* name = catalogue.getZoneName(zone))
        out += name;
}

int nextSkill(int skill) {
    return skill < 0 || skill >= 2 ? 0 : skill + 1;
}
