// The software renderer: an ARGB8888 back buffer in memory, textures as CPU pixel arrays, quads
// filled by raster.cpp. Supports every blend mode and both samplings; mipmaps are not built (the
// filtered sampler stands in). With a window it presents through the window surface, scaled and
// letterboxed when the window is larger; without one (the headless twin) Present keeps the frame.
// Quads are queued and filled when something needs the pixels (read-back, texture changes, Flush,
// Present); a long queue is filled by two threads, each owning half the rows, joined before return.
#include <SDL.h>

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/render_soft/raster.h"
#include "platform/renderer.h"
#include "platform/sdl/convert.h"

namespace plat {

namespace {

// Below this many queued quads a second thread costs more than it saves.
constexpr size_t kQuadsWorthASecondThread = 64;
constexpr int kRowsWorthASecondThread = 64;

struct QueuedQuad {
    QuadVertex corners[4];
    QuadPaint paint;
    int texture;  // 0: solid
};

struct SoftTexture {
    bool live = false;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

class SoftwareRenderer final : public Renderer {
public:
    ~SoftwareRenderer() override { Close(); }
    const char* Name() const override { return "Software"; }

    bool Open(SDL_Window* window, int width, int height) override {
        Close();
        if (width <= 0 || height <= 0) {
            error_ = "Software renderer: invalid back-buffer size";
            return false;
        }
        back_.assign(size_t(width) * size_t(height), 0xFF000000u);
        width_ = width;
        height_ = height;
        window_ = window;
        if (window_) {
            wrapper_ = SDL_CreateRGBSurfaceWithFormatFrom(back_.data(), width, height, 32, width * 4,
                                                          SDL_PIXELFORMAT_ARGB8888);
            if (!wrapper_) {
                error_ = std::string("Software renderer: ") + SDL_GetError();
                Close();
                return false;
            }
            SDL_SetSurfaceBlendMode(wrapper_, SDL_BLENDMODE_NONE);
            // Left to itself SDL backs the window surface with a texture of its own GL renderer,
            // which on Mesa's software GL costs a texture upload and a rasterised quad per frame;
            // the plain X11 image (shared memory where offered) is the cheaper road.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        }
        return true;
    }

    void Close() override {
        if (wrapper_) SDL_FreeSurface(wrapper_);
        wrapper_ = nullptr;
        window_ = nullptr;
        back_.clear();
        back_.shrink_to_fit();
        textures_.clear();
        queue_.clear();
        width_ = height_ = 0;
    }

    std::string Error() const override { return error_; }

    int CreateTexture(const uint32_t* argb, int width, int height, bool) override {
        if (width <= 0 || height <= 0) return 0;
        size_t slot = 0;
        while (slot < textures_.size() && textures_[slot].live) ++slot;
        if (slot == textures_.size()) textures_.emplace_back();
        SoftTexture& t = textures_[slot];
        t.live = true;
        t.width = width;
        t.height = height;
        t.pixels.assign(size_t(width) * size_t(height), 0);
        if (argb) std::copy(argb, argb + t.pixels.size(), t.pixels.begin());
        return int(slot) + 1;
    }

    void UpdateTexture(int texture, int x, int y, int width, int height, const uint32_t* argb,
                       int pitchPixels) override {
        SoftTexture* t = Find(texture);
        if (!t || !argb) return;
        FillQueued();
        for (int row = 0; row < height; ++row) {
            const int ty = y + row;
            if (ty < 0 || ty >= t->height) continue;
            for (int col = 0; col < width; ++col) {
                const int tx = x + col;
                if (tx < 0 || tx >= t->width) continue;
                t->pixels[size_t(ty) * size_t(t->width) + size_t(tx)] =
                    argb[size_t(row) * size_t(pitchPixels) + size_t(col)];
            }
        }
    }

    void DestroyTexture(int texture) override {
        SoftTexture* t = Find(texture);
        if (!t) return;
        FillQueued();
        t->live = false;
        t->pixels = {};
    }

    void Clear() override {
        FillQueued();
        std::fill(back_.begin(), back_.end(), 0xFF000000u);
    }

    void DrawTexturedQuad(int texture, const QuadVertex corners[4], const QuadPaint& paint) override {
        if (!Find(texture)) return;
        queue_.push_back(QueuedQuad{{corners[0], corners[1], corners[2], corners[3]}, paint, texture});
    }

    void DrawSolidQuad(const QuadVertex corners[4], const QuadPaint& paint) override {
        queue_.push_back(QueuedQuad{{corners[0], corners[1], corners[2], corners[3]}, paint, 0});
    }

    void Flush() override { FillQueued(); }

    void ReadPixels(int x, int y, int width, int height, uint32_t* out) override {
        if (!out) return;
        FillQueued();
        for (int row = 0; row < height; ++row) {
            for (int col = 0; col < width; ++col) {
                const int sx = x + col, sy = y + row;
                const bool inside = sx >= 0 && sy >= 0 && sx < width_ && sy < height_;
                out[size_t(row) * size_t(width) + size_t(col)] =
                    inside ? back_[size_t(sy) * size_t(width_) + size_t(sx)] : 0xFF000000u;
            }
        }
    }

    void Present(bool) override {
        FillQueued();
        // Software drawing cannot wait for the vertical blank; the caller's pacing stands in.
        if (!window_ || !wrapper_) return;
        SDL_Surface* screen = SDL_GetWindowSurface(window_);
        if (!screen) return;
        if (screen->w == width_ && screen->h == height_) {
            SDL_BlitSurface(wrapper_, nullptr, screen, nullptr);
        } else {
            // The same fit the SDL host maps the pointer through.
            const Letterbox box = FitLetterbox(screen->w, screen->h, width_, height_);
            SDL_Rect fit{box.x, box.y, box.width, box.height};
            SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
            SDL_BlitScaled(wrapper_, nullptr, screen, &fit);
        }
        SDL_UpdateWindowSurface(window_);
    }

private:
    void FillBand(int bandBegin, int bandEnd) {
        const soft::Surface target = Target();
        for (const QueuedQuad& q : queue_) {
            if (q.texture == 0) {
                soft::FillQuad(target, q.corners, q.paint, nullptr, bandBegin, bandEnd);
                continue;
            }
            const SoftTexture* t = Find(q.texture);
            if (!t) continue;
            const soft::TextureView view{t->pixels.data(), t->width, t->height};
            soft::FillQuad(target, q.corners, q.paint, &view, bandBegin, bandEnd);
        }
    }

    // Each pixel sees the quads in the order they were drawn whichever thread fills it, so the
    // picture is the same as filling them one by one.
    void FillQueued() {
        if (queue_.empty()) return;
        if (queue_.size() >= kQuadsWorthASecondThread && height_ >= kRowsWorthASecondThread &&
            std::thread::hardware_concurrency() > 1) {
            const int split = height_ / 2;
            try {
                std::thread lower([this, split] { FillBand(split, height_); });
                FillBand(0, split);
                lower.join();
                queue_.clear();
                return;
            } catch (const std::system_error&) {
                // No thread to be had: fill everything here.
            }
        }
        FillBand(0, height_);
        queue_.clear();
    }

    SoftTexture* Find(int texture) {
        if (texture < 1 || size_t(texture) > textures_.size()) return nullptr;
        SoftTexture& t = textures_[size_t(texture) - 1];
        return t.live ? &t : nullptr;
    }

    soft::Surface Target() { return soft::Surface{back_.data(), width_, height_, width_}; }

    SDL_Window* window_ = nullptr;
    SDL_Surface* wrapper_ = nullptr;  // the back buffer seen as an SDL surface, for presenting
    std::vector<uint32_t> back_;
    int width_ = 0;
    int height_ = 0;
    std::vector<SoftTexture> textures_;
    std::vector<QueuedQuad> queue_;  // drawn but not yet filled; keeps its capacity across frames
    std::string error_;
};

}  // namespace

std::unique_ptr<Renderer> MakeSoftwareRenderer() { return std::make_unique<SoftwareRenderer>(); }

}  // namespace plat
