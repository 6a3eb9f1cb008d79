// The drawing helpers every screen uses on top of the platform's 2D operations: draw state in the
// framework's own units and codes, aligned text, counted and gated sprites, the striped backdrop,
// the title banner, and the mouse-over test.
#pragma once

#include <string>

// Per-frame sprite counters: slot 1 images, 2 glow halos, 3 particles (shown, never counted).
// Slots 1-10 zeroed by BeginFrame; written by DrawSprite and DrawGlowSprite.
constexpr int kDrawSlots = 20;
constexpr int kCountImages = 1;
constexpr int kCountGlow = 2;
constexpr int kCountParticles = 3;
extern int DrawCounts[kDrawSlots];
// Per-frame limits with the same slots: 50000 for images and halos at start-up, then set by the
// engine test at every display set-up. A draw that would reach its limit is skipped.
extern int DrawBudgets[kDrawSlots];
constexpr int kDefaultDrawBudget = 50000;

// Backdrop colour multipliers (red, green, blue). Screens write the target; DrawBackground eases
// the tint toward it. Both (0.2, 0, 1) at start-up; the tint persists across screens.
extern float BackdropTint[3];
extern float BackdropTarget[3];

// Framework blend codes of SetBlendMode.
constexpr int kBlendCodeSolid = 0;
constexpr int kBlendCodeAlpha = 1;
constexpr int kBlendCodeShade = 2;
constexpr int kBlendCodeLight = 3;

// Alignment codes of DrawTextAligned (other values act as kAlignStart).
constexpr int kAlignStart = 0;   // text starts (or its top is) at the coordinate
constexpr int kAlignCentre = 1;
constexpr int kAlignEnd = 2;

// DrawCounts, DrawBudgets and the backdrop colours back to their start-up values.
void ResetDrawTables();

void BeginFrame();       // clears the screen and zeroes DrawCounts slots 1-10
void ResetDrawState();   // rotation 0, scale 1, white, alpha 1, alpha blending
void SetColour(float r, float g, float b);               // alpha unchanged
void SetColour(float r, float g, float b, float alpha);  // alpha clamped to 0..1
void SetScale(float sx);
void SetScale(float sx, float sy);
void SetRotation(float degrees);
void SetBlendMode(int code);
// typeface 1-3 (else 1), size step 0-8 (else 0): FontGrid entry (typeface - 1) * 10 + step.
void SetFont(int typeface, int sizeStep);
void DrawTextAligned(int x, int y, const std::string& text, int hAlign, int vAlign);

// True when sprites may be drawn this frame: always, except on the skipped frames of slow-system
// mode.
bool SpriteGateOpen();
// One frame of a centre-handled image with its top-left corner at (x, y), counted in slot 1.
void DrawSprite(int image, int x, int y, int frame);
// DrawSprite, then an additive halo of glowImage (0: the image itself) scaled by glowScale and
// faded by glowAlpha on the same centre, counted in slot 2. Restores scale, alpha and blend.
void DrawGlowSprite(int image, int x, int y, int frame, int glowImage, float glowScale,
                    float glowAlpha);

// value within low..high; when the bounds cross, low wins.
float Clamp(float value, float low, float high);
// Strictly inside the rectangle, by the mouse position sampled at the last frame's end.
bool MouseOver(int x, int y, int w, int h);

// Eases BackdropTint one step toward BackdropTarget and draws the diagonal stripes.
void DrawBackground();
// A band across the screen with rules above and below and the text centred on (x, y); slide
// moves the band right and the rules and text left, fading band and rules out by |slide| 16.
// Colours are palette numbers.
void DrawBanner(float x, float y, const std::string& text, float slide, int size, int bandColour,
                int lineColour, int textColour, float alpha);
