// The game loop's rules, played frame by frame on the headless twin with scripted mouse input.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/state.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "game/objects.h"
#include "game/play.h"
#include "headless_fixture.h"
#include "input/text_entry.h"
#include "platform/platform.h"
#include "scores/scores.h"
#include "scores/timestamp.h"

namespace {

constexpr int kW = 1280, kH = 960;
constexpr int kShrink = 4;  // virtual units per back-buffer pixel
constexpr int kKeyUpArrow = 38;
constexpr int kKeySpaceBar = 32;

class PlayTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        // A quarter-size back buffer keeps the software renderer's work small; the game still
        // plays in its usual virtual 1280 x 960.
        OpenShrunkDisplay(kShrink);
        SetAutoCentreHandle(true);
        GameScore = 0;
        LocalScores.clear();
        SeedRandom(99);
    }

    // A game sheet whose every cell is solid, so the head test sees the whole 32 x 32 cell.
    void LoadSolidSheet() {
        Pixels sheet;
        sheet.width = sheet.height = 320;
        sheet.argb.assign(320 * 320, 0xFFFFFFFFu);
        const std::string file = (root / "solid.png").string();
        ASSERT_TRUE(SavePixelsAsPng(sheet, file, 1));
        GameSheet = LoadImageStrip(file, 32, 32, 0, 100, kImageMasked | kImageFiltered);
        ASSERT_NE(GameSheet, 0);
    }

    // An intruder already on the head: the game in play ends within a frame or two.
    static void PlaceIntruderOnHead() {
        ect o;
        o.t = kIntruder;
        o.x = kW / 2;
        o.y = kH / 2;
        o.health = 100;
        GameObjects.push_back(o);
    }

    // Starts a game with the pointer resting at (px, py), so no throw comes from moving it there.
    void Start(int difficulty, int px = 100, int py = 300) {
        Difficulty = difficulty;
        headless::SetMouse(px / kShrink, py / kShrink);
        headless::SetMouseButton(1, false);
        StartGame(run);
        Frame();  // samples the pointer for MouseOver
    }
    void Frame(int frames = 1) {
        for (int i = 0; i < frames; ++i) RunGameFrame(run);
    }
    static ect& Add(int kind, float x, float y) {
        ect o;
        o.t = kind;
        o.x = x;
        o.y = y;
        o.health = 100;
        GameObjects.push_back(o);
        return GameObjects.back();
    }
    // Presses the left button over `plate` (the pointer must rest over it) and runs the frame.
    void Grab() {
        headless::SetMouseButton(1, true);
        Frame();
    }
    void Release() {
        headless::SetMouseButton(1, false);
        Frame();
    }
    static int Count(int kind) {
        return int(std::count_if(GameObjects.begin(), GameObjects.end(),
                                 [&](const ect& o) { return o.t == kind; }));
    }
    // Removed objects' addresses may be reused by new ones, so a plate is found by where it is.
    static bool PlateAt(float x, float y) {
        return std::any_of(GameObjects.begin(), GameObjects.end(),
                           [&](const ect& e) { return e.t == kPlate && e.x == x && e.y == y; });
    }

    GameRun run;
};

TEST_F(PlayTest, GameStartsWithFourPlatesAroundTheHead) {
    Difficulty = 1;
    StartGame(run);
    ASSERT_EQ(GameObjects.size(), 4u);
    for (const ect& o : GameObjects) {
        EXPECT_EQ(o.t, kPlate);
        EXPECT_EQ(o.health, 100);
        EXPECT_GT(std::abs(o.x - kW / 2), 52);
        EXPECT_LE(std::abs(o.x - kW / 2), 128);
        EXPECT_GT(std::abs(o.y - kH / 2), 52);
        EXPECT_LE(std::abs(o.y - kH / 2), 128);
    }
    EXPECT_EQ(run.tutorial, kTutorialDone);
    EXPECT_EQ(run.removals, 7);
}

TEST_F(PlayTest, HoldScoresRisingComboAndNextGrabStartsAgain) {
    Start(1);
    ect& plate = Add(kPlate, 90, 290);
    Grab();
    ASSERT_TRUE(run.holding);
    ASSERT_EQ(run.held, &plate);
    EXPECT_EQ(run.combo, 0);

    Add(kPickup, 100, 290);
    Add(kPickup, 110, 300);
    ect& intruder = Add(kIntruder, 140, 330);
    Frame();
    EXPECT_EQ(run.combo, 3);
    EXPECT_EQ(GameScore, 1 + 2 + 75);
    EXPECT_EQ(intruder.t, kIntruderBurst);
    EXPECT_EQ(intruder.x, 140 + 24);
    ASSERT_EQ(PointPopups.size(), 3u);
    EXPECT_EQ(PointPopups.back().n, 75);

    Release();
    EXPECT_FALSE(run.holding);
    Grab();
    EXPECT_TRUE(run.holding);
    EXPECT_EQ(run.combo, 0);
    Add(kPickup, 80, 280);
    Frame();
    EXPECT_EQ(GameScore, 79);
}

