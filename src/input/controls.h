// Abstract controls bound to keys or joystick inputs, the joystick ports probed at start-up, and
// the scan for any input held now.
#pragma once

#include <string>

// Binding codes: 0 unbound, 10-254 keyboard keys, 300 and above joystick inputs
// (port = code / 50 - 6, input = code % 50). Index (player - 1) * 20 + control.
// Defaults set at start-up, then overwritten by Setup.ini's "Key=" lines; never cleared.
constexpr int kBindingCount = 101;
extern int Bindings[kBindingCount];

// Controls read by this program (index within a player's 20).
constexpr int kControlUp = 0;
constexpr int kControlLeft = 3;
constexpr int kControlRight = 5;
constexpr int kControlDown = 8;
constexpr int kControlAction1 = 10;
constexpr int kControlAction2 = 11;
constexpr int kControlAction3 = 12;
constexpr int kControlAction4 = 13;

struct JoystickPort {
    int enabled = 0;         // 1 after the probe; the settings menu toggles it
    unsigned buttonMask = 0;  // one bit per button
    std::string name;
    float restX = 0, restY = 0, restZ = 0, restR = 0, restU = 0, restV = 0;  // readings at probe
    int hatPresent = 0;      // 1 when the hat read exactly -1 (centred) at probe time
};
constexpr int kMaxJoystickPorts = 4;
// Entries 1-4 for platform ports 0-3; filled once by ProbeJoysticks, only `enabled` changes later.
extern JoystickPort JoystickPorts[kMaxJoystickPorts + 1];
extern int JoystickPortCount;  // probed ports, at most 4

// Start-up: player 1's arrows and Z, X, C, V; every other entry unbound.
void SetDefaultBindings();
// Start-up: takes up to 4 attached joysticks with their current axis readings as rest positions;
// entries above the count are cleared.
void ProbeJoysticks();
// 1 while the key, axis direction (beyond 0.3 of its rest), hat direction or button named by the
// code is held. Codes of unprobed or disabled ports and reserved codes are never held.
int BindingDown(int code);
// BindingDown of player (1-4)'s binding for control; 0 for indexes outside the table.
int ControlDown(int control, int player);
// The code of the first input held now (keys 1-255, then each enabled port's axes, pure hat
// directions and buttons 0-18), or 0. Returns 0 while F11 or F12 is held: those keys belong to
// the screenshot and the statistics overlay.
int ScanAnyInput();
