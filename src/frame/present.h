// FramePresent, the one service every screen loop calls at the end of each frame, and the
// per-frame state it keeps: pacing, frame rate, slow-system skipping, the sampled mouse, the
// global keys (Tab, F11, Escape, F12, Alt+F4) and the window's close button.
#pragma once

// All written by FramePresent (unless said otherwise) and reset by ResetFrameState.
extern int LastFrameEnd;      // ms: Millis() at the end of the previous FramePresent
extern int FrameTime;         // ms from the previous frame end to this one
extern int FrameRate;         // smoothed frames per second; read by the engine test
extern int SkipFrame;         // toggled at the end of every frame; 1: slow-system skips the next
extern int ShowStats;         // statistics overlay on; F12 toggles, the engine test clears it
extern int CollectedCount;    // result of the last collection pass
extern int PauseState;        // 0 no pausing, 1 pausing allowed (game in play), 2 pause menu open
extern int SettingsMenuOpen;  // toggled by Tab; the settings menu slides by it
extern int FrameMouseX, FrameMouseY;         // virtual mouse at the last frame end, truncated
extern int FrameClickLeft, FrameClickRight;  // button presses counted up to the last frame end

constexpr int kPacedFrameRate = 60;
constexpr int kPacingAllowanceMs = 2;  // a frame may end this much early

// Platform key codes read here.
constexpr int kKeyTab = 9;
constexpr int kKeyEscape = 27;
constexpr int kKeyF4 = 115;
constexpr int kKeyF11 = 122;
constexpr int kKeyF12 = 123;
constexpr int kKeyLeftAlt = 164;
constexpr int kKeyRightAlt = 165;

// The start-up values of the state above (LastFrameEnd 0, ShowStats 1).
void ResetFrameState();

// Ends a frame: pop-ups, global keys, settings menu, overlay, pointer (showPointer 1), mouse
// sampling, pacing to 60 a second, notices, present. Returns 0, or the pause menu's result (1
// continue, 99 quit the game) when it ran. Does not return when the program is asked to close.
int FramePresent(int showPointer);
