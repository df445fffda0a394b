#include "Settings.h"

#include "Application.h"

Options options;
Statistics statistics;
String lastPlayerName("");

void applyDefaultSettings() {
    options = Options();
    app.fullScreen = options.fullScreen;
}

void resetStatistics() {
    statistics = Statistics();
    statistics.firstStart = DateTime::now();
}

void loadSettings() {
    app.fullScreen = options.fullScreen;
}

void saveSettings() {
    options.fullScreen = app.fullScreen;
}
