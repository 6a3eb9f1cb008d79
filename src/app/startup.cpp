// The start-up sequence of Main, the audio back-end choice and the About page's lines.
#include "app/startup.h"

#include <cctype>
#include <iterator>
#include <string>

#include "app/display.h"
#include "app/log.h"
#include "app/settings_file.h"
#include "app/shutdown.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/game_assets.h"
#include "input/controls.h"
#include "platform/platform.h"
#include "scores/scramble.h"
#include "screens/title.h"

namespace {

// ---- The About page, lines 1-37 ----------------------------------------------------------------
// The maker's and partner's addresses are placeholders on reserved hosts; the font lines name the
// fonts shipped in assets/fonts. Lines stay short enough for the About panel on small displays.
const char* const kAboutLines[] = {
    "A Game by Orrinvale",
    "hearthside.example | orrinvale.example",
    "",
    "-=-=--=-=-=-=-=-=-=-=-",
    "Instructions",
    "",
    "Grab the plates with",
    "the power of your mind,",
    "then throw them towards",
    "the pickups to.. somehow..",
    "collect them..?",
    "..",
    ".. or something...",
    " ",
    "I'll be honest,",
    "the logic isn't all there!",
    "-=-=--=-=-=-=-=-=-=-=-",
    "",
    "Credits",
    "",
    "Game",
    "Made with C++/SDL2/OpenAL/libpng/FreeType",
    "using Orrinvale's Framework",
    "",
    "Graphics",
    "Font : Quicksand by Andrew Paglinawan",
    "Font : Comfortaa by Johan Aakerlund",
    "Font : Roboto Condensed by Christian Robertson",
    "Font : Engadget by John Stracke",
    "All other graphics by Orrinvale",
    "",
    "Music/SFX by Orrinvale",
    "",
    "Additional Sound Effects",
    "created using",
    "assetgen by Orrinvale",
    "tools/assetgen in the source",
};
static_assert(std::size(kAboutLines) == 37);

constexpr const char* kRule = "----------------------------";

// Whether the start of name, upper-cased, is prefix.
bool StartsWithUpper(const std::string& name, const std::string& prefix) {
    if (name.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != prefix[i]) return false;
    return true;
}

void WriteBanner() {
    WriteLog("Orrinvale's Tallyhall Engine");
    WriteLog(kRule);
    WriteLog("Week #" + std::to_string(WeekNumber));
    WriteLog(kRule);
    WriteLog(WindowTitle);
    WriteLog(kRule);
    WriteLog("");
    WriteLog("Loading");
}

}  // namespace

void FillAboutLines() {
    AboutLines[0].clear();
    for (size_t i = 0; i < std::size(kAboutLines); ++i) AboutLines[i + 1] = kAboutLines[i];
}

void ChooseAudioDriver() {
    if (AudioDriverLineSeen == 0) {
        bool found = false;
        for (size_t i = 0; i < AudioDrivers.size(); ++i) {
            const std::string& name = AudioDrivers[i];
            if (StartsWithUpper(name, "OPENAL") && !found) {
                Settings[AudioDriverIndex] = int(i);
                found = true;
            }
            if (StartsWithUpper(name, "FREE") && !found) {
                Settings[AudioDriverIndex] = int(i);
                found = true;
            }
            if (StartsWithUpper(name, "DIRECT")) {
                Settings[AudioDriverIndex] = int(i);
                found = true;
            }
        }
    }
    WriteLog("Setting Audio Driver");
    const int index = Settings[AudioDriverIndex];
    // An index from Setup.ini may point past the list; then no driver is selected.
    const std::string name =
        index >= 0 && index < int(AudioDrivers.size()) ? AudioDrivers[index] : std::string();
    if (!name.empty() && AudioDriverExists(name)) {
        if (!StartsWithUpper(name, "OPENAL") || OpenALAvailable()) SelectAudioDriver(name);
    }
    WriteLog("Set Audio Driver");
    WriteLog("");
}

void Main() {
    SetApplicationTitle(WindowTitle);

    ResetDrawTables();
    FillAboutLines();

    HidePointer();
    LastFrameEnd = Millis();

    DrawBudgets[kCountImages] = kDefaultDrawBudget;
    DrawBudgets[kCountGlow] = kDefaultDrawBudget;
    SetDefaultSettings();

    ProbeJoysticks();
    DisableAutoCollect();
    SetDefaultBindings();
    BuildDefaultKey();

    ChangeFolder("Files/");
    OpenLog();
    WriteBanner();

    AudioDrivers = ListAudioDrivers();
    LoadSetup();
    ChooseAudioDriver();
    WriteLog("\tRequested Resolution : " + std::to_string(Settings[Width]) + "x" +
             std::to_string(Settings[Height]));
    for (const char* line : {"\tSetup Loaded", "", "Grabbing Previous Scores", ""}) WriteLog(line);

    ChangeFolder(GameFolder());
    LoadingDeadline = Millis() + kLoadingMinimumMs;
    DisplaySetup();

    MouseDriven = 1;
    BadgeCount = 16;
    PauseState = 0;
    WriteLog("Finished Loading");

    InitPalette();
    InitPalette();
    StepPalette(1024);
    while (Millis() < LoadingDeadline) Sleep(1);

    TitleScreen();
    Shutdown();
}
