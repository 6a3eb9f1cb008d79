// The system side of the platform layer: window, events, clock, joysticks, pointer and the audio
// device. Two hosts implement it: platform/sdl (a real machine) and platform/headless (the test
// twin with a virtual clock and scripted input). Exactly one is current; InitPlatform installs
// the SDL host, headless::Install the twin.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

struct SDL_Window;

namespace plat {

// Polled input as the events left it. Written by the current host's PumpEvents (and by the
// headless twin's scripting calls); read by platform/input.cpp. Reset by SetHost.
struct InputState {
    bool keyDown[256] = {};
    int keyHits[256] = {};
    std::deque<int> typed;        // Latin-1 codes
    int mouseX = 0, mouseY = 0;   // back-buffer pixels
    bool mouseDown[3] = {};       // index 1 left, 2 right
    int mouseHits[3] = {};
    bool closeRequested = false;
};
InputState& Input();
// Hosts queue typed characters here. Only text entry reads them, so on every other screen they
// would pile up for as long as the player types: past kTypedQueueLimit the newest are dropped.
constexpr size_t kTypedQueueLimit = 256;
void QueueTypedChar(int latin1);

struct JoystickReading {
    std::string name;
    uint32_t buttons = 0;      // held buttons, bit b = button b
    uint32_t buttonMask = 0;   // buttons that exist
    float axis[7] = {0, 0, 0, 0, 0, 0, -1};  // X Y Z R U V, hat (-1 centred)
};

class Host {
public:
    virtual ~Host() = default;
    virtual bool IsHeadless() const = 0;

    virtual int Milliseconds() = 0;
    virtual void Sleep(int milliseconds) = 0;
    virtual std::string DateText() = 0;  // "dd Mon yyyy"
    virtual std::string TimeText() = 0;  // "hh:mm:ss"

    // Moves pending window events into Input().
    virtual void PumpEvents() = 0;

    virtual std::vector<DisplayMode> DisplayModes() = 0;
    // Opens the window for a back buffer of width x height. fullscreen: a desktop-sized borderless
    // window the back buffer is scaled into. openGL: the window must carry a GL context.
    // Returns false with `error` set when no window can be had. The headless host opens nothing
    // and returns true with *window = nullptr.
    virtual bool OpenWindow(int width, int height, bool fullscreen, bool openGL,
                            SDL_Window** window, std::string& error) = 0;
    virtual void CloseWindow() = 0;
    virtual void SetTitle(const std::string& latin1Title) = 0;
    virtual void SetPointerVisible(bool visible) = 0;
    // Called by Present after the renderer presented; the headless twin runs its test hook here.
    virtual void AfterPresent() {}

    virtual int JoystickCount() = 0;
    virtual JoystickReading Joystick(int port) = 0;
};

Host& CurrentHost();
// Makes `host` current and resets the input state. Used by InitPlatform and the headless twin.
void SetHost(std::unique_ptr<Host> host);

}  // namespace plat
