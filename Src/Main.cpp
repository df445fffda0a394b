#include "GameSystems.h"
#include "SdlPlatform.h"

int main() {
    SdlPlatform platform;
    return runLurvane(platform);
}
