// Stand-in until the settings menu lands.
#include "screens/settings_menu.h"

void SettingsMenu() {}
