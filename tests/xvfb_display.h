// A display for tests and benchmarks that need a real window: the one DISPLAY names, or else a
// private Xvfb started here (when installed) and stopped by StopPrivateXvfb.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace xvfb {

inline pid_t& ServerPid() {
    static pid_t pid = 0;
    return pid;
}

// True when DISPLAY is usable afterwards; `why` says what is missing otherwise.
inline bool EnsureDisplay(std::string& why) {
    namespace fs = std::filesystem;
    const char* existing = std::getenv("DISPLAY");
    if (existing && *existing) return true;
    if (std::system("command -v Xvfb > /dev/null 2>&1") != 0) {
        why = "no DISPLAY and Xvfb is not installed";
        return false;
    }
    int number = -1;
    for (int n = 111; n < 211 && number < 0; ++n)
        if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) && !fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
            number = n;
    if (number < 0) {
        why = "no free X display number";
        return false;
    }
    const std::string display = ":" + std::to_string(number);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    if (pid < 0) {
        why = "cannot start Xvfb";
        return false;
    }
    ServerPid() = pid;
    for (int i = 0; i < 100 && !fs::exists("/tmp/.X11-unix/X" + std::to_string(number)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(number))) {
        why = "Xvfb did not come up";
        return false;
    }
    setenv("DISPLAY", display.c_str(), 1);
    return true;
}

// Stops the server EnsureDisplay started, if any, and forgets its DISPLAY.
inline void StopPrivateXvfb() {
    pid_t& pid = ServerPid();
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = 0;
    unsetenv("DISPLAY");
}

}  // namespace xvfb
