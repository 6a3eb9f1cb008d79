// PlayGame and one frame of it: the pass over the objects with the game's own rules at the
// places the object rules leave for them, the spawns, the head, score and tutorial, the end.
#include "game/play.h"

#include <cmath>
#include <iterator>
#include <string>

#include "app/assets.h"
#include "app/log.h"
#include "app/state.h"
#include "audio/sfx.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "input/text_entry.h"
#include "platform/platform.h"
#include "scores/timestamp.h"

int GameScore = 0;
int Difficulty = 0;

namespace {

constexpr int kHeadTestFrame = 1;  // the head's shape in the intruder test
constexpr int kIntruderFrame = 11;
constexpr int kBeamSegments = 9;
constexpr int kBeamJitter = 4;
constexpr int kBeamSteps = 10;
constexpr float kPanSpread = 800;

constexpr int kSfxGrab = 3;
constexpr int kSfxIntruderCaught = 5;
constexpr int kSfxPickupCaught = 8;
constexpr int kSfxHeadHit = 31;

int HalfWidth() { return VirtualWidth / 2; }
int HalfHeight() { return VirtualHeight / 2; }

float PanFor(float x) { return (x - HalfWidth()) / kPanSpread; }

void DrawBeam(const ect& plate) {
    const float w2 = HalfWidth(), h2 = HalfHeight();
    auto px = [&](int k) { return int(plate.x - k * (plate.x - w2) / kBeamSteps); };
    auto py = [&](int k) { return int(plate.y - k * (plate.y - h2) / kBeamSteps); };
    constexpr int centre = kSpriteSize / 2;
    for (int i = 0; i < kBeamSegments; ++i) {
        const int g = RandomInt(100, 180);
        const int b = RandomInt(150, 255);
        SetColour(100, g, b);
        SetDrawAlpha(RandomFloat(0.7f, 0.9f));
        const int x1 = px(i) + centre + RandomInt(-kBeamJitter, kBeamJitter);
        const int y1 = py(i) + centre + RandomInt(-kBeamJitter, kBeamJitter);
        const int x2 = px(i + 1) + centre + RandomInt(-kBeamJitter, kBeamJitter);
        const int y2 = py(i + 1) + centre + RandomInt(-kBeamJitter, kBeamJitter);
        DrawLineSegment(x1, y1, x2, y2);
    }
}

// The held plate sweeps the whole list; items converted here that come later in the list run
// their burst rules in this same pass.
void Collect(GameRun& run, const ect& plate) {
    for (ect& p : GameObjects) {
        const float dx = std::fabs(plate.x - p.x), dy = std::fabs(plate.y - p.y);
        if (p.t == kIntruder && dx < kIntruderCatch && dy < kIntruderCatch) {
            p.t = kIntruderBurst;
            p.xs = p.ys = 8;
            p.x += kSpriteSize / 2;
            p.y += kSpriteSize / 2;
            run.combo += 1;
            AwardPoints(run.combo * kIntruderPoints, int(p.x), int(p.y), 255, 255, 0);
            PlaySfx(kSfxIntruderCaught, RandomFloat(0.8f, 1.2f), 0.7f, PanFor(plate.x));
        } else if (p.t == kPickup && dx < kPickupCatch && dy < kPickupCatch) {
            p.t = kPickupBurst;
            p.xs = p.ys = 8;
            p.x += kSpriteSize / 2;
            p.y += kSpriteSize / 2;
            run.combo += 1;
            AwardPoints(run.combo, int(p.x), int(p.y), 255, 255, 0);
            PlaySfx(kSfxPickupCaught, RandomFloat(0.8f, 1.2f), 0.2f, PanFor(plate.x));
        }
    }
}

void HoldPlate(GameRun& run, ect& plate, int x0, int y0) {
    DrawBeam(plate);
    SetColour(255, 255, 255, 1);
    const float mx = plate.x - x0, my = plate.y - y0;
    if (mx * mx + my * my < kStillDistanceSquared) plate.health -= kStillDrain;
    plate.xs = Clamp(plate.xs + kThrowGain * run.sx, -kSpeedLimit, kSpeedLimit);
    plate.ys = Clamp(plate.ys + kThrowGain * run.sy, -kSpeedLimit, kSpeedLimit);
    run.headFrame = HeadFrameFor(plate.x, plate.y, VirtualWidth, VirtualHeight);
    Collect(run, plate);
    if (plate.x < -kLeaveMargin || plate.y < -kLeaveMargin ||
        plate.x > VirtualWidth + kLeaveMargin || plate.y > VirtualHeight + kLeaveMargin)
        run.holding = false;
}

void GrabOrRelease(GameRun& run, ect& plate) {
    const bool buttonDown = MouseIsDown(1);
    if (MouseOver(int(plate.x - kGrabReach), int(plate.y - kGrabReach), kSpriteSize,
                  kSpriteSize) &&
        buttonDown && !run.latch && !run.holding) {
        run.held = &plate;
        run.holding = true;
        run.latch = true;
        run.combo = 0;
        PlaySfx(kSfxGrab, RandomFloat(0.8f, 1.2f), 0.7f, PanFor(plate.x));
    }
    if (run.holding && !buttonDown) {
        if (run.held) {
            ect& h = *run.held;
            if (h.x < kEdgeRelease || h.y < kEdgeRelease || h.x > VirtualWidth - kEdgeRelease ||
                h.y > VirtualHeight - kEdgeRelease)
                h.x = kLostPlateX;
        }
        run.held = nullptr;
        run.holding = false;
    }
}

void RunPlate(GameRun& run, ect& plate) {
    int x0 = 0, y0 = 0;
    StepPlate(plate, x0, y0);
    run.plates += 1;
    if (run.held == &plate && run.holding) HoldPlate(run, plate, x0, y0);
    GrabOrRelease(run, plate);
}

void RunIntruder(GameRun& run, ect& o) {
    StepIntruder(o);
    run.intruders += 1;
    if (ImagesOverlap(GameSheet, int(o.x), int(o.y), kIntruderFrame, GameSheet, HalfWidth(),
                      HalfHeight(), kHeadTestFrame)) {
        run.endCode = kEndIntruderAtHead;
        PlaySfx(kSfxHeadHit, 1, 1, 0);
    }
}

// One object's turn, in the order of the object rules, with the game's additions in place.
// Returns whether the object leaves the list.
bool RunObject(GameRun& run, ect& o) {
    ObjectPrologue(o);
    if (o.t == kPickup) {
        StepPickup(o);
        run.pickups += 1;
    }
    if (o.t == kIntruder) RunIntruder(run, o);
    if (o.t == kPlate || o.t == kIntruder || o.t == kPickup) DrawObjectSprite(o);
    if (o.t == kIntruderBurst) StepIntruderBurst(o);
    if (o.t == kPickupBurst) StepPickupBurst(o);
    if (o.t == kPlate) RunPlate(run, o);
    return ObjectLeaves(o);
}

void RunObjectPass(GameRun& run) {
    for (auto it = GameObjects.begin(); it != GameObjects.end();) {
        ect& o = *it;
        const bool leaves = RunObject(run, o);
        if (leaves) {
            if (o.t != kPickupBurst) run.removals += 1;
            // A held plate that leaves stays referenced, as the release rule may still write it.
            if (run.held == &o) {
                run.orphan = o;
                run.held = &run.orphan;
            }
            it = GameObjects.erase(it);
        } else {
            ++it;
        }
        ObjectEpilogue();
    }
}

void Spawn(GameRun& run) {
    if (run.plates < kPlatesKept) SpawnPlate();
    if (!run.holding && run.pickups < kPickupsKept) SpawnPickup();
    if (run.intruders < run.quota) SpawnIntruder();
}

void DrawScore() {
    ResetDrawState();
    SetColour(100, 255, 100);
    SetFont(1, 4);
    DrawTextAligned(40, HalfHeight(), std::to_string(GameScore), kAlignStart, kAlignCentre);
    ResetDrawState();
}

void RunTutorial(GameRun& run) {
    if (run.tutorial >= kTutorialDone) return;
    SetColour(255, 255, 255);
    SetFont(2, 5);
    const int x = HalfWidth();
    const int y = int(VirtualHeight * 0.75f);
    if (run.tutorial == 1) {
        DrawTextAligned(x, y, "Grab and Hold a Plate", kAlignCentre, kAlignCentre);
        if (run.holding) run.tutorial = 2;
    }
    if (run.tutorial == 2) {
        DrawTextAligned(x, y, "Drag the Plate over the Pickups", kAlignCentre, kAlignCentre);
        if (run.combo > 1) run.tutorial = 3;
    }
    if (run.tutorial == 3) {
        DrawTextAligned(x, y, "Drag over Multiple Pickups for Combos", kAlignCentre, kAlignCentre);
        DrawTextAligned(x, int(VirtualHeight * 0.8f),
                        "Combo " + std::to_string(run.combo) + "/" + std::to_string(kTutorialCombo),
                        kAlignCentre, kAlignCentre);
        if (run.combo > kTutorialCombo) {
            run.tutorial = kTutorialDone;
            run.removals = kRemovalsPerRise + 1;  // the first intruder comes next frame
        }
    }
}

ect NewObject(int kind, int x, int y) {
    ect o;
    o.x = float(x);
    o.y = float(y);
    o.t = kind;
    o.health = 100;
    return o;
}

}  // namespace

