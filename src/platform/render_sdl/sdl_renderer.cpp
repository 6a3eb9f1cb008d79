// The drawing back end on SDL_Renderer. Supports: quads (turned, scaled, tinted) as
// SDL_RenderGeometry triangles, gathered into one call per run of equal texture, blend and
// filter; solid and alpha blending, light as SDL's additive mode and shade as its modulate mode
// (both exactly the formulas of platform.h); masked drawing through a copy of the texture whose
// alpha is cut at the paint's threshold; nearest and linear scaling per texture; a back buffer
// scaled and letterboxed into a larger window through a target texture; ReadPixels.
// Does not support: mipmaps (linear scaling stands in), clamping filtered samples to a frame
// (SDL offers no such control, so a filtered frame's edge may pick up a neighbour's texels), and
// a hard cut after filtering: a filtered masked image blends across its cut edge.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/platform.h"
#include "platform/renderer.h"
#include "platform/sdl/convert.h"

namespace plat {

namespace {

constexpr int kBatchQuads = 8192;

struct SdlTexture {
    bool live = false;
    SDL_Texture* texture = nullptr;
    SDL_Texture* masked = nullptr;  // alpha cut to 0 or 255 at `maskedAlpha`; made when needed
    int maskedAlpha = -1;           // paint alpha (0..255) the masked copy was cut for
    int width = 0, height = 0;
    SDL_ScaleMode scale = SDL_ScaleModeNearest;
    SDL_ScaleMode maskedScale = SDL_ScaleModeNearest;
    std::vector<uint32_t> pixels;  // for cutting masked copies again after updates
};

// Premultiplying nothing: the texture and vertex colours are straight alpha, as SDL expects.
SDL_BlendMode BlendFor(int blend) {
    switch (blend) {
        case kBlendSolid: return SDL_BLENDMODE_NONE;
        case kBlendLight: return SDL_BLENDMODE_ADD;  // src * a + dst
        case kBlendShade: return SDL_BLENDMODE_MOD;  // src * dst
        default: return SDL_BLENDMODE_BLEND;         // masked quads blend a 0-or-1 alpha
    }
}

class SdlRendererBackEnd final : public Renderer {
public:
    ~SdlRendererBackEnd() override { Close(); }
    const char* Name() const override { return "SDL_Renderer"; }
    std::string Error() const override { return error_; }

    bool Open(SDL_Window* window, int width, int height) override {
        Close();
        if (!window || width <= 0 || height <= 0) return Fail("SDL_Renderer: no window to draw into");
        window_ = window;
        width_ = width;
        height_ = height;
        renderer_ = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window, -1, 0);
        if (!renderer_) return Fail(std::string("SDL_Renderer: ") + SDL_GetError());
        SDL_RendererInfo info{};
        if (SDL_GetRendererInfo(renderer_, &info) == 0) {
            maxTextureWidth_ = info.max_texture_width > 0 ? info.max_texture_width : 1 << 14;
            maxTextureHeight_ = info.max_texture_height > 0 ? info.max_texture_height : 1 << 14;
        }
        // SDL's GL-based renderers leave their context current; with its glFlush, Flush can start
        // Mesa rasterising the frame during the pacing sleep rather than at the swap.
        if (SDL_GL_GetCurrentContext())
            glFlush_ = reinterpret_cast<void (*)()>(SDL_GL_GetProcAddress("glFlush"));
        int outputW = 0, outputH = 0;
        SDL_GetRendererOutputSize(renderer_, &outputW, &outputH);
        if (outputW != width || outputH != height) {
            target_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
            if (!target_ || SDL_SetRenderTarget(renderer_, target_) != 0)
                return Fail(std::string("SDL_Renderer: no back-buffer texture: ") + SDL_GetError());
            SDL_SetTextureScaleMode(target_, SDL_ScaleModeLinear);
        }
        vertices_.reserve(size_t(kBatchQuads) * 4);
        indices_.reserve(size_t(kBatchQuads) * 6);
        Clear();
        return true;
    }

