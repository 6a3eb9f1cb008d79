// Whole runs of the real executable on a private X server, driven by real pointer and key input
// (xdotool) and watched through grabs of the screen: a first start quit from the title, a whole
// game ending in a name on the high scores, the F11 screenshot, the fallback after a start that
// died while loading, and the window closed while loading, in a game and at the name prompt.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/state.h"
#include "platform/platform.h"
#include "process_helpers.h"
#include "scores/scores.h"
#include "scores/scramble.h"

// Last: it brings Xlib's macros with common names (None, True, Status, ...).
#include "x11_screen.h"

namespace {

namespace fs = std::filesystem;
using testproc::ReadFile;
using x11screen::FindWindowRect;
using x11screen::GrabRoot;
using x11screen::SendCloseRequest;
using x11screen::WindowRect;

// ---------------------------------------------------------------------------------------------
// Looking at a picture the way a person would: is there anything on it, is a text of a known
// colour showing somewhere, did it change.

// A part of the picture in fractions of its size.
struct Area {
    double left = 0, top = 0, right = 1, bottom = 1;
};

struct Rgb {
    int r, g, b;
};

// Colours of texts the screens draw, as the screens set them.
constexpr Rgb kStartPrompt = {255, 150, 150};   // "Click Here to Start", pointer elsewhere
constexpr Rgb kNameTitle = {0, 255, 0};         // "Enter Your Name"
constexpr Rgb kThanksTitle = {180, 255, 255};   // "Thanks for Playing"
constexpr Rgb kHighlight = {255, 255, 0};       // the pause menu's chosen item
// The pause menu's two items, one under the other on its panel.
constexpr Area kFirstItem = {0.05, 0.43, 0.35, 0.49};
constexpr Area kSecondItem = {0.05, 0.5, 0.35, 0.56};
constexpr int kColourTolerance = 24;            // per channel
constexpr int kTextPixels = 40;                 // enough matching pixels to be a text, not a speck
// The band the start prompt rests in once the title has slid in.
constexpr Area kPromptArea = {0, 0.45, 0.6, 0.55};

Pixels Crop(const Pixels& from, const WindowRect& r) {
    Pixels out;
    if (r.width <= 0 || r.height <= 0) return out;
    out.width = r.width;
    out.height = r.height;
    out.argb.assign(size_t(r.width) * size_t(r.height), 0xFF000000u);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            out.argb[size_t(y) * size_t(r.width) + size_t(x)] = ReadPixelArgb(from, r.x + x, r.y + y);
    return out;
}

int CountColour(const Pixels& p, Rgb c, Area a = {}) {
    int count = 0;
    for (int y = int(a.top * p.height); y < int(a.bottom * p.height); ++y)
        for (int x = int(a.left * p.width); x < int(a.right * p.width); ++x) {
            const uint32_t v = p.argb[size_t(y) * size_t(p.width) + size_t(x)];
            if (std::abs(int(v >> 16 & 0xFF) - c.r) <= kColourTolerance &&
                std::abs(int(v >> 8 & 0xFF) - c.g) <= kColourTolerance &&
                std::abs(int(v & 0xFF) - c.b) <= kColourTolerance)
                ++count;
        }
    return count;
}

bool ShowsText(const Pixels& p, Rgb c, Area a = {}) { return CountColour(p, c, a) >= kTextPixels; }

// Share of pixels that are not near black: a screen that drew nothing stays at 0.
double LitShare(const Pixels& p) {
    if (p.argb.empty()) return 0;
    size_t lit = 0;
    for (uint32_t v : p.argb)
        if ((v >> 16 & 0xFF) + (v >> 8 & 0xFF) + (v & 0xFF) > 3 * 24) ++lit;
    return double(lit) / double(p.argb.size());
}

// Mean absolute difference per channel, 0-255; pictures of different sizes count as all changed.
double Difference(const Pixels& a, const Pixels& b) {
    if (a.argb.empty() || a.argb.size() != b.argb.size()) return 255;
    double sum = 0;
    for (size_t i = 0; i < a.argb.size(); ++i)
        for (int shift : {0, 8, 16})
            sum += std::abs(int(a.argb[i] >> shift & 0xFF) - int(b.argb[i] >> shift & 0xFF));
    return sum / (3.0 * double(a.argb.size()));
}

// ---------------------------------------------------------------------------------------------

// Generous, for llvmpipe on a loaded machine; the waits poll and return as soon as they can.
constexpr double kStartSeconds = 90;
constexpr double kStepSeconds = 45;
constexpr double kKeyHoldSeconds = 0.25;  // several frames, so a held-key check sees it
constexpr int kFirstDisplay = 151;
constexpr const char* kGameLog = "Files/Debug.txt";
// The name typed after a game, as its score record keeps it: one byte per character.
constexpr const char* kTypedName = "Zo\xEB Tester";
constexpr const char* kSmallSetup =
    "[Graphics]\r\nFullscreen = False\r\nGFX Engine = DX7\r\nWidth=800\r\nHeight=600\r\n";

std::string ToLower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef CD_GAME_DIR
        GTEST_SKIP() << "no game folder configured";
#else
        const fs::path built = CD_GAME_DIR;
        if (!testproc::OnPath("Xvfb") || !testproc::OnPath("xdotool"))
            GTEST_SKIP() << "Xvfb or xdotool is not installed (make bootstrap installs both)";
        if (!fs::exists(built / "crockery-drift")) GTEST_SKIP() << "the game is not built";

