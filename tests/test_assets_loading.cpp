// Loading the shared and the game's assets on the headless twin with the built data files: font
// sizes by display width, every slot filled, broken or missing files, the jingle, a reopened
// display; and the palette.
#include <algorithm>

#include "app/assets.h"
#include "audio/sfx.h"
#include "frame/draw.h"
#include "game/game_assets.h"
#include "headless_fixture.h"
#include "platform/headless/audio_record.h"
#include "scores/scores.h"
#include "wav_bytes.h"

namespace {

namespace fs = std::filesystem;
using headless::AudioEvent;
using headless::AudioEventsOf;

// ---------------------------------------------------------------------------------------------
// The font plan
// ---------------------------------------------------------------------------------------------

TEST(FontPlan, TypefacesAndSizesFollowTheDisplayWidth) {
    struct Case {
        int width;
        std::string faceA;
        int fixed[14];  // pixel sizes of Fonts slots 1-13 (index 0 unused)
        int grid[9];    // FontGrid steps 0-8, the same for all three typefaces
    };
    const Case cases[] = {
        {599, "SVBasicManual.ttf", {0, 36, 32, 32, 30, 144, 108, 48, 48, 21, 112, 96, 32, 20},
         {12, 18, 27, 36, 48, 60, 78, 96, 144}},
        {800, "SVBasicManual.ttf", {0, 28, 22, 22, 24, 115, 86, 38, 38, 16, 112, 96, 32, 20},
         {9, 14, 21, 28, 38, 48, 62, 76, 115}},
        {1024, "November.ttf", {0, 24, 16, 16, 20, 96, 72, 32, 32, 14, 112, 96, 32, 20},
         {8, 12, 18, 24, 32, 40, 52, 64, 96}},
    };
    const std::string B = "Blue Highway.ttf", C = "Acknowledge TT BRK.ttf";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const CommonFontPlan plan = PlanCommonFonts(c.width);
        const std::string A = c.faceA;
        const std::string faces[14] = {"", A, A, A, A, B, B, B, A, A, C, C, C, C};
        for (int slot = 1; slot <= 13; ++slot) {
            EXPECT_EQ(plan.fixed[slot].file, faces[slot]) << "Fonts slot " << slot;
            EXPECT_EQ(plan.fixed[slot].pixelSize, c.fixed[slot]) << "Fonts slot " << slot;
        }
        for (int slot : {0, 14, 19}) EXPECT_EQ(plan.fixed[slot].file, "") << slot;
        const std::string gridFaces[3] = {A, B, C};
        for (int typeface = 0; typeface < 3; ++typeface)
            for (int step = 0; step < 9; ++step) {
                const FontSpec& spec = plan.grid[typeface * 10 + step];
                EXPECT_EQ(spec.file, gridFaces[typeface]) << typeface * 10 + step;
                EXPECT_EQ(spec.pixelSize, c.grid[step]) << typeface * 10 + step;
            }
        for (int slot : {9, 19, 29, 30, 99}) EXPECT_EQ(plan.grid[slot].file, "") << slot;
    }
}

TEST(FontPlan, FactorsChangeExactlyAtTheirWidths) {
    struct Case { int width; float large, small; std::string faceA; };
    const Case cases[] = {
        {0, 1.5f, 2.0f, "SVBasicManual.ttf"},   {599, 1.5f, 2.0f, "SVBasicManual.ttf"},
        {600, 1.2f, 1.4f, "SVBasicManual.ttf"}, {800, 1.2f, 1.4f, "SVBasicManual.ttf"},
        {801, 1.2f, 1.4f, "November.ttf"},      {899, 1.2f, 1.4f, "November.ttf"},
        {900, 1.0f, 1.0f, "November.ttf"},      {3840, 1.0f, 1.0f, "November.ttf"},
    };
    for (const Case& c : cases) {
        const FontFactors f = ChooseFontFactors(c.width);
        EXPECT_EQ(f.large, c.large) << c.width;
        EXPECT_EQ(f.small, c.small) << c.width;
        EXPECT_EQ(TypefaceAFile(c.width), c.faceA) << c.width;
    }
}

// ---------------------------------------------------------------------------------------------
// Loading on the twin
// ---------------------------------------------------------------------------------------------

