// The program's identity and the process-wide state that start-up creates and the whole run
// shares. Every table here is written as its comment says and lives until the process ends.
#pragma once

#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Identity of this build
// ---------------------------------------------------------------------------------------------

constexpr int WeekNumber = 295;
inline const std::string GameNameA = "Saucer Sway";
inline const std::string GameNameB = "Tug Lines";
// "#295 : Saucer Sway Tug Lines"
// Built by appending: GCC 12 at -O2 warns falsely (-Wrestrict) on "#" + std::string.
inline const std::string WindowTitle = [] {
    std::string title = "#";
    title += std::to_string(WeekNumber);
    title += " : ";
    title += GameNameA;
    title += " ";
    title += GameNameB;
    return title;
}();
// The game folder below "Files/": three-digit week number and "/" ("295/").
std::string GameFolder();

// ---------------------------------------------------------------------------------------------
// Settings: 100 integer slots. Defaults set by Main; the settings file and the settings menu
// write them; display set-up writes Widescreen and ModeIndex (and may replace Width/Height).
// ---------------------------------------------------------------------------------------------

constexpr int Fullscreen = 1;
constexpr int Widescreen = 2;
constexpr int GfxEngine = 3;  // 0 OpenGL, 1 "Direct3D 9" (SDL_Renderer), 2 "Direct3D 7" (software)
constexpr int ModeIndex = 4;
constexpr int Width = 5;
constexpr int Height = 6;
constexpr int SlowSystem = 7;
constexpr int MasterVolume = 11;
constexpr int SoundVolume = 12;
constexpr int MusicVolume = 13;
constexpr int AudioDriverIndex = 14;
extern int Settings[100];

// Audio back-end names as the platform listed them at start-up (index 0 first).
extern std::vector<std::string> AudioDrivers;

// ---------------------------------------------------------------------------------------------
// Display: written by display set-up on every (re)open; read by every screen.
// ---------------------------------------------------------------------------------------------

extern int DisplayWidth, DisplayHeight;  // the opened back buffer, pixels
extern int VirtualWidth, VirtualHeight;  // the logical size screens draw in
constexpr int kMaxDisplayModes = 2500;
extern int DisplayModeWidths[kMaxDisplayModes];   // accepted sizes from index 1
extern int DisplayModeHeights[kMaxDisplayModes];
extern int DisplayModeCount;
extern int DisplayOpened;  // 1 once the first loading screen has been shown

// ---------------------------------------------------------------------------------------------
// Run-wide values set during start-up
// ---------------------------------------------------------------------------------------------

extern std::string AboutLines[100];  // lines 1-37, shown by the title screen's About tab
extern int LoadingDeadline;          // ms: the title screen waits for it after loading
extern int MouseDriven;              // 1: the game is played with the mouse
extern int BadgeCount;               // badges shown per score record
extern std::string PlayerName;       // put into score records; "Player" until replaced

// Settings back to the defaults Main sets before reading Setup.ini.
void SetDefaultSettings();

// Resets every table above, the drawing tables and the frame present's state to the values Main
// gives them before anything runs, and closes the log. Tests call it to start a fresh process.
void ResetProcessState();
