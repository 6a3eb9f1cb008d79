// The score table: ranking, pruning, graph heights, scrolling, selection by hover and click,
// ranking row texts and the detail box's badges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "scores/score_table.h"
#include "scores/scores.h"

namespace {

constexpr int kWidth = 1280, kHeight = 960;
constexpr int kPanelX = 100, kPanelWidth = 400;
constexpr int kBase = kHeight - 10;
constexpr int kTop = kBase - 579;

// The headless twin in a temporary folder, a 1280 x 960 virtual screen, an empty score list and
// the table's kept state zeroed.
class ScoreTable : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tableXXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        headless::Install(root_);
        ResetProcessState();
        ResetDrawTables();
        VirtualWidth = DisplayWidth = kWidth;
        VirtualHeight = DisplayHeight = kHeight;
        LocalScores.clear();
        GraphScroll = 0;
        PinnedEntry = 0;
        SelectedScore = nullptr;
        PointerAway();
    }
    void TearDown() override {
        CloseDisplay();
        LocalScores.clear();
        SelectedScore = nullptr;
        headless::Install();
        std::filesystem::remove_all(root_);
    }

    // Appends games of mode 0 in the order played (each newer than the last), newest first.
    void Play(const std::vector<int64_t>& scores, int gameMode = 0) {
        for (int64_t score : scores) {
            Scores s;
            s.Score = score;
            s.Timestamp = ++clock_;
            s.GameMode = gameMode;
            s.Name = "game" + std::to_string(clock_);
            LocalScores.push_front(s);
        }
    }
    std::vector<int64_t> RankedScores() const {
        std::vector<int64_t> out;
        for (int k = 1; k <= kRankSlots && RankSlots[k]; ++k) out.push_back(RankSlots[k]->Score);
        return out;
    }
    void Draw(int visible = 1) { DrawScoreTable(kPanelX, kPanelWidth, 0, 0, 0, visible); }
    static void PointAt(int x, int y, bool leftDown = false) {
        FrameMouseX = x;
        FrameMouseY = y;
        headless::SetMouseButton(1, leftDown);
    }
    static void PointerAway() { PointAt(-100, -100); }
    // A point inside graph column n (1 = newest) with no scrolling.
    static int ColumnX(int n) { return kWidth - 24 - 18 * (n - 1); }
    static int RowY(int k) { return kTop + 17 * (k - 1) + 5; }

    std::string root_;
    int64_t clock_ = 1000;
};

TEST_F(ScoreTable, RanksBestFirstWithTheNewerGameAheadOnTies) {
    Play({50, 70, 50});
    RankScores(0, 0, 0);
    EXPECT_EQ(RankedScores(), (std::vector<int64_t>{70, 50, 50}));
    EXPECT_EQ(RankSlots[2]->Timestamp, 1003);  // the later 50
    EXPECT_EQ(RankSlots[3]->Timestamp, 1001);
    EXPECT_EQ(MaxShownScore, 70);
}

TEST_F(ScoreTable, ABetterTwentySixthGameTakesTheTopAndPushesTheLastOut) {
    std::vector<int64_t> scores;
    for (int i = 0; i < 25; ++i) scores.push_back(100 + i);
    Play(scores);
    Play({1000});
    RankScores(0, 0, 0);
    const std::vector<int64_t> ranked = RankedScores();
    ASSERT_EQ(ranked.size(), 25u);
    EXPECT_EQ(ranked.front(), 1000);
    EXPECT_EQ(ranked.back(), 101);  // 100 dropped out
}

TEST_F(ScoreTable, RankingOnlySeesTheSelection) {
    Play({5, 9}, 1);
    Play({3});
    DrawScoreTable(kPanelX, kPanelWidth, 1, 0, 0, 0);
    EXPECT_EQ(RankedScores(), (std::vector<int64_t>{9, 5}));
    RankScores(2, 0, 0);
    EXPECT_TRUE(RankedScores().empty());
    EXPECT_EQ(MaxShownScore, 1);
}