TEST_F(PlayTest, HeldPlateKeptStillFadesAwayInFiftyFrames) {
    Start(1);
    const ect& plate = Add(kPlate, 90, 290);
    Grab();
    Frame(49);
    ASSERT_TRUE(PlateAt(90, 290));
    EXPECT_EQ(plate.health, 2);
    const int removals = run.removals;
    Frame();
    EXPECT_FALSE(PlateAt(90, 290));
    EXPECT_EQ(run.removals, removals + 1);
    EXPECT_TRUE(run.holding);  // until the button comes up
    Release();
    EXPECT_FALSE(run.holding);
    EXPECT_EQ(run.held, nullptr);
}

TEST_F(PlayTest, PlateReleasedNearAnEdgeIsLostAndCounted) {
    const struct {
        int x, y;
        bool lost;
    } cases[] = {
        {10, 300, true},        {300, 23, true},      {kW - 48 + 24 + 1, 300, true},
        {300, kH - 23, true},   {25, 300, false},     {300, 25, false},
        {kW - 25, 300, false},  {300, kH - 25, false},
    };
    for (const auto& c : cases) {
        Start(1, c.x + 10, c.y + 10);
        Add(kPlate, c.x, c.y);
        Grab();
        ASSERT_TRUE(run.holding) << c.x << "," << c.y;
        const int removals = run.removals;
        Release();
        EXPECT_EQ(PlateAt(float(c.x), float(c.y)), !c.lost) << c.x << "," << c.y;
        EXPECT_EQ(run.removals, removals + (c.lost ? 1 : 0)) << c.x << "," << c.y;
    }
}

TEST_F(PlayTest, NoPickupSpawnsWhileHolding) {
    Start(1);
    EXPECT_EQ(Count(kPickup), 1);
    Frame(2);
    EXPECT_EQ(Count(kPickup), 3);  // one a frame
    Add(kPlate, 90, 290);
    Grab();
    Frame(5);
    EXPECT_EQ(Count(kPickup), 3);
    Release();
    EXPECT_EQ(Count(kPickup), 4);
}

TEST_F(PlayTest, QuotaRisesByDifficultyOncePastTenRemovals) {
    const struct {
        int difficulty, burstKind, perFrame, frames, quota;
    } cases[] = {
        {1, kIntruderBurst, 4, 1, 2},  // 7 + 4 > 10
        {2, kIntruderBurst, 4, 1, 3},
        {2, kIntruderBurst, 3, 1, 0},
        {1, kPickupBurst, 4, 3, 0},    // pickup bursts never count
        {0, kIntruderBurst, 3, 3, 0},  // the tutorial holds the counter at 7 every frame
        {0, kIntruderBurst, 4, 1, 1},
    };
    for (const auto& c : cases) {
        Start(c.difficulty);
        for (int f = 0; f < c.frames; ++f) {
            for (int i = 0; i < c.perFrame; ++i) Add(c.burstKind, -500, 100);
            Frame();
        }
        EXPECT_EQ(run.quota, c.quota) << c.difficulty << " " << c.burstKind << " " << c.perFrame;
        Frame(3);
        EXPECT_EQ(Count(kIntruder), c.quota) << "one intruder spawned a frame up to the quota";
    }
}

TEST_F(PlayTest, EasyTutorialStepsEndWithTheFirstIntruder) {
    Start(0);
    EXPECT_EQ(run.tutorial, 1);
    Add(kPlate, 90, 290);
    Grab();
    EXPECT_EQ(run.tutorial, 2);
    Add(kPickup, 95, 295);
    Frame();
    EXPECT_EQ(run.tutorial, 2);  // a combo of 1 is not yet a combo
    Add(kPickup, 95, 295);
    Frame();
    EXPECT_EQ(run.tutorial, 3);
    for (int i = 0; i < 13; ++i) Add(kPickup, 95, 295);
    Frame();
    EXPECT_EQ(run.combo, 15);
    EXPECT_EQ(run.tutorial, 3);
    EXPECT_EQ(run.quota, 0);
    Add(kPickup, 95, 295);
    Frame();
    EXPECT_EQ(run.tutorial, kTutorialDone);
    EXPECT_EQ(Count(kIntruder), 0);
    Frame();
    EXPECT_EQ(run.quota, 1);
    EXPECT_EQ(Count(kIntruder), 1);
}

