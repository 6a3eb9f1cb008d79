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
    const fs::path game = fs::temp_directory_path() / ("crockery-smoke-" + std::to_string(getpid()));
    fs::remove_all(game);
    fs::copy(built, game, fs::copy_options::recursive);
    const fs::path log = game / "Files" / "Debug.txt";

    int number = -1;
    const pid_t server = testproc::StartFreeXvfb(91, number, game / "xvfb.txt");
    ASSERT_GT(server, 0) << ReadFile(game / "xvfb.txt");
    const std::string display = ":" + std::to_string(number);

    const pid_t program =
        Spawn({(game / "crockery-drift").string()}, game, {{"DISPLAY", display}}, game / "output.txt");
    EXPECT_TRUE(testproc::WaitForGameWindow(program, display, log)) << "the window never appeared";
    const int status = testproc::CloseGamePolitely(program, display);
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
