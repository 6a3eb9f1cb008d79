// The title screen played frame by frame on the headless twin: the slide-in, when a click starts
// a game (and when it must not), Escape after a game, the difficulty controls, the tab latch, the
// credentials cleaning and the screen's sound effects.
#include <functional>
#include <string>
#include <vector>

#include "app/state.h"
#include "audio/sfx.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/play.h"
#include "headless_fixture.h"
#include "input/controls.h"
#include "platform/headless/audio_record.h"
#include "scores/score_table.h"
#include "scores/scores.h"
#include "screens/settings_menu.h"
#include "screens/title.h"
#include "wav_bytes.h"

namespace {

constexpr int kW = 1280, kH = 960;
constexpr int kShrink = 4;  // virtual units per back-buffer pixel
constexpr int kKeyDownArrow = 40, kKeyUpArrow = 38;
constexpr int kKey1 = 49, kKey2 = 50, kKey3 = 51, kKeyF2 = 113;

int gamesPlayed = 0;
std::function<void()> duringGame;  // what the stand-in game does to the input before returning

void StandInGame() {
    ++gamesPlayed;
    if (duringGame) duringGame();
}

class TitleTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenShrunkDisplay(kShrink);
        ChangeFolder("Files/295/");
        ResetSettingsMenu();
        SetDefaultBindings();
        LocalScores.clear();
        StoredUser = StoredPassword = "";
        Difficulty = 0;
        gamesPlayed = 0;
        duringGame = nullptr;
        run.playGame = StandInGame;
        LastFrameEnd = Millis();
    }

    void TearDown() override {
        duringGame = nullptr;
        HeadlessFixture::TearDown();
    }

    // Runs frames; true when the last one asked to quit.
    bool Frame(int frames = 1) {
        bool quit = false;
        for (int i = 0; i < frames; ++i) quit = RunTitleFrame(run);
        return quit;
    }
    void SettleIn() { Frame(kIntroSteps); }

    // The pointer in virtual units (the back buffer is a quarter size).
    static void PointAt(int vx, int vy) { headless::SetMouse(vx / kShrink, vy / kShrink); }
    // A point well inside the resting start area.
    void PointAtStart() {
        const TitleLayout at = TitleLayoutFor(kIntroSteps);
        PointAt(at.stageX - 100, kH / 2);
    }

    TitleRun run;
};

TEST_F(TitleTest, SlidesInOverThirtyTwoFramesAndTheBannerOverSixtyFour) {
    const TitleLayout rest = TitleLayoutFor(kIntroSteps);
    EXPECT_EQ(rest.panelX, kW - rest.panelWidth - 5);
    EXPECT_EQ(rest.drop, 0);

    // The tab bar (white at 0.3 over the backdrop) is where a resting panel's top edge is.
    const int probeX = (rest.panelX + rest.panelWidth / 2) / kShrink, probeY = 16 / kShrink;
    Frame();
    EXPECT_EQ(run.introStep, 1) << "the first frame already draws with the raised step";
    EXPECT_EQ(TitleLayoutFor(run.introStep).panelX, rest.panelX + 775);
    EXPECT_EQ(TitleLayoutFor(run.introStep).drop, 775);
    const int offScreen = Red(PixelAt(probeX, probeY));

    Frame(kIntroSteps - 1);
    EXPECT_EQ(run.introStep, kIntroSteps);
    EXPECT_GT(Red(PixelAt(probeX, probeY)), offScreen + 40);
    Frame(31);
    EXPECT_EQ(run.bannerSlide, 0.5f);
    Frame();
    EXPECT_EQ(run.bannerSlide, 0.0f);
    Frame(10);
    EXPECT_EQ(run.introStep, kIntroSteps);
    EXPECT_EQ(run.bannerSlide, 0.0f);
}

TEST_F(TitleTest, PanelWidensOnSmallDisplays) {
    struct Case { int displayWidth, panelWidth; };
    for (const Case c : {Case{640, 415}, Case{899, 415}, Case{900, 335}, Case{1920, 335}}) {
        DisplayWidth = c.displayWidth;
        EXPECT_EQ(TitleLayoutFor(kIntroSteps).panelWidth, c.panelWidth) << c.displayWidth;
    }
}