    void Close() override {
        for (SdlTexture& t : textures_) Release(t);
        textures_.clear();
        if (target_) SDL_DestroyTexture(target_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        target_ = nullptr;
        renderer_ = nullptr;
        glFlush_ = nullptr;
        window_ = nullptr;
        vertices_.clear();
        indices_.clear();
        batchTexture_ = 0;
    }

    int CreateTexture(const uint32_t* argb, int width, int height, bool) override {
        if (!renderer_ || width <= 0 || height <= 0 || width > maxTextureWidth_ || height > maxTextureHeight_)
            return 0;
        SDL_Texture* texture =
            SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
        if (!texture) return 0;
        size_t slot = 0;
        while (slot < textures_.size() && textures_[slot].live) ++slot;
        if (slot == textures_.size()) textures_.emplace_back();
        SdlTexture& t = textures_[slot];
        t = SdlTexture{};
        t.live = true;
        t.texture = texture;
        t.width = width;
        t.height = height;
        t.pixels.assign(size_t(width) * size_t(height), 0);
        if (argb) std::copy(argb, argb + t.pixels.size(), t.pixels.begin());
        SDL_UpdateTexture(texture, nullptr, t.pixels.data(), width * 4);
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
        return int(slot) + 1;
    }

    void UpdateTexture(int texture, int x, int y, int width, int height, const uint32_t* argb,
                       int pitchPixels) override {
        SdlTexture* t = Find(texture);
        if (!t || !argb || width <= 0 || height <= 0 || pitchPixels < width) return;
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + width, t->width), y1 = std::min(y + height, t->height);
        if (x0 >= x1 || y0 >= y1) return;
        FlushBatch();
        for (int row = y0; row < y1; ++row) {
            const uint32_t* src = argb + size_t(row - y) * size_t(pitchPixels) + size_t(x0 - x);
            std::copy(src, src + (x1 - x0), &t->pixels[size_t(row) * size_t(t->width) + size_t(x0)]);
        }
        const SDL_Rect rect{x0, y0, x1 - x0, y1 - y0};
        SDL_UpdateTexture(t->texture, &rect, &t->pixels[size_t(y0) * size_t(t->width) + size_t(x0)], t->width * 4);
        t->maskedAlpha = -1;  // cut again on next use
    }

    void DestroyTexture(int texture) override {
        SdlTexture* t = Find(texture);
        if (!t) return;
        FlushBatch();
        Release(*t);
    }

    void Clear() override {
        if (!renderer_) return;
        FlushBatch();
        SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
    }

    void DrawTexturedQuad(int texture, const QuadVertex corners[4], const QuadPaint& paint) override {
        SdlTexture* t = Find(texture);
        if (!t || !renderer_) return;
        SDL_Texture* source = t->texture;
        SDL_ScaleMode* scale = &t->scale;
        int alpha = AlphaByte(paint.alpha);
        if (paint.blend == kBlendMasked) {
            source = MaskedCopy(*t, alpha);
            if (!source) return;
            scale = &t->maskedScale;
            alpha = 255;  // the cut already used it
        }
        const SDL_ScaleMode wanted = paint.filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
        if (*scale != wanted) {
            // The queued draws of this texture keep the mode they were made with.
            FlushBatch();
            SDL_SetTextureScaleMode(source, wanted);
            *scale = wanted;
        }
        Append(source, BlendFor(paint.blend), corners, paint, alpha, 1.0f / float(t->width),
               1.0f / float(t->height));
    }

    void DrawSolidQuad(const QuadVertex corners[4], const QuadPaint& paint) override {
        if (!renderer_) return;
        int alpha = AlphaByte(paint.alpha);
        if (paint.blend == kBlendMasked) {
            if (alpha < 128) return;  // below the threshold: every pixel is discarded
            alpha = 255;
        }
        Append(nullptr, BlendFor(paint.blend), corners, paint, alpha, 0, 0);
    }

    void ReadPixels(int x, int y, int width, int height, uint32_t* out) override {
        if (!out || width <= 0 || height <= 0) return;
        std::fill(out, out + size_t(width) * size_t(height), 0xFF000000u);
        if (!renderer_) return;
        FlushBatch();
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
        if (x0 >= x1 || y0 >= y1) return;
        const SDL_Rect rect{x0, y0, x1 - x0, y1 - y0};
        uint32_t* first = out + size_t(y0 - y) * size_t(width) + size_t(x0 - x);
        SDL_RenderReadPixels(renderer_, &rect, SDL_PIXELFORMAT_ARGB8888, first, width * 4);
        // The stored alpha is whatever blending left; the software back buffer keeps it opaque.
        for (int row = 0; row < rect.h; ++row)
            for (int col = 0; col < rect.w; ++col) first[size_t(row) * size_t(width) + size_t(col)] |= 0xFF000000u;
    }

    void Flush() override {
        if (!renderer_) return;
        FlushBatch();
        SDL_RenderFlush(renderer_);
        if (glFlush_ && SDL_GL_GetCurrentContext()) glFlush_();
    }