class AssetLoading : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        if (PathKind((common() / "icons.png").string()) != 1 ||
            PathKind((gameFolder() / "gfx.png").string()) != 1)
            GTEST_SKIP() << "the game's data files have not been built";
        ResetSoundEffects();
        DisplayOpened = 0;
        ChangeFolder("Files/");
        OpenLog();
        ChangeFolder(GameFolder());
        gameFolderPath = CurrentFolder();
        Open(800, 600);
    }

    void Open(int width, int height) {
        SelectDirect3D7Backend();
        ASSERT_TRUE(OpenDisplay(width, height, 0, 60));
        DisplayWidth = width;
        DisplayHeight = height;
        SetVirtualResolution(VirtualWidth, VirtualHeight);
    }

    // Log lines written since the last call.
    std::vector<std::string> NewLogLines() {
        const std::vector<std::string> all = ReadLines(files() / "Debug.txt");
        std::vector<std::string> fresh(all.begin() + long(std::min(seenLines, all.size())), all.end());
        seenLines = all.size();
        return fresh;
    }
    static long CountIn(const std::vector<std::string>& lines, const std::string& text) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }

    fs::path common() const { return files() / "Common"; }

    std::string gameFolderPath;
    size_t seenLines = 0;
};

TEST_F(AssetLoading, FillsEverySlotLogsEachStepAndPlaysTheJingle) {
    LoadCommonAssets();
    LoadGameImages();

    for (int slot = 1; slot <= 13; ++slot) EXPECT_NE(Fonts[slot], 0) << "Fonts slot " << slot;
    for (int slot = 0; slot < 30; ++slot)
        EXPECT_EQ(FontGrid[slot] != 0, slot % 10 != 9) << "FontGrid slot " << slot;
    struct Image { const char* name; int id, frames, size; };
    const Image images[] = {
        {"IconStrip", IconStrip, 64, 16},    {"IconStripSharp", IconStripSharp, 64, 16},
        {"BadgeImages", BadgeImages, 16, 64}, {"MenuStrip", MenuStrip, 4, 64},
        {"MenuStripSharp", MenuStripSharp, 4, 64}, {"GameSheet", GameSheet, 100, 32},
        {"CommonLogo", CommonLogo, 1, 0},    {"PartnerLogo", PartnerLogo, 1, 0},
        {"TitleLogo", TitleLogo, 1, 0},      {"TwirlImage", TwirlImage, 1, 0},
    };
    for (const Image& image : images) {
        ASSERT_NE(image.id, 0) << image.name;
        EXPECT_EQ(ImageFrameCount(image.id), image.frames) << image.name;
        if (image.size != 0) {
            EXPECT_EQ(ImageWidth(image.id), image.size) << image.name;
        }
    }
    EXPECT_NE(BadgeSound, 0);
    EXPECT_EQ(CurrentFolder(), gameFolderPath);

    const std::vector<std::string> log = NewLogLines();
    const std::vector<std::string> opening = {
        "", "Loading : Common Objects", "", "Switching to Default Folder", "", "\tDefault Fonts",
        "\tDefault Icons", "\tLogos", "\tBadgeGet", "", "Switching to Game Folder", "",
        "Loading Sound effects",
    };
    ASSERT_GE(log.size(), opening.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + long(opening.size())), opening);
    EXPECT_NE(std::find(log.begin(), log.end(), "Sounds loaded"), log.end());
    EXPECT_EQ(CountIn(log, "\tFile "), 0);

    // The first loading screen: one present, and the jingle in its own slot at 50 x 50 / 10000.
    EXPECT_EQ(DisplayOpened, 1);
    EXPECT_EQ(headless::PresentCount(), 1);
    ASSERT_NE(SfxChannels[kJingleSlot], 0);
    const headless::RecordedChannel& jingle = headless::Audio().channels.at(SfxChannels[kJingleSlot]);
    EXPECT_EQ(jingle.sample, BadgeSound);
    EXPECT_FLOAT_EQ(jingle.volume, 0.25f);
    EXPECT_TRUE(jingle.playing);
}

