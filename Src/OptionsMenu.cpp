// Stand-in until the options menu is built.
#include "OptionsMenu.h"

void runOptionsMenu(int, int) {}
void buildControlsPanel() {}
