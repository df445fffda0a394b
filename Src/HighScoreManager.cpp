#include "HighScoreManager.h"

HighScoreList* HighScoreManager::getList(int skill, int zone) {
    for (HighScoreList* list : lists_)
        if (list->skill == skill && list->zone == zone)
            return list;
    auto* list = new HighScoreList;
    list->skill = skill;
    list->zone = zone;
    lists_.add(list);
    return list;
}
