// The title screen: the backdrop that follows the pointer, the sliding banner, the panel with the
// high-score and About tabs, the difficulty choice and the start area; home of every game.
#pragma once

#include <string>

constexpr int kTitleTabScores = 0;
constexpr int kTitleTabAbout = 2;
constexpr int kIntroSteps = 32;          // frames of the slide-in
constexpr float kBannerSlideStart = 32;  // the banner converges from here in steps of 0.5

// Settings menu offsets below this count as closed for starting a game.
constexpr int kStartBlockedFromSlide = -250;

// The state of the title loop, all of which survives games except the slide-in.
struct TitleRun {
    int tab = kTitleTabScores;
    int introStep = 0;                     // 0..32, drives every slide-in
    float bannerSlide = kBannerSlideStart;
    bool tabLatch = false;     // set by a tab change or a difficulty click until release
    bool startLatch = false;   // blocks starts and keyboard steps until the button is released
    bool buttonWasDown = false;  // the left button on the previous frame
    bool quitLatch = false;    // set after a game so a still-held Escape does not quit
    void (*playGame)() = nullptr;  // the game to play; PlayGame unless a test puts its own
};

// Where the title's parts sit for one intro step, in virtual units of the current display.
struct TitleLayout {
    int panelWidth = 0;  // 335, or 415 on displays under 900 pixels wide
    int panelX = 0;      // slides in from the right
    int stageX = 0;      // centre of the area left of the panel
    int drop = 0;        // how far the prompt and logo still are below rest (above for the list)
};
TitleLayout TitleLayoutFor(int introStep);

// Cleans the stored score-server credentials of characters that could break where they are sent.
std::string CleanCredential(std::string text);

// One frame of the title loop, ending in FramePresent. Returns true when the player quits.
bool RunTitleFrame(TitleRun& run);

// Runs the title loop until the player quits with Escape.
void TitleScreen();
