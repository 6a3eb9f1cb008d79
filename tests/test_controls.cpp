// Control bindings against scripted keys and joysticks: the joystick probe, the binding-code
// table (keys, axis directions about their rest, hat ranges, buttons, dead or disabled ports)
// and the any-input scan.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "input/controls.h"
#include "platform/headless/headless.h"

namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyUp = 38;
constexpr int kKeyA = 65;
constexpr int kKeyZ = 90;
constexpr int kKeyF11 = 122;
constexpr int kKeyF12 = 123;
constexpr int kPort0 = 300;  // first code of port 0
constexpr int kPort1 = 350;

plat::JoystickReading Stick(const char* name = "Pad", uint32_t buttonMask = 0xFFFFF) {
    plat::JoystickReading stick;
    stick.name = name;
    stick.buttonMask = buttonMask;
    return stick;
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Install();
        SetDefaultBindings();
        ProbeJoysticks();
    }
    // Attaches the sticks as they read at start-up, probes them, then leaves them as they are
    // until a test moves them with Move.
    void Probe(std::vector<plat::JoystickReading> atStart) {
        sticks = std::move(atStart);
        headless::SetJoysticks(sticks);
        ProbeJoysticks();
    }
    void Move(int port, int axis, float reading) {
        sticks[port].axis[axis] = reading;
        headless::SetJoysticks(sticks);
    }
    void Hold(int port, uint32_t buttons) {
        sticks[port].buttons = buttons;
        headless::SetJoysticks(sticks);
    }
    // Which codes of one port's 50 are held now.
    std::vector<int> HeldInputs(int base) {
        std::vector<int> held;
        for (int input = 0; input < 50; ++input)
            if (BindingDown(base + input)) held.push_back(input);
        return held;
    }
    std::vector<plat::JoystickReading> sticks;
};

using Inputs = std::vector<int>;

TEST_F(Controls, ProbeTakesAtMostFourPortsWithTheirRestReadings) {
    std::vector<plat::JoystickReading> five(5, Stick());
    for (int i = 0; i < 5; ++i) {
        five[i].name = "Pad " + std::to_string(i);
        five[i].buttonMask = 1u << i;
        for (int axis = 0; axis < 6; ++axis) five[i].axis[axis] = 0.01f * (i * 10 + axis + 1);
    }
    five[1].axis[kAxisHat] = 0;  // not centred at start: no hat
    Probe(five);

    EXPECT_EQ(JoystickPortCount, 4);
    for (int entry = 1; entry <= 4; ++entry) {
        const JoystickPort& p = JoystickPorts[entry];
        const plat::JoystickReading& s = five[entry - 1];
        SCOPED_TRACE(entry);
        EXPECT_EQ(p.enabled, 1);
        EXPECT_EQ(p.name, s.name);
        EXPECT_EQ(p.buttonMask, s.buttonMask);
        EXPECT_EQ(p.restX, s.axis[kAxisX]);
        EXPECT_EQ(p.restY, s.axis[kAxisY]);
        EXPECT_EQ(p.restZ, s.axis[kAxisZ]);
        EXPECT_EQ(p.restR, s.axis[kAxisR]);
        EXPECT_EQ(p.restU, s.axis[kAxisU]);
        EXPECT_EQ(p.restV, s.axis[kAxisV]);
        EXPECT_EQ(p.hatPresent, entry == 2 ? 0 : 1);
    }
}

TEST_F(Controls, HatPresentOnlyWhenItReadsExactlyCentred) {
    const float kStartReadings[] = {-1.0f, -0.999f, 0.0f, 0.5f};
    const int kPresent[] = {1, 0, 0, 0};
    std::vector<plat::JoystickReading> sticksAtStart(4, Stick());
    for (int i = 0; i < 4; ++i) sticksAtStart[i].axis[kAxisHat] = kStartReadings[i];
    Probe(sticksAtStart);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(JoystickPorts[i + 1].hatPresent, kPresent[i]) << i;
}

TEST_F(Controls, ProbeWithoutJoysticksClearsEveryPort) {
    Probe({Stick(), Stick()});
    Probe({});
    EXPECT_EQ(JoystickPortCount, 0);
    for (const JoystickPort& p : JoystickPorts) EXPECT_EQ(p.enabled, 0);
}

