// The engine test on the headless twin with scripted frame rates: a Present hook stretches the
// virtual frame time so the smoothed rate falls where a test wants it, from a chosen sprite count.
#include <algorithm>
#include <functional>
#include <map>

#include "app/assets.h"
#include "frame/draw.h"
#include "frame/engine_test.h"
#include "frame/present.h"
#include "headless_fixture.h"

namespace {

// Presents before the first measured frame: the settling present and the 30 intro frames.
constexpr int kPresentsBeforeMeasuring = 1 + kEngineTestIntroFrames;

class EngineTestRun : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        ChangeFolder("Files/");
        OpenLog();
        SelectDirect3D7Backend();
        ASSERT_TRUE(OpenDisplay(800, 600, 0, 60));
        SetVirtualResolution(VirtualWidth, VirtualHeight);
        IconStripSharp = CommonLogo = PartnerLogo = 0;  // nothing to draw: the test stays cheap
    }
    void TearDown() override {
        headless::SetPresentHook(nullptr);
        HeadlessFixture::TearDown();
    }

    // rateFor(n) is the frame rate the machine manages with n test sprites (0: as fast as the
    // pacing lets it). Each measured frame is stretched so that FramePresent's smoothed rate
    // comes as close to it as one frame allows. Only for runs that present every frame.
    // presentsBefore: the twin's present count when the run starts (it counts from Install).
    static std::function<void(int)> RateHook(std::function<int(int sprites)> rateFor,
                                             int presentsBefore) {
        return [rateFor, presentsBefore](int presentSinceInstall) {
            const int present = presentSinceInstall - presentsBefore;
            if (present <= kPresentsBeforeMeasuring) return;
            const int step = (present - kPresentsBeforeMeasuring - 1) / kEngineTestStepFrames;
            const int wanted = rateFor(kEngineTestStep * (step + 1));
            if (wanted <= 0) return;
            const int elapsed = Millis() - LastFrameEnd;
            int bestExtra = 0, bestMiss = 1 << 30;
            for (int extra = 0; extra < 2000; ++extra) {
                const int rate = (1000 / (elapsed + extra) + 2 * FrameRate) / 3;
                if (std::abs(rate - wanted) < bestMiss) {
                    bestMiss = std::abs(rate - wanted);
                    bestExtra = extra;
                }
            }
            headless::AdvanceClock(bestExtra);
        };
    }
    void ScriptRates(std::function<int(int sprites)> rateFor, int presentsBefore) {
        headless::SetPresentHook(RateHook(std::move(rateFor), presentsBefore));
    }

    std::vector<std::string> LogFrom(const std::string& first) {
        const std::vector<std::string> log = ReadLines(files() / "Debug.txt");
        const auto start = std::find(log.begin(), log.end(), first);
        return {start, log.end()};
    }
};

