// Screenshots on the headless twin: the file's name for a fixed moment, its size and opaque
// pixels, the log lines, the notice, the current folder afterwards, and a file that cannot be
// written.
#include <filesystem>
#include <string>

#include "frame/pause.h"
#include "headless_fixture.h"

namespace {

namespace fs = std::filesystem;

const std::string kName = "Saucer Sway Tug Lines (Screenshot_09 Dec 2025_143005).png";

class ScreenshotTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        OpenPixelDisplay(kWidth, kHeight);
        ChangeFolder("Files/");
        OpenLog();
        ChangeFolder("295/");
        headless::SetDateTime("09 Dec 2025", "14:30:05");
        // A frame whose pixels carry colour and less than full alpha in the back buffer.
        SetDrawBlend(kBlendSolid);
        SetDrawColor(10, 200, 30);
        SetDrawAlpha(0.25f);
        DrawFilledRect(0, 0, kWidth / 2, kHeight);
        SetDrawBlend(kBlendAlpha);
        SetDrawAlpha(1);
    }

    std::vector<std::string> Log() {
        CloseLog();  // flushed anyway; closing makes the reading plain
        return ReadLines(files() / "Debug.txt");
    }

    static constexpr int kWidth = 40, kHeight = 30;
};

TEST_F(ScreenshotTest, SavesTheDisplayOpaqueInFilesAndLogsIt) {
    const Pixels screen = GrabScreenPixels(0, 0, kWidth, kHeight);
    TakeScreenshot();

    EXPECT_EQ(fs::path(CurrentFolder()), fs::path(gameFolder().string() + "/"));
    const Pixels saved = LoadPixelsFromPng((files() / kName).string());
    ASSERT_EQ(saved.width, kWidth);
    ASSERT_EQ(saved.height, kHeight);
    for (size_t i = 0; i < saved.argb.size(); ++i) {
        ASSERT_EQ(saved.argb[i] >> 24, 255u) << "pixel " << i;
        ASSERT_EQ(saved.argb[i] & 0xFFFFFFu, screen.argb[i] & 0xFFFFFFu) << "pixel " << i;
    }
    EXPECT_EQ(ReadPixelArgb(saved, 1, 1) & 0xFFFFFFu, 0x0AC81Eu);
    EXPECT_FALSE(fs::exists(gameFolder() / kName));

    ASSERT_EQ(Notices.size(), 1u);
    EXPECT_EQ(Notices.front().txt, "Saved Screenshot");
    const std::vector<std::string> expected = {
        "", "\tScreenshot", "\tGrabbing Screenshot", "\tSaving Screenshot : " + kName,
        "\tSaved Screenshot 1", ""};
    EXPECT_EQ(Log(), expected);
}

TEST_F(ScreenshotTest, TwoInOneSecondLeaveOneFile) {
    TakeScreenshot();
    TakeScreenshot();
    int pngs = 0;
    for (const auto& entry : fs::directory_iterator(files()))
        pngs += entry.path().extension() == ".png";
    EXPECT_EQ(pngs, 1);
    EXPECT_EQ(Notices.size(), 2u);
}

TEST_F(ScreenshotTest, AFileThatCannotBeWrittenIsLoggedAndNoticedAsNotSaved) {
    // A folder of the screenshot's name stands where the file would go.
    fs::create_directory(files() / kName);
    TakeScreenshot();
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "\tSaved Screenshot 0");
    ASSERT_EQ(Notices.size(), 1u);
    EXPECT_EQ(Notices.front().txt, "Screenshot Not Saved");
    EXPECT_EQ(fs::path(CurrentFolder()), fs::path(gameFolder().string() + "/"));
    EXPECT_TRUE(fs::is_directory(files() / kName));
}

TEST_F(ScreenshotTest, WithoutAGameFolderTheFileStaysInFiles) {
    // As after a start-up that found no game folder: the current folder is "Files/" itself.
    ChangeFolder("..");
    TakeScreenshot();
    EXPECT_TRUE(fs::exists(files() / kName));
    EXPECT_FALSE(fs::exists(root / kName));
    EXPECT_EQ(fs::path(CurrentFolder()), fs::path(files().string() + "/"));
}

TEST(CleanFileName, DropsTheTwelveUnsafeCharactersOnly) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"#',`.\\/:|*?\"", ""},
        {"14:30:05", "143005"},
        {"a b (c)_d-e!", "a b (c)_d-e!"},
        {"caf\xE9. x", "caf\xE9 x"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanFileName(c.in), c.out) << c.in;
}

TEST(ScreenshotName, IsBuiltFromTheGameNamesDateAndTime) {
    headless::Install();
    struct Case { const char* date; const char* time; std::string name; };
    const Case cases[] = {
        {"09 Dec 2025", "14:30:05", kName},
        {"01 Jan 2030", "00:00:00", "Saucer Sway Tug Lines (Screenshot_01 Jan 2030_000000).png"},
    };
    for (const Case& c : cases) {
        headless::SetDateTime(c.date, c.time);
        EXPECT_EQ(ScreenshotFileName(), c.name);
    }
}

}  // namespace