TEST_F(ScoreTable, DrawingPrunesOldUnrankedGamesOfItsSelectionOnly) {
    // 60 games: the three oldest are the best ever, the rest score by age.
    std::vector<int64_t> scores = {5000, 5001, 5002};
    for (int i = 4; i <= 60; ++i) scores.push_back(i);
    Play(scores);
    Play({1, 2, 3, 4, 5}, 1);
    const size_t before = LocalScores.size();

    Draw(0);
    EXPECT_EQ(LocalScores.size(), before);  // not drawn: nothing deleted

    Draw(1);
    size_t mode0 = 0, mode1 = 0;
    for (const Scores& s : LocalScores) (s.GameMode == 0 ? mode0 : mode1) += 1;
    EXPECT_EQ(mode0, 53u);  // the 50 newest plus the three old best
    EXPECT_EQ(mode1, 5u);
    for (const Scores& s : LocalScores) {
        if (s.GameMode == 0) {
            EXPECT_GE(s.Score, 11);  // games 4 to 10 were deleted
        }
    }
}

TEST_F(ScoreTable, GraphHeightsFollowTheBestScore) {
    Play({100, 50, 0, 99});
    RankScores(0, 0, 0);
    const struct {
        int64_t score;
        int32_t height;
    } cases[] = {{100, 150}, {50, 75}, {0, 0}, {99, 148}, {-100, -150}};
    for (const auto& c : cases) EXPECT_EQ(MarkerHeight(c.score), c.height) << c.score;

    LocalScores.clear();
    Play({0, 0});
    RankScores(0, 0, 0);
    EXPECT_EQ(MaxShownScore, 1);
    EXPECT_EQ(MarkerHeight(0), 0);

    LocalScores.clear();
    Play({INT64_MAX, INT64_MIN});  // hand-edited extremes compute without overflow
    RankScores(0, 0, 0);
    EXPECT_EQ(MaxShownScore, -1);  // the low 32 bits of the best score
    EXPECT_EQ(MarkerHeight(INT64_MAX), -(INT32_MAX / 2));
    EXPECT_EQ(MarkerHeight(INT64_MIN), INT32_MAX / 2);
}

TEST_F(ScoreTable, ScrollingStopsAtItsLimits) {
    Play({1});
    PointAt(kWidth - kPanelWidth - 32 + 10, kBase - 50);  // left zone
    for (int frame = 0; frame < 200; ++frame) Draw();
    EXPECT_EQ(GraphScroll, 1000);
    PointAt(kWidth - 10, kBase - 50);  // right zone
    for (int frame = 0; frame < 200; ++frame) Draw();
    EXPECT_EQ(GraphScroll, 0);
}

TEST_F(ScoreTable, HoverSelectsWhileThereAndAClickPins) {
    Play({10, 30, 20});  // ranking: 30 (row 1), 20, 10; columns from the newest: 20, 30, 10
    const Scores* rowTwo = nullptr;

    PointAt(kPanelX + 20, RowY(2));
    Draw();
    ASSERT_NE(SelectedScore, nullptr);
    rowTwo = SelectedScore;
    EXPECT_EQ(rowTwo->Score, 20);
    PointerAway();
    Draw();
    EXPECT_EQ(SelectedScore, nullptr);  // hover alone does not stick
    EXPECT_EQ(PinnedEntry, 0);

    PointAt(kPanelX + 20, RowY(2), true);
    Draw();
    EXPECT_EQ(PinnedEntry, 1002);
    PointerAway();
    Draw();
    EXPECT_EQ(SelectedScore, rowTwo);  // pinned

    PointAt(ColumnX(3), kBase - 20);  // hovering a column wins over the pinned row
    Draw();
    ASSERT_NE(SelectedScore, nullptr);
    EXPECT_EQ(SelectedScore->Score, 10);
    PointAt(ColumnX(3), kBase - 20, true);
    Draw();
    EXPECT_EQ(PinnedEntry, 3);
    PointerAway();
    Draw();
    ASSERT_NE(SelectedScore, nullptr);
    EXPECT_EQ(SelectedScore->Score, 10);

    PinnedEntry = 999;  // names no column: nothing selected
    Draw();
    EXPECT_EQ(SelectedScore, nullptr);
}

