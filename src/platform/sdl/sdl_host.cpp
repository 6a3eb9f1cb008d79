// The SDL2 host. Video starts lazily, so a machine without a display still runs up to the
// display set-up, where OpenWindow reports SDL's reason. Joysticks keep their port for the whole
// run; one that is unplugged reads as released and at rest.
#include "platform/sdl/sdl_host.h"

#include <SDL.h>

#include <algorithm>
#include <ctime>

#include "platform/input_internal.h"
#include "platform/sdl/convert.h"
#include "platform/sdl/keymap.h"

namespace plat {

namespace {

int gGLMajor = 3, gGLMinor = 3;  // context asked for by the next OpenGL window
bool gGLCore = true;

class SdlHost : public Host {
public:
    SdlHost() {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS);
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) {
            joysticksUp = true;
            SDL_JoystickEventState(SDL_ENABLE);
            for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenJoystick(i);
        }
    }

    ~SdlHost() override {
        CloseWindow();
        for (SDL_Joystick* j : joysticks)
            if (j) SDL_JoystickClose(j);
        SDL_Quit();
    }

    bool IsHeadless() const override { return false; }

    int Milliseconds() override { return static_cast<int>(SDL_GetTicks()); }
    void Sleep(int milliseconds) override {
        if (milliseconds > 0) SDL_Delay(static_cast<Uint32>(milliseconds));
    }
    std::string DateText() override { return FormatDateText(Now()); }
    std::string TimeText() override { return FormatTimeText(Now()); }

    void PumpEvents() override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) Handle(e);
    }

    std::vector<DisplayMode> DisplayModes() override {
        std::vector<DisplayMode> modes;
        if (!StartVideo()) return modes;
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode m{};
            if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
            modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
        }
        return modes;
    }

    bool OpenWindow(int width, int height, bool fullscreen, bool openGL, SDL_Window** window,
                    std::string& error) override {
        *window = nullptr;
        CloseWindow();
        if (!StartVideo()) {
            error = videoError;
            return false;
        }
        Uint32 flags = SDL_WINDOW_SHOWN;
        if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        if (openGL) {
            flags |= SDL_WINDOW_OPENGL;
            SDL_GL_ResetAttributes();
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, gGLMajor);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, gGLMinor);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK,
                                gGLCore ? SDL_GL_CONTEXT_PROFILE_CORE : SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
            SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        }
        win = SDL_CreateWindow(Latin1ToUtf8(title).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               width, height, flags);
        if (!win) {
            error = SDL_GetError();
            return false;
        }
        bufferW = width;
        bufferH = height;
        SDL_ShowCursor(pointerVisible ? SDL_ENABLE : SDL_DISABLE);
        SDL_StartTextInput();
        *window = win;
        return true;
    }

    void CloseWindow() override {
        if (!win) return;
        SDL_StopTextInput();
        SDL_DestroyWindow(win);
        win = nullptr;
    }

    void SetTitle(const std::string& latin1Title) override {
        title = latin1Title;
        if (win) SDL_SetWindowTitle(win, Latin1ToUtf8(title).c_str());
    }

    void SetPointerVisible(bool visible) override {
        pointerVisible = visible;
        if (videoUp) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }

    int JoystickCount() override { return static_cast<int>(joysticks.size()); }

    JoystickReading Joystick(int port) override {
        JoystickReading r;
        if (port < 0 || port >= JoystickCount()) return r;
        SDL_Joystick* j = joysticks[static_cast<size_t>(port)];
        if (!j) return r;
        if (const char* name = SDL_JoystickName(j)) r.name = name;
        const int buttons = std::min(SDL_JoystickNumButtons(j), 32);
        for (int b = 0; b < buttons; ++b) r.buttonMask |= 1u << b;
        const int axes = std::min(SDL_JoystickNumAxes(j), 6);
        // An unplugged device keeps its name and buttons but reads as released and at rest: each
        // axis as it was first read, which is where the program took its rest positions from. A
        // trigger rests at one end, so reading it as centred would look like a push that never
        // ends.
        FirstAxes& first = firstAxes[static_cast<size_t>(port)];
        if (!SDL_JoystickGetAttached(j)) {
            if (first.seen) std::copy(first.axis, first.axis + axes, r.axis);
            return r;
        }
        SDL_JoystickUpdate();
        for (int b = 0; b < buttons; ++b)
            if (SDL_JoystickGetButton(j, b)) r.buttons |= 1u << b;
        for (int a = 0; a < axes; ++a) r.axis[a] = AxisFraction(SDL_JoystickGetAxis(j, a));
        if (SDL_JoystickNumHats(j) > 0) r.axis[kAxisHat] = HatFraction(SDL_JoystickGetHat(j, 0));
        if (!first.seen) {
            std::copy(r.axis, r.axis + axes, first.axis);
            first.seen = true;
        }
        return r;
    }

