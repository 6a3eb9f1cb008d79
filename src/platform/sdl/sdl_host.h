// The real host on SDL2: window, events into plat::Input(), clock, display modes, joysticks and
// the pointer. Also the GL context request the OpenGL renderer relies on.
#pragma once

#include <memory>

#include "platform/host.h"

namespace plat {

std::unique_ptr<Host> MakeSdlHost();

// Context version and profile set on windows opened with openGL from now on (default 3.3 core).
// SDL reads them when the context is created, so the OpenGL renderer can also fall back (2.1,
// compatibility) on the same window: SDL_GL_SetAttribute, then SDL_GL_CreateContext again.
void RequestGLContext(int major, int minor, bool coreProfile);

}  // namespace plat
