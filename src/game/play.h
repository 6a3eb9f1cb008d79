// One game from four resting plates to "Game Over" and the filed score record: the state of a
// game in play, its frame, its spawns, holding and collection rules, the tutorial and the end.
#pragma once

#include "game/objects.h"
#include "scores/scores.h"

// Score of the game in play: 0 at the start of each game, grown only by AwardPoints.
extern int GameScore;
// 0 Easy, 1 Medium, 2 Hard. Set by the title screen before PlayGame; read by the game.
extern int Difficulty;

constexpr int kDifficultyEasy = 0;

constexpr int kPlatesKept = 4;
constexpr int kPickupsKept = 50;
constexpr int kPlateSpawnReach = 128;    // plates spawn within this of the head...
constexpr int kPlateSpawnClearance = 52;  // ...but further than this on both axes
constexpr int kPickupSpawnReach = 400;   // pickups spawn within this of the head...
constexpr int kPickupSpawnClearance = 256;  // ...but further than this on one axis at least
constexpr int kIntruderSpawnMargin = 16;    // intruders spawn up to this far off screen
constexpr int kIntruderTravelMin = 520;     // frames an intruder takes to reach the head
constexpr int kIntruderTravelMax = 600;
constexpr int kGrabReach = 8;                // the grab box starts this far up-left of the plate
constexpr float kPointerSmoothing = 8;       // smoothed motion closes 1/8 of the gap a frame
constexpr float kThrowGain = 3;
constexpr float kSpeedLimit = 13;            // pixels a frame per axis, held plate
constexpr float kStillDistanceSquared = 24;  // a held plate moving less than sqrt(24) drains
constexpr float kStillDrain = 2;             // health a frame
constexpr float kIntruderCatch = 64;         // catch box half-size between top-left corners
constexpr float kPickupCatch = 32;
constexpr int kIntruderPoints = 25;          // times the combo
constexpr int kEdgeRelease = 24;             // a plate released this near an edge is lost
constexpr float kLostPlateX = -64;
constexpr int kRemovalsPerRise = 10;         // the quota rises when the counter exceeds this
constexpr int kRemovalCounterStart = 7;
constexpr int kTutorialCombo = 15;           // the tutorial ends when the combo exceeds this
constexpr int kTutorialDone = 10;
constexpr int kHeadZone = 128;               // the head turns toward plates beyond this
constexpr int kHeadAboveZone = 64;
constexpr int kGameOverPauseMs = 1500;

constexpr int kEndPlaying = 0;
constexpr int kEndIntruderAtHead = 1;
constexpr int kEndQuit = 99;

// The state local to one game. Not copyable: the held plate may point at `orphan`.
struct GameRun {
    ect* held = nullptr;     // the held plate (in GameObjects, or `orphan` once it has left)
    ect orphan;              // where a held plate that left the list lives on, inert
    bool holding = false;    // cleared separately from `held`
    bool latch = false;      // set by a grab, cleared by a pass with the left button up
    int combo = 0;           // items collected during the current hold
    int lastMouseX = 0;      // device pixels, last frame
    int lastMouseY = 0;
    float sx = 0, sy = 0;    // smoothed pointer motion, device pixels a frame
    int quota = 0;           // intruders kept in play
    int removals = kRemovalCounterStart;  // objects counted as removed since the last rise
    int tutorial = kTutorialDone;         // 1, 2, 3 tutorial steps; kTutorialDone: none
    int endCode = kEndPlaying;
    int headFrame = 0;
    int plates = 0, pickups = 0, intruders = 0;  // met during this frame's pass

    GameRun() = default;
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;
};

// Plays one game and files its record in LocalScores (saved at once).
void PlayGame();

// The pieces of PlayGame, in the order it runs them.
void StartGame(GameRun& run);
// The rules of one frame: pointer motion, the pass over the objects (which draws them), the
// quota and the spawns.
void RunGameRules(GameRun& run);
// One frame: backdrop, rules, head, score, tutorial, FramePresent. Returns the end code.
int RunGameFrame(GameRun& run);
void DrawGameOver();
// The record of the game just ended, as filed.
Scores MakeGameRecord(const GameRun& run);
void FileGameRecord(const Scores& record);

// Spawns one object of a kind at the back of GameObjects by its spawn rule.
void SpawnPlate();
void SpawnPickup();
void SpawnIntruder();
// The head's sheet frame for a held plate at (x, y), W x H being the virtual screen.
int HeadFrameFor(float x, float y, int w, int h);
