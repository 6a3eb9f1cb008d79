// Shader sources and their compilation for the GL renderer.
#include "platform/render_gl/gl_shaders.h"

namespace plat {

namespace {

constexpr const char* kVertexCore = R"(#version 330 core
layout(location = 0) in vec2 aPosition;
layout(location = 1) in vec2 aTexel;
layout(location = 2) in vec4 aClamp;
layout(location = 3) in vec4 aColour;
uniform vec2 uToClip;
out vec2 vTexel;
flat out vec4 vClamp;
flat out vec4 vColour;
void main() {
    gl_Position = vec4(aPosition * uToClip + vec2(-1.0, 1.0), 0.0, 1.0);
    vTexel = aTexel;
    vClamp = aClamp;
    vColour = aColour;
}
)";

constexpr const char* kFragmentCore = R"(
in vec2 vTexel;
flat in vec4 vClamp;  // the same at all four corners: flat spares Mesa interpolating them
flat in vec4 vColour;
uniform sampler2D uTexture;
out vec4 fragColour;
void main() {
#ifdef CLAMPED
    vec2 at = clamp(vTexel, vClamp.xy, vClamp.zw);
#else
    vec2 at = vTexel;
#endif
    vec4 c = texture(uTexture, at) * vColour;
#ifdef MASKED
    if (c.a < 0.5) discard;
#endif
    fragColour = c;
}
)";

constexpr const char* kVertexLegacy = R"(#version 120
attribute vec2 aPosition;
attribute vec2 aTexel;
attribute vec4 aClamp;
attribute vec4 aColour;
uniform vec2 uToClip;
varying vec2 vTexel;
varying vec4 vClamp;
varying vec4 vColour;
void main() {
    gl_Position = vec4(aPosition * uToClip + vec2(-1.0, 1.0), 0.0, 1.0);
    vTexel = aTexel;
    vClamp = aClamp;
    vColour = aColour;
}
)";

constexpr const char* kFragmentLegacy = R"(
varying vec2 vTexel;
varying vec4 vClamp;
varying vec4 vColour;
uniform sampler2D uTexture;
void main() {
#ifdef CLAMPED
    vec2 at = clamp(vTexel, vClamp.xy, vClamp.zw);
#else
    vec2 at = vTexel;
#endif
    vec4 c = texture2D(uTexture, at) * vColour;
#ifdef MASKED
    if (c.a < 0.5) discard;
#endif
    gl_FragColor = c;
}
)";

GLuint Compile(const gl::Functions& f, GLenum kind, const char* const* parts, int count, std::string& log) {
    const GLuint shader = f.CreateShader(kind);
    if (!shader) {
        log = "no shader object";
        return 0;
    }
    f.ShaderSource(shader, count, parts, nullptr);
    f.CompileShader(shader);
    GLint ok = GL_FALSE;
    f.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    char text[512] = {};
    f.GetShaderInfoLog(shader, sizeof text - 1, nullptr, text);
    log = text;
    f.DeleteShader(shader);
    return 0;
}

}  // namespace

GLuint BuildProgram(const gl::Functions& f, bool core, bool masked, bool clamped, std::string& log) {
    const char* version = core ? "#version 330 core\n" : "#version 120\n";
    const char* maskedDefine = masked ? "#define MASKED 1\n" : "\n";
    const char* clampedDefine = clamped ? "#define CLAMPED 1\n" : "\n";
    const char* vertexParts[] = {core ? kVertexCore : kVertexLegacy};
    const char* fragmentParts[] = {version, maskedDefine, clampedDefine, core ? kFragmentCore : kFragmentLegacy};
    const GLuint vertex = Compile(f, GL_VERTEX_SHADER, vertexParts, 1, log);
    if (!vertex) return 0;
    const GLuint fragment = Compile(f, GL_FRAGMENT_SHADER, fragmentParts, 4, log);
    if (!fragment) {
        f.DeleteShader(vertex);
        return 0;
    }
    const GLuint program = f.CreateProgram();
    if (program) {
        f.AttachShader(program, vertex);
        f.AttachShader(program, fragment);
        f.BindAttribLocation(program, kAttribPosition, "aPosition");
        f.BindAttribLocation(program, kAttribTexel, "aTexel");
        f.BindAttribLocation(program, kAttribClamp, "aClamp");
        f.BindAttribLocation(program, kAttribColour, "aColour");
        f.LinkProgram(program);
    }
    // Shaders attached to a program live on with it; deleting them here only drops our handles.
    f.DeleteShader(vertex);
    f.DeleteShader(fragment);
    if (!program) {
        log = "no program object";
        return 0;
    }
    GLint ok = GL_FALSE;
    f.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok == GL_TRUE) return program;
    char text[512] = {};
    f.GetProgramInfoLog(program, sizeof text - 1, nullptr, text);
    log = text;
    f.DeleteProgram(program);
    return 0;
}

}  // namespace plat