TEST_F(TitleTest, StartsOnlyWithTheButtonDownLastFrameOverTheAreaAndTheMenuIn) {
    struct Case {
        const char* what;
        int slide;
        bool inArea;
        bool heldBefore;  // the button was down on the frame before
        bool started;
    };
    const Case cases[] = {
        {"held over the area", kSettingsSlideHidden, true, true, true},
        {"pressed only this frame", kSettingsSlideHidden, true, false, false},
        {"outside the area", kSettingsSlideHidden, false, true, false},
        {"menu just starting out", -268, true, true, true},
        {"menu out", -236, true, true, false},
        {"menu fully out", 20, true, true, false},
    };
    SettleIn();
    const TitleLayout at = TitleLayoutFor(kIntroSteps);
    for (const Case& c : cases) {
        // Letting go over the area is itself a start; after it, the screen slides in again.
        headless::SetMouseButton(1, false);
        PointAt(at.stageX + 300, kH / 2);
        Frame(2);
        if (run.introStep < kIntroSteps) SettleIn();
        gamesPlayed = 0;
        if (c.inArea)
            PointAtStart();
        else
            PointAt(at.stageX + 300, kH / 2);
        Frame();  // samples the pointer with the button up
        headless::SetMouseButton(1, c.heldBefore);
        Frame();
        headless::SetMouseButton(1, true);
        // The title reads the offset before its FramePresent moves the menu.
        SettingsSlide = c.slide;
        Frame();
        EXPECT_EQ(gamesPlayed, c.started ? 1 : 0) << c.what;
        SettingsSlide = kSettingsSlideHidden;
    }
}

TEST_F(TitleTest, StartAreaIsStillBelowTheScreenOnTheFirstFrames) {
    PointAtStart();
    headless::SetMouseButton(1, true);
    Frame(3);
    EXPECT_EQ(gamesPlayed, 0);
    Frame(kIntroSteps);
    EXPECT_EQ(gamesPlayed, 1) << "once the area has arrived under the pointer";
}

TEST_F(TitleTest, AButtonHeldThroughAGameStartsNoOtherUntilReleased) {
    SettleIn();
    PointAtStart();
    headless::SetMouseButton(1, true);
    Frame(2);
    ASSERT_EQ(gamesPlayed, 1);
    EXPECT_EQ(PauseState, 0);
    EXPECT_EQ(run.introStep, 0) << "the screen slides in again";
    EXPECT_EQ(run.bannerSlide, kBannerSlideStart);

    Frame(kIntroSteps + 10);  // still held, over the area once it has slid back in
    EXPECT_EQ(gamesPlayed, 1);

    headless::SetMouseButton(1, false);
    Frame();
    headless::SetMouseButton(1, true);
    Frame(2);
    EXPECT_EQ(gamesPlayed, 2);
}

TEST_F(TitleTest, GameRunsWithPausingAllowedAndResetsTheTableView) {
    int pauseDuringGame = -1;
    duringGame = [&] { pauseDuringGame = PauseState; };
    GraphScroll = 400;
    PinnedEntry = 1003;
    SettleIn();
    PointAtStart();
    headless::SetMouseButton(1, true);
    Frame(2);
    ASSERT_EQ(gamesPlayed, 1);
    EXPECT_EQ(pauseDuringGame, 1);
    EXPECT_EQ(PauseState, 0);
    EXPECT_EQ(GraphScroll, 0);
    EXPECT_EQ(PinnedEntry, 0);
}

TEST_F(TitleTest, EscapeHeldWhenAGameEndsDoesNotQuit) {
    duringGame = [] { headless::SetKey(kKeyEscape, true); };
    SettleIn();
    PointAtStart();
    headless::SetMouseButton(1, true);
    EXPECT_FALSE(Frame(2));
    ASSERT_EQ(gamesPlayed, 1);
    EXPECT_FALSE(Frame(5)) << "Escape still held from the game";
    headless::SetKey(kKeyEscape, false);
    EXPECT_FALSE(Frame());
    headless::SetKey(kKeyEscape, true);
    EXPECT_TRUE(Frame());
}

TEST_F(TitleTest, EscapeQuitsAtOnceWithoutAGame) {
    headless::SetKey(kKeyEscape, true);
    EXPECT_TRUE(Frame());
}

TEST_F(TitleTest, HeldDifficultyControlsStepEveryFrame) {
    SettleIn();
    headless::SetKey(kKeyDownArrow, true);
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
        Frame();
        seen.push_back(Difficulty);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1}));
    headless::SetKey(kKeyDownArrow, false);
    headless::SetKey(kKeyUpArrow, true);
    seen.clear();
    for (int i = 0; i < 3; ++i) {
        Frame();
        seen.push_back(Difficulty);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 1}));

    // The latch of the last step stays set while the left button is held: no further steps.
    headless::SetKey(kKeyUpArrow, false);
    PointAt(10, 10);
    headless::SetMouseButton(1, true);
    Frame();
    headless::SetKey(kKeyDownArrow, true);
    Frame(5);
    EXPECT_EQ(Difficulty, 1);
    headless::SetMouseButton(1, false);
    Frame();
    EXPECT_EQ(Difficulty, 2);
}

