// Start-up: the log file, the audio back-end choice, and Main run on the headless twin from the
// first line of the log to the title screen, ended by a close request.
#include <algorithm>

#include "app/display.h"
#include "app/settings_file.h"
#include "app/startup.h"
#include "frame/present.h"
#include "headless_fixture.h"

namespace {

class LogFile : public HeadlessFixture {};

TEST_F(LogFile, EachLineReachesTheDiskAtOnceWithCrLf) {
    ChangeFolder("Files/");
    ASSERT_TRUE(OpenLog());
    WriteLog("Loading");
    WriteLog("\tdetail \xE9");
    // Read back while the log is still open: a crash now must not lose these lines.
    std::ifstream in(files() / "Debug.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text, "Loading\r\n\tdetail \xE9\r\n");
}

TEST_F(LogFile, AnUncreatableLogIsDroppedQuietly) {
    std::filesystem::create_directory(files() / "Debug.txt");
    ChangeFolder("Files/");
    EXPECT_FALSE(OpenLog());
    WriteLog("nowhere to go");
    EXPECT_FALSE(LogIsOpen());
}

class AudioChoice : public HeadlessFixture {};

TEST_F(AudioChoice, PrefersDirectThenTheFirstOpenALOrFreeName) {
    struct Case { std::vector<std::string> drivers; int lineSeen, indexBefore, expected; };
    const Case cases[] = {
        {{"OpenAL", "FreeOne", "DirectSound"}, 0, 0, 2},
        {{"FreeOne", "OpenAL"}, 0, 0, 0},
        {{"Pulse", "openal soft"}, 0, 0, 1},
        {{"DirectA", "OpenAL", "DirectB", "Free"}, 0, 0, 2},
        {{"Pulse", "ALSA"}, 0, 0, 0},
        {{"Pulse", "ALSA"}, 0, 1, 1},
        {{"OPENA", "FRE", "DIREC"}, 0, 0, 0},
        {{"OpenAL", "DirectSound"}, 1, 0, 0},  // Setup.ini named a driver: no automatic choice
        {{"Pulse"}, 1, 7, 7},                  // an index past the list selects nothing
        {{}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        AudioDrivers = c.drivers;
        AudioDriverLineSeen = c.lineSeen;
        Settings[AudioDriverIndex] = c.indexBefore;
        ChooseAudioDriver();
        EXPECT_EQ(Settings[AudioDriverIndex], c.expected)
            << (c.drivers.empty() ? "(none)" : c.drivers.front()) << "...";
    }
}

class MainRun : public HeadlessFixture {
protected:
    // Runs Main until its first frame after loading, then asks the window to close. Returns the
    // exit status; titleMillis is the clock at that first frame.
    int RunUntilTitle() {
        const std::string marker = (gameFolder() / kCrashMarker).string();
        CostPerPresent(kSlowFrameMs, [this, marker] {
            if (DisplayOpened == 1 && PathKind(marker) == 0 && titleMillis < 0) {
                titleMillis = Millis();
                headless::RequestClose();
            }
        });
        const int status = ExitStatusOf(Main);
        headless::SetPresentHook(nullptr);
        return status;
    }

    std::vector<std::string> Log() { return ReadLines(files() / "Debug.txt"); }

    int titleMillis = -1;
    // Slow enough to end the engine test early, fast enough to finish loading before the deadline.
    static constexpr int kSlowFrameMs = 20;
};

TEST_F(MainRun, StartsUpToTheTitleScreenWithoutASetupFile) {
    ASSERT_EQ(RunUntilTitle(), 0);
    const std::string rule(28, '-');
    const std::vector<std::string> expected = {
        "Orrinvale's Tallyhall Engine",
        rule,
        "Week #295",
        rule,
        "#295 : Saucer Sway Tug Lines",
        rule,
        "",
        "Loading",
        "Setting Audio Driver",
        "Set Audio Driver",
        "",
        "\tRequested Resolution : 800x600",
        "\tSetup Loaded",
        "",
        "Grabbing Previous Scores",
        "",
        "",
        "-=-=-=-=-=-=-=-=-=-=-=-=-=-",
        "Applying Graphical Settings",
        "\tUsing OpenGL Driver",
        "\tResolution : 800x600,0",
    };
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(log[i], expected[i]) << "line " << i + 1;

    const auto finished = std::find(log.begin(), log.end(), "Finished Loading");
    ASSERT_NE(finished, log.end());
    EXPECT_EQ(*(finished - 1), "-=-=-=-=-=-=-=-=-=-=-=-=-=-");
    EXPECT_NE(std::find(finished, log.end(), "Closing Up"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), "\tReading Setup File"), log.end());

    // The title screen waits for the loading deadline, however fast loading was.
    ASSERT_GT(titleMillis, 0);
    EXPECT_EQ(LoadingDeadline, headless::kStartMilliseconds + kLoadingMinimumMs);
    EXPECT_GE(titleMillis, LoadingDeadline);
    EXPECT_LT(titleMillis, LoadingDeadline + 1000);

    EXPECT_EQ(headless::WindowTitle(), "#295 : Saucer Sway Tug Lines");
    EXPECT_EQ(AboutLines[0], "");
    EXPECT_EQ(AboutLines[1], "A Game by Orrinvale");
    EXPECT_EQ(AboutLines[14], " ");
    EXPECT_FALSE(AboutLines[37].empty());
    EXPECT_TRUE(AboutLines[38].empty());
    EXPECT_EQ(PathKind((gameFolder() / kCrashMarker).string()), 0);
}

TEST_F(MainRun, RunsWithoutALogWhenDebugTxtCannotBeCreated) {
    std::filesystem::create_directory(files() / "Debug.txt");
    EXPECT_EQ(RunUntilTitle(), 0);
    EXPECT_GT(titleMillis, 0);
}

TEST_F(MainRun, CrashMarkerFromTheLastRunMovesOffOpenGL) {
    std::ofstream(gameFolder() / kCrashMarker).close();
    ASSERT_EQ(RunUntilTitle(), 0);
    const std::vector<std::string> log = Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "\tUsing DirectX 9 Driver"), log.end());
    EXPECT_EQ(Settings[GfxEngine], 1);
}

}  // namespace
