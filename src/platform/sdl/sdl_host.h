// The real host on SDL2: window, events into plat::Input(), clock, display modes, joysticks and
// the pointer. Also the GL context request the OpenGL renderer relies on.
#pragma once

#include <memory>

#include "platform/host.h"

namespace plat {

std::unique_ptr<Host> MakeSdlHost();

// Context version and profile for windows opened with openGL from now on (default 3.3 core).
// The OpenGL renderer may lower it (2.1, compatibility) and open the window again.
void RequestGLContext(int major, int minor, bool coreProfile);

}  // namespace plat
