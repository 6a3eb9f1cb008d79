// The installed game: `cmake --install` of this build tree into a temporary prefix gives the
// expected tree, and the installed launcher (moved elsewhere, to show nothing is baked in) runs
// the game in the player's own data folder under Xvfb, adding shipped files the player lacks.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "process_helpers.h"

namespace {

namespace fs = std::filesystem;
using testproc::OnPath;
using testproc::ReadFile;
using testproc::Stop;
using testproc::WaitForExit;

// Runs `program` from `folder` with the given environment changes (an empty value unsets).
pid_t Spawn(const std::string& program, const fs::path& folder, const testproc::Environment& env,
            const fs::path& output) {
    return testproc::Spawn({program}, folder, env, output);
}

void WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// The exit status of a shell command, its output (both streams) in `output`.
int Shell(const std::string& command, const fs::path& outputFile, std::string& output) {
    const int status = std::system((command + " > '" + outputFile.string() + "' 2>&1").c_str());
    output = ReadFile(outputFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Width and height from a PNG's header; {0, 0} when the file is not a PNG.
std::pair<int, int> PngSize(const fs::path& file) {
    const std::string b = ReadFile(file);
    if (b.size() < 24 || b.compare(1, 3, "PNG") != 0) return {0, 0};
    auto be32 = [&](size_t at) {
        return int(uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
                   uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3])));
    };
    return {be32(16), be32(20)};
}

// One installed tree per test binary run: installing takes a while, and every test reads it.
class Install : public testing::Test {
protected:
    static void SetUpTestSuite() {
#ifdef CD_GAME_DIR
        const fs::path build = fs::path(CD_GAME_DIR).parent_path();
        if (!OnPath("cmake")) {
            skipWhy_ = "cmake is not installed";
            return;
        }
        if (!fs::exists(fs::path(CD_GAME_DIR) / "crockery-drift") || !fs::exists(build / "icons")) {
            skipWhy_ = "the game or its desktop icons are not built";
            return;
        }
        root_ = fs::temp_directory_path() / ("crockery-install-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        const fs::path staged = root_ / "staged";
        installStatus_ = Shell("cmake --install '" + build.string() + "' --prefix '" +
                                   staged.string() + "'",
                               root_ / "install.txt", installOutput_);
        // Moved after installing: the launcher must find its game from wherever it now lies.
        prefix_ = root_ / "moved";
        std::error_code err;
        fs::rename(staged, prefix_, err);
#else
        skipWhy_ = "no game folder configured";
#endif
    }
    static void TearDownTestSuite() {
        if (!root_.empty()) fs::remove_all(root_);
    }
    void SetUp() override {
        if (!skipWhy_.empty()) GTEST_SKIP() << skipWhy_;
        ASSERT_EQ(installStatus_, 0) << installOutput_;
    }

    static inline std::string skipWhy_;
    static inline fs::path root_;
    static inline fs::path prefix_;
    static inline int installStatus_ = -1;
    static inline std::string installOutput_;
};

TEST_F(Install, PutsEveryPieceWhereTheDesktopLooksForIt) {
    struct Expected {
        const char* path;
        bool executable;
    };
    const Expected expected[] = {
        {"bin/crockery-drift", true},
        {"libexec/crockery-drift/crockery-drift", true},
        {"share/crockery-drift/Files/Common/icons.png", false},
        {"share/crockery-drift/Files/Common/badgeget.wav", false},
        {"share/crockery-drift/Files/Common/SVBasicManual.ttf", false},
        {"share/crockery-drift/Files/295/gfx.png", false},
        {"share/crockery-drift/Files/295/098.wav", false},
        {"share/applications/crockery-drift.desktop", false},
        {"share/metainfo/io.example.CrockeryDrift.metainfo.xml", false},
        {"share/doc/crockery-drift/fonts/LICENSE-Quicksand.txt", false},
    };
    for (const Expected& e : expected) {
        const fs::path file = prefix_ / e.path;
        ASSERT_TRUE(fs::is_regular_file(file)) << e.path;
        const bool runnable = (fs::status(file).permissions() & fs::perms::owner_exec) != fs::perms::none;
        EXPECT_EQ(runnable, e.executable) << e.path;
    }
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const std::string n = std::to_string(size);
        const fs::path icon = prefix_ / "share/icons/hicolor" / (n + "x" + n) / "apps/crockery-drift.png";
        EXPECT_EQ(PngSize(icon), std::make_pair(size, size)) << icon;
    }
}

TEST_F(Install, ShipsNoneOfThePlayersOwnFiles) {
    // A build folder that has been played holds a log, settings, scores and screenshots.
    const fs::path files = prefix_ / "share/crockery-drift/Files";
    for (const auto& entry : fs::directory_iterator(files))
        EXPECT_TRUE(entry.is_directory()) << "stray file " << entry.path();
    for (const auto& entry : fs::recursive_directory_iterator(files)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name, "nuscores.dat");
        EXPECT_NE(name, "crash.dat");
    }
}