        const std::string name =
            ToLower(::testing::UnitTest::GetInstance()->current_test_info()->name());
        output_ = built.parent_path() / "test-output" / "EndToEnd" / name;
        fs::remove_all(output_);
        fs::create_directories(output_);
        trace_.emplace(__FILE__, __LINE__, "screen grabs and logs of this run: " + output_.string());

        game_ = fs::temp_directory_path() / ("crockery-e2e-" + std::to_string(getpid()) + "-" + name);
        fs::remove_all(game_);
        fs::create_directories(game_);
        fs::copy_file(built / "crockery-drift", game_ / "crockery-drift");
        fs::copy(built / "Files", game_ / "Files", fs::copy_options::recursive);
        // Whatever an earlier run in the build folder left behind.
        for (const char* left : {"Setup.ini", "Debug.txt", "295/nuscores.dat", "295/crash.dat"})
            fs::remove(game_ / "Files" / left);
        for (const auto& entry : fs::directory_iterator(game_ / "Files"))
            if (entry.path().extension() == ".png") fs::remove(entry.path());

        int number = 0;
        server_ = testproc::StartFreeXvfb(kFirstDisplay + int(getpid() % 40) * 2, number,
                                          game_ / "xvfb.txt");
        ASSERT_GT(server_, 0) << "Xvfb did not come up: " << ReadFile(game_ / "xvfb.txt");
        display_ = ":" + std::to_string(number);
        Pixels probe;
        if (!GrabRoot(display_, probe)) GTEST_SKIP() << "cannot grab the screen (libX11 not found)";
#endif
    }

    void TearDown() override {
        if (Running()) testproc::Stop(program_);
        if (server_ > 0) testproc::Stop(server_);
        if (output_.empty()) return;
        if (HasFailure()) {
            for (const char* kept : {"Files/Debug.txt", "Files/Setup.ini", "output.txt", "xvfb.txt"})
                if (fs::exists(game_ / kept))
                    fs::copy_file(game_ / kept, output_ / fs::path(kept).filename(),
                                  fs::copy_options::overwrite_existing);
            // The game's own screenshots, beside the grabs.
            for (const auto& entry : fs::directory_iterator(game_ / "Files"))
                if (entry.path().extension() == ".png")
                    fs::copy_file(entry.path(), output_ / entry.path().filename(),
                                  fs::copy_options::overwrite_existing);
        } else {
            std::error_code ignored;
            fs::remove_all(output_, ignored);
            // Only when empty: grabs of other failed cases stay.
            fs::remove(output_.parent_path(), ignored);
            fs::remove(output_.parent_path().parent_path(), ignored);
        }
        trace_.reset();
        std::error_code ignored;
        fs::remove_all(game_, ignored);
    }

    fs::path FilesPath(const std::string& name) const { return game_ / "Files" / name; }
    std::string Log() const { return ReadFile(game_ / kGameLog); }
    // The game's exit status once it has ended (remembered: a process is reaped only once), or
    // -1 while it runs after `seconds` of waiting.
    int WaitForGame(double seconds) {
        if (status_ < 0 && program_ > 0) status_ = testproc::WaitForExit(program_, seconds);
        return status_;
    }
    bool Running() { return program_ > 0 && WaitForGame(0) < 0; }

    int CloseGamePolitely() {
        status_ = testproc::CloseGamePolitely(program_, display_);
        program_ = 0;
        return status_;
    }

    void WriteGameFile(const std::string& name, const std::string& text) const {
        std::ofstream(FilesPath(name), std::ios::binary) << text;
    }

    // Starts the game and waits until its window shows something while it loads (kept as
    // "loading"); false when no window came.
    bool LaunchIntoLoading() {
        program_ = testproc::Spawn({(game_ / "crockery-drift").string()}, game_,
                                   {{"DISPLAY", display_}}, game_ / "output.txt");
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(kStartSeconds);
        while (window_.empty() && Running() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const std::string found =
                testproc::Capture("DISPLAY=" + display_ + " xdotool search --name 'Saucer Sway'");
            window_ = found.substr(0, found.find('\n'));
        }
        if (window_.empty() || !FindWindowRect(display_, window_, rect_)) return false;
        EXPECT_TRUE(WaitToSee("loading", [](const Pixels& p) { return LitShare(p) > 0.2; }))
            << "the loading screen stayed black";
        return true;
    }

    // Starts the game (unless LaunchIntoLoading did) and waits until it has loaded and shows its
    // window; true when it did.
    bool Launch() {
        if (program_ == 0)
            program_ = testproc::Spawn({(game_ / "crockery-drift").string()}, game_,
                                       {{"DISPLAY", display_}}, game_ / "output.txt");
        if (!testproc::WaitForGameWindow(program_, display_, game_ / kGameLog, kStartSeconds,
                                         &window_)) {
            // It may have ended and been reaped already, which a signal cannot tell from running.
            if (kill(program_, 0) == 0) testproc::Stop(program_);
            program_ = 0;
            return false;
        }
        Xdo("windowfocus " + window_);
        return FindWindowRect(display_, window_, rect_);
    }

    // xdotool with the given arguments on this test's display; false when it failed.
    bool Xdo(const std::string& args) const {
        return std::system(("DISPLAY=" + display_ + " xdotool " + args + " > /dev/null 2>&1").c_str()) == 0;
    }

    // A key held for a few frames, for screens that look at keys held rather than pressed.
    void HoldKey(const std::string& key) const {
        Xdo("keydown " + key + " sleep " + std::to_string(kKeyHoldSeconds) + " keyup " + key);
    }

    // Window pixels of a point given in the virtual units the screens draw in.
    std::pair<int, int> ToWindow(double vx, double vy) const {
        double vw = 1280, vh = 960;
        if (rect_.width * 9 / 16 == rect_.height) vw = 1600, vh = 900;
        if (rect_.width * 10 / 16 == rect_.height) vw = 1440, vh = 900;
        return {int(vx * rect_.width / vw), int(vy * rect_.height / vh)};
    }

    void MovePointer(double vx, double vy) const {
        const auto [x, y] = ToWindow(vx, vy);
        Xdo("mousemove --window " + window_ + " " + std::to_string(x) + " " + std::to_string(y));
    }

    // Keeps a grab of the whole screen as "<n>-<label>.png", for a failed run.
    void Keep(const Pixels& screen, const std::string& label) {
        ++looks_;
        const std::string number = (looks_ < 10 ? "0" : "") + std::to_string(looks_) + "-";
        SavePixelsAsPng(screen, (output_ / (number + label + ".png")).string(), 1);
    }

    // The window as it looks now (kept under `label`); empty when nothing can be grabbed.
    Pixels Look(const std::string& label) {
        Pixels screen;
        if (!GrabRoot(display_, screen)) return {};
        Keep(screen, label);
        return rect_.width > 0 ? Crop(screen, rect_) : screen;
    }

    // Polls `seen` on fresh grabs until it holds; the last grab is kept under `label`.
    bool WaitToSee(const std::string& label, const std::function<bool(const Pixels&)>& seen,
                   double seconds = kStepSeconds) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        do {
            Pixels screen;
            if (!GrabRoot(display_, screen)) return false;
            if (seen(rect_.width > 0 ? Crop(screen, rect_) : screen)) {
                Keep(screen, label);
                return true;
            }
            if (!Running()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (std::chrono::steady_clock::now() < until);
        Look(label + "-not-seen");
        return false;
    }

    bool WaitForLog(const std::string& line, double seconds = kStepSeconds) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        do {
            if (Log().find(line) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (std::chrono::steady_clock::now() < until);
        return false;
    }

    // The title after its slide-in, with the pointer away from the start area so its prompt
    // shows in its resting colour.
    bool WaitForTitle(const std::string& label) {
        MovePointer(1200, 900);
        return WaitToSee(label, [](const Pixels& p) { return ShowsText(p, kStartPrompt, kPromptArea); });
    }

    // The thanks screen, recognised by its title's colour in the middle of the window.
    bool WaitForThanks() {
        return WaitToSee("thanks", [](const Pixels& p) {
            return ShowsText(p, kThanksTitle, {0.2, 0.4, 0.8, 0.6});
        });
    }

    // Holds the button over the start prompt for a few frames (the title starts a game on a
    // button held across frames), then moves away; true once the prompt has gone.
    bool StartAGame() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            MovePointer(332, 480);
            Xdo("mousedown 1 sleep " + std::to_string(kKeyHoldSeconds) + " mouseup 1");
            MovePointer(640, 600);
            if (WaitToSee("game", [](const Pixels& p) { return !ShowsText(p, kStartPrompt, kPromptArea); },
                          3))
                return true;
        }
        return false;
    }

    // Holds the button and sweeps the pointer in rows across the ring where plates appear, so
    // one is grabbed on the way and dragged about for the rest of the sweep.
    void PlayABit() {
        MovePointer(640 - 140, 480 - 140);
        Xdo("mousedown 1");
        for (int row = -140; row <= 140; row += 35) {
            std::string path;
            for (int col = -140; col <= 140; col += 40) {
                const auto [x, y] = ToWindow(640 + (row / 35 % 2 ? -col : col), 480 + row);
                path += " mousemove --window " + window_ + " " + std::to_string(x) + " " +
                        std::to_string(y) + " sleep 0.03";
            }
            Xdo(path.substr(1));
        }
        Xdo("mouseup 1");
    }

    // The pause menu opened with Escape, Quit chosen with Down and Space; true once the name
    // prompt shows.
    bool QuitToTheNamePrompt() {
        const Pixels playing = Look("playing");
        HoldKey("Escape");
        EXPECT_TRUE(WaitToSee("pause", [&](const Pixels& p) {
            return Difference(p, playing) > 8 && ShowsText(p, kHighlight, kFirstItem);
        })) << "the pause menu did not show";
        // The menu acts on held keys and waits for all to be let go in between.
        HoldKey("Down");
        EXPECT_TRUE(WaitToSee("pause-quit-chosen", [](const Pixels& p) {
            return ShowsText(p, kHighlight, kSecondItem) && !ShowsText(p, kHighlight, kFirstItem);
        })) << "Down did not move the pause menu's choice to Quit";
        HoldKey("space");
        const bool prompt = WaitToSee("enter-name", [](const Pixels& p) {
            return ShowsText(p, kNameTitle, {0.2, 0.3, 0.8, 0.5});
        });
        EXPECT_TRUE(prompt) << "choosing Quit did not lead to the name entry";
        return prompt;
    }

    // The thanks screen ends on a key; presses repeat until the game has gone. Its exit status,
    // or -1 if it never ended.
    int LeaveThanksScreen() {
        int status = WaitForGame(0);
        for (int i = 0; i < 30 && status < 0; ++i) {
            HoldKey("space");
            status = WaitForGame(1.0);
        }
        return status;
    }

    // The score records in the game's score file, read by the game's own code.
    std::vector<Scores> StoredRecords() const {
        const std::string before = CurrentFolder();
        const auto keptScores = LocalScores;
        const std::string keptName = PlayerName, keptUser = StoredUser, keptPassword = StoredPassword;
        std::vector<Scores> records;
        if (ChangeFolder(FilesPath("295").string())) {
            BuildDefaultKey();
            LocalScores.clear();
            LoadScores();
            records.assign(LocalScores.begin(), LocalScores.end());
            ChangeFolder(before);
        }
        LocalScores = keptScores;
        PlayerName = keptName;
        StoredUser = keptUser;
        StoredPassword = keptPassword;
        return records;
    }

    fs::path output_, game_;
    std::string display_, window_;
    WindowRect rect_;
    pid_t server_ = 0, program_ = 0;
    int status_ = -1;
    int looks_ = 0;
    std::optional<::testing::ScopedTrace> trace_;
};

