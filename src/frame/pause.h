// The pause menu opened by Escape during a game, and screenshots (F11). Both are started by
// FramePresent; the pause menu runs its own frames and calls FramePresent one level deep.
#pragma once

#include <string>

// The pause menu's results.
constexpr int kPauseContinue = 1;
constexpr int kPauseQuit = 99;

// Escape's release is awaited at most this many passes of kPauseReleasePassMs, so a key that never
// comes up (or a release the window never heard of) cannot freeze the program.
constexpr int kPauseReleasePasses = 120;
constexpr int kPauseReleasePassMs = 16;

// kPauseContinue or kPauseQuit. Runs only inside FramePresent with PauseState 2.
int PauseMenu();
// Saves the back buffer as an opaque PNG at level 9 in "Files/", logs it and posts a notice.
// Expects the game folder to be current, and leaves the current folder as it found it.
void TakeScreenshot();
// text without the characters a file name must not carry: # ' , ` . \ / : | * ? "
std::string CleanFileName(const std::string& text);
// The screenshot's file name for the platform's current date and time.
std::string ScreenshotFileName();
