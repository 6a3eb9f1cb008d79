// The settings menu overlay: its slide, the graphics column with Apply, the audio column with
// the volume sliders and the joystick list, and the two widgets it is built from.
#include "screens/settings_menu.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/assets.h"
#include "app/display.h"
#include "app/settings_file.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "input/controls.h"
#include "input/fields.h"
#include "platform/platform.h"

int SettingsSlide = kSettingsSlideHidden;

namespace {

constexpr int kSettingSlots = 100;
constexpr int kMaxAudioLabels = 6;
constexpr float kIconScale = 2;  // the 16 x 16 icons show at 32 x 32
constexpr int kIconSize = 32;
constexpr int kLabelIndent = 38;  // from an option's left edge to its label
constexpr float kGlowScale = 1.1f;
constexpr float kGlowAlpha = 0.8f;

constexpr int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;

constexpr int kGraphicsX = 20;
constexpr int kAudioColumnFromRight = 280;
constexpr int kJoystickListY = 230;
constexpr int kJoystickLineStep = 15;
constexpr int kJoystickLineHeight = 14;
constexpr float kDisabledJoystickAlpha = 0.2f;

// Apply reopens the display, whose loading runs frames of its own and so this menu again; a
// click that lands on Apply while it is still sliding away must not reopen the display inside
// the reopening.
bool applying = false;

void SetMenuGreen() { SetColour(80, 255, 80, 1); }

// (value + 1) mod count, kept in 0..count-1 for any value, so a setting outside its list comes
// back into it on the next click.
int NextOptionValue(int value, int count) {
    const int64_t next = (int64_t(value) + 1) % count;
    return int(next < 0 ? next + count : next);
}

// The icon frame for a value; values far outside the strip name no frame and draw nothing.
int IconFrame(int firstFrame, int value) {
    const int64_t frame = int64_t(firstFrame) + value;
    return frame < 0 || frame > INT32_MAX ? -1 : int(frame);
}

void DrawBacking() {
    SelectFont(Fonts[2]);
    ResetDrawState();
    SetBlendMode(kBlendCodeShade);
    SetColour(40, 40, 40, 0.8f);
    DrawFilledRect(0, 0, float(VirtualWidth), float(SettingsSlide - kSettingsSlideHidden));
    SetBlendMode(kBlendCodeAlpha);
    SetColour(80, 80, 80, 0.4f);
    DrawFilledRect(0, 0, float(VirtualWidth), float(SettingsSlide - kSettingsSlideHidden - 2));
    SetColour(180, 255, 180, 1);
    DrawFilledRect(0, float(SettingsSlide - kSettingsSlideHidden - 2), float(VirtualWidth), 2);
}

void ResolutionRow() {
    int over = CycleOption(Widescreen, kGraphicsX, 70, kIconResolution, "Resolution", "", "", "",
                           "", "");
    // The row, the size text and the quality remark under it all take the keys and clicks.
    if (over == 0) over = MouseOver(kGraphicsX, 70 + SettingsSlide, 200, 70) ? 1 : 0;
    if (over == 1) {
        if (KeyHits(kKeyRight) > 0 || KeyHits(kKeyUp) > 0 || FrameClickLeft != 0)
            StepDisplayMode(+1);
        if (KeyHits(kKeyLeft) > 0 || KeyHits(kKeyDown) > 0 || FrameClickRight != 0)
            StepDisplayMode(-1);
    }
    SetScale(1);
    DrawTextAligned(kGraphicsX, 108 + SettingsSlide,
                    std::to_string(Settings[Width]) + "x" + std::to_string(Settings[Height]),
                    kAlignStart, kAlignStart);
    const QualityText quality = QualityFor(Settings[Height]);
    SetColour(float(quality.r), float(quality.g), float(quality.b));
    DrawTextAligned(80, 128 + SettingsSlide, quality.text, kAlignStart, kAlignStart);
    SetMenuGreen();
}

void ApplyButton() {
    SetScale(1);
    SetColour(0, 120, 0, 0.5f);
    const int ax = 18, ay = SettingsSlide + 258;
    const int aw = TextWidthOf("Apply") + 4, ah = TextHeightOf() + 4;
    if (MouseOver(ax, ay, aw, ah)) {
        DrawFilledRect(float(ax), float(ay), float(aw), float(ah));
        if (FrameClickLeft != 0 && !applying) {
            FrameClickLeft = 0;
            SettingsMenuOpen = 0;
            applying = true;
            WriteSetup();
            DisplaySetup();
            applying = false;
            // The reopened display has new font ids; the old one is gone.
            SelectFont(Fonts[2]);
            SetScale(1);
        }
    }
    SetMenuGreen();
    DrawTextAligned(20, SettingsSlide + 260, "Apply", kAlignStart, kAlignStart);
}

void GraphicsColumn() {
    SetMenuGreen();
    DrawTextAligned(kGraphicsX, SettingsSlide + 4, "Graphics", kAlignStart, kAlignStart);
    CycleOption(Fullscreen, kGraphicsX, 30, kIconWindowMode, "Windowed", "Fullscreen", "", "", "",
                "");
    ResolutionRow();
    CycleOption(SlowSystem, kGraphicsX, 146, kIconTwoLineOption, "Draw all Frames|Decent System",
                "Frameskip|Slow System", "", "", "", "");
    CycleOption(GfxEngine, kGraphicsX, 184, kIconTwoLineOption, "OpenGL|Optimum",
                "DirectX 9|Alternative", "DirectX 7|Backup", "", "", "");
    ApplyButton();
}

int SnapVolume(int value) {
    if (value < kVolumeSnapLow) return 0;
    if (value > kVolumeSnapHigh) return 100;
    return value;
}

void JoystickList(int ax) {
    for (int port = 1; port <= JoystickPortCount && port <= kMaxJoystickPorts; ++port) {
        JoystickPort& joystick = JoystickPorts[port];
        const int y = SettingsSlide + kJoystickListY + kJoystickLineStep * (port - 1);
        if (JoystickButtonDown(0, port - 1))
            SetColour(255, 255, 80, 1);
        else
            SetMenuGreen();
        if (joystick.enabled == 0) SetDrawAlpha(kDisabledJoystickAlpha);
        if (MouseOver(ax, y, TextWidthOf(joystick.name), kJoystickLineHeight) &&
            FrameClickLeft != 0) {
            FrameClickLeft = 0;
            joystick.enabled = joystick.enabled == 0 ? 1 : 0;
        }
        DrawTextAligned(ax, y, joystick.name, kAlignStart, kAlignStart);
    }
}

void AudioColumn() {
    const int ax = VirtualWidth - kAudioColumnFromRight;
    CycleOption(AudioDriverIndex, ax, 20, kIconAudioDriver, "AUDIO", "", "", "", "", "");
    SetScale(1);
    SetColour(255, 180, 180, 1);
    DrawTextAligned(ax, SettingsSlide + 50, "Changes require a Restart", kAlignStart, kAlignStart);
    const struct {
        int slot;
        const char* label;
        int y;
    } volumes[] = {{MasterVolume, "Master Volume", 70}, {SoundVolume, "Sounds", 120},
                   {MusicVolume, "Music", 170}};
    for (const auto& volume : volumes) {
        Settings[volume.slot] =
            SnapVolume(Slider(Settings[volume.slot], ax, SettingsSlide + volume.y, volume.label));
    }
    JoystickList(ax);
}

}  // namespace

