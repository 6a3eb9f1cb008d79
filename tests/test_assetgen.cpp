// The built data files: the generated sheets have the sizes and filled frames the game cuts from
// them, the sounds are clean 16-bit mono PCM, the fonts are TrueType, and the generator writes
// the same bytes every time it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"

#ifdef CD_GAME_DIR
namespace {

namespace fs = std::filesystem;
const fs::path kFiles = fs::path(CD_GAME_DIR) / "Files";

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// Alpha-weighted share of the frame's area that is drawn, 0-1.
double Coverage(const Pixels& p, int frameW, int frameH, int frame) {
    const int perRow = p.width / frameW;
    const int x0 = frame % perRow * frameW, y0 = frame / perRow * frameH;
    double sum = 0;
    for (int y = y0; y < y0 + frameH; ++y)
        for (int x = x0; x < x0 + frameW; ++x) sum += (ReadPixelArgb(p, x, y) >> 24) / 255.0;
    return sum / (frameW * frameH);
}

// Share (0-1) of the frame's drawn area, weighted by alpha, whose brightness is at least 0.7.
double LightShare(const Pixels& p, int frameW, int frameH, int frame) {
    const int perRow = p.width / frameW;
    const int x0 = frame % perRow * frameW, y0 = frame / perRow * frameH;
    double light = 0, drawn = 0;
    for (int y = y0; y < y0 + frameH; ++y) {
        for (int x = x0; x < x0 + frameW; ++x) {
            const uint32_t c = ReadPixelArgb(p, x, y);
            const double a = (c >> 24) / 255.0;
            const double v = (((c >> 16) & 255) + ((c >> 8) & 255) + (c & 255)) / (3 * 255.0);
            drawn += a;
            if (v >= 0.7) light += a;
        }
    }
    return drawn > 0 ? light / drawn : 0;
}

struct Sheet {
    const char* file;
    int width, height;   // whole image
    int frameW, frameH;  // the cells the game cuts
    std::vector<int> usedFrames;
};

TEST(AssetSheets, HaveTheGameSizesAndEveryUsedFrameIsDrawn) {
    const std::vector<Sheet> sheets = {
        {"Common/icons.png",
         128,
         128,
         16,
         16,
         {0, 7, 11, 12, 13, 14, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 63}},
        {"Common/logo.png", 256, 256, 256, 256, {0}},
        {"Common/Hearthside.png", 256, 256, 256, 256, {0}},
        {"295/badges.png",
         256,
         256,
         64,
         64,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"295/logo.png", 512, 128, 512, 128, {0}},
        {"295/menu.png", 256, 64, 64, 64, {0, 1, 2, 3}},
        {"295/gfx.png", 320, 320, 32, 32, {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 13}},
        {"295/twirl.png", 256, 256, 256, 256, {0}},
    };
    for (const Sheet& s : sheets) {
        SCOPED_TRACE(s.file);
        const Pixels p = LoadPixelsFromPng((kFiles / s.file).string());
        ASSERT_EQ(p.width, s.width);
        ASSERT_EQ(p.height, s.height);
        for (int f : s.usedFrames)
            EXPECT_GT(Coverage(p, s.frameW, s.frameH, f), 0.03) << "frame " << f;
    }
}

TEST(AssetSheets, SpritesFitTheWayTheGameDrawsThem) {
    const Pixels icons = LoadPixelsFromPng((kFiles / "Common/icons.png").string());
    const Pixels gfx = LoadPixelsFromPng((kFiles / "295/gfx.png").string());
    ASSERT_EQ(icons.width, 128);
    ASSERT_EQ(gfx.width, 320);
    // The pointer is drawn with its top-left on the mouse, so the arrow's tip must be there.
    EXPECT_GT(ReadPixelArgb(icons, 7 * 16, 7 * 16) >> 24, 128u);
    // Menu icons, intruder and pickup are tinted by multiplying: dark art would hide the tint.
    for (int f : {0, 7, 21, 22, 23}) EXPECT_GT(LightShare(icons, 16, 16, f), 0.5) << "icon " << f;
    for (int f : {11, 13}) EXPECT_GT(LightShare(gfx, 32, 32, f), 0.5) << "sprite " << f;
    // Frame 1 is the head's collision shape for every head frame, so all eight share an outline.
    for (int f = 0; f < 8; ++f)
        EXPECT_NEAR(Coverage(gfx, 32, 32, f), Coverage(gfx, 32, 32, 1), 0.005) << f;
}

TEST(AssetSounds, AreCleanMonoPcmAtFullLevel) {
    for (const char* file : {"Common/badgeget.wav", "295/003.wav", "295/005.wav", "295/008.wav",
                             "295/031.wav", "295/098.wav"}) {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> b = ReadAll(kFiles / file);
        ASSERT_GE(b.size(), 44u);
        ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        ASSERT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
        size_t fmt = 0, data = 0, dataBytes = 0;
        for (size_t at = 12; at + 8 <= b.size();) {
            const std::string id(b.begin() + long(at), b.begin() + long(at) + 4);
            const size_t len = U32(b, at + 4);
            if (id == "fmt ") fmt = at + 8;
            if (id == "data") data = at + 8, dataBytes = len;
            at += 8 + len + (len & 1);
        }
        ASSERT_NE(fmt, 0u);
        ASSERT_NE(data, 0u);
        ASSERT_LE(data + dataBytes, b.size());
        EXPECT_EQ(U16(b, fmt), 1);      // PCM
        EXPECT_EQ(U16(b, fmt + 2), 1);  // mono
        EXPECT_EQ(U32(b, fmt + 4), 44100u);
        EXPECT_EQ(U16(b, fmt + 14), 16);
        const size_t n = dataBytes / 2;
        ASSERT_GT(n, 44100u / 50);  // at least 20 ms
        int peak = 0;
        for (size_t i = 0; i < n; ++i)
            peak = std::max(peak, std::abs(int(int16_t(U16(b, data + 2 * i)))));
        // A step at either end clicks; a quiet or clipped effect sits badly beside the others.
        EXPECT_LE(std::abs(int(int16_t(U16(b, data)))), 64);
        EXPECT_LE(std::abs(int(int16_t(U16(b, data + 2 * (n - 1))))), 64);
        EXPECT_GT(peak, 23000);  // above -3 dBFS
        EXPECT_LT(peak, 32767);  // never clipped
    }
}

TEST(AssetFonts, AreTrueTypeUnderTheirLoadNames) {
    for (const char* file :
         {"SVBasicManual.ttf", "November.ttf", "Blue Highway.ttf", "Acknowledge TT BRK.ttf"}) {
        const std::vector<uint8_t> b = ReadAll(kFiles / "Common" / file);
        ASSERT_GE(b.size(), 4u) << file;
        EXPECT_EQ(U32(b, 0), 0x00000100u) << file << " is not a TrueType-outline font";
    }
}

TEST(AssetGenerator, WritesTheSameBytesEveryRunAndReportsFailure) {
    const fs::path generator = fs::path(CD_GAME_DIR).parent_path() / "assetgen";
    if (!fs::exists(generator)) GTEST_SKIP() << "no generator beside the game folder";
    std::string pattern = (fs::temp_directory_path() / "crockery-assetgen-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path out = pattern;
    ASSERT_EQ(std::system(("\"" + generator.string() + "\" \"" + out.string() + "\"").c_str()), 0);
    for (const char* file :
         {"Common/icons.png", "Common/logo.png", "Common/Hearthside.png", "Common/badgeget.wav",
          "295/badges.png", "295/logo.png", "295/menu.png", "295/gfx.png", "295/twirl.png",
          "295/003.wav", "295/005.wav", "295/008.wav", "295/031.wav", "295/098.wav"}) {
        EXPECT_EQ(ReadAll(out / file), ReadAll(kFiles / file)) << file;
    }
    // A Files folder that cannot be created (its parent is a file) fails the build step.
    const std::string blocked = (out / "295" / "003.wav" / "Files").string();
    EXPECT_NE(
        std::system(("\"" + generator.string() + "\" \"" + blocked + "\" 2>/dev/null").c_str()), 0);
    fs::remove_all(out);
}

}  // namespace
#endif
