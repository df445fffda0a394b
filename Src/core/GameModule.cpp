#include "Src/core/GameModule.h"

#include "lib/Log.h"
#include "lib/String.h"

GameModuleManager gameModuleManager;

GameModule::GameModule(const char* name) : name_(name) {
    gameModuleManager.add(this);
    registered_ = true;
}

GameModule::~GameModule() {
    if (registered_)
        gameModuleManager.remove(this);
    registered_ = false;
}

void GameModuleManager::add(GameModule* module) {
    if (!module || !modules_.add(module))
        return;
    gameLog.print("GameModuleManager:: adding '%s'\n", module->getName());
}

void GameModuleManager::remove(GameModule* module) {
    const int index = modules_.indexOf(module);
    if (index < 0)
        return;
    modules_.removeAt(index);
    gameLog.print("GameModuleManager:: removing '%s'\n", module->getName());
}

GameModule* GameModuleManager::find(const char* name) const {
    for (int i = 0; i < modules_.size(); ++i)
        if (String(modules_[i]->getName()) == name)
            return modules_[i];
    return nullptr;
}
