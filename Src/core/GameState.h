// State of the game that outlives one game: the chosen zone and skill.
#pragma once

#include <cstdint>

enum Skill : int32_t { kSkillEasy = 0, kSkillNormal = 1, kSkillHard = 2 };

// Index of the chosen zone in the catalogue's sorted zones.
extern int32_t currentZone;
extern int32_t currentSkill;

// Puts currentZone back on the first zone when the catalogue has no such
// zone; called after every zone scan.
void checkCurrentZone(int zoneCount);
