#include "RunLoop.h"

#include "Application.h"
#include "GfxSurface.h"

// Until the title screen exists: an empty screen that runs until the window
// is closed or the program is asked to quit.
void runFrontEndAndGames() {
    LoopCallbacks waiting;
    waiting.frame = [] {
        if (app.backSurface)
            app.backSurface->FillAll(0);
    };
    app.framesPerSecond = 50;
    winloop(waiting, true);
}
