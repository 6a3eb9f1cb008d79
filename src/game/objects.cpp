// Game objects, points pop-ups and notices: the global lists, the operations that create records,
// and the per-frame rules of one object, one pop-up and one notice.
#include "game/objects.h"

#include <cmath>
#include <string>

#include "app/assets.h"
#include "app/state.h"
#include "frame/draw.h"
#include "game/game_assets.h"
#include "game/play.h"
#include "platform/platform.h"

std::list<ect> GameObjects;
std::list<ore> PointPopups;
std::list<ment> Notices;

namespace {

constexpr int kNoticeLineStep = 14;
constexpr int kNoticeBottomOffset = 16;
constexpr float kPopupRise = 0.25f;  // pixels a frame
constexpr float kFriction = 0.5f;    // pixels a frame, per velocity component
constexpr float kDegreesToRadians = 3.14159265358979f / 180.0f;

// The sheet frame of each sprite kind is its kind + 9: plate 10, intruder 11, pickup 13.
constexpr int kSheetFrameOffset = 9;

// Both burst kinds draw two twirls, an inner one spinning at twice its counter and an outer one
// growing faster; only their colours and rates differ.
struct BurstLook {
    float innerStep;          // added to xs each frame
    int innerR, innerG, innerB;
    float innerScale;         // per counter unit
    float innerOffset;        // the inner twirl's half-size per counter unit
    float outerStepMin, outerStepMax;  // added to ys each frame
    int outerR, outerG, outerB;
    float outerScale;
    float outerOffset;
};
constexpr BurstLook kIntruderBurstLook = {1.0f,  100, 180, 255, 0.01f,   0.01f * 128,
                                          1.1f,  1.3f, 255, 180, 100,  0.015f, 0.01f * 132};
constexpr BurstLook kPickupBurstLook = {3.0f,  255, 0,   255, 0.002f,  0.001f * 128,
                                        3.1f,  4.0f, 255, 255, 0,    0.0025f, 0.001f * 132};
constexpr float kBurstEnd = 100;   // a counter beyond this ends the burst
constexpr float kBurstGone = -500;  // an x far enough off screen to leave at the epilogue
constexpr float kOuterFade = 130;  // the outer twirl fades over 130 counter units

void StepBurst(ect& o, const BurstLook& look) {
    o.xs += look.innerStep;
    SetColour(look.innerR, look.innerG, look.innerB);
    SetScale(look.innerScale * o.xs);
    SetRotation(2 * o.xs);
    SetDrawAlpha((100 - o.xs) / 100);
    float offset = look.innerOffset * o.xs;
    DrawSprite(TwirlImage, int(o.x - offset), int(o.y - offset), 0);

    o.ys += RandomFloat(look.outerStepMin, look.outerStepMax);
    SetColour(look.outerR, look.outerG, look.outerB);
    SetScale(look.outerScale * o.ys);
    SetRotation(o.ys);
    SetDrawAlpha((100 - o.ys) / kOuterFade);
    offset = look.outerOffset * o.ys;
    DrawSprite(TwirlImage, int(o.x - offset), int(o.y - offset), 0);

    if (o.xs > kBurstEnd || o.ys > kBurstEnd) o.x = kBurstGone;
    ResetDrawState();
    SetScale(kSpriteScale);
}

}  // namespace

void PostNotice(const std::string& text, int c) {
    ment notice;
    notice.txt = text;
    notice.c = c;
    Notices.push_back(notice);
}

void AwardPoints(int points, int x, int y, int r, int g, int b) {
    GameScore += points;
    ore popup;
    popup.n = points;
    popup.x = float(x);
    popup.y = float(y);
    popup.t = kPopupFrames;
    popup.r = r;
    popup.g = g;
    popup.b = b;
    PointPopups.push_back(popup);
}

void DrawPointPopups() {
    SelectFont(Fonts[3]);
    ResetDrawState();
    for (auto it = PointPopups.begin(); it != PointPopups.end();) {
        it->t -= 1;
        it->y -= kPopupRise;
        SetColour(it->r, it->g, it->b, float(it->t) / kPopupFrames);
        DrawTextAligned(int(it->x), int(it->y), std::to_string(it->n), kAlignCentre, kAlignCentre);
        it = it->t <= 0 ? PointPopups.erase(it) : std::next(it);
    }
}

void DrawNotices() {
    SelectFont(Fonts[3]);
    int y = VirtualHeight - kNoticeBottomOffset;
    for (auto it = Notices.begin(); it != Notices.end();) {
        it->tick += 1;
        const bool fresh = it->tick < kNoticeHighlightFrames;
        if (fresh) SetColour(255, 255, 0, 0.7f); else SetColour(0, 0, 0, 0.7f);
        DrawFilledRect(0, y, TextWidthOf(it->txt), TextHeightOf());
        if (fresh) SetColour(0, 0, 0, 1.0f); else SetColour(255, 255, 255, 1.0f);
        DrawTextAligned(0, y, it->txt, kAlignStart, kAlignStart);
        y -= kNoticeLineStep;
        it = it->tick >= kNoticeFrames ? Notices.erase(it) : std::next(it);
    }
}

void ObjectPrologue(const ect& o) {
    SetDrawAlpha(o.health / 100);
    SetScale(kSpriteScale);
}

void StepPickup(ect& o) {
    o.xs += RandomFloat(3, 6);
    SetRotation(1.5f + 0.2f * std::sin(o.xs * kDegreesToRadians));
    SetColour(100, 255, 100, 1);
}

void StepIntruder(ect& o) {
    o.x += o.xs;
    o.y += o.ys;
    SetColour(255, 190, 190);
}

void DrawObjectSprite(const ect& o) {
    DrawSprite(GameSheet, int(o.x), int(o.y), o.t + kSheetFrameOffset);
}

void StepIntruderBurst(ect& o) { StepBurst(o, kIntruderBurstLook); }
void StepPickupBurst(ect& o) { StepBurst(o, kPickupBurstLook); }

float ApplyFriction(float v) {
    if (v > 0) return v - kFriction < 0 ? 0 : v - kFriction;
    if (v < 0) return v + kFriction > 0 ? 0 : v + kFriction;
    return v;
}

void StepPlate(ect& o, int& x0, int& y0) {
    x0 = int(o.x);
    y0 = int(o.y);
    o.x += o.xs;
    o.y += o.ys;
    o.xs = ApplyFriction(o.xs);
    o.ys = ApplyFriction(o.ys);
}

bool ObjectLeaves(const ect& o) {
    return o.x < -kLeaveMargin || o.y < -kLeaveMargin || o.x > VirtualWidth + kLeaveMargin ||
           o.y > VirtualHeight + kLeaveMargin || o.health < 1;
}

void ObjectEpilogue() { SetColour(255, 255, 255, 1); }
