// Images and PNG files: round trips, broken files, frames cut from strips, masking, grabbing the
// screen, pixel blocks, and the pixel-exact overlap test under scale and rotation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "draw_fixture.h"

namespace {

using Images = DrawFixture;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

Pixels Gradient(int width, int height, bool translucent) {
    Pixels p = Filled(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            WritePixelArgb(p, x, y, Argb(translucent ? (x * 37 + y) & 0xFF : 255, x * 9, y * 13, 77));
    return p;
}

TEST_F(Images, PngRoundTripKeepsEveryPixel) {
    for (bool translucent : {false, true}) {
        SCOPED_TRACE(translucent ? "with alpha" : "opaque");
        const Pixels original = Gradient(23, 11, translucent);
        const std::string path = (folder / "round.png").string();
        ASSERT_TRUE(SavePixelsAsPng(original, path, 9));
        const Pixels back = LoadPixelsFromPng(path);
        EXPECT_EQ(back.width, 23);
        EXPECT_EQ(back.height, 11);
        EXPECT_EQ(back.argb, original.argb);
    }
}

TEST_F(Images, PngSavingHonoursTheLevelAndNeverLeavesDebris) {
    const Pixels flat = Filled(200, 200, Argb(255, 10, 20, 30));
    const std::string stored = (folder / "level0.png").string();
    const std::string packed = (folder / "level9.png").string();
    ASSERT_TRUE(SavePixelsAsPng(flat, stored, 0));
    ASSERT_TRUE(SavePixelsAsPng(flat, packed, 9));
    EXPECT_GT(std::filesystem::file_size(stored), 10 * std::filesystem::file_size(packed));

    // Replacing a file works; failures leave neither the target nor a temporary behind.
    ASSERT_TRUE(SavePixelsAsPng(Filled(3, 3, 0xFFFFFFFFu), packed, 9));
    EXPECT_EQ(LoadPixelsFromPng(packed).width, 3);
    EXPECT_FALSE(SavePixelsAsPng(flat, (folder / "missing" / "x.png").string(), 9));
    Pixels inconsistent = Filled(4, 4, 0);
    inconsistent.argb.pop_back();
    EXPECT_FALSE(SavePixelsAsPng(inconsistent, (folder / "bad.png").string(), 9));
    EXPECT_FALSE(SavePixelsAsPng(Pixels{}, (folder / "empty.png").string(), 9));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
        EXPECT_EQ(entry.path().extension(), ".png") << entry.path();
    }
    EXPECT_EQ(files, 2);
}

TEST_F(Images, BrokenPngFilesAreRefusedQuietly) {
    const std::string good = (folder / "good.png").string();
    ASSERT_TRUE(SavePixelsAsPng(Gradient(40, 40, true), good, 9));
    const std::string bytes = ReadBytes(good);
    std::string flipped = bytes;
    for (size_t i = 40; i < flipped.size(); i += 7) flipped[i] = char(~flipped[i]);
    std::string hugeHeader = bytes;  // IHDR claims 2^31-1 x 2^31-1 (CRC now wrong too)
    for (int i = 16; i < 24; ++i) hugeHeader[size_t(i)] = char(i % 4 == 0 ? 0x7F : 0xFF);
    const struct {
        const char* what;
        std::string contents;
    } cases[] = {
        {"empty", ""},
        {"text", "not a picture at all\n"},
        {"signature only", bytes.substr(0, 8)},
        {"truncated in the header", bytes.substr(0, 30)},
        {"truncated in the data", bytes.substr(0, bytes.size() / 2)},
        {"corrupted data", flipped},
        {"absurd size", hugeHeader},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = (folder / "broken.png").string();
        WriteBytes(path, c.contents);
        const Pixels p = LoadPixelsFromPng(path);
        EXPECT_EQ(p.width, 0);
        EXPECT_TRUE(p.argb.empty());
        EXPECT_EQ(LoadImageFile(path, 0), 0);
        EXPECT_EQ(LoadImageStrip(path, 4, 4, 0, 1, 0), 0);
    }
    EXPECT_EQ(LoadImageFile((folder / "absent.png").string(), 0), 0);
    EXPECT_EQ(LoadImageFile(folder.string(), 0), 0);  // a folder
}

TEST_F(Images, StripsAreCutRowByRowFromTheFirstFrame) {
    // A 3 x 2 grid of 2 x 2 frames; frame n is grey level 10 * (n + 1).
    Pixels sheet = Filled(6, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const int n = (y / 2) * 3 + x / 2, v = 10 * (n + 1);
            WritePixelArgb(sheet, x, y, Argb(255, v, v, v));
        }
    const std::string file = WritePng("sheet.png", sheet);
    const int strip = LoadImageStrip(file, 2, 2, 1, 4, 0);
    ASSERT_NE(strip, 0);
    EXPECT_EQ(ImageWidth(strip), 2);
    EXPECT_EQ(ImageHeight(strip), 2);
    EXPECT_EQ(ImageFrameCount(strip), 4);
    SetDrawBlend(kBlendSolid);
    for (int frame = 0; frame < 4; ++frame) {
        DrawImageFrame(strip, float(frame * 4), 0, frame);
        EXPECT_EQ(Red(At(frame * 4 + 1, 1)), 10 * (frame + 2)) << frame;
    }
    EXPECT_EQ(LoadImageStrip(file, 2, 2, 3, 4, 0), 0);   // runs past the sixth frame
    EXPECT_EQ(LoadImageStrip(file, 7, 2, 0, 1, 0), 0);   // frame wider than the file
    EXPECT_EQ(LoadImageStrip(file, 0, 2, 0, 1, 0), 0);
    EXPECT_EQ(LoadImageStrip(file, 2, 2, -1, 1, 0), 0);
}

TEST_F(Images, MaskedFlagClearsBlackOnlyInFilesWithoutAlpha) {
    Pixels opaque = Filled(2, 1, Argb(255, 0, 0, 0));
    WritePixelArgb(opaque, 1, 0, Argb(255, 200, 0, 0));
    Pixels withAlpha = opaque;
    WritePixelArgb(withAlpha, 1, 0, Argb(254, 200, 0, 0));  // forces an alpha channel
    const std::string opaqueFile = WritePng("opaque.png", opaque);
    const std::string alphaFile = WritePng("alpha.png", withAlpha);
    const struct {
        const char* what;
        std::string file;
        int flags;
        bool blackDrawn;
    } cases[] = {
        {"masked, no alpha", opaqueFile, kImageMasked, false},
        {"masked and filtered, no alpha", opaqueFile, kImageMasked | kImageFiltered, false},
        {"unmasked", opaqueFile, 0, true},
        {"masked, file has alpha", alphaFile, kImageMasked, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int image = LoadImageFile(c.file, c.flags);
        ASSERT_NE(image, 0);
        SetDrawColor(255, 255, 255);
        DrawFilledRect(0, 0, 2, 1);  // white underneath
        DrawImageFrame(image, 0, 0, 0);
        EXPECT_EQ(At(0, 0), c.blackDrawn ? 0xFF000000u : 0xFFFFFFFFu);
        EXPECT_NEAR(Red(At(1, 0)), 200, 1);
        FreeImage(image);
        EXPECT_EQ(ImageWidth(image), 0);
    }
}

TEST_F(Images, GrabbedScreenPixelsComeBackAsAnImage) {
    SetDrawColor(0, 200, 0);
    DrawFilledRect(5, 5, 3, 3);
    const int image = CreateBlankImage(4, 4, 2, 0);
    ASSERT_NE(image, 0);
    GrabScreenToImage(image, 4, 4, 1);  // one black row and column, then green
    ClearScreen();
    SetDrawColor(255, 255, 255);
    DrawImageFrame(image, 20, 20, 1);
    EXPECT_EQ(At(20, 20), 0xFF000000u);
    EXPECT_EQ(At(21, 21), Argb(255, 0, 200, 0));
    EXPECT_EQ(At(23, 23), Argb(255, 0, 200, 0));
    DrawImageFrame(image, 30, 30, 0);  // the other frame is still blank (transparent)
    EXPECT_EQ(At(31, 31), 0xFF000000u);

    const Pixels corner = GrabScreenPixels(kWidth - 2, kHeight - 2, 4, 4);  // half off screen
    ASSERT_EQ(corner.argb.size(), 16u);
    EXPECT_EQ(ReadPixelArgb(corner, 3, 3), 0xFF000000u);
    EXPECT_TRUE(GrabScreenPixels(0, 0, 0, 5).argb.empty());
}

TEST_F(Images, PixelBlocksIgnoreOutOfRangeAccess) {
    Pixels p = Filled(3, 2, 7);
    WritePixelArgb(p, 2, 1, 42);
    EXPECT_EQ(ReadPixelArgb(p, 2, 1), 42u);
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}}) {
        WritePixelArgb(p, x, y, 99);
        EXPECT_EQ(ReadPixelArgb(p, x, y), 0u);
    }
    for (uint32_t c : p.argb) EXPECT_NE(c, 99u);
    Pixels lying = p;  // claims more pixels than it holds
    lying.height = 50;
    EXPECT_EQ(ReadPixelArgb(lying, 0, 40), 0u);
    WritePixelArgb(lying, 0, 40, 1);
}