    void Present(bool) override {
        // Vertical-blank waiting is a renderer creation flag in SDL; this renderer never waits.
        if (!renderer_) return;
        FlushBatch();
        if (target_) {
            SDL_SetRenderTarget(renderer_, nullptr);
            int outputW = 0, outputH = 0;
            SDL_GetRendererOutputSize(renderer_, &outputW, &outputH);
            const Letterbox box = FitLetterbox(outputW, outputH, width_, height_);
            const SDL_Rect fit{box.x, box.y, box.width, box.height};
            SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
            SDL_RenderClear(renderer_);
            SDL_SetTextureBlendMode(target_, SDL_BLENDMODE_NONE);
            SDL_RenderCopy(renderer_, target_, nullptr, &fit);
            SDL_RenderPresent(renderer_);
            SDL_SetRenderTarget(renderer_, target_);
        } else {
            SDL_RenderPresent(renderer_);
        }
    }

private:
    bool Fail(const std::string& why) {
        error_ = why;
        Close();
        return false;
    }

    static int AlphaByte(float alpha) { return int(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f)); }

    SdlTexture* Find(int texture) {
        if (texture < 1 || size_t(texture) > textures_.size()) return nullptr;
        SdlTexture& t = textures_[size_t(texture) - 1];
        return t.live ? &t : nullptr;
    }

    static void Release(SdlTexture& t) {
        if (t.texture) SDL_DestroyTexture(t.texture);
        if (t.masked) SDL_DestroyTexture(t.masked);
        t = SdlTexture{};
    }

    // A copy whose pixels are opaque where texel alpha x paint alpha reaches one half (the
    // software renderer's rounding) and transparent elsewhere, so alpha blending draws exactly
    // the pixels masked drawing keeps.
    SDL_Texture* MaskedCopy(SdlTexture& t, int alpha) {
        if (t.masked && t.maskedAlpha == alpha) return t.masked;
        FlushBatch();
        if (!t.masked) {
            t.masked = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, t.width,
                                         t.height);
            if (!t.masked) return nullptr;
            SDL_SetTextureScaleMode(t.masked, t.maskedScale);
        }
        std::vector<uint32_t> cut(t.pixels.size());
        for (size_t i = 0; i < cut.size(); ++i) {
            const int a = int(t.pixels[i] >> 24) * alpha;
            const bool kept = (a + 128 + ((a + 128) >> 8)) >> 8 >= 128;
            cut[i] = (t.pixels[i] & 0x00FFFFFFu) | (kept ? 0xFF000000u : 0u);
        }
        SDL_UpdateTexture(t.masked, nullptr, cut.data(), t.width * 4);
        t.maskedAlpha = alpha;
        return t.masked;
    }

    void Append(SDL_Texture* texture, SDL_BlendMode blend, const QuadVertex c[4], const QuadPaint& paint,
                int alpha, float toU, float toV) {
        for (int i = 0; i < 4; ++i)
            if (!std::isfinite(c[i].x) || !std::isfinite(c[i].y)) return;
        if (texture != batchTexture_ || blend != batchBlend_ || vertices_.size() >= size_t(kBatchQuads) * 4) {
            FlushBatch();
            batchTexture_ = texture;
            batchBlend_ = blend;
        }
        const int base = int(vertices_.size());
        const SDL_Color colour{paint.r, paint.g, paint.b, uint8_t(alpha)};
        for (int i = 0; i < 4; ++i)
            vertices_.push_back(SDL_Vertex{{c[i].x, c[i].y}, colour, {c[i].u * toU, c[i].v * toV}});
        const int quad[6] = {base, base + 1, base + 2, base, base + 2, base + 3};
        indices_.insert(indices_.end(), quad, quad + 6);
    }

    void FlushBatch() {
        if (vertices_.empty() || !renderer_) {
            vertices_.clear();
            indices_.clear();
            return;
        }
        if (batchTexture_) {
            SDL_SetTextureBlendMode(batchTexture_, batchBlend_);
        } else {
            SDL_SetRenderDrawBlendMode(renderer_, batchBlend_);
        }
        SDL_RenderGeometry(renderer_, batchTexture_, vertices_.data(), int(vertices_.size()), indices_.data(),
                           int(indices_.size()));
        vertices_.clear();
        indices_.clear();
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* target_ = nullptr;  // the back buffer when the window is larger than it
    void (*glFlush_)() = nullptr;    // set when SDL draws through GL
    int width_ = 0, height_ = 0;
    int maxTextureWidth_ = 1 << 14, maxTextureHeight_ = 1 << 14;
    std::vector<SdlTexture> textures_;
    std::vector<SDL_Vertex> vertices_;
    std::vector<int> indices_;
    SDL_Texture* batchTexture_ = nullptr;
    SDL_BlendMode batchBlend_ = SDL_BLENDMODE_BLEND;
    std::string error_;
};

}  // namespace

std::unique_ptr<Renderer> MakeSdlRenderer() { return std::make_unique<SdlRendererBackEnd>(); }

}  // namespace plat
