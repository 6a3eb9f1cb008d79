// What every fuzz target shares: a private temporary folder made once per process, on the
// headless twin, in which the bytes under test become the file a reader opens; and a check that
// stops the run with a message when a reader breaks a promise of its header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/state.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace fuzz {

// Creates the folder and installs the headless twin there the first time; afterwards returns
// the same folder. Under $TMPDIR when set, else under /dev/shm when it exists, so the readers'
// file writes and their fsync cost no disk time at thousands of inputs a second.
inline const std::string& PrivateFolder() {
    // Never destroyed: the exit handler below still needs it after static destructors ran.
    static const std::string* folder = [] {
        const char* tmpdir = std::getenv("TMPDIR");
        const std::filesystem::path base = tmpdir && *tmpdir ? std::filesystem::path(tmpdir)
                                           : std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = base / "crockery-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        headless::Install(pattern);
        // The folder goes when the process ends normally (libFuzzer's runs do end that way).
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(PrivateFolder(), ignored);
        });
        return new std::string(pattern);
    }();
    return *folder;
}

// Writes `size` bytes to `name` in the current folder, replacing it.
inline void WriteBytes(const std::string& name, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) {
        std::perror(name.c_str());
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

// A broken promise is a finding like a crash: abort so libFuzzer keeps the input.
inline void Expect(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// One input's run: fresh process state in the private folder, so no input depends on another,
// and afterwards the folder libFuzzer started in again, where its relative corpus paths point.
class InputScope {
public:
    InputScope() : start_(CurrentFolder()) {
        PrivateFolder();
        headless::Install(PrivateFolder());
        ResetProcessState();
    }
    ~InputScope() { ChangeFolder(start_); }
    InputScope(const InputScope&) = delete;
    InputScope& operator=(const InputScope&) = delete;

private:
    std::string start_;
};

}  // namespace fuzz
