#include "RunLoop.h"

#include "Application.h"
#include "GameManager.h"
#include "GameState.h"
#include "InputManager.h"
#include "LevelCatalogue.h"
#include "Settings.h"

// Until the title screen exists, the front end is one game of the zone and
// skill chosen in the settings (the first zone on Easy unless changed); the
// program ends after it.
void runFrontEndAndGames() {
    if (levelCatalogue.getZoneCount() == 0) {
        fatalError(app.screen, "No levels found in %s", LevelCatalogue::kLevelsDirectory);
        return;
    }
    if (inputManager) {
        inputManager->setKeySet(0, &options.player1Keys);
        inputManager->setKeySet(1, &options.player2Keys);
    }
    GameManager game;
    gameManager = &game;
    game.run();
    gameManager = nullptr;
}
