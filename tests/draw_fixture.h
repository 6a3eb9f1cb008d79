// A small world for drawing tests: the headless twin, a software-rendered display whose virtual
// units are its pixels, a fresh draw state, a temporary folder for files, and pixel read-back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"

inline int Red(uint32_t argb) { return int(argb >> 16 & 0xFF); }
inline int Green(uint32_t argb) { return int(argb >> 8 & 0xFF); }
inline int Blue(uint32_t argb) { return int(argb & 0xFF); }
inline uint32_t Argb(int a, int r, int g, int b) {
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

inline Pixels Filled(int width, int height, uint32_t argb) {
    Pixels p;
    p.width = width;
    p.height = height;
    p.argb.assign(size_t(width) * size_t(height), argb);
    return p;
}

inline void ResetDrawStateForTest() {
    SetDrawColor(255, 255, 255);
    SetDrawAlpha(1);
    SetDrawBlend(kBlendAlpha);
    SetDrawRotation(0);
    SetDrawScale(1, 1);
    SetAutoCentreHandle(false);
    SelectFont(0);
}

class DrawFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override {
        headless::Install();
        SelectDirect3D7Backend();
        ASSERT_TRUE(OpenDisplay(kWidth, kHeight, 0, 60)) << LastPlatformError();
        ResetDrawStateForTest();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "crockery-draw-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override {
        CloseDisplay();
        ResetDrawStateForTest();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    static uint32_t At(int x, int y) { return GrabScreenPixels(x, y, 1, 1).argb.at(0); }

    // Pixels of the back buffer whose colour differs from black.
    static int LitPixels() {
        const Pixels screen = GrabScreenPixels(0, 0, kWidth, kHeight);
        int lit = 0;
        for (uint32_t c : screen.argb) lit += (c & 0x00FFFFFFu) != 0;
        return lit;
    }

    // The bounding box of lit pixels; false when nothing is lit.
    static bool LitBox(int& left, int& top, int& right, int& bottom) {
        const Pixels screen = GrabScreenPixels(0, 0, kWidth, kHeight);
        left = top = 1 << 30;
        right = bottom = -1;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if ((ReadPixelArgb(screen, x, y) & 0x00FFFFFFu) == 0) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        return right >= 0;
    }

    // Writes a PNG of the given pixels into the fixture's folder and returns its path.
    std::string WritePng(const std::string& name, const Pixels& pixels) {
        const std::string path = (folder / name).string();
        EXPECT_TRUE(SavePixelsAsPng(pixels, path, 6));
        return path;
    }

    std::filesystem::path folder;
};
