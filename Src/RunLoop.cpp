#include "RunLoop.h"

#include "Application.h"
#include "GameManager.h"
#include "GameState.h"
#include "InputManager.h"
#include "LevelCatalogue.h"
#include "Settings.h"

// Until the title screen exists, the front end is one game of the first
// zone on Easy; the program ends after it.
void runFrontEndAndGames() {
    if (levelCatalogue.getZoneCount() == 0) {
        fatalError(app.screen, "No levels found in %s", LevelCatalogue::kLevelsDirectory);
        return;
    }
    currentZone = 0;
    currentSkill = kSkillEasy;
    if (inputManager) {
        inputManager->setKeySet(0, &options.player1Keys);
        inputManager->setKeySet(1, &options.player2Keys);
    }
    GameManager game;
    gameManager = &game;
    game.run();
    gameManager = nullptr;
}