void SpawnPlate() {
    const int w2 = HalfWidth(), h2 = HalfHeight();
    int x = 0, y = 0;
    do {
        x = RandomInt(w2 - kPlateSpawnReach, w2 + kPlateSpawnReach);
        y = RandomInt(h2 - kPlateSpawnReach, h2 + kPlateSpawnReach);
    } while (!(std::abs(x - w2) > kPlateSpawnClearance && std::abs(y - h2) > kPlateSpawnClearance));
    GameObjects.push_back(NewObject(kPlate, x, y));
}

void SpawnPickup() {
    const int w2 = HalfWidth(), h2 = HalfHeight();
    int x = 0, y = 0;
    do {
        x = RandomInt(w2 - kPickupSpawnReach, w2 + kPickupSpawnReach);
        y = RandomInt(h2 - kPickupSpawnReach, h2 + kPickupSpawnReach);
    } while (!(std::abs(x - w2) > kPickupSpawnClearance || std::abs(y - h2) > kPickupSpawnClearance));
    GameObjects.push_back(NewObject(kPickup, x, y));
}

void SpawnIntruder() {
    const int w = VirtualWidth, h = VirtualHeight;
    int x = 0, y = 0;
    do {
        x = RandomInt(-kIntruderSpawnMargin, w + kIntruderSpawnMargin);
        y = RandomInt(-kIntruderSpawnMargin, h + kIntruderSpawnMargin);
    } while (!(x < 0 || x > w || y < 0 || y > h));
    ect o = NewObject(kIntruder, x, y);
    // One travel time for both axes, so the sprite covers the head's exactly when it arrives.
    const int travel = RandomInt(kIntruderTravelMin, kIntruderTravelMax);
    o.xs = float(HalfWidth() - x) / travel;
    o.ys = float(HalfHeight() - y) / travel;
    GameObjects.push_back(o);
}

