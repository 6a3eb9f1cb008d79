// Reading and writing Setup.ini.
#include "app/settings_file.h"

int AudioDriverLineSeen = 0;

void LoadSetup() {}
void WriteSetup() {}
