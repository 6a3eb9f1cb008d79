// A test fixture that runs the framework on the headless twin in a temporary folder laid out like
// the game folder (Files/Common, Files/295, with the built data files when they exist), starting
// from a fresh process state.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/state.h"
#include "game/objects.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

class HeadlessFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "crockery-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
#ifdef CD_GAME_DIR
        const std::filesystem::path built = std::filesystem::path(CD_GAME_DIR) / "Files";
        std::error_code ignored;
        if (std::filesystem::is_directory(built))
            std::filesystem::copy(built, root / "Files",
                                  std::filesystem::copy_options::recursive |
                                      std::filesystem::copy_options::overwrite_existing,
                                  ignored);
#endif
        headless::Install(root.string());
        ResetProcessState();
        Notices.clear();
        PointPopups.clear();
    }

    void TearDown() override {
        headless::SetPresentHook(nullptr);
        CloseLog();
        CloseDisplay();
        headless::Install();  // back to the folder the process started in
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    // A window on the software renderer whose virtual units are display pixels, so a test can
    // read back exactly where something was drawn.
    void OpenPixelDisplay(int width, int height) {
        SelectDirect3D7Backend();
        ASSERT_TRUE(OpenDisplay(width, height, 0, 60));
        DisplayWidth = VirtualWidth = width;
        DisplayHeight = VirtualHeight = height;
        SetVirtualResolution(width, height);
        ClearScreen();
    }

    // A back buffer `shrink` times smaller than the virtual 1280 x 960 the screens keep drawing
    // in: whole screens play the same while the software renderer has far less to fill.
    void OpenShrunkDisplay(int shrink) {
        OpenPixelDisplay(1280 / shrink, 960 / shrink);
        VirtualWidth = 1280;
        VirtualHeight = 960;
        SetVirtualResolution(1280, 960);
    }

    // The twin's clock stands still while drawing, so the engine test run by every display
    // set-up would climb to its largest sprite count. Letting each present cost `ms` of virtual
    // time makes the machine look slow and ends the test after its first steps. `also` runs too.
    static void CostPerPresent(int ms, std::function<void()> also = nullptr) {
        headless::SetPresentHook([ms, also](int) {
            headless::AdvanceClock(ms);
            if (also) also();
        });
    }

    static uint32_t PixelAt(int x, int y) {
        const Pixels pixel = GrabScreenPixels(x, y, 1, 1);
        return pixel.argb.empty() ? 0 : pixel.argb[0];
    }
    static int Red(uint32_t argb) { return (argb >> 16) & 255; }
    static int Green(uint32_t argb) { return (argb >> 8) & 255; }
    static int Blue(uint32_t argb) { return argb & 255; }

    // The lines of a file written with CR LF endings; empty when it does not exist.
    static std::vector<std::string> ReadLines(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        if (start < text.size()) lines.push_back(text.substr(start));
        return lines;
    }

    std::filesystem::path files() const { return root / "Files"; }
    std::filesystem::path gameFolder() const { return root / "Files" / "295"; }

    std::filesystem::path root;
};

// Runs `body` (Main, Shutdown, a single step) until the program under test ends its process:
// the exit status it ended with, or -1 when `body` returned instead.
inline int ExitStatusOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const headless::ProcessExit& exit) {
        return exit.status;
    }
    return -1;
}