int HeadFrameFor(float x, float y, int w, int h) {
    const float w2 = w / 2, h2 = h / 2;
    if (x <= w2 + kHeadZone && x >= w2 - kHeadZone) return y < h2 - kHeadAboveZone ? 4 : 0;
    if (x < w2 - kHeadZone) {
        if (y < h2 - kHeadZone) return 3;
        if (y > h2 + kHeadZone) return 1;
        return 2;
    }
    if (y < h2 - kHeadZone) return 5;
    if (y > h2 + kHeadZone) return 7;
    return 6;
}

void StartGame(GameRun& run) {
    GameScore = 0;
    GameObjects.clear();
    for (int i = 0; i < kPlatesKept; ++i) SpawnPlate();
    run.held = nullptr;
    run.orphan = ect();
    run.holding = false;
    run.latch = false;
    run.combo = 0;
    run.lastMouseX = MouseX();
    run.lastMouseY = MouseY();
    run.sx = run.sy = 0;
    run.quota = 0;
    run.removals = kRemovalCounterStart;
    run.tutorial = Difficulty == kDifficultyEasy ? 1 : kTutorialDone;
    run.endCode = kEndPlaying;
    run.headFrame = 0;
}

void RunGameRules(GameRun& run) {
    const int mx = MouseX(), my = MouseY();
    const int dx = mx - run.lastMouseX, dy = my - run.lastMouseY;
    run.lastMouseX = mx;
    run.lastMouseY = my;
    run.sx -= (run.sx - dx) / kPointerSmoothing;
    run.sy -= (run.sy - dy) / kPointerSmoothing;

    SetScale(kSpriteScale);
    run.plates = run.pickups = run.intruders = 0;
    run.headFrame = 0;
    if (run.tutorial < kTutorialDone) run.removals = kRemovalCounterStart;

    RunObjectPass(run);

    SetScale(kSpriteScale);
    if (!MouseIsDown(1)) run.latch = false;
    if (run.removals > kRemovalsPerRise) {
        run.quota += Difficulty + 1;
        run.removals = 0;
    }
    Spawn(run);
}