TEST_F(EndToEnd, FirstStartShowsTheTitleAndQuitsThroughTheThanksScreen) {
    ASSERT_TRUE(LaunchIntoLoading()) << "the window never appeared\n" << Log();
    ASSERT_TRUE(Launch()) << "loading never finished\n" << Log();
    ASSERT_TRUE(WaitForTitle("title")) << "the title's start prompt never showed";
    EXPECT_GT(LitShare(Look("title-lit")), 0.2) << "the title looks black";

    HoldKey("Escape");
    ASSERT_TRUE(WaitForLog("Closing Up")) << "Escape on the title did not quit";
    EXPECT_TRUE(WaitForThanks()) << "no thanks screen";
    EXPECT_EQ(LeaveThanksScreen(), 0);

    const std::string log = Log();
    const std::string ending = "Closing Up\r\n\r\nBye!\r\n\r\nPlay again, soon!!\r\n";
    ASSERT_GE(log.size(), ending.size());
    EXPECT_EQ(log.substr(log.size() - ending.size()), ending);
    EXPECT_NE(log.find("\tUsing OpenGL Driver\r\n"), std::string::npos);

    // The first start writes the settings it ran with, which describe the window it opened.
    const std::string setup = ReadFile(FilesPath("Setup.ini"));
    for (const std::string line : {"[Graphics]\r\n", "GFX Engine = OpenGL\r\n", "[Audio]\r\n",
                                    "[Controls]\r\n"})
        EXPECT_NE(setup.find(line), std::string::npos) << line << " missing from\n" << setup;
    EXPECT_NE(setup.find("Width=" + std::to_string(rect_.width) + "\r\nHeight=" +
                         std::to_string(rect_.height) + "\r\n"),
              std::string::npos)
        << setup;
    EXPECT_TRUE(fs::exists(FilesPath("295/nuscores.dat")));
    EXPECT_TRUE(StoredRecords().empty());
    EXPECT_FALSE(fs::exists(FilesPath("295/crash.dat")));
}

