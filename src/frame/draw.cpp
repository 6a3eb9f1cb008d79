// The drawing helpers: framework draw state over the platform's, counted sprites, the backdrop and
// the title banner.
#include "frame/draw.h"

#include <algorithm>
#include <cmath>

#include "app/assets.h"
#include "app/state.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "platform/platform.h"

int DrawCounts[kDrawSlots];
int DrawBudgets[kDrawSlots];
float BackdropTint[3];
float BackdropTarget[3];

namespace {

constexpr int kFrameCountedSlots = 10;  // BeginFrame zeroes slots 1..10
constexpr float kBackdropEase = 16;     // each frame closes 1/16 of the gap
constexpr float kBackdropSnap = 0.005f;
constexpr float kBackdropAngle = -45;
constexpr int kStripeStep = 10;         // rows of the loop; stripes are 3 times further apart
constexpr float kStripeSpacing = 3;
constexpr float kStripeHeight = 30;
constexpr float kStripeLeft = -100;
constexpr float kStripeOverhang = 1800;  // turned by 45 degrees they must still cross the screen
constexpr int kStripeFirstBrightness = 25;
constexpr float kBannerBandSlide = 94;
constexpr float kBannerTextSlide = 64;
constexpr float kBannerFade = 16;

constexpr float kInitialBackdrop[3] = {0.2f, 0.0f, 1.0f};

// Platform blend mode for each framework code 0..3.
constexpr int kPlatformBlendOf[4] = {kBlendSolid, kBlendAlpha, kBlendShade, kBlendLight};

}  // namespace

void ResetDrawTables() {
    std::fill(std::begin(DrawCounts), std::end(DrawCounts), 0);
    std::fill(std::begin(DrawBudgets), std::end(DrawBudgets), 0);
    DrawBudgets[kCountImages] = kDefaultDrawBudget;
    DrawBudgets[kCountGlow] = kDefaultDrawBudget;
    std::copy(std::begin(kInitialBackdrop), std::end(kInitialBackdrop), BackdropTint);
    std::copy(std::begin(kInitialBackdrop), std::end(kInitialBackdrop), BackdropTarget);
}

void BeginFrame() {
    ClearScreen();
    std::fill(DrawCounts + 1, DrawCounts + 1 + kFrameCountedSlots, 0);
}

void ResetDrawState() {
    SetDrawRotation(0);
    SetDrawScale(1, 1);
    SetDrawColor(255, 255, 255);
    SetDrawAlpha(1);
    SetBlendMode(kBlendCodeAlpha);
}

void SetColour(float r, float g, float b) {
    SetDrawColor(int(Clamp(r, 0, 255)), int(Clamp(g, 0, 255)), int(Clamp(b, 0, 255)));
}

void SetColour(float r, float g, float b, float alpha) {
    SetColour(r, g, b);
    SetDrawAlpha(Clamp(alpha, 0, 1));
}

void SetScale(float sx) { SetDrawScale(sx, sx); }
void SetScale(float sx, float sy) { SetDrawScale(sx, sy); }
void SetRotation(float degrees) { SetDrawRotation(degrees); }

void SetBlendMode(int code) {
    if (code < 0 || code > 3) return;
    SetDrawBlend(kPlatformBlendOf[code]);
}

void SetFont(int typeface, int sizeStep) {
    if (typeface < 1 || typeface > 3) typeface = 1;
    if (sizeStep < 0 || sizeStep > 8) sizeStep = 0;
    SelectFont(FontGrid[(typeface - 1) * 10 + sizeStep]);
}

void DrawTextAligned(int x, int y, const std::string& text, int hAlign, int vAlign) {
    if (hAlign == kAlignCentre) x -= TextWidthOf(text) / 2;
    if (hAlign == kAlignEnd) x -= TextWidthOf(text);
    if (vAlign == kAlignCentre) y -= TextHeightOf() / 2;
    if (vAlign == kAlignEnd) y -= TextHeightOf();
    DrawString(text, float(x), float(y));
}