int RunGameFrame(GameRun& run) {
    BeginFrame();
    ResetDrawState();
    DrawBackground();
    RunGameRules(run);
    DrawSprite(GameSheet, HalfWidth(), HalfHeight(), run.headFrame);
    DrawScore();
    RunTutorial(run);
    if (FramePresent(1) == kEndQuit) run.endCode = kEndQuit;
    return run.endCode;
}

void DrawGameOver() {
    const std::string text = "Game Over";
    const int x = HalfWidth(), y = HalfHeight();
    Present(-1);
    SelectFont(Fonts[5]);
    auto draw = [&](int r, int g, int b, int dx, int dy) {
        ResetDrawState();
        SetColour(r, g, b, 1);
        DrawTextAligned(x + dx, y + dy, text, kAlignCentre, kAlignCentre);
    };
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) draw(255, 255, 255, dx, dy);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) draw(8, 8, 8, dx, dy);
    draw(255, 255, 0, 0, 0);
    Present(-1);
}

Scores MakeGameRecord(const GameRun& run) {
    Scores record;
    record.Score = GameScore;
    record.Timestamp = MakeTimestamp();
    record.Name = PlayerName;
    record.GameMode = Difficulty;
    record.Quit = run.endCode == kEndQuit ? 1 : 0;
    return record;
}

void FileGameRecord(const Scores& record) {
    LocalScores.push_back(record);
    SortScores();
    // Saved at once rather than only at shutdown, so a crash later in the run loses no game.
    SaveScores();
}

void PlayGame() {
    GameRun run;
    StartGame(run);
    while (RunGameFrame(run) == kEndPlaying) {
    }
    DrawGameOver();
    Sleep(kGameOverPauseMs);
    PauseState = 0;
    // The game is over before its name is asked for, and a window closed at the prompt shuts
    // down from inside it: a stand-in under the current name is listed meanwhile, so that
    // shutdown still saves the game. The record with the entered name then takes its place.
    LocalScores.push_back(MakeGameRecord(run));
    const auto standIn = std::prev(LocalScores.end());
    EnterNameScreen();
    LocalScores.erase(standIn);
    FileGameRecord(MakeGameRecord(run));
}
