// The OpenGL entry points the GL renderer uses, loaded at run time through SDL_GL_GetProcAddress
// so the program starts on machines whose GL lacks some of them. Required entries (GL 2.1) fail
// the load; optional ones (vertex arrays, mipmap generation, framebuffer objects) may stay null.
// GL 1.1 entries take their type from gl.h's prototypes, later ones from glext's pointer types.
#pragma once

#include <SDL_opengl.h>

#include <string>

namespace gl {

#define CD_GL_REQUIRED(X)                                                                  \
    X(decltype(&::glGetString), GetString, glGetString)                                          \
    X(decltype(&::glGetIntegerv), GetIntegerv, glGetIntegerv)                                    \
    X(decltype(&::glGetError), GetError, glGetError)                                             \
    X(decltype(&::glViewport), Viewport, glViewport)                                             \
    X(decltype(&::glScissor), Scissor, glScissor)                                                \
    X(decltype(&::glClearColor), ClearColor, glClearColor)                                       \
    X(decltype(&::glClear), Clear, glClear)                                                      \
    X(decltype(&::glColorMask), ColorMask, glColorMask)                                          \
    X(decltype(&::glEnable), Enable, glEnable)                                                   \
    X(decltype(&::glDisable), Disable, glDisable)                                                \
    X(decltype(&::glBlendFunc), BlendFunc, glBlendFunc)                                          \
    X(decltype(&::glGenTextures), GenTextures, glGenTextures)                                    \
    X(decltype(&::glDeleteTextures), DeleteTextures, glDeleteTextures)                           \
    X(decltype(&::glBindTexture), BindTexture, glBindTexture)                                    \
    X(decltype(&::glTexImage2D), TexImage2D, glTexImage2D)                                       \
    X(decltype(&::glTexSubImage2D), TexSubImage2D, glTexSubImage2D)                              \
    X(decltype(&::glTexParameteri), TexParameteri, glTexParameteri)                              \
    X(decltype(&::glPixelStorei), PixelStorei, glPixelStorei)                                    \
    X(decltype(&::glReadPixels), ReadPixels, glReadPixels)                                       \
    X(decltype(&::glDrawElements), DrawElements, glDrawElements)                                 \
    X(decltype(&::glFlush), Flush, glFlush)                                                      \
    X(PFNGLGENBUFFERSPROC, GenBuffers, glGenBuffers)                                       \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers, glDeleteBuffers)                              \
    X(PFNGLBINDBUFFERPROC, BindBuffer, glBindBuffer)                                       \
    X(PFNGLBUFFERDATAPROC, BufferData, glBufferData)                                       \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData, glBufferSubData)                              \
    X(PFNGLCREATESHADERPROC, CreateShader, glCreateShader)                                 \
    X(PFNGLSHADERSOURCEPROC, ShaderSource, glShaderSource)                                 \
    X(PFNGLCOMPILESHADERPROC, CompileShader, glCompileShader)                              \
    X(PFNGLGETSHADERIVPROC, GetShaderiv, glGetShaderiv)                                    \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog, glGetShaderInfoLog)                     \
    X(PFNGLDELETESHADERPROC, DeleteShader, glDeleteShader)                                 \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram, glCreateProgram)                              \
    X(PFNGLATTACHSHADERPROC, AttachShader, glAttachShader)                                 \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation, glBindAttribLocation)               \
    X(PFNGLLINKPROGRAMPROC, LinkProgram, glLinkProgram)                                    \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv, glGetProgramiv)                                 \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog, glGetProgramInfoLog)                  \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram, glDeleteProgram)                              \
    X(PFNGLUSEPROGRAMPROC, UseProgram, glUseProgram)                                       \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation, glGetUniformLocation)               \
    X(PFNGLUNIFORM1IPROC, Uniform1i, glUniform1i)                                          \
    X(PFNGLUNIFORM2FPROC, Uniform2f, glUniform2f)                                          \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray, glEnableVertexAttribArray) \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer, glVertexAttribPointer)

#define CD_GL_OPTIONAL(X)                                                                  \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays, glGenVertexArrays)                        \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray, glBindVertexArray)                        \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays, glDeleteVertexArrays)               \
    X(PFNGLGENERATEMIPMAPPROC, GenerateMipmap, glGenerateMipmap)                           \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers, glGenFramebuffers)                        \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers, glDeleteFramebuffers)               \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer, glBindFramebuffer)                        \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D, glFramebufferTexture2D)         \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus, glCheckFramebufferStatus)   \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer, glBlitFramebuffer)

// One table per context; entries are valid only while the context they were loaded for is current.
struct Functions {
#define CD_GL_FIELD(type, name, symbol) type name = nullptr;
    CD_GL_REQUIRED(CD_GL_FIELD)
    CD_GL_OPTIONAL(CD_GL_FIELD)
#undef CD_GL_FIELD
    bool HasVertexArrays() const { return GenVertexArrays && BindVertexArray && DeleteVertexArrays; }
    bool HasFramebuffers() const {
        return GenFramebuffers && DeleteFramebuffers && BindFramebuffer && FramebufferTexture2D &&
               CheckFramebufferStatus && BlitFramebuffer;
    }
};

// Fills `f` from the current context. False, naming the first missing entry in `missing`, when a
// required one is absent.
bool Load(Functions& f, std::string& missing);

// "3.3 (Core Profile) Mesa 22.3.6" and the like to 33; 0 when unreadable.
int VersionNumber(const char* versionText);

}  // namespace gl