void ResetSettingsMenu() {
    SettingsSlide = kSettingsSlideHidden;
    applying = false;
}

QualityText QualityFor(int height) {
    if (height < 900) return {"Small (Bit blurry)", 255, 180, 80};
    if (height <= 960) return {"Native (Crisp, Clear)", 255, 255, 80};
    return {"Bigger! (High-Definition!)", 180, 255, 80};
}

void StepDisplayMode(int direction) {
    const int count = DisplayModeCount;
    if (count < 1) return;
    int& index = Settings[ModeIndex];
    if (direction > 0) {
        index = index >= 1 && index < count ? index + 1 : 1;
    } else {
        index = index > 1 && index <= count ? index - 1 : count;
    }
    Settings[Width] = DisplayModeWidths[index];
    Settings[Height] = DisplayModeHeights[index];
}

int CycleOption(int setting, int x, int y, int firstFrame, const std::string& label0,
                const std::string& label1, const std::string& label2, const std::string& label3,
                const std::string& label4, const std::string& label5) {
    std::string labels[kSettingsOptionLabels] = {label0, label1, label2, label3, label4, label5};
    if (label0 == "AUDIO") {
        for (int k = 0; k < kMaxAudioLabels && k < int(AudioDrivers.size()); ++k)
            labels[k] = "Audio Driver|" + AudioDrivers[k];
    }
    const int current = setting >= 0 && setting < kSettingSlots ? Settings[setting] : 0;
    std::string shown = labels[0];
    int count = 1;
    for (int k = 1; k < kSettingsOptionLabels; ++k) {
        if (labels[k].empty()) continue;
        count = k + 1;
        if (current == k) shown = labels[k];
    }

    const int s = SettingsSlide;
    SetScale(1);
    SelectFont(Fonts[2]);
    std::string measured = shown;
    if (shown.find('|') == std::string::npos) {
        DrawTextAligned(x + kLabelIndent, y + s + 16, shown, kAlignStart, kAlignCentre);
    } else {
        measured = GetField(shown, "|", 1);
        DrawTextAligned(x + kLabelIndent, y + s + 8, measured, kAlignStart, kAlignCentre);
        DrawTextAligned(x + kLabelIndent, y + s + 24, GetField(shown, "|", 2), kAlignStart,
                        kAlignCentre);
    }

    SetScale(kIconScale);
    const int frame = IconFrame(firstFrame, current);
    if (!MouseOver(x, y + s, TextWidthOf(measured) + kLabelIndent, kIconSize)) {
        DrawSprite(IconStripSharp, x, y + s, frame);
        return 0;
    }
    DrawGlowSprite(IconStripSharp, x, y + s, frame, IconStrip, kGlowScale, kGlowAlpha);
    if (FrameClickLeft != 0 && setting >= 0 && setting < kSettingSlots)
        Settings[setting] = NextOptionValue(current, count);
    return 1;
}

