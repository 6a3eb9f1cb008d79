// The title loop: every frame draws the backdrop layers, banner, panel with its tab, hints, start
// prompt, difficulty list and logo, and acts on the latched mouse and keys; a game is played from
// inside a frame and the screen slides in again after it.
#include "screens/title.h"

#include <iterator>
#include <string>

#include "app/assets.h"
#include "app/state.h"
#include "audio/sfx.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "game/play.h"
#include "input/controls.h"
#include "platform/platform.h"
#include "scores/score_table.h"
#include "scores/scores.h"
#include "screens/settings_menu.h"

namespace {

constexpr int kTitleSfx = 98;
constexpr float kRateTabChange = 2.0f;
constexpr float kRateStart = 1.5f;
constexpr float kRateDifficultyClick = 1.0f;
constexpr float kRateStepUp = 0.95f;
constexpr float kRateStepDown = 1.05f;

constexpr int kPanelWidth = 335;
constexpr int kPanelWidthSmall = 415;  // small displays get a wider panel for their larger fonts
constexpr int kSmallDisplayWidth = 900;
constexpr int kSlideDistance = 800;    // units still to go at intro step 0
constexpr int kSlidePerStep = 25;
constexpr float kBannerStep = 0.5f;
constexpr int kDifficulties = 3;
constexpr float kLayerScale = 24;

constexpr int kKey1 = 49, kKey2 = 50, kKey3 = 51;
constexpr int kKeyF1 = 112, kKeyF2 = 113, kKeyF3 = 114;
// The default resolution's width: the settings hint blinks while it is requested.
constexpr int kDefaultWidth = 800;
constexpr int kBlinkPeriodMs = 800;

// Characters the credentials lose, in this order.
constexpr char kCredentialCharacters[] = "*\"'-+&?{}[]~#\\/:;";

int Int(float value) { return int(value); }

void PlayTitleSfx(float rate) { PlaySfx(kTitleSfx, rate, 1.0f, 0); }

// The three backdrop layers, each a crisp copy under a soft one; nearer layers follow the pointer
// more, and the intro step still to go pushes them off screen.
void DrawBackdropLayers(int introStep) {
    const int w = VirtualWidth, h = VirtualHeight;
    SetScale(kLayerScale);
    const float ox = float(w - MouseX()), oy = float(h - MouseY());
    const int togo = kIntroSteps - introStep;
    const struct {
        int frame, x, y;
    } layers[] = {
        {0, Int(ox / 256 + w / 2 - 32 * 24), Int(oy / 150 + h / 2 - 32 * 24 - togo * 50)},
        {2, Int(ox / 100 + w / 2 - 29 * 24), Int(oy / 50 + h - 54 * 24 + togo * 64)},
        {1, Int(ox / 32 + w / 2 - 32 * 24), Int(oy / 20 + h / 2 - 28 * 24 + togo * 50)},
    };
    for (const auto& layer : layers) {
        SetColour(255, 255, 255, 1);
        DrawSprite(MenuStripSharp, layer.x, layer.y, layer.frame);
        SetColour(255, 255, 255, 0.4f);
        DrawSprite(MenuStrip, layer.x, layer.y, layer.frame);
    }
}

void CleanCredentials() {
    StoredUser = CleanCredential(StoredUser);
    StoredPassword = CleanCredential(StoredPassword);
}

void AdvanceIntro(TitleRun& run) {
    if (run.introStep < kIntroSteps) run.introStep += 1;
    if (run.bannerSlide != 0) {
        run.bannerSlide -= kBannerStep;
        if (run.bannerSlide < -kBannerSlideStart) run.bannerSlide = kBannerSlideStart;
    }
}

void DrawPanel(const TitleRun& run, const TitleLayout& at) {
    const int h = VirtualHeight;
    SetColour(0, 0, 0, 0.5f);
    DrawFilledRect(float(at.panelX), 5, float(at.panelWidth), float(h - 10));
    SetColour(255, 255, 255, 0.3f);
    DrawFilledRect(float(at.panelX), 5, float(at.panelWidth), 35);

    SetFont(1, 2);
    const struct {
        int tab;
        const char* label;
        float at;
    } tabs[] = {{kTitleTabScores, "1.Hiscore", 0.2f}, {kTitleTabAbout, "3.About", 0.8f}};
    for (const auto& t : tabs) {
        if (t.tab == run.tab)
            SetColour(255, 255, 255, 1);
        else
            SetColour(0, 0, 0, 1);
        DrawTextAligned(Int(float(at.panelWidth) * t.at + float(at.panelX)), 23, t.label,
                        kAlignCentre, kAlignCentre);
    }
}

void ChangeTab(TitleRun& run, const TitleLayout& at) {
    const bool button = MouseIsDown(1);
    const int hitWidth = Int(float(at.panelWidth) * 0.3f);
    int wanted = -1;
    if (KeyIsDown(kKey1) || KeyIsDown(kKeyF1) ||
        (MouseOver(at.panelX, 5, hitWidth, 50) && button))
        wanted = kTitleTabScores;
    else if (KeyIsDown(kKey3) || KeyIsDown(kKeyF3) ||
             (MouseOver(Int(float(at.panelWidth) * 0.66f + float(at.panelX)), 5, hitWidth, 50) &&
              button))
        wanted = kTitleTabAbout;
    if (wanted < 0 || run.tabLatch) return;
    run.tab = wanted;
    PlayTitleSfx(kRateTabChange);
    run.tabLatch = true;
}

void DrawTabPage(const TitleRun& run, const TitleLayout& at) {
    SetColour(255, 255, 255, 1);
    SetFont(1, 7);
    const int centre = at.panelX + at.panelWidth / 2;
    if (run.tab == kTitleTabScores) {
        BackdropTarget[0] = 0.2f;
        BackdropTarget[1] = 0.0f;
        BackdropTarget[2] = 1.0f;
        DrawTextAligned(centre, 50, "Hiscores", kAlignCentre, kAlignStart);
    } else if (run.tab == kTitleTabAbout) {
        DrawTextAligned(centre, 50, "About", kAlignCentre, kAlignStart);
        SetFont(1, 2);
        BackdropTarget[0] = 0.0f;
        BackdropTarget[1] = 0.2f;
        BackdropTarget[2] = 1.0f;
        for (int i = 1; i < int(std::size(AboutLines)); ++i)
            if (!AboutLines[i].empty())
                DrawTextAligned(centre, 115 + 20 * (i - 1), AboutLines[i], kAlignCentre,
                                kAlignStart);
    }
}

void DrawHints() {
    const bool small = DisplayWidth < kSmallDisplayWidth;
    ResetDrawState();
    SetColour(255, 255, 255);
    SetFont(2, small ? 4 : 3);
    if (Settings[Width] == kDefaultWidth && Milliseconds() % kBlinkPeriodMs < kBlinkPeriodMs / 2)
        SetColour(255, 255, 0);
    DrawTextAligned(4, 4, "Hit [Tab] for settings", kAlignStart, kAlignStart);
    SetColour(180, 255, 180);
    SetFont(2, small ? 3 : 2);
    DrawTextAligned(4, 35, "Redefine Controls", kAlignStart, kAlignStart);
    DrawTextAligned(4, 55, "Audio Options", kAlignStart, kAlignStart);
    DrawTextAligned(4, 75, "and Hi-Def gaming!", kAlignStart, kAlignStart);
}

void PlayFromTitle(TitleRun& run) {
    PlayTitleSfx(kRateStart);
    PauseState = 1;
    (run.playGame ? run.playGame : PlayGame)();
    PauseState = 0;
    run.quitLatch = true;
    run.startLatch = true;
    run.introStep = 0;
    GraphScroll = 0;
    PinnedEntry = 0;
    run.bannerSlide = kBannerSlideStart;
}

// The start prompt; a game starts when the button was down on the previous frame and the pointer
// is over the area now, unless the settings menu is out or a latch is still held.
void StartArea(TitleRun& run, const TitleLayout& at) {
    const int h = VirtualHeight;
    SetColour(255, 150, 150, 1);
    if (MouseOver(at.stageX - 400, h / 2 - kSlidePerStep * run.introStep + 660, 600, 280)) {
        SetColour(255, 255, 255, 1);
        if (run.buttonWasDown && !run.startLatch && SettingsSlide < kStartBlockedFromSlide)
            PlayFromTitle(run);
    }
    SelectFont(Fonts[7]);
    DrawTextAligned(at.stageX, h / 2 + at.drop, "Click Here to Start", kAlignCentre, kAlignCentre);
    run.buttonWasDown = MouseIsDown(1);
    if (!run.buttonWasDown) run.startLatch = false;
}

void DifficultyList(TitleRun& run, const TitleLayout& at) {
    static const char* const kLabels[kDifficulties] = {"Easy", "Medium", "Hard"};
    SetFont(2, 6);
    for (int k = 0; k < kDifficulties; ++k) {
        const int x = at.stageX - 100, y = VirtualHeight / 2 + 200 + 50 * k - at.drop;
        SetColour(255, 255, 255, Difficulty == k ? 1.0f : 0.5f);
        DrawTextAligned(x, y, kLabels[k], kAlignStart, kAlignStart);
        if (MouseOver(x, y, 200, 40) && MouseIsDown(1) && !run.tabLatch) {
            Difficulty = k;
            PlayTitleSfx(kRateDifficultyClick);
            run.tabLatch = true;
        }
    }
}

// A held control steps once a frame: the start latch it sets is cleared again by StartArea on
// every frame the left button is up.
void KeyboardDifficulty(TitleRun& run) {
    if (!run.startLatch && (ControlDown(kControlUp, 1) || ControlDown(kControlUp, 2))) {
        run.startLatch = true;
        Difficulty = Difficulty <= 0 || Difficulty >= kDifficulties ? kDifficulties - 1
                                                                     : Difficulty - 1;
        PlayTitleSfx(kRateStepUp);
    }
    if (!run.startLatch && (ControlDown(kControlDown, 1) || ControlDown(kControlDown, 2))) {
        run.startLatch = true;
        Difficulty = Difficulty < 0 || Difficulty >= kDifficulties - 1 ? 0 : Difficulty + 1;
        PlayTitleSfx(kRateStepDown);
    }
}

void ReleaseTabLatch(TitleRun& run) {
    if (MouseIsDown(1)) return;
    for (int key : {kKey1, kKey2, kKey3, kKeyF1, kKeyF2, kKeyF3})
        if (KeyIsDown(key)) return;
    run.tabLatch = false;
}

void DrawLogo(const TitleLayout& at) {
    SelectFont(Fonts[5]);
    SetColour(255, 255, 255, 1);
    DrawImageFrame(TitleLogo, float(at.stageX),
                   float(VirtualHeight / 2 - ImageHeight(TitleLogo) / 2 + at.drop), 0);
}

}  // namespace

