// The program's only way out: saves settings and scores, shows the thanks screen until the player
// lets go of everything and presses something, then closes the display and the log and ends.
#pragma once

// The thanks screen first waits for held input to be let go, at most this many passes of
// kThanksPassMs, so a key held down for good still lets the program end.
constexpr int kThanksReleasePasses = 120;
constexpr int kThanksPassMs = 16;

// True while anything that ends the thanks screen is held: any scanned key, joystick button or
// axis, either mouse button, Alt+F4, or a close request of the window.
bool ThanksInputHeld();

[[noreturn]] void Shutdown();
