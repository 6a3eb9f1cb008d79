// The "OpenGL" drawing back end: an OpenGL 3.3 core context, or 2.1 where 3.3 is not offered.
// Supports: quads batched in one streaming vertex buffer until the texture, blend mode or filter
// changes; all five blend modes (masked discards alpha below 0.5 in its own shader); nearest,
// bilinear and mipmapped sampling clamped to each quad's texel rectangle, so frames of one sheet
// never bleed into each other; a back buffer scaled and letterboxed into a larger window through
// a framebuffer object; ReadPixels. Does not support: multisampling, vertical-blank waiting where
// the driver refuses a swap interval (presenting simply does not wait).
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/platform.h"
#include "platform/render_gl/gl_functions.h"
#include "platform/render_gl/gl_shaders.h"
#include "platform/renderer.h"
#include "platform/sdl/convert.h"

namespace plat {

namespace {

// One corner as the vertex shader reads it: 36 bytes.
struct GlVertex {
    float x, y;                          // display pixels
    float u, v;                          // normalised texture coordinates
    float uMin, vMin, uMax, vMax;        // the rectangle sampling is clamped to, normalised
    uint8_t r, g, b, a;                  // tint and alpha
};

constexpr int kBatchQuads = 8192;  // 16-bit indices address 65536 corners; this stays well inside
constexpr int kNoTexture = 0;

// How a batch samples, each with its own programs: a batch holds quads of one kind.
constexpr int kNearest = 0, kFiltered = 1, kUntextured = 2;
constexpr int kPrograms = 6;  // plain and masked for each kind

struct GlTexture {
    bool live = false;
    GLuint name = 0;
    int width = 0, height = 0;
    bool mipmapped = false;  // has a mipmap chain
    int filter = -1;         // 0 nearest, 1 filtered, as last set; -1 never set
};

class GlRenderer final : public Renderer {
public:
    ~GlRenderer() override { Close(); }
    const char* Name() const override { return "OpenGL"; }
    std::string Error() const override { return error_; }

    bool Open(SDL_Window* window, int width, int height) override {
        Close();
        if (!window || width <= 0 || height <= 0) return Fail("OpenGL: no window to draw into");
        window_ = window;
        width_ = width;
        height_ = height;
        if (!CreateContext()) return false;
        if (!gl::Load(f_, error_)) return Fail("OpenGL: the driver lacks " + error_);
        const int version = gl::VersionNumber(reinterpret_cast<const char*>(f_.GetString(GL_VERSION)));
        if (version < 21) return Fail("OpenGL: version 2.1 or newer needed, the driver offers " + VersionText());
        if (core_ && !f_.HasVertexArrays()) return Fail("OpenGL: core context without vertex arrays");
        if (!BuildPrograms() || !BuildBuffers()) return false;
        GLint maxSize = 0;
        f_.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        maxTextureSide_ = maxSize > 0 ? maxSize : 2048;
        SDL_GL_SetSwapInterval(0);
        swapInterval_ = 0;
        f_.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
        f_.PixelStorei(GL_PACK_ALIGNMENT, 4);
        white_ = CreateTexture(nullptr, 1, 1, false);
        if (!white_) return Fail("OpenGL: cannot create textures");
        const uint32_t whitePixel = 0xFFFFFFFFu;
        UpdateTexture(white_, 0, 0, 1, 1, &whitePixel, 1);
        if (!PrepareTarget()) return false;
        if (f_.GetError() != GL_NO_ERROR) {
            // Errors left by the set-up mean a driver we cannot trust with the rest.
            return Fail("OpenGL: the driver reported an error while starting (" + VersionText() + ")");
        }
        return true;
    }

