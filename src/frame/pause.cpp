// Stand-in until the pause menu and screenshots land.
#include "frame/pause.h"

int PauseMenu() { return 1; }

void TakeScreenshot() {}

std::string CleanFileName(const std::string& text) {
    std::string clean;
    for (char c : text)
        if (std::string("#',`.\\/:|*?\"").find(c) == std::string::npos) clean += c;
    return clean;
}
