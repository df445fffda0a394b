#include "AppIcon.h"
#include "GameSystems.h"
#include "SdlMixerSoundBackEnd.h"
#include "SdlPlatform.h"

int main() {
    SdlPlatform platform;
    platform.setIcon(kAppIconPixels, kAppIconSize, kAppIconSize);
    SdlMixerSoundBackEnd sound;
    return runLurvane(platform, &sound);
}
