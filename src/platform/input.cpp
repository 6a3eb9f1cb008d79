// The polled input operations. Each first lets the current host move pending window events into
// plat::Input(), then answers from it; numbers outside the tables answer 0.
#include "platform/draw_internal.h"
#include "platform/host.h"
#include "platform/input_internal.h"
#include "platform/sdl/keymap.h"
#include "platform/platform.h"

namespace {

plat::InputState& Pumped() {
    plat::CurrentHost().PumpEvents();
    return plat::Input();
}

bool ValidKey(int key) { return key >= 1 && key <= 255; }
bool ValidButton(int button) { return button == 1 || button == 2; }

plat::JoystickReading Reading(int port) {
    Pumped();
    return plat::CurrentHost().Joystick(port);  // outside the count: nothing, centred
}

}  // namespace

namespace plat {

void ApplyKey(int vk, bool down, bool repeat) {
    if (!ValidKey(vk)) return;
    InputState& in = Input();
    if (down && !repeat && !in.keyDown[vk]) ++in.keyHits[vk];
    in.keyDown[vk] = down;
    const int generic = GenericVirtualKey(vk);
    if (generic == 0) return;
    const int left = vk - (vk - 160) % 2;  // 160, 162, 164; the right key follows each
    const bool either = in.keyDown[left] || in.keyDown[left + 1];
    if (either && !in.keyDown[generic]) ++in.keyHits[generic];
    in.keyDown[generic] = either;
}

void ApplyMouseButton(int button, bool down) {
    if (!ValidButton(button)) return;
    InputState& in = Input();
    if (down && !in.mouseDown[button]) ++in.mouseHits[button];
    in.mouseDown[button] = down;
}

}  // namespace plat

int KeyHits(int key) {
    plat::InputState& in = Pumped();
    if (!ValidKey(key)) return 0;
    const int hits = in.keyHits[key];
    in.keyHits[key] = 0;
    return hits;
}

bool KeyIsDown(int key) {
    plat::InputState& in = Pumped();
    return ValidKey(key) && in.keyDown[key];
}

void plat::QueueTypedChar(int latin1) {
    std::deque<int>& typed = Input().typed;
    if (typed.size() < kTypedQueueLimit) typed.push_back(latin1);
}

int NextTypedChar() {
    plat::InputState& in = Pumped();
    if (in.typed.empty()) return 0;
    const int c = in.typed.front();
    in.typed.pop_front();
    return c;
}

void FlushKeyboard() {
    plat::InputState& in = Pumped();
    for (int& h : in.keyHits) h = 0;
    in.typed.clear();
}

int MouseX() { return Pumped().mouseX; }
int MouseY() { return Pumped().mouseY; }

float VirtualMouseX() {
    const plat::InputState& in = Pumped();
    float vx = 0, vy = 0;
    plat::DisplayToVirtual(static_cast<float>(in.mouseX), static_cast<float>(in.mouseY), vx, vy);
    return vx;
}

float VirtualMouseY() {
    const plat::InputState& in = Pumped();
    float vx = 0, vy = 0;
    plat::DisplayToVirtual(static_cast<float>(in.mouseX), static_cast<float>(in.mouseY), vx, vy);
    return vy;
}

int MouseHits(int button) {
    plat::InputState& in = Pumped();
    if (!ValidButton(button)) return 0;
    const int hits = in.mouseHits[button];
    in.mouseHits[button] = 0;
    return hits;
}

bool MouseIsDown(int button) {
    plat::InputState& in = Pumped();
    return ValidButton(button) && in.mouseDown[button];
}

void ShowPointer() { plat::CurrentHost().SetPointerVisible(true); }
void HidePointer() { plat::CurrentHost().SetPointerVisible(false); }

bool CloseRequested() { return Pumped().closeRequested; }

int JoystickCount() {
    Pumped();
    return plat::CurrentHost().JoystickCount();
}

uint32_t JoystickButtonMask(int port) { return Reading(port).buttonMask; }
std::string JoystickName(int port) { return Reading(port).name; }

bool JoystickButtonDown(int button, int port) {
    if (button < 0 || button > 31) return false;
    return (Reading(port).buttons >> button) & 1u;
}

float JoystickAxis(int port, int axis) {
    if (axis < kAxisX || axis > kAxisHat) return 0;
    return Reading(port).axis[axis];
}