TEST_F(AssetLoading, LogsAndLoadsOnlyTheEffectsThatExist) {
    for (const fs::directory_entry& entry : fs::directory_iterator(gameFolder()))
        if (entry.path().extension() == ".wav") fs::remove(entry.path());
    for (const char* name : {"003.wav", "150.wav"})
        wavbytes::WriteFile(gameFolder() / name, wavbytes::Wav16(1, 22050, {0, 900, -900, 0}));

    LoadCommonAssets();
    std::vector<std::string> sfxLines;
    for (const std::string& line : NewLogLines())
        if (line.rfind("\tSFX(", 0) == 0) sfxLines.push_back(line);
    EXPECT_EQ(sfxLines, (std::vector<std::string>{"\tSFX(3)", "\tSFX(150)"}));
    for (int id = 0; id < kSoundEffectCount; ++id)
        EXPECT_EQ(SoundEffects[id] != 0, id == 3 || id == 150) << id;
}

TEST_F(AssetLoading, BrokenFilesLeaveTheirSlotsEmptyWithOneLogLineEach) {
    // Truncated: the first half kept. CutShort: the first 40 bytes, inside the header. (A WAV or
    // TTF cut in half still opens: the WAV plays what is left, the font lacks some glyphs.)
    enum Breakage { Missing, Truncated, CutShort, Garbage };
    struct Case {
        fs::path file;  // below Files/
        Breakage breakage;
        std::vector<int*> slots;
    };
    const Case cases[] = {
        {"Common/icons.png", Missing, {&IconStrip, &IconStripSharp}},
        {"Common/logo.png", Truncated, {&CommonLogo}},
        {"Common/Hearthside.png", Garbage, {&PartnerLogo}},
        {"Common/badgeget.wav", CutShort, {&BadgeSound, &SfxChannels[kJingleSlot]}},
        {"Common/SVBasicManual.ttf", Garbage, {&Fonts[1], &Fonts[9], &FontGrid[0], &FontGrid[8]}},
        {"Common/Blue Highway.ttf", CutShort, {&Fonts[5], &FontGrid[14]}},
        {"Common/Acknowledge TT BRK.ttf", Missing, {&Fonts[10], &FontGrid[28]}},
        {"295/badges.png", Garbage, {&BadgeImages}},
        {"295/007.wav", Garbage, {&SoundEffects[7]}},
        {"295/menu.png", Truncated, {&MenuStrip, &MenuStripSharp}},
        {"295/gfx.png", Missing, {&GameSheet}},
        {"295/twirl.png", CutShort, {&TwirlImage}},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        const fs::path path = files() / c.file;
        std::ifstream in(path, std::ios::binary);
        const std::string original{std::istreambuf_iterator<char>(in), {}};
        in.close();
        if (c.breakage == Missing) fs::remove(path);
        if (c.breakage == Truncated) {
            ASSERT_GT(original.size(), 80u) << c.file;
            std::ofstream(path, std::ios::binary) << original.substr(0, original.size() / 2);
        }
        if (c.breakage == CutShort) std::ofstream(path, std::ios::binary) << original.substr(0, 40);
        if (c.breakage == Garbage) std::ofstream(path, std::ios::binary) << std::string(300, '\x5A');
        expected.push_back((c.breakage == Missing ? "\tFile missing : " : "\tFile unreadable : ") +
                           c.file.filename().string());
    }

    LoadCommonAssets();
    LoadGameImages();

    for (const Case& c : cases)
        for (int* slot : c.slots) EXPECT_EQ(*slot, 0) << c.file;
    std::vector<std::string> reported;
    for (const std::string& line : NewLogLines())
        if (line.rfind("\tFile ", 0) == 0) reported.push_back(line);
    std::sort(expected.begin(), expected.end());
    std::sort(reported.begin(), reported.end());
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(CurrentFolder(), gameFolderPath);
    EXPECT_NE(SoundEffects[3], 0) << "the other files still load";

    // Empty slots draw and play nothing, without fault.
    SoundEffects[7] = 0;
    headless::Audio().events.clear();
    PlaySfx(7, 1, 1, 0);
    EXPECT_TRUE(AudioEventsOf(AudioEvent::Cue).empty());
    BeginFrame();
    const Pixels before = GrabScreenPixels(0, 0, 800, 600);
    DrawSprite(0, 10, 10, 0);
    DrawImageFrame(0, 400, 300, 3);
    SelectFont(0);
    DrawString("nothing", 100, 100);
    EXPECT_EQ(GrabScreenPixels(0, 0, 800, 600).argb, before.argb);
}

