// The settings file ".\Data\settings.dat". (Defaults only, so far: the
// file is neither read nor written yet.)
#pragma once

void applyDefaultSettings();
void loadSettings();
void saveSettings();
