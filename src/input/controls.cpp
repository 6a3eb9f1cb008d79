// Control bindings, joystick ports and the input scan.
#include "input/controls.h"

#include <bit>

#include "platform/platform.h"

int Bindings[kBindingCount];
JoystickPort JoystickPorts[kMaxJoystickPorts + 1];
int JoystickPortCount = 0;

namespace {

constexpr int kFirstKeyCode = 10;   // codes 1-9 are reserved and never held
constexpr int kLastKeyCode = 254;
constexpr int kLastScanKey = 255;
constexpr int kFirstJoystickCode = 300;
constexpr int kCodesPerPort = 50;
constexpr float kAxisDeadZone = 0.3f;
constexpr int kKeyF11 = 122;  // screenshot: never captured by the scan
constexpr int kKeyF12 = 123;  // statistics overlay: likewise

// Joystick input numbers within a port's 50 codes.
constexpr int kInputHatUp = 20;
constexpr int kInputHatLeft = 23;
constexpr int kInputHatRight = 25;
constexpr int kInputHatDown = 28;
constexpr int kInputFirstButton = 30;
constexpr int kInputLastButton = 49;
// The scan stops one button short of what bindings honour.
constexpr int kScanButtonLimit = 19;

// Axis directions in input order: inputs 2k and 2k + 1 are axis k below and above its rest.
constexpr int kAxisOrder[6] = {kAxisY, kAxisX, kAxisZ, kAxisU, kAxisV, kAxisR};

float RestOf(const JoystickPort& port, int axis) {
    switch (axis) {
        case kAxisX: return port.restX;
        case kAxisY: return port.restY;
        case kAxisZ: return port.restZ;
        case kAxisR: return port.restR;
        case kAxisU: return port.restU;
        case kAxisV: return port.restV;
        default: return 0;
    }
}

// Is the probed entry's device still there? Rest positions belong to the device seen at probe
// time; a port the platform no longer counts reads centred, which against a rest away from the
// centre (a trigger rests at one end) would look like a push that never ends.
bool StillAttached(int entry) { return entry <= JoystickCount(); }

// The JoystickPorts entry a joystick code names, or 0 when no probed, enabled, attached entry
// matches.
int EnabledEntryOf(int code) {
    int entry = code / kCodesPerPort - 5;
    if (entry < 1 || entry > JoystickPortCount || entry > kMaxJoystickPorts) return 0;
    return JoystickPorts[entry].enabled && StillAttached(entry) ? entry : 0;
}

bool AxisInputHeld(const JoystickPort& rest, int port, int input) {
    int axis = kAxisOrder[input / 2];
    float reading = JoystickAxis(port, axis);
    float centre = RestOf(rest, axis);
    return input % 2 == 0 ? reading < centre - kAxisDeadZone : reading > centre + kAxisDeadZone;
}

bool HatInputHeld(float hat, int input) {
    switch (input) {
        case kInputHatUp: return hat > 0.8f || (hat >= 0 && hat < 0.2f);
        case kInputHatRight: return hat > 0.1f && hat < 0.4f;
        case kInputHatDown: return hat > 0.3f && hat < 0.7f;
        case kInputHatLeft: return hat > 0.6f && hat < 0.9f;
        default: return false;
    }
}

}  // namespace

void SetDefaultBindings() {
    for (int& code : Bindings) code = 0;
    Bindings[kControlUp] = 38;
    Bindings[kControlLeft] = 37;
    Bindings[kControlRight] = 39;
    Bindings[kControlDown] = 40;
    Bindings[kControlAction1] = 90;  // Z
    Bindings[kControlAction2] = 88;  // X
    Bindings[kControlAction3] = 67;  // C
    Bindings[kControlAction4] = 86;  // V
}

void ProbeJoysticks() {
    for (JoystickPort& entry : JoystickPorts) entry = JoystickPort{};
    int count = JoystickCount();
    if (count < 0) count = 0;
    if (count > kMaxJoystickPorts) count = kMaxJoystickPorts;
    JoystickPortCount = count;
    for (int entry = 1; entry <= count; ++entry) {
        int port = entry - 1;
        JoystickPort& p = JoystickPorts[entry];
        p.buttonMask = JoystickButtonMask(port);
        p.name = JoystickName(port);
        p.restX = JoystickAxis(port, kAxisX);
        p.restY = JoystickAxis(port, kAxisY);
        p.restZ = JoystickAxis(port, kAxisZ);
        p.restU = JoystickAxis(port, kAxisU);
        p.restV = JoystickAxis(port, kAxisV);
        p.restR = JoystickAxis(port, kAxisR);
        p.enabled = 1;
        p.hatPresent = JoystickAxis(port, kAxisHat) == -1.0f ? 1 : 0;
    }
}

int BindingDown(int code) {
    if (code >= kFirstKeyCode && code <= kLastKeyCode && KeyIsDown(code)) return 1;
    if (code < kFirstJoystickCode) return 0;
    int entry = EnabledEntryOf(code);
    if (entry == 0) return 0;
    const JoystickPort& rest = JoystickPorts[entry];
    int port = entry - 1;
    int input = code % kCodesPerPort;
    if (input < 12) return AxisInputHeld(rest, port, input) ? 1 : 0;
    if (input >= kInputFirstButton && input <= kInputLastButton)
        return JoystickButtonDown(input - kInputFirstButton, port) ? 1 : 0;
    if (!rest.hatPresent) return 0;
    return HatInputHeld(JoystickAxis(port, kAxisHat), input) ? 1 : 0;
}

int ControlDown(int control, int player) {
    int index = (player - 1) * 20 + control;
    if (index < 0 || index >= kBindingCount) return 0;
    return BindingDown(Bindings[index]);
}

int ScanAnyInput() {
    if (KeyIsDown(kKeyF11) || KeyIsDown(kKeyF12)) return 0;
    for (int key = 1; key <= kLastScanKey; ++key)
        if (KeyIsDown(key)) return key;
    for (int entry = 1; entry <= JoystickPortCount && entry <= kMaxJoystickPorts; ++entry) {
        const JoystickPort& rest = JoystickPorts[entry];
        if (!rest.enabled || !StillAttached(entry)) continue;
        int port = entry - 1;
        int base = kFirstJoystickCode + kCodesPerPort * (entry - 1);
        for (int input = 0; input < 12; ++input)
            if (AxisInputHeld(rest, port, input)) return base + input;
        if (rest.hatPresent) {
            float hat = JoystickAxis(port, kAxisHat);
            if (hat == 0.0f) return base + kInputHatUp;
            if (hat == 0.25f) return base + kInputHatRight;
            if (hat == 0.5f) return base + kInputHatDown;
            if (hat == 0.75f) return base + kInputHatLeft;
        }
        int buttons = std::popcount(rest.buttonMask);
        if (buttons > kScanButtonLimit) buttons = kScanButtonLimit;
        for (int b = 0; b < buttons; ++b)
            if (JoystickButtonDown(b, port)) return base + kInputFirstButton + b;
    }
    return 0;
}