TEST_F(AssetLoading, MissingCommonFolderStillEndsInTheGameFolder) {
    fs::remove_all(common());
    LoadCommonAssets();
    EXPECT_EQ(CurrentFolder(), gameFolderPath);
    EXPECT_EQ(Fonts[1], 0);
    EXPECT_EQ(IconStrip, 0);
    EXPECT_NE(BadgeImages, 0) << "the game folder's files still load";
    const std::vector<std::string> log = NewLogLines();
    EXPECT_EQ(CountIn(log, "\tFile missing : SVBasicManual.ttf"), 1);
    EXPECT_EQ(CountIn(log, "\tFile missing : icons.png"), 1);
}

TEST_F(AssetLoading, ReopenedDisplayKeepsThisRunsScoresAndPlaysNoJingle) {
    LoadCommonAssets();
    const int jingleChannel = SfxChannels[kJingleSlot];
    const size_t samplesLoaded = headless::Audio().samples.size();
    Scores finished;
    finished.Name = "Played since start-up";
    finished.Score = 4321;
    LocalScores.push_front(finished);
    const size_t scoresBefore = LocalScores.size();

    CloseDisplay();
    Open(1024, 768);
    headless::Audio().events.clear();
    LoadCommonAssets();

    EXPECT_EQ(LocalScores.size(), scoresBefore);
    EXPECT_EQ(LocalScores.front().Name, "Played since start-up");
    EXPECT_TRUE(AudioEventsOf(AudioEvent::Cue).empty());
    EXPECT_EQ(SfxChannels[kJingleSlot], jingleChannel);
    EXPECT_EQ(headless::PresentCount(), 1) << "no second loading screen";
    EXPECT_EQ(headless::Audio().samples.size(), samplesLoaded) << "the old samples were released";
    EXPECT_NE(Fonts[1], 0);
    EXPECT_NE(IconStripSharp, 0);
}

// ---------------------------------------------------------------------------------------------
// The palette
// ---------------------------------------------------------------------------------------------

class PaletteTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        std::fill(std::begin(Palette), std::end(Palette), 0);
    }
    static std::vector<int> Current(int k) {
        SetPaletteColour(k);
        int r = 0, g = 0, b = 0;
        GetDrawColor(r, g, b);
        return {r, g, b};
    }
};

TEST_F(PaletteTest, InitialisedColoursAndOutOfRangeNumbers) {
    InitPalette();
    StepPalette(1024);
    struct Case { int k; std::vector<int> rgb; };
    const Case cases[] = {
        {0, {0, 0, 0}},       {1, {0, 0, 128}},       {3, {128, 0, 0}},      {7, {255, 0, 128}},
        {11, {0, 128, 255}},  {13, {128, 128, 128}},  {15, {255, 128, 0}},   {21, {128, 255, 0}},
        {24, {255, 255, 0}},  {26, {255, 255, 255}},  {27, {255, 100, 100}},
        {-1, {128, 128, 128}}, {28, {128, 128, 128}}, {40, {128, 128, 128}},
    };
    for (const Case& c : cases) EXPECT_EQ(Current(c.k), c.rgb) << c.k;
    SetDrawAlpha(0.2f);
    SetPaletteColour(5);
    EXPECT_FLOAT_EQ(GetDrawAlpha(), 1.0f);
}

TEST_F(PaletteTest, StepsStopExactlyOnTheTarget) {
    SetPaletteTarget(26, 255, 255, 255);
    SetPaletteTarget(27, 0, 0, 0);
    Palette[3 * 27] = 255;  // colour 27 starts above its target
    for (int call = 1; call <= 25; ++call) StepPalette(10);
    EXPECT_EQ(Current(26), (std::vector<int>{250, 250, 250}));
    EXPECT_EQ(Current(27), (std::vector<int>{5, 0, 0}));
    StepPalette(10);
    EXPECT_EQ(Current(26), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(Current(27), (std::vector<int>{0, 0, 0}));

    SetPaletteTarget(26, 0, 0, 0);
    StepPalette(0);
    StepPalette(-5);
    EXPECT_EQ(Current(26), (std::vector<int>{255, 255, 255})) << "no step, no change";
    SetPaletteTarget(99, 1, 2, 3);  // out of range: ignored, nothing past the table is written
    EXPECT_EQ(Palette[399], 0);
}

}  // namespace