TitleLayout TitleLayoutFor(int introStep) {
    TitleLayout at;
    at.panelWidth = DisplayWidth < kSmallDisplayWidth ? kPanelWidthSmall : kPanelWidth;
    at.drop = kSlideDistance - kSlidePerStep * introStep;
    at.panelX = VirtualWidth - (at.panelWidth + 5) + at.drop;
    at.stageX = (VirtualWidth - at.panelWidth) / 2;
    return at;
}

std::string CleanCredential(std::string text) {
    for (const char* c = kCredentialCharacters; *c != 0; ++c)
        for (char& ch : text)
            if (ch == *c) ch = '_';
    return text;
}

bool RunTitleFrame(TitleRun& run) {
    BeginFrame();
    ResetDrawState();
    DrawBackground();
    DrawBackdropLayers(run.introStep);
    ResetDrawState();
    CleanCredentials();
    AdvanceIntro(run);
    const TitleLayout at = TitleLayoutFor(run.introStep);

    SetFont(1, 5);
    DrawBanner(float(VirtualWidth / 2 - 180), float(VirtualHeight) * 0.6f, "Crockery Drift",
               run.bannerSlide, 2, 24, 15, 0, 0.75f);
    DrawPanel(run, at);
    ChangeTab(run, at);
    SetColour(255, 255, 255, 1);
    DrawScoreTable(at.panelX, at.panelWidth, Difficulty, 0, 0, run.tab == kTitleTabScores ? 1 : 0);
    DrawTabPage(run, at);
    DrawHints();
    StartArea(run, at);
    DifficultyList(run, at);
    KeyboardDifficulty(run);
    ReleaseTabLatch(run);
    DrawLogo(at);
    FramePresent(1);

    if (!KeyIsDown(kKeyEscape)) run.quitLatch = false;
    return !run.quitLatch && KeyIsDown(kKeyEscape);
}

void TitleScreen() {
    TitleRun run;
    while (!RunTitleFrame(run)) {
    }
}
