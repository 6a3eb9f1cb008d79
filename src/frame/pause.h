// The pause menu opened by Escape during a game, and screenshots (F11).
#pragma once

#include <string>

// 1 continue, 99 quit the game. Runs only inside FramePresent with PauseState 2.
int PauseMenu();
void TakeScreenshot();
// text without the characters a file name must not carry: # ' , ` . \ / : | * ? "
std::string CleanFileName(const std::string& text);
