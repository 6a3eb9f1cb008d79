// The records that move or fade on screen outside the menus: game objects (`ect`), points pop-ups
// (`ore`) and notices (`ment`), their global lists, the operations that create them, and the
// per-kind rules the game loop runs for one object at a time.
#pragma once

#include <cstdint>
#include <list>
#include <string>

// Kinds of game object (`ect::t`).
constexpr int kPlate = 1;
constexpr int kIntruder = 2;
constexpr int kIntruderBurst = 3;
constexpr int kPickup = 4;
constexpr int kPickupBurst = 5;

// One object of the game in play.
struct ect {
    float x = 0;       // virtual pixels: sprite top-left corner; bursts: the burst centre
    float y = 0;
    int32_t t = 0;     // kind, kPlate .. kPickupBurst
    float xs = 0;      // plate, intruder: pixels per frame; pickup: wobble phase in degrees;
                       // burst: first animation counter
    float ys = 0;      // plate, intruder: pixels per frame; burst: second counter; pickup: 0
    int32_t rot = 0;   // 0 at spawn, read nowhere
    float health = 0;  // 100 at spawn; opacity health/100; the object leaves below 1
};

// A floating points pop-up, rising and fading where the points were won.
struct ore {
    int32_t n = 0;  // the points shown
    float x = 0;    // centre of the text
    float y = 0;    // centre of the text; falls 0.25 a frame
    int32_t t = 0;  // frames left; 120 at creation
    int32_t r = 0, g = 0, b = 0;
};

// A one-line notice shown in the bottom-left corner for three seconds.
struct ment {
    int32_t tick = 0;  // frames shown so far
    std::string txt;
    int32_t c = 0;     // category; posted as 1, never read
};

constexpr int kPopupFrames = 120;
constexpr int kNoticeFrames = 180;
constexpr int kNoticeHighlightFrames = 60;
constexpr float kSpriteScale = 1.5f;  // a 32-pixel cell covers 48 x 48
constexpr int kSpriteSize = 48;       // one cell at kSpriteScale
constexpr int kLeaveMargin = 32;      // how far beyond an edge an object may go before it leaves

// The objects of the game in play, in insertion order. Written by the game loop; cleared at the
// start of every game; objects leave by the epilogue rule.
extern std::list<ect> GameObjects;
// Points pop-ups, oldest first. Appended by AwardPoints; never cleared, they expire by themselves.
extern std::list<ore> PointPopups;
// Notices, oldest first. Appended by PostNotice; never cleared, they expire by themselves.
extern std::list<ment> Notices;

void PostNotice(const std::string& text, int c);
// Adds points to GameScore (its only way to grow) and floats them up from (x, y).
void AwardPoints(int points, int x, int y, int r, int g, int b);
// Ages and draws every pop-up; FramePresent runs it first thing in every frame.
void DrawPointPopups();
// Ages and draws every notice; FramePresent runs it after its pacing, at scale 1.
void DrawNotices();

// Per-kind rules, in the order the game loop runs them for one object (see RunObjectPass in
// game/play.cpp). Each leaves the drawing state as the next object inherits it.
void ObjectPrologue(const ect& o);          // alpha health/100, scale 1.5
void StepPickup(ect& o);                    // wobble; the rotation it sets stays for later objects
void StepIntruder(ect& o);                  // drift one frame
void DrawObjectSprite(const ect& o);        // plate, intruder, pickup
void StepIntruderBurst(ect& o);
void StepPickupBurst(ect& o);
// A plate's velocity component one frame later: 0.5 nearer 0, never across it.
float ApplyFriction(float v);
// Moves a plate one frame and applies friction; (x0, y0) receive the integer start position.
void StepPlate(ect& o, int& x0, int& y0);
bool ObjectLeaves(const ect& o);            // beyond the margin or faded out
void ObjectEpilogue();                      // colour white at alpha 1