TEST_F(EndToEnd, WholeGameQuitFromThePauseMenuPutsTheTypedNameOnTheHighScores) {
    WriteGameFile("Setup.ini", kSmallSetup);
    ASSERT_TRUE(Launch()) << "the window never appeared\n" << Log();
    ASSERT_TRUE(WaitForTitle("title"));
    ASSERT_TRUE(StartAGame()) << "clicking the start prompt did not start a game";
    PlayABit();
    ASSERT_TRUE(QuitToTheNamePrompt());
    // A frame takes at most one Backspace however often it was hit, so they go one at a time,
    // over the starting "Player" and one more on the empty line.
    for (int i = 0; i < 7; ++i) Xdo("key BackSpace sleep 0.2");
    // Typed as UTF-8; the game keeps names one byte per character.
    Xdo("type --delay 80 'Zo\u00EB Tester'");
    Look("name-typed");
    HoldKey("Return");

    // The game's record reaches the file as soon as the name is confirmed.
    std::vector<Scores> records;
    for (int i = 0; i < 450 && records.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        records = StoredRecords();
    }
    ASSERT_EQ(records.size(), 1u) << "no record in nuscores.dat";
    EXPECT_EQ(records[0].Name, kTypedName);
    EXPECT_EQ(records[0].Quit, 1);
    EXPECT_EQ(records[0].GameMode, 0);
    EXPECT_GE(records[0].Score, 0);
    EXPECT_GT(records[0].Timestamp, 0);

    ASSERT_TRUE(WaitForTitle("title-again")) << "the title did not come back after the game";
    HoldKey("Escape");
    ASSERT_TRUE(WaitForLog("Closing Up"));
    EXPECT_EQ(LeaveThanksScreen(), 0);
    records = StoredRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Name, kTypedName);
}