    void Close() override {
        if (context_) {
            SDL_GL_MakeCurrent(window_, context_);
            for (GlTexture& t : textures_)
                if (t.live) f_.DeleteTextures(1, &t.name);
            if (targetFbo_) f_.DeleteFramebuffers(1, &targetFbo_);
            if (targetTexture_) f_.DeleteTextures(1, &targetTexture_);
            if (vertexBuffer_) f_.DeleteBuffers(1, &vertexBuffer_);
            if (indexBuffer_) f_.DeleteBuffers(1, &indexBuffer_);
            if (vertexArray_) f_.DeleteVertexArrays(1, &vertexArray_);
            for (GLuint program : programs_)
                if (program) f_.DeleteProgram(program);
            SDL_GL_DeleteContext(context_);
        }
        context_ = nullptr;
        window_ = nullptr;
        textures_.clear();
        batch_.clear();
        targetFbo_ = targetTexture_ = vertexBuffer_ = indexBuffer_ = vertexArray_ = 0;
        for (GLuint& program : programs_) program = 0;
        f_ = gl::Functions{};
        white_ = 0;
        batchTexture_ = kNoTexture;
        currentProgram_ = -1;
        appliedBlend_ = boundTexture_ = 0;
    }

    int CreateTexture(const uint32_t* argb, int width, int height, bool mipmapped) override {
        if (!context_ || width <= 0 || height <= 0 || width > maxTextureSide_ || height > maxTextureSide_)
            return 0;
        size_t slot = 0;
        while (slot < textures_.size() && textures_[slot].live) ++slot;
        if (slot == textures_.size()) textures_.emplace_back();
        GlTexture& t = textures_[slot];
        t = GlTexture{};
        f_.GenTextures(1, &t.name);
        if (!t.name) return 0;
        t.live = true;
        t.width = width;
        t.height = height;
        t.mipmapped = mipmapped && f_.GenerateMipmap;
        BindTextureForUpload(t);
        f_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        f_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        f_.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        std::vector<uint32_t> blank;
        if (!argb) {
            blank.assign(size_t(width) * size_t(height), 0);
            argb = blank.data();
        }
        f_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb);
        if (t.mipmapped) f_.GenerateMipmap(GL_TEXTURE_2D);
        SetFilter(t, 0);
        return int(slot) + 1;
    }

    void UpdateTexture(int texture, int x, int y, int width, int height, const uint32_t* argb,
                       int pitchPixels) override {
        GlTexture* t = Find(texture);
        if (!t || !argb || width <= 0 || height <= 0 || pitchPixels < width) return;
        // Only the part inside the texture is copied.
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + width, t->width), y1 = std::min(y + height, t->height);
        if (x0 >= x1 || y0 >= y1) return;
        if (texture == batchTexture_) FlushBatch();
        BindTextureForUpload(*t);
        f_.PixelStorei(GL_UNPACK_ROW_LENGTH, pitchPixels);
        const uint32_t* first = argb + size_t(y0 - y) * size_t(pitchPixels) + size_t(x0 - x);
        f_.TexSubImage2D(GL_TEXTURE_2D, 0, x0, y0, x1 - x0, y1 - y0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, first);
        f_.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        if (t->mipmapped) f_.GenerateMipmap(GL_TEXTURE_2D);
    }

    void DestroyTexture(int texture) override {
        GlTexture* t = Find(texture);
        if (!t || texture == white_) return;
        if (texture == batchTexture_) FlushBatch();
        f_.DeleteTextures(1, &t->name);
        *t = GlTexture{};
    }

    void Clear() override {
        if (!context_) return;
        FlushBatch();
        f_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        f_.ClearColor(0, 0, 0, 1);
        f_.Clear(GL_COLOR_BUFFER_BIT);
        // The stored alpha stays opaque, as in the software back buffer, whatever is blended on it.
        f_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    }

    void DrawTexturedQuad(int texture, const QuadVertex corners[4], const QuadPaint& paint) override {
        const GlTexture* t = Find(texture);
        if (!t) return;
        Append(texture, *t, corners, paint, paint.filtered ? kFiltered : kNearest);
    }

