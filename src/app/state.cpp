// The process-wide tables of state.h, with the values Main gives them before anything runs.
#include "app/state.h"

#include <algorithm>

#include "app/log.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "audio/sfx.h"
#include "input/controls.h"
#include "game/objects.h"
#include "scores/score_table.h"
#include "scores/scores.h"
#include "screens/settings_menu.h"

int Settings[100];
std::vector<std::string> AudioDrivers;

int DisplayWidth = 800, DisplayHeight = 600;
int VirtualWidth = 1280, VirtualHeight = 960;
int DisplayModeWidths[kMaxDisplayModes];
int DisplayModeHeights[kMaxDisplayModes];
int DisplayModeCount = 0;
int DisplayOpened = 0;

std::string AboutLines[100];
int LoadingDeadline = 0;
int MouseDriven = 1;
int BadgeCount = 16;
std::string PlayerName = "Player";

std::string GameFolder() {
    const std::string padded = "000" + std::to_string(WeekNumber);
    return padded.substr(padded.size() - 3) + "/";
}

void SetDefaultSettings() {
    std::fill(std::begin(Settings), std::end(Settings), 0);
    Settings[Fullscreen] = 0;
    Settings[Width] = 800;
    Settings[Height] = 600;
    Settings[SlowSystem] = 0;
    Settings[MasterVolume] = 50;
    Settings[SoundVolume] = 50;
    Settings[MusicVolume] = 50;
    Settings[GfxEngine] = 0;
    Settings[AudioDriverIndex] = 0;
}

void ResetProcessState() {
    CloseLog();
    SetDefaultSettings();
    AudioDrivers.clear();
    DisplayWidth = 800;
    DisplayHeight = 600;
    VirtualWidth = 1280;
    VirtualHeight = 960;
    std::fill(std::begin(DisplayModeWidths), std::end(DisplayModeWidths), 0);
    std::fill(std::begin(DisplayModeHeights), std::end(DisplayModeHeights), 0);
    DisplayModeCount = 0;
    DisplayOpened = 0;
    for (std::string& line : AboutLines) line.clear();
    LoadingDeadline = 0;
    MouseDriven = 1;
    BadgeCount = 16;
    PlayerName = "Player";
    ResetDrawTables();
    ResetFrameState();
    SetDefaultBindings();
    for (JoystickPort& port : JoystickPorts) port = JoystickPort{};
    JoystickPortCount = 0;
    ResetSoundEffects();
    ResetSettingsMenu();
    GameObjects.clear();
    PointPopups.clear();
    Notices.clear();
    // The table's rank slots and selection point into LocalScores, so they go with it.
    std::fill(std::begin(RankSlots), std::end(RankSlots), nullptr);
    SelectedScore = nullptr;
    MaxShownScore = 0;
    GraphScroll = 0;
    PinnedEntry = 0;
    LocalScores.clear();
    StoredUser.clear();
    StoredPassword.clear();
}
