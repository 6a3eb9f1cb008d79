// The headless host and its scripting calls. Nothing here waits or opens anything: the clock is a
// counter, input is whatever the test wrote into plat::Input(), and Present only counts.
#include "platform/headless/headless.h"

#include <unistd.h>

#include "platform/headless/audio_record.h"
#include "platform/files_internal.h"
#include "platform/input_internal.h"

namespace headless {

namespace {

constexpr int kDepth = 32;

class HeadlessHost : public plat::Host {
public:
    bool IsHeadless() const override { return true; }

    int Milliseconds() override { return clock; }
    void Sleep(int milliseconds) override {
        if (milliseconds > 0) clock += milliseconds;
    }
    std::string DateText() override { return dateText; }
    std::string TimeText() override { return timeText; }

    void PumpEvents() override {}  // scripted input is written straight into plat::Input()

    std::vector<DisplayMode> DisplayModes() override { return modes; }
    bool OpenWindow(int width, int height, bool fullscreen, bool openGL, SDL_Window** window,
                    std::string& error) override {
        *window = nullptr;
        if (openWindowFails || width <= 0 || height <= 0) {
            error = "No display available";
            return false;
        }
        windowOpen = true;
        ++openCount;
        return true;
    }
    void CloseWindow() override { windowOpen = false; }
    void SetTitle(const std::string& latin1Title) override { title = latin1Title; }
    void SetPointerVisible(bool visible) override { pointerVisible = visible; }
    void AfterPresent() override {
        ++presents;
        // A copy, because the hook may replace itself while it runs.
        if (auto hook = presentHook) hook(presents);
    }

    int JoystickCount() override { return static_cast<int>(joysticks.size()); }
    plat::JoystickReading Joystick(int port) override {
        if (port < 0 || port >= JoystickCount()) return {};
        return joysticks[static_cast<size_t>(port)];
    }

    int clock = kStartMilliseconds;
    std::string dateText = "09 Dec 2025";
    std::string timeText = "14:30:05";
    std::vector<DisplayMode> modes = DefaultDisplayModes();
    std::vector<plat::JoystickReading> joysticks;
    std::function<void(int)> presentHook;
    int presents = 0;
    bool openWindowFails = false;
    bool windowOpen = false;
    int openCount = 0;
    bool pointerVisible = true;
    std::string title;
};

HeadlessHost* gTwin = nullptr;  // the installed twin while it is the current host, else null
std::string gStartFolder;       // where the process started; Install returns there

// The scripting calls work on the twin if it is current, else they install one first.
HeadlessHost& Twin() {
    if (!IsInstalled()) Install();
    return *gTwin;
}

}  // namespace

void Install(const std::string& root) {
    if (gStartFolder.empty()) gStartFolder = CurrentFolder();
    plat::CloseAllStreams();
    plat::SetFileWriteFault(-1);
    // Tests never reach a sound device: recording drivers stand in for every back end.
    InstallRecordingAudio();
    auto host = std::make_unique<HeadlessHost>();
    gTwin = host.get();
    plat::SetHost(std::move(host));
    SeedRandom(4660);
    ChangeFolder(gStartFolder);
    if (!root.empty()) {
        MakeFolder(root);
        MakeFolder(root + "/Files");
        MakeFolder(root + "/Files/Common");
        MakeFolder(root + "/Files/295");
        ChangeFolder(root);
    }
}

bool IsInstalled() { return gTwin != nullptr && &plat::CurrentHost() == gTwin; }

void SetKey(int vk, bool down) {
    Twin();
    plat::ApplyKey(vk, down);
}

void PressKey(int vk) {
    SetKey(vk, true);
    SetKey(vk, false);
}

void TypeText(const std::string& latin1) {
    Twin();
    // As the real host: the field separator never reaches text entry.
    for (unsigned char c : latin1)
        if (c != '|') plat::QueueTypedChar(c);
}

void SetMouse(int x, int y) {
    Twin();
    plat::Input().mouseX = x;
    plat::Input().mouseY = y;
}

void SetMouseButton(int button, bool down) {
    Twin();
    plat::ApplyMouseButton(button, down);
}

void Click(int button) {
    SetMouseButton(button, true);
    SetMouseButton(button, false);
}

void RequestClose() {
    Twin();
    plat::Input().closeRequested = true;
}

void SetJoysticks(const std::vector<plat::JoystickReading>& joysticks) { Twin().joysticks = joysticks; }
void SetDisplayModes(const std::vector<DisplayMode>& modes) { Twin().modes = modes; }

std::vector<DisplayMode> DefaultDisplayModes() {
    // Largest first, as SDL lists a monitor's modes.
    return {{1920, 1080, kDepth, 60}, {1680, 1050, kDepth, 60}, {1366, 768, kDepth, 60},
            {1280, 1024, kDepth, 60}, {1280, 720, kDepth, 60},  {1024, 768, kDepth, 60},
            {800, 600, kDepth, 60},   {640, 480, kDepth, 60}};
}

void SetDateTime(const std::string& dateText, const std::string& timeText) {
    Twin().dateText = dateText;
    Twin().timeText = timeText;
}

void AdvanceClock(int milliseconds) { Twin().Sleep(milliseconds); }

void SetPresentHook(std::function<void(int frame)> hook) { Twin().presentHook = std::move(hook); }
int PresentCount() { return Twin().presents; }
void SetOpenWindowFails(bool fails) { Twin().openWindowFails = fails; }
std::string WindowTitle() { return Twin().title; }
bool PointerVisible() { return Twin().pointerVisible; }
bool WindowIsOpen() { return Twin().windowOpen; }
int OpenWindowCount() { return Twin().openCount; }

}  // namespace headless
