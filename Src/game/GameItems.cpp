// What the blocks the snake eats do, the count after a level, and the two
// cheat keys.
#include "Src/game/GameManager.h"

#include "Src/core/KeySet.h"
#include "Src/records/Settings.h"
#include "sound/SoundSystem.h"

namespace {

enum ItemSound : int {
    kSoundFood = 2,
    kSoundCrash = 4,
    kSoundCountPhase = 6,
    kSoundSpeedReset = 10,
    kSoundShrink = 11,
    kSoundPoints = 12,
    kSoundTime = 13,
};

} // namespace

bool GameManager::eatItem(int block, int headColumn) {
    switch (block) {
    case kBlockFood:
        --itemsLeft_;
        ++score_;
        if (options.soundEffects && soundSystem && map_.getMapWidth() > 0)
            soundSystem->PlaySampleEvent(kSoundFood, headColumn * 255 / map_.getMapWidth());
        return true;
    case kBlockShrink:
        snake_.halve();
        playEffect(kSoundShrink);
        break;
    case kBlockSpeedReset:
        snake_.resetSpeed();
        playEffect(kSoundSpeedReset);
        break;
    case kBlockPoints:
        score_ += 20;
        playEffect(kSoundPoints);
        break;
    case kBlockTime:
        timeLeft_ += 10;
        if (timeLeft_ > levelTime_)
            timeLeft_ = levelTime_;
        playEffect(kSoundTime);
        break;
    default:
        break;
    }
    return false;
}

void GameManager::bonusStep() {
    if (bonusDelay_ > 0) {
        --bonusDelay_;
        return;
    }
    bonusDelay_ = 1; // the count moves on every second frame
    if (bonusPhase_ == 0) {
        if (snake_.segmentCount() > 0) {
            snake_.removeTail();
            score_ += 3;
            return;
        }
        bonusPhase_ = 1;
        playEffect(kSoundCountPhase);
    }
    if (bonusPhase_ == 1) {
        if (timeLeft_ > 0) {
            --timeLeft_;
            score_ += 5;
            return;
        }
        if (!zoneCompletedFlag_)
            return;
        bonusPhase_ = 2;
        playEffect(kSoundCountPhase);
    }
    if (bonusPhase_ == 2 && lives_ > 0) {
        --lives_;
        score_ += 50;
    }
}

void GameManager::finishBonus() {
    score_ += 3 * snake_.segmentCount();
    while (snake_.segmentCount() > 0)
        snake_.removeTail();
    score_ += 5 * timeLeft_;
    timeLeft_ = 0;
    if (zoneCompletedFlag_) {
        score_ += 50 * lives_;
        lives_ = 0;
    }
}

void GameManager::cheatKeys() {
    // Each acts once per press and is armed again when its key is let go.
    const bool l = inputManager && inputManager->isKeyDown(kCheatKeyEndLevel);
    const bool k = inputManager && inputManager->isKeyDown(kCheatKeyLoseSnake);
    if (!l) {
        cheatLArmed_ = true;
    } else if (cheatLArmed_) {
        cheatLArmed_ = false;
        itemsLeft_ = 0;
        cheatsUsed_ = true;
    }
    if (!k) {
        cheatKArmed_ = true;
    } else if (cheatKArmed_) {
        cheatKArmed_ = false;
        cheatsUsed_ = true;
        playEffect(kSoundCrash);
        showMessage("Sorry, that snake is done!");
        loseSnake();
    }
}
