// Debug.txt: plain lines ended by CR LF, each flushed as soon as it is written so that a crash or a
// kill leaves every line before it on disk. Written with stdio because the platform's text streams
// offer no flush.
#include "app/log.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

constexpr const char* kLogFileName = "Debug.txt";

std::FILE* LogStream = nullptr;  // the open log; null before start-up opens it and after Shutdown

// The platform's folder changes may be its own rather than the process's, so the log is placed by
// the platform's idea of the current folder.
std::string LogPath() {
    std::string folder = CurrentFolder();
    if (folder.empty()) return kLogFileName;
    if (folder.back() != '/') folder += '/';
    return folder + kLogFileName;
}

}  // namespace

bool OpenLog() {
    CloseLog();
    LogStream = std::fopen(LogPath().c_str(), "wb");
    if (LogStream == nullptr) {
        std::fprintf(stderr, "Cannot create %s; running without a log.\n", kLogFileName);
        return false;
    }
    return true;
}

void WriteLog(const std::string& text) {
    if (LogStream == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), LogStream);
    std::fputs("\r\n", LogStream);
    std::fflush(LogStream);
}

void CloseLog() {
    if (LogStream == nullptr) return;
    std::fclose(LogStream);
    LogStream = nullptr;
}

bool LogIsOpen() { return LogStream != nullptr; }

int Millis() { return Milliseconds(); }