bool SpriteGateOpen() { return Settings[SlowSystem] == 0 || SkipFrame == 0; }

void DrawSprite(int image, int x, int y, int frame) {
    if (!SpriteGateOpen()) return;
    if (DrawCounts[kCountImages] >= DrawBudgets[kCountImages]) return;
    float sx = 1, sy = 1;
    GetDrawScale(sx, sy);
    DrawCounts[kCountImages] += 1;
    DrawImageFrame(image, x + ImageWidth(image) * sx / 2, y + ImageHeight(image) * sy / 2, frame);
}

void DrawGlowSprite(int image, int x, int y, int frame, int glowImage, float glowScale,
                    float glowAlpha) {
    if (!SpriteGateOpen()) return;
    float sx = 1, sy = 1;
    GetDrawScale(sx, sy);
    const float alpha = GetDrawAlpha();
    const int blend = GetDrawBlend();
    const float cx = x + ImageWidth(image) * sx / 2;
    const float cy = y + ImageHeight(image) * sy / 2;
    if (DrawCounts[kCountImages] < DrawBudgets[kCountImages]) {
        DrawCounts[kCountImages] += 1;
        DrawImageFrame(image, cx, cy, frame);
    }
    SetDrawScale(sx * glowScale, sy * glowScale);
    SetDrawAlpha(alpha * glowAlpha);
    SetBlendMode(kBlendCodeLight);
    if (DrawCounts[kCountGlow] < DrawBudgets[kCountGlow]) {
        DrawCounts[kCountGlow] += 1;
        DrawImageFrame(glowImage != 0 ? glowImage : image, cx, cy, frame);
    }
    SetDrawScale(sx, sy);
    SetDrawAlpha(alpha);
    SetDrawBlend(blend);
}

float Clamp(float value, float low, float high) {
    if (value <= high) return std::max(value, low);
    return high < low ? low : high;
}

bool MouseOver(int x, int y, int w, int h) {
    return FrameMouseX > x && FrameMouseY > y && FrameMouseX < x + w && FrameMouseY < y + h;
}

void DrawBackground() {
    ResetDrawState();
    for (int c = 0; c < 3; ++c) {
        float& tint = BackdropTint[c];
        const float target = BackdropTarget[c];
        tint -= (tint - target) / kBackdropEase;
        if (std::fabs(tint - target) < kBackdropSnap) tint = target;
    }
    int brightness = kStripeFirstBrightness;
    SetRotation(kBackdropAngle);
    for (int i = 0; i <= VirtualHeight; i += kStripeStep) {
        brightness += 1;
        SetColour(brightness * BackdropTint[0], brightness * BackdropTint[1],
                  brightness * BackdropTint[2]);
        DrawFilledRect(kStripeLeft, i * kStripeSpacing, VirtualWidth + kStripeOverhang, kStripeHeight);
    }
    ResetDrawState();
}

void DrawBanner(float x, float y, const std::string& text, float slide, int size, int bandColour,
                int lineColour, int textColour, float alpha) {
    const int w = VirtualWidth;
    const float fade = 1 - std::fabs(slide) / kBannerFade;
    int bx = int(x + slide * kBannerBandSlide);
    const int by = int(y);
    SetPaletteColour(bandColour);
    SetDrawAlpha(fade * alpha);
    DrawFilledRect(bx - w, by - size * 16, 2 * w, size * 32);

    bx = int(x - slide * kBannerBandSlide);
    SetPaletteColour(lineColour);
    SetDrawAlpha(fade * alpha);
    DrawFilledRect(bx - w, by - size * 19 - slide * 4, 2 * w, 6);
    DrawFilledRect(bx - w, by + size * 13 + slide * 4, 2 * w, 6);

    SetPaletteColour(textColour);
    SetDrawAlpha(alpha);
    DrawTextAligned(int(x - slide * kBannerTextSlide), by, text, kAlignCentre, kAlignCentre);
}
