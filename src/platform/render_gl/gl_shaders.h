// The GL renderer's shader programs: plain or masked (discarding alpha below one half), each
// sampling freely (nearest), clamped to the quad's texel rectangle (filtered) or not at all (solid
// quads), written once for GLSL 3.30 core and once for GLSL 1.20.
#pragma once

#include <string>

#include "platform/render_gl/gl_functions.h"

namespace plat {

// Attribute locations, bound before linking so both GLSL versions agree.
constexpr GLuint kAttribPosition = 0;  // display pixels
constexpr GLuint kAttribTexel = 1;     // normalised texture coordinates
constexpr GLuint kAttribClamp = 2;     // sampling rectangle: uMin, vMin, uMax, vMax
constexpr GLuint kAttribColour = 3;    // tint and alpha, 0..1

// How a program's fragments get their colour. Nearest samples at pixel centres inside a quad never
// leave its texels, so only filtered sampling pays for the clamp, which costs Mesa's rasteriser a
// varying and a clamp per pixel; solid quads skip the texture altogether, a fetch per pixel less.
enum class Sampling { kFree, kClamped, kNone };

// A linked program, or 0 with the compiler's or linker's words in `log`.
GLuint BuildProgram(const gl::Functions& f, bool core, bool masked, Sampling sampling, std::string& log);

}  // namespace plat
