// Child processes for the tests that run real programs: the game, its installed launcher and a
// private X server. One place for spawning, waiting and stopping, so every such test cleans up
// the same way.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testproc {

namespace fs = std::filesystem;

inline bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

inline std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Environment changes for Spawn: an empty value unsets the variable.
using Environment = std::vector<std::pair<std::string, std::string>>;

// Starts argv[0] (looked up on PATH) in `folder` (unchanged when empty) with `env` applied; both
// output streams go to `output`. Returns the child's pid.
inline pid_t Spawn(const std::vector<std::string>& argv, const fs::path& folder,
                   const Environment& env, const fs::path& output) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    if (!freopen(output.c_str(), "w", stdout) || !freopen(output.c_str(), "a", stderr)) _exit(127);
    for (const auto& [name, value] : env) {
        if (value.empty())
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// Waits up to `seconds` for the process to end; its exit status (128 when killed by a signal),
// or -1 if it is still running. A wait of 0 only looks.
inline int WaitForExit(pid_t pid, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < until);
    return -1;
}

// Asks politely, then insists.
inline void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (WaitForExit(pid, 5) < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// A display number in [first, first + 100) with neither a socket nor a lock file, or -1. Callers
// start from different numbers so tests running in parallel rarely race for one.
inline int FreeDisplayNumber(int first) {
    for (int n = first; n < first + 100; ++n)
        if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) &&
            !fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
            return n;
    return -1;
}

// A private Xvfb on display `number`; its pid once its socket exists, else 0 (and nothing left
// running).
inline pid_t StartXvfb(int number, const fs::path& output = "/dev/null") {
    const std::string display = ":" + std::to_string(number);
    const pid_t pid = Spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {},
                            {}, output);
    if (pid < 0) return 0;
    const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(number);
    for (int i = 0; i < 100 && !fs::exists(socket); ++i) {
        if (WaitForExit(pid, 0) >= 0) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (fs::exists(socket)) return pid;
    Stop(pid);
    return 0;
}

// What a shell command printed on its standard output (its errors are dropped).
inline std::string Capture(const std::string& command) {
    std::string text;
    FILE* pipe = popen((command + " 2> /dev/null").c_str(), "r");
    if (!pipe) return text;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    pclose(pipe);
    return text;
}

// Like StartXvfb, from the first free number at or after `first`; it tries further numbers when
// the server dies at once, as it does when a test in another process took that number first.
// `number` is the display it runs on.
inline pid_t StartFreeXvfb(int first, int& number, const fs::path& output = "/dev/null") {
    for (int attempt = 0; attempt < 10; ++attempt) {
        number = FreeDisplayNumber(first);
        if (number < 0) return 0;
        const pid_t pid = StartXvfb(number, output);
        if (pid > 0 && WaitForExit(pid, 0.2) < 0) return pid;
        first = number + 1;
    }
    return 0;
}

// Waits up to `seconds` until the game has finished loading (its log says so) and its window
// exists on `display`; false when that never happened or the game ended first. `windowId`, when
// given, receives the window's X id as xdotool prints it.
inline bool WaitForGameWindow(pid_t game, const std::string& display, const fs::path& log,
                              double seconds = 30, std::string* windowId = nullptr) {
    const std::string search = "DISPLAY=" + display + " xdotool search --name 'Saucer Sway'";
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (ReadFile(log).find("Finished Loading") != std::string::npos) {
            const std::string found = Capture(search);
            if (!found.empty()) {
                if (windowId) *windowId = found.substr(0, found.find('\n'));
                return true;
            }
        }
        if (WaitForExit(game, 0) >= 0) return false;
    }
    return false;
}

// Closes the game the way a player would, with Alt+F4 held long enough for a frame to see it, and
// returns its exit status (-1 if it never ended; it is then stopped). The first press may land
// while the game still waits out its loading time, and the thanks screen after it ends on the
// next key, so it asks again until the game has gone.
inline int CloseGamePolitely(pid_t game, const std::string& display) {
    const std::string xdo = "DISPLAY=" + display + " xdotool ";
    std::system((xdo + "search --name 'Saucer Sway' windowfocus > /dev/null 2>&1").c_str());
    int status = -1;
    for (int i = 0; i < 20 && status < 0; ++i) {
        std::system((xdo + "keydown alt+F4 sleep 0.3 keyup alt+F4 > /dev/null 2>&1").c_str());
        status = WaitForExit(game, 1.0);
    }
    if (status < 0) Stop(game);
    return status;
}

}  // namespace testproc