int Slider(int value, int x, int y, const std::string& label) {
    SetColour(80, 255, 80);
    SetScale(3.1f, 1.5f);
    DrawSprite(IconStripSharp, x - 2, y, kIconSliderLeft);
    DrawSprite(IconStripSharp, x + 48, y, kIconSliderRight);
    SetColour(255, 80, 80);
    SetScale(1, 1.5f);
    // A value from a hand-edited Setup.ini may be huge; the knob then lies far off screen.
    const int knobX = int(std::clamp<int64_t>(int64_t(x) + value - 9, INT32_MIN, INT32_MAX));
    DrawSprite(IconStripSharp, knobX, y, kIconSliderKnob);
    SetColour(80, 180, 255);
    if (MouseOver(x - 2, y - 4, 100, 24) && MouseIsDown(1)) value = FrameMouseX - (x - 2);
    SetScale(1);
    DrawTextAligned(x, y + 20, label + " : " + std::to_string(value), kAlignStart, kAlignStart);
    return value;
}

void SettingsMenu() {
    FrameClickLeft = MouseHits(1);
    FrameClickRight = MouseHits(2);

    if (SettingsMenuOpen == 1 && SettingsSlide < 0) SettingsSlide += kSettingsSlideStep;
    if (SettingsMenuOpen == 0 && SettingsSlide > kSettingsSlideHidden)
        SettingsSlide -= kSettingsSlideStep;
    if (SettingsSlide <= kSettingsSlideHidden) return;

    DrawBacking();
    DrawCounts[kCountImages] = 0;
    DrawCounts[kCountGlow] = 0;
    GraphicsColumn();
    AudioColumn();
}