TEST_F(Controls, DefaultBindingsFollowPlayerOneKeysOnly) {
    const int kDefaults[][2] = {{kControlUp, 38},      {kControlLeft, 37},    {kControlRight, 39},
                                {kControlDown, 40},    {kControlAction1, 90}, {kControlAction2, 88},
                                {kControlAction3, 67}, {kControlAction4, 86}};
    int bound = 0;
    for (int code : Bindings) bound += code != 0;
    EXPECT_EQ(bound, 8);
    for (const auto& d : kDefaults) {
        EXPECT_EQ(Bindings[d[0]], d[1]);
        headless::SetKey(d[1], true);
        EXPECT_EQ(ControlDown(d[0], 1), 1) << d[0];
        for (int player = 2; player <= 4; ++player) EXPECT_EQ(ControlDown(d[0], player), 0);
        headless::SetKey(d[1], false);
        EXPECT_EQ(ControlDown(d[0], 1), 0) << d[0];
    }
}

TEST_F(Controls, KeyCodesOutsideTheKeyRangeAreNeverHeld) {
    for (int key = 1; key <= 255; ++key) headless::SetKey(key, true);
    EXPECT_EQ(BindingDown(0), 0);
    EXPECT_EQ(BindingDown(kKeyTab), 0);
    EXPECT_EQ(BindingDown(1), 0);
    EXPECT_EQ(BindingDown(10), 1);
    EXPECT_EQ(BindingDown(254), 1);
    for (int code = 255; code < 300; ++code) EXPECT_EQ(BindingDown(code), 0) << code;
    EXPECT_EQ(BindingDown(-38), 0);
    EXPECT_EQ(BindingDown(INT_MIN), 0);
}

// Each axis moved alone, well past its dead zone, holds exactly its own direction.
TEST_F(Controls, AxisInputsFollowTheirAxisInTableOrder) {
    struct AxisCase {
        int axis;
        int below;  // input held below rest - 0.3; the one above is below + 1
    };
    const AxisCase kAxes[] = {{kAxisY, 0}, {kAxisX, 2}, {kAxisZ, 4},
                              {kAxisU, 6}, {kAxisV, 8}, {kAxisR, 10}};
    Probe({Stick()});
    for (const AxisCase& a : kAxes) {
        SCOPED_TRACE(a.axis);
        Move(0, a.axis, -0.9f);
        EXPECT_EQ(HeldInputs(kPort0), Inputs{a.below});
        Move(0, a.axis, 0.9f);
        EXPECT_EQ(HeldInputs(kPort0), Inputs{a.below + 1});
        Move(0, a.axis, 0);
        EXPECT_EQ(HeldInputs(kPort0), Inputs{});
    }
}

TEST_F(Controls, AxisDirectionsAreStrictAboutAnOffCentreRest) {
    struct OffsetCase {
        float reading;
        Inputs held;
    };
    const OffsetCase kCases[] = {
        {0.1f, {}}, {0.4f, {}}, {0.41f, {3}}, {1.0f, {3}}, {-0.2f, {}}, {-0.21f, {2}}, {-1.0f, {2}},
    };
    plat::JoystickReading atStart = Stick();
    atStart.axis[kAxisX] = 0.1f;
    Probe({atStart});
    for (const OffsetCase& c : kCases) {
        Move(0, kAxisX, c.reading);
        EXPECT_EQ(HeldInputs(kPort0), c.held) << c.reading;
    }
}

TEST_F(Controls, HatRangesOverlapOnDiagonals) {
    constexpr int kUp = 20, kLeft = 23, kRight = 25, kDown = 28;
    struct HatCase {
        float reading;
        Inputs held;  // in increasing input order
    };
    const HatCase kCases[] = {
        {-1.0f, {}},          {0.0f, {kUp}},           {0.1f, {kUp}},
        {0.125f, {kUp, kRight}}, {0.25f, {kRight}},    {0.35f, {kRight, kDown}},
        {0.5f, {kDown}},      {0.65f, {kLeft, kDown}}, {0.75f, {kLeft}},
        {0.85f, {kUp, kLeft}}, {0.9f, {kUp}},          {0.99f, {kUp}},
        {-0.5f, {}},
    };
    Probe({Stick()});
    for (const HatCase& c : kCases) {
        Move(0, kAxisHat, c.reading);
        EXPECT_EQ(HeldInputs(kPort0), c.held) << c.reading;
    }
}

TEST_F(Controls, HatIsIgnoredWhenItWasNotCentredAtStart) {
    plat::JoystickReading atStart = Stick();
    atStart.axis[kAxisHat] = 0.5f;
    Probe({atStart});
    for (float reading : {0.0f, 0.25f, 0.5f, 0.75f}) {
        Move(0, kAxisHat, reading);
        EXPECT_EQ(HeldInputs(kPort0), Inputs{}) << reading;
    }
}

TEST_F(Controls, ButtonsZeroToNineteenAndNothingElse) {
    Probe({Stick()});
    Hold(0, 0xFFFFFFFFu);
    Inputs buttons;
    for (int b = 0; b < 20; ++b) buttons.push_back(30 + b);
    EXPECT_EQ(HeldInputs(kPort0), buttons);  // unassigned inputs 12-19, 21, 22, ... stay quiet
    Hold(0, 1u << 19);
    EXPECT_EQ(BindingDown(349), 1);
    EXPECT_EQ(BindingDown(348), 0);
}

