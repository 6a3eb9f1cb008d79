// The "OpenGL" drawing back end. Until the GL rasteriser exists this slot draws with the software
// renderer, so ActiveBackendName reports "Software" whichever back end was chosen.
#include "platform/renderer.h"

namespace plat {

std::unique_ptr<Renderer> MakeOpenGLRenderer() { return MakeSoftwareRenderer(); }

}  // namespace plat
