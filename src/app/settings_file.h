// Setup.ini: the player's display, audio and control choices between runs.
#pragma once

// Set by LoadSetup when a line with the key "AUDIODRIVER" was read; the automatic audio back-end
// choice is skipped then.
extern int AudioDriverLineSeen;

// Reads "Setup.ini" of the current folder ("Files/") into Settings and Bindings.
void LoadSetup();
// Rewrites "../Setup.ini" from the game folder in its fixed layout.
void WriteSetup();