    void DrawSolidQuad(const QuadVertex corners[4], const QuadPaint& paint) override {
        const GlTexture* t = Find(white_);
        if (!t) return;
        QuadVertex c[4];
        for (int i = 0; i < 4; ++i) c[i] = QuadVertex{corners[i].x, corners[i].y, 0.5f, 0.5f};
        Append(white_, *t, c, paint, kUntextured);
    }

    void ReadPixels(int x, int y, int width, int height, uint32_t* out) override {
        if (!out || width <= 0 || height <= 0) return;
        std::fill(out, out + size_t(width) * size_t(height), 0xFF000000u);
        if (!context_) return;
        FlushBatch();
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
        if (x0 >= x1 || y0 >= y1) return;
        const int w = x1 - x0, h = y1 - y0;
        readBack_.resize(size_t(w) * size_t(h));
        if (drawsLetterboxed_) {
            ReadLetterboxed(x0, y0, w, h);
        } else {
            // GL rows run bottom-up; display rows top-down.
            f_.PixelStorei(GL_PACK_ROW_LENGTH, 0);
            f_.ReadPixels(x0, height_ - y1, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, readBack_.data());
        }
        for (int row = 0; row < h; ++row) {
            const uint32_t* src = &readBack_[size_t(h - 1 - row) * size_t(w)];
            uint32_t* dst = out + size_t(y0 - y + row) * size_t(width) + size_t(x0 - x);
            for (int col = 0; col < w; ++col) dst[col] = src[col] | 0xFF000000u;
        }
    }

    void Flush() override {
        if (!context_) return;
        FlushBatch();
        f_.Flush();
    }

    void Present(bool waitForVsync) override {
        if (!context_) return;
        FlushBatch();
        const int interval = waitForVsync ? 1 : 0;
        if (interval != swapInterval_) {
            SDL_GL_SetSwapInterval(interval);  // refused by some drivers: then it does not wait
            swapInterval_ = interval;
        }
        if (targetFbo_) {
            int windowW = 0, windowH = 0;
            SDL_GL_GetDrawableSize(window_, &windowW, &windowH);
            const Letterbox box = FitLetterbox(windowW, windowH, width_, height_);
            f_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            f_.Viewport(0, 0, windowW, windowH);
            f_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            f_.ClearColor(0, 0, 0, 1);
            f_.Clear(GL_COLOR_BUFFER_BIT);
            f_.BlitFramebuffer(0, 0, width_, height_, box.x, windowH - box.y - box.height,
                               box.x + box.width, windowH - box.y, GL_COLOR_BUFFER_BIT, GL_LINEAR);
            SDL_GL_SwapWindow(window_);
            f_.BindFramebuffer(GL_FRAMEBUFFER, targetFbo_);
            f_.Viewport(0, 0, width_, height_);
            f_.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        } else {
            SDL_GL_SwapWindow(window_);
        }
    }

private:
    bool Fail(const std::string& why) {
        error_ = why;
        Close();
        return false;
    }

    std::string VersionText() {
        const char* text = f_.GetString ? reinterpret_cast<const char*>(f_.GetString(GL_VERSION)) : nullptr;
        return text ? text : "no version";
    }

    // 3.3 core first; a driver without it gets asked for 2.1 on the same window.
    bool CreateContext() {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        context_ = SDL_GL_CreateContext(window_);
        core_ = context_ != nullptr;
        if (!context_) {
            const std::string coreError = SDL_GetError();
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
            context_ = SDL_GL_CreateContext(window_);
            if (!context_) return Fail("OpenGL: no 3.3 or 2.1 context (" + coreError + "; " + SDL_GetError() + ")");
        }
        if (SDL_GL_MakeCurrent(window_, context_) != 0) return Fail(std::string("OpenGL: ") + SDL_GetError());
        return true;
    }