TEST_F(Controls, UnprobedOrDisabledPortsAreNeverHeld) {
    Probe({Stick()});
    Hold(0, 0xFFFFFFFFu);
    Move(0, kAxisX, 1.0f);
    // An entry beyond the probed count must stay out of reach even if something marked it.
    JoystickPorts[2].enabled = 1;
    EXPECT_EQ(HeldInputs(kPort1), Inputs{});
    for (int code : {500, 549, 10000, INT_MAX}) EXPECT_EQ(BindingDown(code), 0) << code;

    JoystickPorts[1].enabled = 0;
    EXPECT_EQ(HeldInputs(kPort0), Inputs{});
    Bindings[kControlUp] = kPort0 + 30;
    EXPECT_EQ(ControlDown(kControlUp, 1), 0);
    JoystickPorts[1].enabled = 1;
    EXPECT_EQ(ControlDown(kControlUp, 1), 1);
}

TEST_F(Controls, SecondPortCodesReadTheSecondJoystick) {
    Probe({Stick(), Stick()});
    Move(1, kAxisY, -1.0f);
    Hold(1, 1u << 2);
    EXPECT_EQ(HeldInputs(kPort0), Inputs{});
    EXPECT_EQ(HeldInputs(kPort1), (Inputs{0, 32}));
}

TEST_F(Controls, ScanSkipsScreenshotAndOverlayKeysAndPrefersLowKeys) {
    headless::SetKey(kKeyZ, true);
    headless::SetKey(kKeyF12, true);
    EXPECT_EQ(ScanAnyInput(), 0);
    headless::SetKey(kKeyF12, false);
    headless::SetKey(kKeyF11, true);
    EXPECT_EQ(ScanAnyInput(), 0);
    headless::SetKey(kKeyF11, false);
    EXPECT_EQ(ScanAnyInput(), kKeyZ);
    headless::SetKey(kKeyA, true);
    EXPECT_EQ(ScanAnyInput(), kKeyA);
}

TEST_F(Controls, ScanPrefersKeysThenPortsThenAxesHatButtons) {
    Probe({Stick(), Stick()});
    EXPECT_EQ(ScanAnyInput(), 0);
    Hold(1, 1u << 4);
    EXPECT_EQ(ScanAnyInput(), kPort1 + 34);
    Hold(0, 1u << 3);
    EXPECT_EQ(ScanAnyInput(), kPort0 + 33);
    Move(0, kAxisHat, 0.75f);
    EXPECT_EQ(ScanAnyInput(), kPort0 + 23);
    Move(0, kAxisR, 0.9f);
    EXPECT_EQ(ScanAnyInput(), kPort0 + 11);
    Move(0, kAxisX, -0.9f);
    EXPECT_EQ(ScanAnyInput(), kPort0 + 2);
    Move(0, kAxisY, 0.9f);
    EXPECT_EQ(ScanAnyInput(), kPort0 + 1);
    headless::SetKey(kKeyUp, true);
    EXPECT_EQ(ScanAnyInput(), kKeyUp);
    headless::SetKey(kKeyUp, false);
    JoystickPorts[1].enabled = 0;
    EXPECT_EQ(ScanAnyInput(), kPort1 + 34);
}

TEST_F(Controls, ScanTakesOnlyPureHatDirectionsAndButtonsUpToEighteen) {
    struct ScanCase {
        float hat;
        uint32_t buttons;
        uint32_t buttonMask;
        int code;
    };
    const ScanCase kCases[] = {
        {0.0f, 0, 0xFFFFF, kPort0 + 20},
        {0.25f, 0, 0xFFFFF, kPort0 + 25},
        {0.5f, 0, 0xFFFFF, kPort0 + 28},
        {0.125f, 0, 0xFFFFF, 0},          // a diagonal is held but never captured
        {-1.0f, 1u << 18, 0xFFFFF, kPort0 + 48},
        {-1.0f, 1u << 19, 0xFFFFF, 0},    // button 19 is beyond the scan
        {-1.0f, 1u << 4, 0xF, 0},         // a four-button pad has no button 4
        {-1.0f, 1u << 3, 0xF0, kPort0 + 33},  // the count of buttons, not their bits, bounds it
    };
    for (const ScanCase& c : kCases) {
        Probe({Stick("Pad", c.buttonMask)});
        Move(0, kAxisHat, c.hat);
        Hold(0, c.buttons);
        EXPECT_EQ(ScanAnyInput(), c.code) << c.hat << " " << c.buttons;
    }
}

}  // namespace
