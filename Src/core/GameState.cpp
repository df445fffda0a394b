#include "GameState.h"

int32_t currentZone = 0;
int32_t currentSkill = kSkillEasy;