private:
    static std::tm Now() {
        const std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        return t;
    }

    bool StartVideo() {
        if (videoUp) return true;
        if (!videoError.empty()) return false;  // a machine without a display keeps lacking one
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            videoError = SDL_GetError();
            if (videoError.empty()) videoError = "SDL video could not start";
            return false;
        }
        // With no display, SDL falls back to drivers that draw nowhere; a game nobody can see
        // must not run. They stay available when asked for by name (SDL_VIDEODRIVER).
        const char* driver = SDL_GetCurrentVideoDriver();
        const std::string name = driver ? driver : "";
        if ((name == "offscreen" || name == "dummy") && !SDL_getenv("SDL_VIDEODRIVER")) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            videoError = "No display available (SDL found only the \"" + name + "\" video driver)";
            return false;
        }
        videoUp = true;
        return true;
    }

    void OpenJoystick(int deviceIndex) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
        for (SDL_Joystick* j : joysticks)
            if (j && SDL_JoystickInstanceID(j) == id) return;  // already has a port
        if (SDL_Joystick* j = SDL_JoystickOpen(deviceIndex)) {
            joysticks.push_back(j);
            firstAxes.emplace_back();
        }
    }

    void Key(int scancode, bool down, bool repeat) {
        ApplyKey(VirtualKeyFromScancode(scancode), down, repeat);
    }

    void Mouse(int wx, int wy) {
        int ww = 0, wh = 0;
        if (win) SDL_GetWindowSize(win, &ww, &wh);
        int bx = wx, by = wy;
        if (ww > 0 && wh > 0 && bufferW > 0 && bufferH > 0) WindowToBuffer(wx, wy, ww, wh, bufferW, bufferH, bx, by);
        Input().mouseX = bx;
        Input().mouseY = by;
    }

    void Button(Uint8 sdlButton, bool down) {
        ApplyMouseButton(sdlButton == SDL_BUTTON_LEFT ? 1 : sdlButton == SDL_BUTTON_RIGHT ? 2 : 0, down);
    }

    void Handle(const SDL_Event& e) {
        switch (e.type) {
            case SDL_QUIT: Input().closeRequested = true; break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) Input().closeRequested = true;
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAll();
                break;
            case SDL_KEYDOWN: Key(e.key.keysym.scancode, true, e.key.repeat != 0); break;
            case SDL_KEYUP: Key(e.key.keysym.scancode, false, false); break;
            case SDL_TEXTINPUT:
                for (int c : TypedCharsFromUtf8(e.text.text)) QueueTypedChar(c);
                break;
            case SDL_MOUSEMOTION: Mouse(e.motion.x, e.motion.y); break;
            case SDL_MOUSEBUTTONDOWN:
                Mouse(e.button.x, e.button.y);
                Button(e.button.button, true);
                break;
            case SDL_MOUSEBUTTONUP:
                Mouse(e.button.x, e.button.y);
                Button(e.button.button, false);
                break;
            case SDL_JOYDEVICEADDED:
                if (joysticksUp) OpenJoystick(e.jdevice.which);
                break;
            default: break;
        }
    }

    // Keys and buttons released while another window has focus never reach us; forget them so
    // nothing stays stuck down.
    void ReleaseAll() {
        InputState& in = Input();
        for (bool& k : in.keyDown) k = false;
        for (bool& b : in.mouseDown) b = false;
    }

    SDL_Window* win = nullptr;
    int bufferW = 0, bufferH = 0;
    bool videoUp = false;
    bool joysticksUp = false;
    std::string videoError;
    std::string title;
    bool pointerVisible = true;
    std::vector<SDL_Joystick*> joysticks;  // by port, in the order they were first seen
    struct FirstAxes {
        bool seen = false;
        float axis[6] = {};
    };
    std::vector<FirstAxes> firstAxes;  // by port: the axes of the first reading while attached
};

}  // namespace

std::unique_ptr<Host> MakeSdlHost() { return std::make_unique<SdlHost>(); }

void RequestGLContext(int major, int minor, bool coreProfile) {
    gGLMajor = major;
    gGLMinor = minor;
    gGLCore = coreProfile;
}

}  // namespace plat