TEST_F(EndToEnd, F11SavesAnOpaqueScreenshotOfTheWindowsSize) {
    WriteGameFile("Setup.ini", kSmallSetup);
    ASSERT_TRUE(Launch()) << "the window never appeared\n" << Log();
    ASSERT_TRUE(WaitForTitle("title"));

    Xdo("key F11");
    ASSERT_TRUE(WaitForLog("\tSaved Screenshot ")) << "F11 saved nothing";
    const std::string log = Log();
    EXPECT_NE(log.find("\tSaved Screenshot 1\r\n"), std::string::npos) << log;

    const std::regex pattern(
        R"(Saucer Sway Tug Lines \(Screenshot_\d\d [A-Z][a-z]{2} \d{4}_\d{6}\)\.png)");
    std::vector<fs::path> shots;
    for (const auto& entry : fs::directory_iterator(game_ / "Files"))
        if (entry.path().extension() == ".png") shots.push_back(entry.path());
    ASSERT_EQ(shots.size(), 1u);
    const std::string name = shots[0].filename().string();
    EXPECT_TRUE(std::regex_match(name, pattern)) << name;
    EXPECT_NE(log.find("\tSaving Screenshot : " + name + "\r\n"), std::string::npos) << log;

    const Pixels shot = LoadPixelsFromPng(shots[0].string());
    ASSERT_GT(shot.width, 0) << "not a readable PNG";
    if (rect_.width > 0) {
        EXPECT_EQ(shot.width, rect_.width);
        EXPECT_EQ(shot.height, rect_.height);
    }
    EXPECT_TRUE(std::all_of(shot.argb.begin(), shot.argb.end(),
                            [](uint32_t v) { return (v >> 24) == 0xFF; }));
    EXPECT_GT(LitShare(shot), 0.2) << "the screenshot is black";

    EXPECT_EQ(CloseGamePolitely(), 0);
}