    bool BuildPrograms() {
        for (int i = 0; i < kPrograms; ++i) {
            std::string log;
            const Sampling sampling = i / 2 == kFiltered ? Sampling::kClamped
                                      : i / 2 == kUntextured ? Sampling::kNone
                                                             : Sampling::kFree;
            programs_[i] = BuildProgram(f_, core_, (i & 1) != 0, sampling, log);
            if (!programs_[i]) return Fail("OpenGL: shaders rejected: " + log);
            f_.UseProgram(programs_[i]);
            f_.Uniform1i(f_.GetUniformLocation(programs_[i], "uTexture"), 0);
            f_.Uniform2f(f_.GetUniformLocation(programs_[i], "uToClip"), 2.0f / float(width_), -2.0f / float(height_));
        }
        currentProgram_ = -1;
        return true;
    }

    bool BuildBuffers() {
        if (core_) {
            f_.GenVertexArrays(1, &vertexArray_);
            f_.BindVertexArray(vertexArray_);
        }
        f_.GenBuffers(1, &vertexBuffer_);
        f_.GenBuffers(1, &indexBuffer_);
        if (!vertexBuffer_ || !indexBuffer_) return Fail("OpenGL: cannot create buffers");
        std::vector<uint16_t> indices(size_t(kBatchQuads) * 6);
        for (int q = 0; q < kBatchQuads; ++q) {
            const uint16_t base = uint16_t(q * 4);
            const uint16_t quad[6] = {base, uint16_t(base + 1), uint16_t(base + 2),
                                      base, uint16_t(base + 2), uint16_t(base + 3)};
            std::copy(quad, quad + 6, indices.begin() + q * 6);
        }
        f_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        f_.BufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint16_t)), indices.data(),
                      GL_STATIC_DRAW);
        f_.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        f_.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(kBatchQuads * 4 * sizeof(GlVertex)), nullptr, GL_STREAM_DRAW);
        const GLsizei stride = sizeof(GlVertex);
        f_.EnableVertexAttribArray(kAttribPosition);
        f_.VertexAttribPointer(kAttribPosition, 2, GL_FLOAT, GL_FALSE, stride,
                               reinterpret_cast<void*>(offsetof(GlVertex, x)));
        f_.EnableVertexAttribArray(kAttribTexel);
        f_.VertexAttribPointer(kAttribTexel, 2, GL_FLOAT, GL_FALSE, stride,
                               reinterpret_cast<void*>(offsetof(GlVertex, u)));
        f_.EnableVertexAttribArray(kAttribClamp);
        f_.VertexAttribPointer(kAttribClamp, 4, GL_FLOAT, GL_FALSE, stride,
                               reinterpret_cast<void*>(offsetof(GlVertex, uMin)));
        f_.EnableVertexAttribArray(kAttribColour);
        f_.VertexAttribPointer(kAttribColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                               reinterpret_cast<void*>(offsetof(GlVertex, r)));
        batch_.reserve(size_t(kBatchQuads) * 4);
        return true;
    }

    // Draws straight into the window when it has the back buffer's size; otherwise into a texture
    // of that size, scaled into the window at Present. Without framebuffer objects the drawing is
    // mapped straight onto the letterbox instead, and read back from there.
    bool PrepareTarget() {
        int windowW = 0, windowH = 0;
        SDL_GL_GetDrawableSize(window_, &windowW, &windowH);
        drawsLetterboxed_ = false;
        if (windowW == width_ && windowH == height_) {
            f_.Viewport(0, 0, width_, height_);
        } else if (f_.HasFramebuffers()) {
            f_.GenTextures(1, &targetTexture_);
            f_.BindTexture(GL_TEXTURE_2D, targetTexture_);
            f_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            f_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            f_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                          nullptr);
            f_.GenFramebuffers(1, &targetFbo_);
            f_.BindFramebuffer(GL_FRAMEBUFFER, targetFbo_);
            f_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture_, 0);
            if (f_.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
                return Fail("OpenGL: the back buffer's framebuffer is incomplete");
            f_.Viewport(0, 0, width_, height_);
            boundTexture_ = 0;
        } else {
            const Letterbox box = FitLetterbox(windowW, windowH, width_, height_);
            f_.Viewport(box.x, windowH - box.y - box.height, box.width, box.height);
            drawsLetterboxed_ = true;
            letterbox_ = box;
            windowH_ = windowH;
        }
        Clear();
        return true;
    }

    // Nearest window pixel for each back-buffer pixel, when the drawing went onto the letterbox.
    void ReadLetterboxed(int x0, int y0, int w, int h) {
        const Letterbox& box = letterbox_;
        std::vector<uint32_t> window(size_t(box.width) * size_t(box.height));
        f_.PixelStorei(GL_PACK_ROW_LENGTH, 0);
        f_.ReadPixels(box.x, windowH_ - box.y - box.height, box.width, box.height, GL_BGRA,
                      GL_UNSIGNED_INT_8_8_8_8_REV, window.data());
        for (int row = 0; row < h; ++row) {
            // readBack_ is bottom-up like GL, so the copy loop of ReadPixels can flip it.
            const int by = y0 + row;
            const int wy = std::min(box.height - 1, int((by + 0.5) * box.height / height_));
            for (int col = 0; col < w; ++col) {
                const int wx = std::min(box.width - 1, int((x0 + col + 0.5) * box.width / width_));
                readBack_[size_t(h - 1 - row) * size_t(w) + size_t(col)] =
                    window[size_t(box.height - 1 - wy) * size_t(box.width) + size_t(wx)];
            }
        }
    }

    GlTexture* Find(int texture) {
        if (texture < 1 || size_t(texture) > textures_.size()) return nullptr;
        GlTexture& t = textures_[size_t(texture) - 1];
        return t.live ? &t : nullptr;
    }

    void BindTextureForUpload(const GlTexture& t) {
        f_.BindTexture(GL_TEXTURE_2D, t.name);
        boundTexture_ = 0;  // the batch's texture must be bound again before the next draw
    }

    void SetFilter(GlTexture& t, int filter) {
        if (t.filter == filter) return;
        const GLint mag = filter ? GL_LINEAR : GL_NEAREST;
        const GLint min = !filter ? GL_NEAREST : t.mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
        f_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
        f_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
        t.filter = filter;
    }

    void Append(int texture, const GlTexture& t, const QuadVertex c[4], const QuadPaint& paint, int filter) {
        for (int i = 0; i < 4; ++i)
            if (!std::isfinite(c[i].x) || !std::isfinite(c[i].y)) return;
        const int blend = std::clamp(paint.blend, kBlendMasked, kBlendShade);
        if (texture != batchTexture_ || blend != batchBlend_ || filter != batchFilter_ ||
            batch_.size() >= size_t(kBatchQuads) * 4) {
            FlushBatch();
            batchTexture_ = texture;
            batchBlend_ = blend;
            batchFilter_ = filter;
        }
        const float sx = 1.0f / float(t.width), sy = 1.0f / float(t.height);
        float uLo = c[0].u, uHi = c[0].u, vLo = c[0].v, vHi = c[0].v;
        for (int i = 1; i < 4; ++i) {
            uLo = std::min(uLo, c[i].u), uHi = std::max(uHi, c[i].u);
            vLo = std::min(vLo, c[i].v), vHi = std::max(vHi, c[i].v);
        }
        // Filtered samples stop at the outer texel centres, nearest ones just inside the edge:
        // the same texels the software renderer clamps to.
        const float inset = filter == kFiltered ? 0.5f : 1.0f / 256.0f;
        const float uMin = std::min(uLo + inset, 0.5f * (uLo + uHi)) * sx;
        const float uMax = std::max(uHi - inset, 0.5f * (uLo + uHi)) * sx;
        const float vMin = std::min(vLo + inset, 0.5f * (vLo + vHi)) * sy;
        const float vMax = std::max(vHi - inset, 0.5f * (vLo + vHi)) * sy;
        const uint8_t alpha = uint8_t(std::lround(std::clamp(paint.alpha, 0.0f, 1.0f) * 255.0f));
        for (int i = 0; i < 4; ++i) {
            batch_.push_back(GlVertex{c[i].x, c[i].y, c[i].u * sx, c[i].v * sy, uMin, vMin, uMax, vMax,
                                      paint.r, paint.g, paint.b, alpha});
        }
    }

    void ApplyBlend(int blend) {
        switch (blend) {
            case kBlendMasked:
            case kBlendSolid: f_.Disable(GL_BLEND); break;
            case kBlendLight:
                f_.Enable(GL_BLEND);
                f_.BlendFunc(GL_SRC_ALPHA, GL_ONE);
                break;
            case kBlendShade:
                // A multiply: alpha plays no part, as in the software renderer.
                f_.Enable(GL_BLEND);
                f_.BlendFunc(GL_DST_COLOR, GL_ZERO);
                break;
            default:
                f_.Enable(GL_BLEND);
                f_.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                break;
        }
    }

    void FlushBatch() {
        if (batch_.empty() || !context_) {
            batch_.clear();
            return;
        }
        GlTexture* t = Find(batchTexture_);
        if (!t) {
            batch_.clear();
            return;
        }
        const int program = (batchBlend_ == kBlendMasked ? 1 : 0) + 2 * batchFilter_;
        if (program != currentProgram_) {
            f_.UseProgram(programs_[program]);
            currentProgram_ = program;
        }
        if (batchBlend_ != appliedBlend_) {
            ApplyBlend(batchBlend_);
            appliedBlend_ = batchBlend_;
        }
        if (batchFilter_ != kUntextured) {
            if (boundTexture_ != batchTexture_) {
                f_.BindTexture(GL_TEXTURE_2D, t->name);
                boundTexture_ = batchTexture_;
            }
            SetFilter(*t, batchFilter_);
        }
        // Rewritten in place rather than orphaned: Mesa's rasteriser reads the vertices at the
        // draw call, while orphaning made it map and zero fresh pages for every batch.
        const GLsizeiptr bytes = GLsizeiptr(batch_.size() * sizeof(GlVertex));
        f_.BufferSubData(GL_ARRAY_BUFFER, 0, bytes, batch_.data());
        f_.DrawElements(GL_TRIANGLES, GLsizei(batch_.size() / 4 * 6), GL_UNSIGNED_SHORT, nullptr);
        batch_.clear();
    }

    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool core_ = false;
    gl::Functions f_;
    int width_ = 0, height_ = 0;
    int maxTextureSide_ = 0;
    int swapInterval_ = 0;
    GLuint programs_[kPrograms] = {};  // index: 1 if masked + 2 * sampling kind
    GLuint vertexArray_ = 0, vertexBuffer_ = 0, indexBuffer_ = 0;
    GLuint targetFbo_ = 0, targetTexture_ = 0;
    bool drawsLetterboxed_ = false;
    Letterbox letterbox_;
    int windowH_ = 0;
    std::vector<GlTexture> textures_;
    int white_ = 0;  // a one-texel texture solid quads sample, so they batch like images
    std::vector<GlVertex> batch_;
    int batchTexture_ = kNoTexture, batchBlend_ = 0, batchFilter_ = 0;
    int currentProgram_ = -1, appliedBlend_ = 0, boundTexture_ = 0;
    std::vector<uint32_t> readBack_;
    std::string error_;
};

}  // namespace

std::unique_ptr<Renderer> MakeOpenGLRenderer() { return std::make_unique<GlRenderer>(); }

}  // namespace plat