// Two centre-handled images: a solid 4 x 4 square and a 6 x 6 ring one pixel thick.
class Overlap : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        SetAutoCentreHandle(true);
        square = LoadImageFile(WritePng("square.png", Filled(4, 4, 0xFFFFFFFFu)), 0);
        Pixels ring = Filled(6, 6, 0);
        for (int i = 0; i < 6; ++i) {
            WritePixelArgb(ring, i, 0, 0xFFFFFFFFu);
            WritePixelArgb(ring, i, 5, 0xFFFFFFFFu);
            WritePixelArgb(ring, 0, i, 0xFFFFFFFFu);
            WritePixelArgb(ring, 5, i, 0xFFFFFFFFu);
        }
        WritePixelArgb(ring, 2, 2, 0x01FFFFFFu);  // barely visible still counts as solid
        this->ring = LoadImageFile(WritePng("ring.png", ring), 0);
        ASSERT_NE(square, 0);
        ASSERT_NE(this->ring, 0);
    }
    int square = 0;
    int ring = 0;
};

TEST_F(Overlap, PixelExactUnderScaleAndRotation) {
    const struct {
        const char* what;
        float scale, rotation;
        float dx, dy;  // position of the second square relative to the first
        bool overlap;
    } cases[] = {
        {"same place", 1, 0, 0, 0, true},
        {"one pixel shared", 1, 0, 3, 0, true},
        {"edges touching", 1, 0, 4, 0, false},
        {"one pixel apart", 1, 0, 5, 0, false},
        {"corners touching", 1, 0, 4, 4, false},
        {"corners overlapping", 1, 0, 3.5f, 3.5f, true},
        {"touching at scale 1.5", 1.5f, 0, 6, 0, false},
        {"a hair closer at scale 1.5", 1.5f, 0, 5.9f, 0, true},
        {"touching at scale 1.5, vertically", 1.5f, 0, 0, 6, false},
        {"touching, turned 90", 1, 90, 0, 4, false},
        {"overlapping, turned 90", 1, 90, 0, 3.5f, true},
        // Turned 45 degrees the squares are diamonds 5.66 across; side by side their edges part.
        {"diamonds touching at the tips would need 5.66", 1, 45, 5.5f, 0, true},
        {"diamonds apart", 1, 45, 5.8f, 0, false},
        {"turned 30 at scale 1.5, touching along a side", 1.5f, 30, 6 * 0.8660254f, 6 * 0.5f, false},
        {"turned 30 at scale 1.5, sliding into each other", 1.5f, 30, 5.5f * 0.8660254f,
         5.5f * 0.5f, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetDrawScale(c.scale, c.scale);
        SetDrawRotation(c.rotation);
        EXPECT_EQ(ImagesOverlap(square, 100, 200, 0, square, 100 + c.dx, 200 + c.dy, 0), c.overlap);
        EXPECT_EQ(ImagesOverlap(square, 100 + c.dx, 200 + c.dy, 0, square, 100, 200, 0), c.overlap);
    }
}

TEST_F(Overlap, TransparentPixelsNeverCollide) {
    SetDrawScale(1.5f, 1.5f);
    // A 2 x 2 image in the ring's hollow corner region, clear of both the rim and the dot.
    const int dot = CreateBlankImage(1, 1, 1, 0);
    SetDrawColor(255, 255, 255);
    DrawFilledRect(0, 0, 1, 1);
    GrabScreenToImage(dot, 0, 0, 0);
    EXPECT_FALSE(ImagesOverlap(ring, 50, 50, 0, dot, 50 + 1.5f * 1.5f, 50 - 1.5f * 1.5f, 0));
    EXPECT_TRUE(ImagesOverlap(ring, 50, 50, 0, dot, 50 - 1.5f * 0.5f, 50 - 1.5f * 0.5f, 0));  // the faint dot
    EXPECT_TRUE(ImagesOverlap(ring, 50, 50, 0, dot, 50 - 1.5f * 2.5f, 50, 0));                // the rim
    // The square fits inside the ring's hollow only partly: it reaches the dot.
    EXPECT_TRUE(ImagesOverlap(ring, 50, 50, 0, square, 50, 50, 0));
    // Bad ids and frames are simply no overlap.
    EXPECT_FALSE(ImagesOverlap(0, 0, 0, 0, square, 0, 0, 0));
    EXPECT_FALSE(ImagesOverlap(square, 0, 0, 1, square, 0, 0, 0));
    SetDrawScale(0, 1);
    EXPECT_FALSE(ImagesOverlap(square, 0, 0, 0, square, 0, 0, 0));
}

}  // namespace
