// Stand-in until the options menu is built.
#include "OptionsMenu.h"

void runOptions(int, int) {}
void buildControlsPanel() {}
