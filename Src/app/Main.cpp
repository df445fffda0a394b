#include "Src/app/AppIcon.h"
#include "Src/app/GameSystems.h"
#include "gfx/sdl/SdlPlatform.h"
#include "sound/sdl/SdlMixerSoundBackEnd.h"

int main() {
    SdlPlatform platform(LURVANE_APP_ID);
    platform.setIcon(kAppIconPixels, kAppIconSize, kAppIconSize);
    SdlMixerSoundBackEnd sound;
    return runLurvane(platform, &sound);
}
