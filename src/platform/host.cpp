// The current host and the input state its events fill; platform start-up and process end.
// InitPlatform installs the SDL host unless a host (the headless twin in tests) is already current.
#include "platform/host.h"

#include <cstdio>
#include <cstdlib>

#include "platform/audio.h"
#include "platform/files_internal.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl_host.h"

namespace plat {

namespace {
std::unique_ptr<Host> gHost;  // the current host; replaced only by SetHost
InputState gInput;            // written by the host's PumpEvents; reset by SetHost
}  // namespace

InputState& Input() { return gInput; }

Host& CurrentHost() {
    if (!gHost) InitPlatform();
    return *gHost;
}

void SetHost(std::unique_ptr<Host> host) {
    gHost = std::move(host);
    gInput = InputState{};
}

}  // namespace plat

void InitPlatform() {
    // Main() calls this first; under the headless twin it must keep the twin.
    if (plat::gHost) return;
    plat::SetHost(plat::MakeSdlHost());
}

void EndProcess(int status) {
    if (plat::gHost && plat::gHost->IsHeadless()) throw headless::ProcessExit{status};
    // Devices go before SDL itself, so nothing is released after SDL_Quit. Unfinished atomic
    // writes are dropped; plain streams already reached their files line by line.
    CloseDisplay();
    plat::ShutdownAudio();
    plat::CloseAllStreams();
    plat::gHost.reset();
    std::fflush(nullptr);
    std::exit(status);
}

// The title belongs to the window the host keeps, and survives the window being reopened.
void SetApplicationTitle(const std::string& title) { plat::CurrentHost().SetTitle(title); }
