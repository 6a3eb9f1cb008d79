// One smoke test of the real executable on a virtual X server: it starts, opens its window,
// closes on Alt+F4 (and a key on the thanks screen), and leaves its log behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "process_helpers.h"

namespace {

namespace fs = std::filesystem;
using testproc::OnPath;
using testproc::ReadFile;
using testproc::Spawn;
using testproc::Stop;
using testproc::WaitForExit;

TEST(SmokeXvfb, GameStartsShowsItsWindowAndClosesPolitely) {
#ifndef CD_GAME_DIR
    GTEST_SKIP() << "no game folder configured";
#else
    const fs::path built = CD_GAME_DIR;
    if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool not installed";
    if (!fs::exists(built / "crockery-drift")) GTEST_SKIP() << "game not built";
    const int number = testproc::FreeDisplayNumber(91);
    ASSERT_GE(number, 0);
    const std::string display = ":" + std::to_string(number);

    const fs::path game = fs::temp_directory_path() / ("crockery-smoke-" + std::to_string(getpid()));
    fs::remove_all(game);
    fs::copy(built, game, fs::copy_options::recursive);
    const fs::path log = game / "Files" / "Debug.txt";

    const pid_t server = testproc::StartXvfb(number, game / "xvfb.txt");
    ASSERT_GT(server, 0) << ReadFile(game / "xvfb.txt");

    const pid_t program =
        Spawn({(game / "crockery-drift").string()}, game, {{"DISPLAY", display}}, game / "output.txt");
    const std::string xdo = "DISPLAY=" + display + " xdotool ";
    bool shown = false;
    for (int i = 0; i < 300 && !shown; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shown = ReadFile(log).find("Finished Loading") != std::string::npos &&
                std::system((xdo + "search --name 'Saucer Sway' > /dev/null 2>&1").c_str()) == 0;
        if (WaitForExit(program, 0) >= 0) break;
    }
    EXPECT_TRUE(shown) << "the window never appeared";

    // Held long enough for a frame to see both keys down. The first press may land while the
    // program still waits out its loading time, and the thanks screen after it ends on the next
    // key, so ask again until it has gone.
    std::system((xdo + "search --name 'Saucer Sway' windowfocus > /dev/null 2>&1").c_str());
    int status = -1;
    for (int i = 0; i < 20 && status < 0; ++i) {
        std::system((xdo + "keydown alt+F4 sleep 0.3 keyup alt+F4 > /dev/null 2>&1").c_str());
        status = WaitForExit(program, 1.0);
    }
    if (status < 0) Stop(program);
    Stop(server);
    EXPECT_EQ(status, 0) << ReadFile(game / "output.txt");

    const std::string text = ReadFile(log);
    EXPECT_EQ(text.rfind("Orrinvale's Tallyhall Engine\r\n----------------------------\r\n"
                         "Week #295\r\n----------------------------\r\n"
                         "#295 : Saucer Sway Tug Lines\r\n", 0), 0u)
        << text.substr(0, 200);
    EXPECT_NE(text.find("Finished Loading\r\n"), std::string::npos);
    EXPECT_NE(text.find("Closing Up\r\n"), std::string::npos);
    EXPECT_EQ(fs::exists(game / "Files" / "295" / "crash.dat"), false);
    fs::remove_all(game);
#endif
}

}  // namespace