TEST_F(ScoreTable, HoveringAGameThatIsPrunedSelectsNothing) {
    std::vector<int64_t> scores;
    for (int i = 1; i <= 60; ++i) scores.push_back(i);
    Play(scores);
    PointAt(ColumnX(51), kBase - 20, true);  // the 51st newest: unranked, deleted this frame
    Draw();
    EXPECT_EQ(SelectedScore, nullptr);
    EXPECT_EQ(LocalScores.size(), 50u);
}

TEST_F(ScoreTable, RowTextsAndBadgeBits) {
    EXPECT_EQ(RankingName(std::string(30, 'n')), std::string(24, 'n'));
    EXPECT_EQ(RankingName("short"), "short");
    const struct {
        int64_t score;
        std::string text;
    } scores[] = {{1234, "000000001234"},
                  {0, "000000000000"},
                  {999999999999, "999999999999"},
                  {1234567890123, "234567890123"},
                  {-5, "0000000000-5"}};
    for (const auto& c : scores) EXPECT_EQ(RankingScoreText(c.score), c.text) << c.score;

    const struct {
        int32_t value;
        int n;
        int set;
    } bits[] = {{5, 1, 1}, {5, 2, 0}, {5, 3, 1}, {INT32_MIN, 32, 1}, {-1, 0, 0}, {-1, 33, 0}};
    for (const auto& c : bits) EXPECT_EQ(BitIsSet(c.value, c.n), c.set) << c.value << " " << c.n;
}

TEST_F(ScoreTable, DetailBoxDrawsEarnedBadgesOnly) {
    // Sixteen 64 x 64 badge frames of pure colours: frame f is (16 f, 255, 0).
    Pixels strip;
    strip.width = 64 * 16;
    strip.height = 64;
    strip.argb.resize(static_cast<size_t>(strip.width * strip.height));
    for (int x = 0; x < strip.width; ++x)
        for (int y = 0; y < strip.height; ++y)
            WritePixelArgb(strip, x, y, 0xFF00FF00u | (static_cast<uint32_t>(x / 64 * 16) << 16));
    ASSERT_TRUE(SavePixelsAsPng(strip, "badges.png", 1));

    SelectDirect3D7Backend();
    ASSERT_TRUE(OpenDisplay(kWidth, kHeight, 0, 60));
    SetVirtualResolution(kWidth, kHeight);
    SetAutoCentreHandle(true);
    BadgeImages = LoadImageStrip("badges.png", 64, 64, 0, 16, 0);
    ASSERT_NE(BadgeImages, 0);

    Play({1234});
    LocalScores.front().Badges = 0b101;  // badges 1 and 3
    PinnedEntry = 1001;
    ClearScreen();
    Draw();
    ASSERT_NE(SelectedScore, nullptr);
    const Pixels screen = GrabScreenPixels(0, 0, kWidth, kHeight);
    auto green = [&](int x) { return (ReadPixelArgb(screen, x, kBase - 629 + 9) >> 8) & 255u; };
    auto red = [&](int x) { return (ReadPixelArgb(screen, x, kBase - 629 + 9) >> 16) & 255u; };
    EXPECT_EQ(green(kPanelX + 11 + 9), 255u);
    EXPECT_NEAR(red(kPanelX + 11 + 9), 0, 2);
    EXPECT_LT(green(kPanelX + 31 + 9), 200u);  // badge 2 not earned: the box shows through
    EXPECT_EQ(green(kPanelX + 51 + 9), 255u);
    EXPECT_NEAR(red(kPanelX + 51 + 9), 32, 2);
    BadgeImages = 0;
}

}  // namespace
