#include "Src/core/GameState.h"

#include "lib/Log.h"

int32_t currentZone = 0;
int32_t currentSkill = kSkillEasy;

void checkCurrentZone(int zoneCount) {
    if (currentZone >= 0 && currentZone < zoneCount)
        return;
    if (zoneCount > 0)
        gameLog.print("chosen zone %ld does not exist, using zone 0\n",
                      static_cast<long>(currentZone));
    currentZone = 0;
}
