#include "Src/app/RunLoop.h"

#include "Src/core/Application.h"
#include "Src/core/InputManager.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/frontend/TitleScreen.h"
#include "Src/game/GameManager.h"
#include "Src/records/Settings.h"

namespace {

bool programEnds() {
    return app.loopResult == kLoopQuit || app.loopResult == kLoopInitFailed;
}

} // namespace

void runFrontEndAndGames() {
    setInfoPanel(0);
    if (!runTitleScreen())
        return;
    do {
        if (programEnds())
            return;
        if (inputManager) {
            inputManager->setKeySet(0, &options.player1Keys);
            inputManager->setKeySet(1, &options.player2Keys);
        }
        {
            GameManager game;
            gameManager = &game;
            game.run();
            gameManager = nullptr;
        }
        // After a game the high score list shows first.
        setInfoPanel(1);
        if (programEnds())
            return;
    } while (runTitleScreen());
}