TEST_F(Install, LauncherHoldsNoInstalledPath) {
    const std::string launcher = ReadFile(prefix_ / "bin/crockery-drift");
    EXPECT_EQ(launcher.find(root_.string()), std::string::npos);
    EXPECT_EQ(launcher.find(CD_SOURCE_DIR), std::string::npos);
    EXPECT_EQ(launcher.find("/usr/"), std::string::npos);
}

TEST_F(Install, MenuEntryAndMetadataValidate) {
    std::string output;
    const fs::path entryFile = prefix_ / "share/applications/crockery-drift.desktop";
    const fs::path metainfo = prefix_ / "share/metainfo/io.example.CrockeryDrift.metainfo.xml";
    if (OnPath("desktop-file-validate")) {
        EXPECT_EQ(Shell("desktop-file-validate '" + entryFile.string() + "'", root_ / "validate.txt", output), 0)
            << output;
    }
    if (OnPath("appstreamcli")) {
        EXPECT_EQ(Shell("appstreamcli validate --no-net '" + metainfo.string() + "'", root_ / "validate.txt",
                        output),
                  0)
            << output;
    }
    const std::string entry = ReadFile(entryFile);
    EXPECT_NE(entry.find("\nExec=crockery-drift\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=crockery-drift\n"), std::string::npos) << entry;
}

TEST_F(Install, LauncherRefusesToGuessAFolderWithoutHome) {
    // A relative XDG_DATA_HOME is invalid, and with no HOME there is nowhere to keep the files.
    const fs::path out = root_ / "nohome.txt";
    const pid_t pid = Spawn((prefix_ / "bin/crockery-drift").string(), root_,
                            {{"HOME", ""}, {"XDG_DATA_HOME", "relative/data"}}, out);
    const int status = WaitForExit(pid, 30);
    if (status < 0) Stop(pid);
    EXPECT_EQ(status, 1);
    EXPECT_NE(ReadFile(out).find("HOME"), std::string::npos) << ReadFile(out);
    EXPECT_FALSE(fs::exists(root_ / "relative"));
}

TEST_F(Install, GameRunsInThePlayersDataFolderAndKeepsTheirFiles) {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool not installed";
    int number = -1;
    const pid_t xvfb = testproc::StartFreeXvfb(231, number);
    ASSERT_GT(xvfb, 0) << "Xvfb did not come up on a free display number";
    const std::string display = ":" + std::to_string(number);

    // The player has played before: a screenshot of theirs, a shipped image they replaced with
    // another (still loadable) picture, and a data folder missing every other file.
    const fs::path home = root_ / "home";
    const fs::path data = home / ".local/share/crockery-drift/Files";
    fs::create_directories(data / "Common");
    const fs::path shot = data / "Saucer Sway 01 Jan 2026 10-00-00.png";
    WriteFile(shot, "the player's own picture");
    const std::string replaced = ReadFile(prefix_ / "share/crockery-drift/Files/Common/Hearthside.png");
    WriteFile(data / "Common/logo.png", replaced);
    const fs::path elsewhere = root_ / "elsewhere";
    fs::create_directories(elsewhere);

    // An invalid (relative) XDG_DATA_HOME sends the launcher to HOME's usual data folder.
    const fs::path output = root_ / "game.txt";
    const pid_t game = Spawn((prefix_ / "bin/crockery-drift").string(), elsewhere,
                             {{"DISPLAY", display}, {"HOME", home.string()},
                              {"XDG_DATA_HOME", "not/absolute"}},
                             output);
    const fs::path log = data / "Debug.txt";
    EXPECT_TRUE(testproc::WaitForGameWindow(game, display, log))
        << "the window never appeared: " << ReadFile(output);
    const int status = testproc::CloseGamePolitely(game, display);
    Stop(xvfb);
    EXPECT_EQ(status, 0) << ReadFile(output);

    EXPECT_EQ(ReadFile(shot), "the player's own picture");
    EXPECT_TRUE(ReadFile(data / "Common/logo.png") == replaced) << "the player's logo.png was replaced";
    EXPECT_TRUE(fs::exists(data / "Common/icons.png"));
    EXPECT_TRUE(fs::exists(data / "295/gfx.png"));
    EXPECT_TRUE(fs::exists(data / "Setup.ini"));
    EXPECT_NE(ReadFile(log).find("Closing Up"), std::string::npos);
    EXPECT_FALSE(fs::exists(elsewhere / "Files"));
    EXPECT_FALSE(fs::exists(root_ / "not"));
}

}  // namespace
