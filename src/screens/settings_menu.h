// The settings menu: an overlay that slides down over any screen with the display, audio and
// joystick choices, and Apply, which writes Setup.ini and reopens the display. FramePresent runs
// it every frame; Tab (handled there) opens and closes it.
#pragma once

#include <string>

// Vertical offset of the whole menu: -300 hidden, +20 fully out, always -300 + 32k in between.
// Written only by SettingsMenu; read by the title screen, which will not start a game while the
// menu is out. Reset by ResetSettingsMenu.
extern int SettingsSlide;

constexpr int kSettingsSlideHidden = -300;
constexpr int kSettingsSlideStep = 32;
constexpr int kSettingsOptionLabels = 6;

// Widget icon frames of IconStripSharp (IconStrip holds their glow).
constexpr int kIconResolution = 11;     // 11 four-by-three, 12 wide
constexpr int kIconWindowMode = 13;     // 13 windowed, 14 full screen
constexpr int kIconTwoLineOption = 18;  // 18-20
constexpr int kIconSliderLeft = 21;
constexpr int kIconSliderRight = 22;
constexpr int kIconSliderKnob = 23;
constexpr int kIconAudioDriver = 24;    // 24 onward, one per back end

// Volumes this close to an end snap to it, so the ends can be reached with a quick drag.
constexpr int kVolumeSnapLow = 6;
constexpr int kVolumeSnapHigh = 94;

// The menu back to hidden, as at program start.
void ResetSettingsMenu();

// One frame of the menu: takes the frame's clicks, slides by SettingsMenuOpen, and while any of
// it shows, draws it and acts on the pointer and keys.
void SettingsMenu();

// An option cycling Settings[setting] over its labels (labels[k] for value k, "" for none; two
// lines split by "|"; a first label "AUDIO" lists the audio back ends). Draws the icon
// firstFrame + value and the label at (x, y + SettingsSlide); a left click steps the value,
// wrapping.
// Returns 1 while the pointer is over the option. Leaves the scale at 2.
int CycleOption(int setting, int x, int y, int firstFrame, const std::string& label0,
                const std::string& label1, const std::string& label2, const std::string& label3,
                const std::string& label4, const std::string& label5);

// A volume slider about 100 units long at (x, y), y already including SettingsSlide: dragging with
// the left button sets the value from the pointer (1 to 99). Draws label + " : " + the new value
// and returns it; snapping is the caller's.
int Slider(int value, int x, int y, const std::string& label);

// The quality remark shown under the resolution for a display height, and its colour.
struct QualityText {
    std::string text;
    int r = 0, g = 0, b = 0;
};
QualityText QualityFor(int height);

// Steps ModeIndex through DisplayModes (wrapping at both ends) and takes that mode's size into
// Width and Height. An index outside the list comes back into it; with no modes listed nothing
// changes.
void StepDisplayMode(int direction);