TEST_F(TitleTest, ClickingADifficultyChoosesIt) {
    SettleIn();
    const TitleLayout at = TitleLayoutFor(kIntroSteps);
    for (int k : {2, 1, 0}) {
        PointAt(at.stageX - 100 + 20, kH / 2 + 200 + 50 * k + 20);
        Frame();
        headless::SetMouseButton(1, true);
        Frame();
        headless::SetMouseButton(1, false);
        Frame();
        EXPECT_EQ(Difficulty, k);
    }
}

TEST_F(TitleTest, TabKeysAreLatchedUntilEveryTabKeyIsUp) {
    SettleIn();
    headless::SetKey(kKey3, true);
    Frame();
    EXPECT_EQ(run.tab, kTitleTabAbout);
    EXPECT_EQ(BackdropTarget[1], 0.2f);

    // 2 and F2 choose nothing but hold the latch, so 1 is refused meanwhile.
    headless::SetKey(kKey3, false);
    for (int held : {kKey2, kKeyF2}) {
        headless::SetKey(held, true);
        Frame();
        headless::SetKey(kKey1, true);
        Frame();
        EXPECT_EQ(run.tab, kTitleTabAbout);
        headless::SetKey(kKey1, false);
        headless::SetKey(held, false);
    }
    Frame();
    headless::SetKey(kKey1, true);
    Frame();
    EXPECT_EQ(run.tab, kTitleTabScores);
    EXPECT_EQ(BackdropTarget[1], 0.0f);
    headless::SetKey(kKey1, false);

    // The mouse on the About tab's label area.
    const TitleLayout at = TitleLayoutFor(kIntroSteps);
    PointAt(at.panelX + at.panelWidth * 3 / 4, 20);
    Frame();
    headless::SetMouseButton(1, true);
    Frame();
    EXPECT_EQ(run.tab, kTitleTabAbout);
}

TEST_F(TitleTest, CredentialsLoseTheSeventeenCharactersEveryFrame) {
    EXPECT_EQ(CleanCredential("*\"'-+&?{}[]~#\\/:;"), std::string(17, '_'));
    EXPECT_EQ(CleanCredential("Plain user.name_1 |=%"), "Plain user.name_1 |=%");
    StoredUser = "a-b:c";
    StoredPassword = "p/w;";
    Frame();
    EXPECT_EQ(StoredUser, "a_b_c");
    EXPECT_EQ(StoredPassword, "p_w_");
}

TEST_F(TitleTest, ActionsPlayEffect98AtTheirRates) {
    const auto file = root / "click.wav";
    wavbytes::WriteFile(file, wavbytes::Wav16(1, 22050, {0, 800, -800, 0}));
    ResetSoundEffects();
    SoundEffects[98] = LoadSample(file.string());
    ASSERT_NE(SoundEffects[98], 0);
    SettleIn();
    headless::Audio().events.clear();

    headless::PressKey(kKey3);  // a hit alone is not held: no tab change
    Frame();
    headless::SetKey(kKey3, true);
    Frame();
    headless::SetKey(kKey3, false);
    headless::SetKey(kKeyDownArrow, true);
    Frame();
    headless::SetKey(kKeyDownArrow, false);
    headless::SetKey(kKeyUpArrow, true);
    Frame();
    headless::SetKey(kKeyUpArrow, false);
    const TitleLayout at = TitleLayoutFor(kIntroSteps);
    PointAt(at.stageX - 100 + 20, kH / 2 + 200 + 20);
    Frame();
    headless::SetMouseButton(1, true);
    Frame();
    headless::SetMouseButton(1, false);
    PointAtStart();
    Frame();
    headless::SetMouseButton(1, true);
    Frame(2);
    ASSERT_EQ(gamesPlayed, 1);

    std::vector<float> rates;
    for (const headless::AudioEvent& e : headless::AudioEventsOf(headless::AudioEvent::Rate))
        rates.push_back(e.value);
    EXPECT_EQ(rates, (std::vector<float>{2.0f, 1.05f, 0.95f, 1.0f, 1.5f}));
}

}  // namespace
