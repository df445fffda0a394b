#include "GameSystems.h"
#include "SdlMixerSoundBackEnd.h"
#include "SdlPlatform.h"

int main() {
    SdlPlatform platform;
    SdlMixerSoundBackEnd sound;
    return runLurvane(platform, &sound);
}
