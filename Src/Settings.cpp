#include "Settings.h"

#include "Application.h"

void applyDefaultSettings() {
    app.fullScreen = false;
}

void loadSettings() {}

void saveSettings() {}
