// Inside the platform layer: how a key or button change enters plat::Input(), shared by the SDL
// host's events and the headless twin's scripting so both count presses the same way.
#pragma once

namespace plat {

// A press (up -> down) counts one hit unless it is a key repeat. A left/right modifier (160-165)
// also moves its side-neutral key (16-18), which is down while either side is. Keys outside
// 1..255 are ignored.
void ApplyKey(int vk, bool down, bool repeat = false);
// Buttons 1 left, 2 right; others are ignored.
void ApplyMouseButton(int button, bool down);

}  // namespace plat
