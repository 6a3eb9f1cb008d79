// Setup.ini: the player's display, audio and control choices between runs.
#pragma once

// Set by LoadSetup when a line with the key "AUDIODRIVER" was read; the automatic audio back-end
// choice is skipped then.
extern int AudioDriverLineSeen;

// Reads "Setup.ini" of the current folder ("Files/") into Settings and Bindings. Any bytes at all
// are read by the line rules or ignored; a missing file leaves every value as it was.
void LoadSetup();
// Rewrites Setup.ini in its fixed layout beside Debug.txt: "../Setup.ini" from the game folder,
// or the current folder's when start-up found no game folder. The current folder is the same
// afterwards. The file is replaced only when every line was written; otherwise the previous one
// stays whole and "\tCould not write Setup.ini" is logged.
void WriteSetup();
