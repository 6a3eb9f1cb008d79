// One smoke test of the real executable on a virtual X server: it starts, opens its window,
// closes on Alt+F4 (and a key on the thanks screen), and leaves its log behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

// A display number with neither a socket nor a lock file.
int FreeDisplayNumber() {
    for (int n = 91; n < 191; ++n)
        if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) &&
            !fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
            return n;
    return -1;
}

// Starts a program in `folder` with DISPLAY set; returns its pid.
// Its output goes to `output`.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& display,
            const std::string& folder, const std::string& output) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    if (!freopen(output.c_str(), "w", stdout) || !freopen(output.c_str(), "a", stderr)) _exit(127);
    setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// Waits up to `seconds` for the process to end; its exit status, or -1 if still running.
int WaitForExit(pid_t pid, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (WaitForExit(pid, 5) < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(SmokeXvfb, GameStartsShowsItsWindowAndClosesPolitely) {
#ifndef CD_GAME_DIR
    GTEST_SKIP() << "no game folder configured";
#else
    const fs::path built = CD_GAME_DIR;
    if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool not installed";
    if (!fs::exists(built / "crockery-drift")) GTEST_SKIP() << "game not built";
    const int number = FreeDisplayNumber();
    ASSERT_GE(number, 0);
    const std::string display = ":" + std::to_string(number);

    const fs::path game = fs::temp_directory_path() / ("crockery-smoke-" + std::to_string(getpid()));
    fs::remove_all(game);
    fs::copy(built, game, fs::copy_options::recursive);
    const fs::path log = game / "Files" / "Debug.txt";

    const pid_t server = Spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                               display, "", (game / "xvfb.txt").string());
    for (int i = 0; i < 100 && !fs::exists("/tmp/.X11-unix/X" + std::to_string(number)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const pid_t program =
        Spawn({(game / "crockery-drift").string()}, display, game.string(), (game / "output.txt").string());
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
