// Game objects, pop-ups and notices: the per-kind rules of one object and the per-frame ageing.
#include <gtest/gtest.h>

#include "app/state.h"
#include "game/objects.h"
#include "game/play.h"
#include "headless_fixture.h"
#include "platform/platform.h"

namespace {

class GameObjectsTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        VirtualWidth = 1280;
        VirtualHeight = 960;
        GameScore = 0;
    }
};

TEST_F(GameObjectsTest, PopupRisesThirtyPixelsFadingOverItsHundredTwentyFrames) {
    AwardPoints(75, 300, 200, 255, 255, 0);
    AwardPoints(2, 10, 10, 255, 255, 0);
    EXPECT_EQ(GameScore, 77);
    ASSERT_EQ(PointPopups.size(), 2u);
    const ore& first = PointPopups.front();
    EXPECT_EQ(first.n, 75);
    EXPECT_EQ(first.t, kPopupFrames);

    for (int frame = 1; frame < kPopupFrames; ++frame) DrawPointPopups();
    ASSERT_EQ(PointPopups.size(), 2u);
    EXPECT_EQ(PointPopups.front().t, 1);
    EXPECT_FLOAT_EQ(PointPopups.front().y, 200 - 29.75f);

    DrawPointPopups();  // the 120th drawing, fully transparent, is the last
    EXPECT_TRUE(PointPopups.empty());
}

TEST_F(GameObjectsTest, NoticeIsHighlightedFirstAndLeavesAfterHundredEightyFrames) {
    PostNotice("Saved Screenshot", 1);
    for (int frame = 1; frame < kNoticeFrames; ++frame) DrawNotices();
    PostNotice("later", 1);
    ASSERT_EQ(Notices.size(), 2u);
    EXPECT_EQ(Notices.front().tick, kNoticeFrames - 1);
    DrawNotices();
    ASSERT_EQ(Notices.size(), 1u);
    EXPECT_EQ(Notices.front().txt, "later");
    EXPECT_EQ(Notices.front().tick, 1);
}

TEST_F(GameObjectsTest, ThrownPlateGlidesUnderFrictionAndRests) {
    ect plate;
    plate.t = kPlate;
    plate.x = 100;
    plate.xs = 13;
    plate.ys = -1.2f;
    int x0 = 0, y0 = 0;
    int frames = 0;
    while ((plate.xs != 0 || plate.ys != 0) && frames < 100) {
        StepPlate(plate, x0, y0);
        ++frames;
    }
    EXPECT_EQ(frames, 26);  // 13, 12.5, ... 0.5
    EXPECT_FLOAT_EQ(plate.x, 100 + 175.5f);
    EXPECT_FLOAT_EQ(plate.y, -1.2f - 0.7f - 0.2f);  // friction stops at 0, never past it
    StepPlate(plate, x0, y0);
    EXPECT_EQ(x0, 275);
    EXPECT_FLOAT_EQ(plate.x, 275.5f);
}

TEST_F(GameObjectsTest, FrictionNeverCrossesZero) {
    const struct {
        float v, expected;
    } cases[] = {{13, 12.5f}, {0.3f, 0}, {0.5f, 0}, {0, 0}, {-0.2f, 0}, {-13, -12.5f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ApplyFriction(c.v), c.expected) << c.v;
}

TEST_F(GameObjectsTest, ObjectsLeaveBeyondTheMarginOrWhenFaded) {
    const struct {
        float x, y, health;
        bool leaves;
    } cases[] = {
        {-32, -32, 100, false},  {1312, 992, 100, false}, {-32.5f, 0, 100, true},
        {0, -33, 100, true},     {1312.5f, 0, 100, true}, {0, 993, 100, true},
        {500, 500, 1, false},    {500, 500, 0.9f, true},  {-500, 500, 100, true},
    };
    for (const auto& c : cases) {
        ect o;
        o.x = c.x;
        o.y = c.y;
        o.health = c.health;
        EXPECT_EQ(ObjectLeaves(o), c.leaves) << c.x << "," << c.y << " health " << c.health;
    }
}

// Bursts start with both counters at 8 and end when either passes 100.
TEST_F(GameObjectsTest, BurstsEndByMovingFarOffScreen) {
    const struct {
        int kind, minFrames, maxFrames;
    } cases[] = {{kIntruderBurst, 71, 84}, {kPickupBurst, 23, 30}};
    SeedRandom(12345);
    for (const auto& c : cases) {
        ect burst;
        burst.t = c.kind;
        burst.x = 400;
        burst.y = 300;
        burst.xs = burst.ys = 8;
        burst.health = 100;
        int frames = 0;
        while (!ObjectLeaves(burst) && frames < 200) {
            if (c.kind == kIntruderBurst) StepIntruderBurst(burst); else StepPickupBurst(burst);
            ++frames;
        }
        EXPECT_GE(frames, c.minFrames) << c.kind;
        EXPECT_LE(frames, c.maxFrames) << c.kind;
        EXPECT_EQ(burst.x, -500);
    }
}

// A pickup's wobble is left in the drawing state for the objects after it; only a burst's reset
// clears it.
TEST_F(GameObjectsTest, PickupRotationCarriesOverUntilABurst) {
    ect pickup, burst;
    pickup.t = kPickup;
    pickup.health = 100;
    burst.t = kPickupBurst;
    burst.xs = burst.ys = 8;
    burst.health = 100;
    SeedRandom(7);
    ObjectPrologue(pickup);
    StepPickup(pickup);
    ObjectEpilogue();
    EXPECT_NE(GetDrawRotation(), 0);
    EXPECT_GE(pickup.xs, 3);
    EXPECT_LE(pickup.xs, 6);
    ObjectPrologue(burst);
    StepPickupBurst(burst);
    EXPECT_EQ(GetDrawRotation(), 0);
    float sx = 0, sy = 0;
    GetDrawScale(sx, sy);
    EXPECT_FLOAT_EQ(sx, kSpriteScale);
}

}  // namespace