TEST_F(PlayTest, IntruderAtTheHeadEndsTheGameEvenWhenCollectedLaterInThePass) {
    LoadSolidSheet();
    const int hx = kW / 2, hy = kH / 2;
    Start(1, hx + 40, hy + 40);
    GameObjects.clear();  // no resting plate under the pointer but ours
    const ect& plate = Add(kPlate, hx + 30, hy + 30);
    Grab();
    ASSERT_EQ(run.held, &plate);
    ect intruder;
    intruder.t = kIntruder;
    intruder.x = hx + 20;
    intruder.y = hy;
    intruder.health = 100;
    GameObjects.push_front(intruder);
    EXPECT_EQ(RunGameFrame(run), kEndIntruderAtHead);
    EXPECT_EQ(GameObjects.front().t, kIntruderBurst);
    EXPECT_EQ(GameScore, 25);
}

TEST_F(PlayTest, IntruderAwayFromTheHeadDriftsOn) {
    LoadSolidSheet();
    Start(1);
    ect& intruder = Add(kIntruder, kW / 2 + 49, kH / 2);
    intruder.xs = 1;
    EXPECT_EQ(RunGameFrame(run), kEndPlaying);
    EXPECT_EQ(intruder.x, kW / 2 + 50);
}

TEST_F(PlayTest, IntruderSpawnsOffScreenHeadingForTheHead) {
    VirtualWidth = kW;
    VirtualHeight = kH;
    for (int i = 0; i < 50; ++i) {
        GameObjects.clear();
        SpawnIntruder();
        const ect& o = GameObjects.back();
        EXPECT_TRUE(o.x < 0 || o.x > kW || o.y < 0 || o.y > kH);
        // Both axes arrive together, after 520 to 600 frames.
        const bool alongX = std::abs(o.xs) > std::abs(o.ys);
        const float frames = alongX ? (kW / 2 - o.x) / o.xs : (kH / 2 - o.y) / o.ys;
        EXPECT_GE(frames, 519.9f);
        EXPECT_LE(frames, 600.1f);
        EXPECT_NEAR(o.x + o.xs * frames, kW / 2, 0.01f);
        EXPECT_NEAR(o.y + o.ys * frames, kH / 2, 0.01f);
    }
}

