// Long-lived service objects (high scores, menu boxes, input) register with
// one process-wide registry, whose visible effect is a log line per module
// added or removed.
#pragma once

#include "lib/Array.h"

class GameModule {
public:
    // Registers the module under its name.
    explicit GameModule(const char* name);
    // Unregisters it.
    virtual ~GameModule();
    GameModule(const GameModule&) = delete;
    GameModule& operator=(const GameModule&) = delete;

    virtual const char* getName() const { return name_; }
    bool isRegistered() const { return registered_; }

private:
    const char* name_;
    bool registered_ = false;
};

class GameModuleManager {
public:
    void add(GameModule* module);
    void remove(GameModule* module);
    GameModule* find(const char* name) const;
    int count() const { return modules_.size(); }
    GameModule* at(int i) const { return modules_[i]; }

private:
    Array<GameModule*> modules_;
};

extern GameModuleManager gameModuleManager;