TEST_F(EndToEnd, StartAfterOneThatDiedWhileLoadingMovesOffOpenGL) {
    // What a start that died between opening the display and finishing loading leaves.
    WriteGameFile("Setup.ini", "[Graphics]\r\nGFX Engine = OpenGL\r\nWidth=800\r\nHeight=600\r\n");
    WriteGameFile("295/crash.dat", "");
    ASSERT_TRUE(Launch()) << "the window never appeared\n" << Log();
    const std::string log = Log();
    EXPECT_NE(log.find("\tUsing DirectX 9 Driver\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("\tUsing OpenGL Driver"), std::string::npos) << log;
    ASSERT_TRUE(WaitForTitle("title")) << "the fallback back end shows no title";
    EXPECT_GT(LitShare(Look("title-lit")), 0.2) << "the title looks black";
    EXPECT_FALSE(fs::exists(FilesPath("295/crash.dat"))) << "loading finished, the marker stays";

    EXPECT_EQ(CloseGamePolitely(), 0);
    EXPECT_NE(ReadFile(FilesPath("Setup.ini")).find("GFX Engine = DX9\r\n"), std::string::npos)
        << "the next start would try OpenGL again";
}

TEST_F(EndToEnd, WindowClosedMidGameSavesBeforeTheThanksScreenAndEnds) {
    WriteGameFile("Setup.ini", kSmallSetup);
    ASSERT_TRUE(Launch()) << "the window never appeared\n" << Log();
    ASSERT_TRUE(WaitForTitle("title"));
    ASSERT_TRUE(StartAGame()) << "clicking the start prompt did not start a game";
    PlayABit();
    Look("playing");

    ASSERT_TRUE(SendCloseRequest(display_, window_));
    // Once the thanks screen shows, both files must already be on disk.
    ASSERT_TRUE(WaitForThanks()) << "no thanks screen after the window was closed";
    EXPECT_NE(ReadFile(FilesPath("Setup.ini")).find("[Audio]\r\n"), std::string::npos)
        << "the settings were not written before the thanks screen";
    EXPECT_TRUE(fs::exists(FilesPath("295/nuscores.dat")))
        << "the scores were not written before the thanks screen";

    // A close request stays asked for: the thanks screen ends by itself after its pause.
    EXPECT_EQ(WaitForGame(kStepSeconds), 0);
    EXPECT_NE(Log().find("Play again, soon!!\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(FilesPath("295/crash.dat")));
}

TEST_F(EndToEnd, WindowClosedAtTheNamePromptKeepsTheFinishedGame) {
    WriteGameFile("Setup.ini", kSmallSetup);
    ASSERT_TRUE(Launch()) << "the window never appeared\n" << Log();
    ASSERT_TRUE(WaitForTitle("title"));
    ASSERT_TRUE(StartAGame()) << "clicking the start prompt did not start a game";
    ASSERT_TRUE(QuitToTheNamePrompt());
    Xdo("type --delay 80 'Ann'");
    Look("name-typed");

    ASSERT_TRUE(SendCloseRequest(display_, window_));
    EXPECT_TRUE(WaitForThanks()) << "no thanks screen after the window was closed";
    EXPECT_EQ(WaitForGame(kStepSeconds), 0);

    // The game was over: closing the window while naming it must not throw its score away. It
    // keeps the name it had before the prompt.
    const std::vector<Scores> records = StoredRecords();
    ASSERT_EQ(records.size(), 1u) << "the finished game was lost";
    EXPECT_EQ(records[0].Name, "Player");
    EXPECT_EQ(records[0].Quit, 1);
}

TEST_F(EndToEnd, WindowClosedWhileLoadingEndsCleanlyWithoutACrashMarker) {
    // Started without any file, as a player's first start is.
    ASSERT_TRUE(LaunchIntoLoading()) << "the window never appeared\n" << Log();
    ASSERT_TRUE(SendCloseRequest(display_, window_));
    EXPECT_EQ(WaitForGame(kStepSeconds), 0);
    const std::string log = Log();
    ASSERT_EQ(log.find("Finished Loading"), std::string::npos)
        << "loading had ended before the close; the case did not happen";
    EXPECT_NE(log.find("Closing Up\r\n"), std::string::npos) << log;
    // A close is no crash: the next start must not move off the back end that worked.
    EXPECT_FALSE(fs::exists(FilesPath("295/crash.dat")));
}

}  // namespace