TEST(HeadFrame, TurnsTowardTheHeldPlate) {
    const int w = 1280, h = 960, cx = 640, cy = 480;
    const struct {
        float x, y;
        int frame;
    } cases[] = {
        {cx, cy - 65, 4},          {cx - 128, cy - 65, 4},   {cx + 128, cy - 300, 4},
        {cx, cy - 64, 0},          {cx, cy + 300, 0},        {cx + 128, cy + 300, 0},
        {cx - 129, cy - 129, 3},   {cx - 129, cy + 129, 1},  {cx - 129, cy - 128, 2},
        {cx - 129, cy + 128, 2},   {cx + 129, cy - 129, 5},  {cx + 129, cy + 129, 7},
        {cx + 129, cy, 6},         {cx + 128.5f, cy, 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HeadFrameFor(c.x, c.y, w, h), c.frame) << c.x - cx << "," << c.y - cy;
}

TEST_F(PlayTest, RecordCarriesEveryFieldOfTheGame) {
    const struct {
        int endCode, quit;
    } cases[] = {{kEndIntruderAtHead, 0}, {kEndQuit, 1}};
    headless::SetDateTime("25 Dec 2010", "13:45:30");
    PlayerName = "Ann";
    Difficulty = 2;
    GameScore = 1234;
    for (const auto& c : cases) {
        run.endCode = c.endCode;
        const Scores s = MakeGameRecord(run);
        EXPECT_EQ(s.Score, 1234);
        EXPECT_EQ(s.Timestamp, TimestampFromTexts("25 Dec 2010", "13:45:30"));
        EXPECT_EQ(s.Name, "Ann");
        EXPECT_EQ(s.GameMode, 2);
        EXPECT_EQ(s.Quit, c.quit);
        EXPECT_EQ(s.Badges, 0);
        EXPECT_EQ(s.Level, 0);
        EXPECT_EQ(s.GameFlags, 0);
        for (int k = 0; k < 31; ++k) EXPECT_EQ(s.Best[k], 0);
    }
}

// A whole game: an intruder reaches the head, "Game Over", the name entry, and the record filed
// and saved at once.
TEST_F(PlayTest, GameEndsWithNameEntryAndAFiledSavedRecord) {
    LoadSolidSheet();
    ASSERT_TRUE(ChangeFolder("Files/295/"));
    headless::SetDateTime("25 Dec 2010", "13:45:30");
    Scores older;
    older.Name = "old";
    older.Timestamp = TimestampFromTexts("01 Jan 2010", "00:00:00");
    LocalScores.push_back(older);
    PlayerName = "Zed";
    Difficulty = 2;
    PauseState = 1;

    bool intruderPlaced = false;
    int nameFrames = 0;
    headless::SetPresentHook([&](int) {
        if (!intruderPlaced) {
            PlaceIntruderOnHead();
            intruderPlaced = true;
        } else if (PauseState == 0) {
            ++nameFrames;
            if (nameFrames == 1) headless::TypeText("a");
            if (nameFrames == 3) headless::PressKey(kKeyReturn);
        }
    });
    PlayGame();
    headless::SetPresentHook(nullptr);

    EXPECT_EQ(PauseState, 0);
    EXPECT_EQ(nameFrames, 4);  // confirmed in the frame after the press
    EXPECT_EQ(PlayerName, "Zeda");
    ASSERT_EQ(LocalScores.size(), 2u);
    const Scores& filed = LocalScores.front();  // newest first
    EXPECT_EQ(filed.Name, "Zeda");
    EXPECT_EQ(filed.GameMode, 2);
    EXPECT_EQ(filed.Quit, 0);
    EXPECT_EQ(filed.Timestamp, TimestampFromTexts("25 Dec 2010", "13:45:30"));
    EXPECT_EQ(LocalScores.back().Name, "old");
    EXPECT_TRUE(std::filesystem::exists(gameFolder() / "nuscores.dat"));
}

TEST_F(PlayTest, ClosingTheWindowMidGameShutsDownWithoutARecord) {
    ASSERT_TRUE(ChangeFolder("Files/295/"));
    PauseState = 1;
    headless::SetPresentHook([](int frame) {
        if (frame == 3) headless::RequestClose();
    });
    EXPECT_THROW(PlayGame(), headless::ProcessExit);
    headless::SetPresentHook(nullptr);
    EXPECT_TRUE(LocalScores.empty());
}

// The game is over once its name is asked for: a window closed at the prompt shuts down from
// inside it and still saves the game, under the name it had before the prompt.
TEST_F(PlayTest, ClosingTheWindowAtTheNamePromptStillSavesTheGame) {
    LoadSolidSheet();
    ASSERT_TRUE(ChangeFolder("Files/295/"));
    PlayerName = "Zed";
    Difficulty = 2;
    PauseState = 1;
    bool intruderPlaced = false;
    int nameFrames = 0;
    headless::SetPresentHook([&](int frame) {
        if (frame > 2000) headless::RequestClose();  // never reached the name entry: don't hang
        if (!intruderPlaced) {
            PlaceIntruderOnHead();
            intruderPlaced = true;
        } else if (PauseState == 0) {
            if (++nameFrames == 1) headless::TypeText("Al");
            if (nameFrames == 3) headless::RequestClose();
        }
    });
    EXPECT_THROW(PlayGame(), headless::ProcessExit);
    headless::SetPresentHook(nullptr);

    LocalScores.clear();
    LoadScores();
    ASSERT_EQ(LocalScores.size(), 1u);
    EXPECT_EQ(LocalScores.front().Name, "Zed");
    EXPECT_EQ(LocalScores.front().GameMode, 2);
}

// Quit from the pause menu ends the game; the name entry still follows and the record is marked.
TEST_F(PlayTest, QuitFromThePauseMenuFilesARecordMarkedQuit) {
    ASSERT_TRUE(ChangeFolder("Files/295/"));
    PauseState = 1;
    Difficulty = 1;
    int pauseFrames = 0, nameFrames = 0;
    headless::SetPresentHook([&](int frame) {
        if (frame > 2000) headless::RequestClose();  // the menu never quit: fail, don't hang
        if (PauseState == 1 && frame == 3) {
            headless::SetKey(kKeyEscape, true);
        } else if (PauseState == 2) {
            ++pauseFrames;
            if (pauseFrames == 1) headless::SetKey(kKeyEscape, false);
            if (pauseFrames == 2) headless::SetKey(kKeyUpArrow, true);  // "Continue" up to "Quit"
            if (pauseFrames == 3) headless::SetKey(kKeyUpArrow, false);
            if (pauseFrames == 4) headless::SetKey(kKeySpaceBar, true);
        } else if (PauseState == 0) {
            headless::SetKey(kKeySpaceBar, false);
            if (++nameFrames == 2) headless::PressKey(kKeyReturn);
        }
    });
    PlayGame();
    headless::SetPresentHook(nullptr);

    EXPECT_GT(pauseFrames, 4);
    EXPECT_EQ(nameFrames, 3);
    ASSERT_EQ(LocalScores.size(), 1u);
    EXPECT_EQ(LocalScores.front().Quit, 1);
    EXPECT_EQ(LocalScores.front().GameMode, 1);
}

}  // namespace