TEST_F(EngineTestRun, BudgetsLogAndSlowSystemFallbackFollowTheMeasuredRate) {
    struct Case {
        const char* name;
        int slowSystemBefore;
        std::function<int(int)> rateFor;
        int logged;    // "Main sprites" as logged
        int budget;    // DrawBudgets slot 1 afterwards
        int target;    // TargetFrameRate afterwards
        int slowSystem;
        int presents;  // -1: not checked
    };
    const auto fast = [](int) { return 0; };
    const auto slowFrom = [](int limit) {
        return [limit](int sprites) { return sprites >= limit ? 40 : 0; };
    };
    const Case cases[] = {
        {"keeps the rate to the end", 0, fast, 17999, 17999, 60, 0, 1 + 30 + 400},
        {"drops at 3000", 0, slowFrom(3000), 2249, 2249, 60, 0, 1 + 30 + 60},
        {"drops at 1500", 0, slowFrom(1500), 899, 1000, 30, 1, 1 + 30 + 30},
        {"never past the first step", 0, slowFrom(1000), 0, 1000, 30, 1, 1 + 30 + 20},
        {"slow from the first step", 0, slowFrom(500), 0, 1000, 30, 1, 1 + 30 + 20},
        {"exactly target - 6 counts and stops", 0,
         [](int sprites) { return sprites >= 2000 ? 54 : 0; }, 1799, 1799, 60, 0, 1 + 30 + 40},
        {"one above the margin keeps going", 0,
         [](int sprites) { return sprites >= 3000 ? 40 : sprites >= 2000 ? 55 : 0; }, 2249, 2249,
         60, 0, 1 + 30 + 60},
        {"already in slow-system mode", 1, fast, 17999, 17999, 30, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CloseLog();
        ChangeFolder(files().string());
        OpenLog();
        const int presentsBefore = headless::PresentCount();
        Settings[SlowSystem] = c.slowSystemBefore;
        ShowStats = 1;
        FrameRate = 0;
        SkipFrame = 0;
        ScriptRates(c.rateFor, presentsBefore);

        EngineTest(60, 2);

        const int target = c.slowSystemBefore ? 30 : 60;
        std::vector<std::string> expected = {
            "Starting Engine Test",
            "Aiming for " + std::to_string(target) + ",2",
            "Test Complete",
            "",
            "Engine Test Results",
            "",
            "\tMaximum Sprites Allowed for " + std::to_string(target) + " Frames Per Second",
            "\tMain sprites : " + std::to_string(c.logged),
            "\tGlowy Sprites : 500",
            "\tParticles : 500",
            "",
        };
        if (c.target == 30) expected.push_back("Settings Overwritten, Set to Default Lower Limits at 30fps.");
        expected.push_back("");
        EXPECT_EQ(LogFrom("Starting Engine Test"), expected);
        EXPECT_EQ(DrawBudgets[kCountImages], c.budget);
        EXPECT_EQ(DrawBudgets[kCountGlow], 500);
        EXPECT_EQ(DrawBudgets[kCountParticles], 500);
        EXPECT_EQ(TargetFrameRate, c.target);
        EXPECT_EQ(Settings[SlowSystem], c.slowSystem);
        EXPECT_EQ(ShowStats, 0);
        if (c.presents >= 0) {
            EXPECT_EQ(headless::PresentCount() - presentsBefore, c.presents);
        }
    }
}

TEST_F(EngineTestRun, LogosSlideToRestAndTheTestSpritesStayInvisible) {
    SetAutoCentreHandle(true);
    ChangeFolder("Common/");
    IconStripSharp = LoadImageStrip("icons.png", 16, 16, 0, 64, kImageMasked);
    CommonLogo = LoadImageFile("logo.png", kImageMasked | kImageFiltered);
    PartnerLogo = LoadImageFile("Hearthside.png", kImageMasked | kImageFiltered);
    ChangeFolder("../");
    if (IconStripSharp == 0 || CommonLogo == 0 || PartnerLogo == 0)
        GTEST_SKIP() << "the game's data files have not been built";

    // Frames by present number: 2 is the first of the intro, 31 its last (logos at rest), 41 the
    // last measured frame with 501 sprites.
    std::map<int, Pixels> frames;
    const int presentsBefore = headless::PresentCount();
    const auto rates = RateHook([](int sprites) { return sprites >= 1000 ? 40 : 0; }, presentsBefore);
    headless::SetPresentHook([&frames, presentsBefore, rates](int present) {
        const int own = present - presentsBefore;
        if (own == 2 || own == 31 || own == 41) frames[own] = GrabScreenPixels(0, 0, 800, 600);
        rates(present);
    });
    EngineTest(60, 2);
    ASSERT_EQ(frames.size(), 3u);

    EXPECT_EQ(frames[41].argb, frames[31].argb) << "the sprites drew something";
    // Display pixels around the resting places, 0.3 and 0.7 of the screen.
    auto region = [](const Pixels& frame, int cx, int cy) {
        std::vector<uint32_t> pixels;
        for (int y = cy - 20; y <= cy + 20; ++y)
            for (int x = cx - 20; x <= cx + 20; ++x) pixels.push_back(ReadPixelArgb(frame, x, y));
        return pixels;
    };
    EXPECT_NE(region(frames[2], 240, 180), region(frames[31], 240, 180)) << "maker's logo";
    EXPECT_NE(region(frames[2], 560, 420), region(frames[31], 560, 420)) << "partner's logo";
}

}  // namespace
