// Display set-up: the list of usable sizes, the back-end choice with its crash fallback, opening
// the window or full screen, the virtual resolution, and loading everything the display owns.
#pragma once

// The marker that exists in the game folder only while a display is being opened and loaded; a
// start that finds it knows the previous one never got that far.
constexpr const char* kCrashMarker = "crash.dat";

// Rebuilds DisplayModes; settles Width/Height, ModeIndex and DisplayWidth/Height. First step of
// DisplaySetup, split out so the settings menu and tests can read the list alone.
void BuildDisplayModeList();
// Steps of DisplaySetup, open to the settings menu and tests: the colour depth for DisplayWidth x
// DisplayHeight (0 for a window, posting a notice when full screen is impossible), and Widescreen
// with the virtual size for the opened display, logging the widescreen lines.
int ChooseDisplayDepth();
void ChooseVirtualResolution();
// Opens (or reopens) the display from Settings and loads all assets. Expects the current folder to
// be the game folder. When no display can be opened at all, says so and ends the process with 1.
void DisplaySetup();
