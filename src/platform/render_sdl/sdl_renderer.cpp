// The drawing back end on SDL_Renderer. Until it exists this slot draws with the software
// renderer, so ActiveBackendName reports "Software" whichever back end was chosen.
#include "platform/renderer.h"

namespace plat {

std::unique_ptr<Renderer> MakeSdlRenderer() { return MakeSoftwareRenderer(); }

}  // namespace plat
