// The headless twin of the platform: a host with a virtual clock, scripted input, scripted
// display modes and date, and a hook run at every Present. Tests install it instead of calling
// InitPlatform, then drive the real framework code frame by frame.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/platform.h"

namespace headless {

// Thrown by EndProcess while the twin is current, so a test can run Main() to its end.
struct ProcessExit {
    int status;
};

// The virtual clock's reading right after Install, in milliseconds.
constexpr int kStartMilliseconds = 100000;

// Makes a fresh headless host current and resets input, clock, random generator, open streams,
// the file-write fault, the audio (recording drivers) and the current folder (back to where the
// process started). With a non-empty root, the folders root/Files/Common and root/Files/295 are
// created and root becomes the current folder (copying data files in is the fixture's business).
void Install(const std::string& root = "");
bool IsInstalled();  // is the headless host the current one?

// Keyboard, by Windows virtual-key number. A press (up -> down) counts one hit; holding does not.
void SetKey(int vk, bool down);
void PressKey(int vk);                    // down then up: one hit, not held afterwards
// Queued as typed characters; "|" is dropped, as the real host drops it.
void TypeText(const std::string& latin1);

// Mouse, in back-buffer pixels; buttons 1 left, 2 right. A press counts one hit.
void SetMouse(int x, int y);
void SetMouseButton(int button, bool down);
void Click(int button = 1);  // down then up
void RequestClose();         // the window's close button

void SetJoysticks(const std::vector<plat::JoystickReading>& joysticks);
void SetDisplayModes(const std::vector<DisplayMode>& modes);
std::vector<DisplayMode> DefaultDisplayModes();
void SetDateTime(const std::string& dateText, const std::string& timeText);

// The virtual clock: Sleep(n) advances it by n; a test may move it too.
void AdvanceClock(int milliseconds);

// Runs after every Present with the number of presents so far (1 for the first). The hook may
// script input for the next frame or throw to stop the program under test.
void SetPresentHook(std::function<void(int frame)> hook);
int PresentCount();

// The next OpenWindow calls fail (as on a machine without a display) while this is on.
void SetOpenWindowFails(bool fails);

// What the program asked of the window, for tests to check.
std::string WindowTitle();  // Latin-1, as set
bool PointerVisible();
bool WindowIsOpen();
int OpenWindowCount();  // successful OpenWindow calls since Install

}  // namespace headless
