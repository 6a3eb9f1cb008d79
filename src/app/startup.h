// Main, the program body: the fixed start-up order up to the title screen, and the audio back-end
// choice made from the settings.
#pragma once

// Runs the whole program; ends in Shutdown, never returns. The platform must be initialised.
[[noreturn]] void Main();

// Fills AboutLines 1-37 (index 0 stays empty).
void FillAboutLines();
// Picks AudioDriverIndex by name unless Setup.ini named a driver, then selects that driver.
void ChooseAudioDriver();

constexpr int kLoadingMinimumMs = 2500;
