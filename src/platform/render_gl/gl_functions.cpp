// Loading the GL entry points of gl_functions.h from the current context.
#include "platform/render_gl/gl_functions.h"

#include <SDL.h>

#include <cctype>

namespace gl {

bool Load(Functions& f, std::string& missing) {
    f = Functions{};
    missing.clear();
#define CD_GL_LOAD_REQUIRED(type, name, symbol)                                   \
    f.name = reinterpret_cast<type>(SDL_GL_GetProcAddress(#symbol));              \
    if (!f.name && missing.empty()) missing = #symbol;
    CD_GL_REQUIRED(CD_GL_LOAD_REQUIRED)
#undef CD_GL_LOAD_REQUIRED
#define CD_GL_LOAD_OPTIONAL(type, name, symbol) \
    f.name = reinterpret_cast<type>(SDL_GL_GetProcAddress(#symbol));
    CD_GL_OPTIONAL(CD_GL_LOAD_OPTIONAL)
#undef CD_GL_LOAD_OPTIONAL
    return missing.empty();
}

int VersionNumber(const char* text) {
    if (!text) return 0;
    // OpenGL ES contexts say "OpenGL ES 3.2 ..."; we never ask for one, so the prefix means no.
    if (!std::isdigit(static_cast<unsigned char>(text[0]))) return 0;
    int major = 0, minor = 0;
    const char* p = text;
    while (std::isdigit(static_cast<unsigned char>(*p)) && major < 100) major = major * 10 + (*p++ - '0');
    if (*p != '.') return 0;
    ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
    minor = *p - '0';
    return major * 10 + minor;
}

}  // namespace gl
