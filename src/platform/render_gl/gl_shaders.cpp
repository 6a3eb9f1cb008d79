// Shader sources and their compilation for the GL renderer.
#include "platform/render_gl/gl_shaders.h"

namespace plat {

namespace {

// One source per stage for both GLSL dialects; the preludes below name what differs. Attribute
// locations are bound before linking, so neither dialect needs layout qualifiers.
constexpr const char* kVertexBody = R"(
IN vec2 aPosition;
IN vec2 aTexel;
IN vec4 aClamp;
IN vec4 aColour;
uniform vec2 uToClip;
SMOOTH OUT vec2 vTexel;
FLAT OUT vec4 vClamp;  // the same at all four corners: flat spares Mesa interpolating them
FLAT OUT vec4 vColour;
void main() {
    gl_Position = vec4(aPosition * uToClip + vec2(-1.0, 1.0), 0.0, 1.0);
    vTexel = aTexel;
    vClamp = aClamp;
    vColour = aColour;
}
)";

constexpr const char* kFragmentBody = R"(
SMOOTH IN vec2 vTexel;
FLAT IN vec4 vClamp;
FLAT IN vec4 vColour;
uniform sampler2D uTexture;
void main() {
#if defined(UNTEXTURED)
    vec4 c = vColour;
#else
#ifdef CLAMPED
    vec2 at = clamp(vTexel, vClamp.xy, vClamp.zw);
#else
    vec2 at = vTexel;
#endif
    vec4 c = TEXTURE(uTexture, at) * vColour;
#endif
#ifdef MASKED
    if (c.a < 0.5) discard;
#endif
    FRAG_COLOUR = c;
}
)";

constexpr const char* kVertexCorePrelude =
    "#version 330 core\n#define IN in\n#define OUT out\n#define FLAT flat\n#define SMOOTH noperspective\n";
constexpr const char* kVertexLegacyPrelude =
    "#version 120\n#define IN attribute\n#define OUT varying\n#define FLAT\n#define SMOOTH\n";
constexpr const char* kFragmentCorePrelude =
    "#version 330 core\n#define IN in\n#define FLAT flat\n#define SMOOTH noperspective\n#define TEXTURE texture\n"
    "out vec4 fragColour;\n#define FRAG_COLOUR fragColour\n";
constexpr const char* kFragmentLegacyPrelude =
    "#version 120\n#define IN varying\n#define FLAT\n#define SMOOTH\n#define TEXTURE texture2D\n"
    "#define FRAG_COLOUR gl_FragColor\n";

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

GLuint BuildProgram(const gl::Functions& f, bool core, bool masked, Sampling sampling, std::string& log) {
    const char* maskedDefine = masked ? "#define MASKED 1\n" : "\n";
    const char* clampedDefine = sampling == Sampling::kClamped ? "#define CLAMPED 1\n"
                                : sampling == Sampling::kNone  ? "#define UNTEXTURED 1\n"
                                                               : "\n";
    const char* vertexParts[] = {core ? kVertexCorePrelude : kVertexLegacyPrelude, kVertexBody};
    const char* fragmentParts[] = {core ? kFragmentCorePrelude : kFragmentLegacyPrelude, maskedDefine,
                                   clampedDefine, kFragmentBody};
    const GLuint vertex = Compile(f, GL_VERTEX_SHADER, vertexParts, 2, log);
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
