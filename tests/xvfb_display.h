// A display for tests and benchmarks that need a real window: the one DISPLAY names, or else a
// private Xvfb started here (when installed) and stopped by StopPrivateXvfb.
#pragma once

#include <cstdlib>
#include <string>

#include "process_helpers.h"

namespace xvfb {

inline pid_t& ServerPid() {
    static pid_t pid = 0;
    return pid;
}

// True when DISPLAY is usable afterwards; `why` says what is missing otherwise.
inline bool EnsureDisplay(std::string& why) {
    const char* existing = std::getenv("DISPLAY");
    if (existing && *existing) return true;
    if (!testproc::OnPath("Xvfb")) {
        why = "no DISPLAY and Xvfb is not installed";
        return false;
    }
    int number = -1;
    const pid_t pid = testproc::StartFreeXvfb(111, number);
    if (pid == 0) {
        why = "Xvfb did not come up on a free display number";
        return false;
    }
    ServerPid() = pid;
    const std::string display = ":" + std::to_string(number);
    setenv("DISPLAY", display.c_str(), 1);
    return true;
}

// Stops the server EnsureDisplay started, if any, and forgets its DISPLAY.
inline void StopPrivateXvfb() {
    pid_t& pid = ServerPid();
    if (pid <= 0) return;
    testproc::Stop(pid);
    pid = 0;
    unsetenv("DISPLAY");
}

}  // namespace xvfb
