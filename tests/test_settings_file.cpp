// Setup.ini: the loose reader's line rules, any bytes at all, the writer's fixed layout, the
// write-read round trip and where the file lands.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/settings_file.h"
#include "app/state.h"
#include "input/controls.h"
#include "platform/files_internal.h"
#include "platform/headless/headless.h"

namespace fs = std::filesystem;

namespace {

std::string Crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A snapshot of everything the settings file may touch.
struct SetupState {
    int settings[100] = {};
    int bindings[kBindingCount] = {};
    int audioLineSeen = 0;

    static SetupState Current() {
        SetupState s;
        std::copy(std::begin(Settings), std::end(Settings), s.settings);
        std::copy(std::begin(Bindings), std::end(Bindings), s.bindings);
        s.audioLineSeen = AudioDriverLineSeen;
        return s;
    }
    void Restore() const {
        std::copy(std::begin(settings), std::end(settings), Settings);
        std::copy(std::begin(bindings), std::end(bindings), Bindings);
        AudioDriverLineSeen = audioLineSeen;
    }
    bool operator==(const SetupState&) const = default;
};

// A started program's state: Files/ holds the log, the current folder is Files/, as when start-up
// reads the settings.
class SetupFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "setup-file-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = fs::canonical(pattern).string();
        headless::Install(root);
        ResetProcessState();
        SetDefaultBindings();
        AudioDrivers = {"DirectSound", "OpenAL"};
        ASSERT_TRUE(ChangeFolder("Files/"));
        OpenLog();
        AudioDriverLineSeen = 0;
        defaults = SetupState::Current();
    }
    void TearDown() override {
        CloseLog();
        plat::SetFileWriteFault(-1);
        headless::Install();
        fs::remove_all(root);
    }

    std::string InFiles(const std::string& name) const { return root + "/Files/" + name; }
    std::string GameFolderPath() const { return root + "/Files/" + GameFolder(); }
    void PutSetup(const std::string& bytes) { WriteBytes(InFiles("Setup.ini"), bytes); }
    std::string WrittenSetup() const { return ReadBytes(InFiles("Setup.ini")); }
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        std::string text = ReadBytes(InFiles("Debug.txt"));
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    // Writes from the game folder, as the running program does.
    void WriteFromGameFolder() {
        ASSERT_TRUE(ChangeFolder(GameFolderPath()));
        WriteSetup();
        EXPECT_EQ(CurrentFolder(), GameFolderPath());
    }

    std::string root;
    SetupState defaults;
};

// Expected state: the defaults with one slot changed.
struct LineCase {
    const char* line;
    char table;  // 'S' Settings, 'B' Bindings, 0 nothing changes
    int slot;
    int value;
};

const LineCase kLineCases[] = {
    {"fullscreen=on", 'S', Fullscreen, 1},
    {"  FullScreen = TRUE  ", 'S', Fullscreen, 1},
    {"Fullscreen = Yes", 0, 0, 0},
    {"Fullscreen = False", 0, 0, 0},
    {"GFXENGINE=dx7", 'S', GfxEngine, 2},
    {"GFX Engine = DX9", 'S', GfxEngine, 1},
    {"GFX Engine = OpenGL", 0, 0, 0},
    {"GFX  Engine = DX9", 0, 0, 0},
    {"ESS=0", 'S', SlowSystem, 1},
    {"ess", 'S', SlowSystem, 1},
    {"Width=-1024", 'S', Width, 1024},
    {"height = 720px", 'S', Height, 720},
    {"Width=$400", 'S', Width, 1024},
    {"Width=-2147483648", 'S', Width, INT_MAX},
    {"Width=99999999999", 'S', Width, INT_MAX},
    {"Width", 'S', Width, 0},  // no "=": key and value are both "Width", which reads as 0
    {"Master = 300", 'S', MasterVolume, 300},
    {"SOUND=7", 'S', SoundVolume, 7},
    {"Music=-$10", 'S', MusicVolume, 16},
    {"Key=5,39", 'B', 5, 39},
    {"Key=5", 'B', 5, 5},
    {"key = 7 , 301", 'B', 7, 301},
    {"Key=-7,41", 'B', 7, 41},
    {"Key=20,-300", 'B', 20, 300},
    {"Key=99,549", 'B', 99, 549},
    {"Key=0,87", 'B', 0, 87},
    {"Key=,87", 0, 0, 0},   // an index without digits never rebinds Up
    {"Key=up,87", 0, 0, 0},
    {"Key=", 0, 0, 0},
    {"Key=100,50", 0, 0, 0},
    {"Key=2147483648,50", 0, 0, 0},
    {"Key=-2147483648,50", 0, 0, 0},
    {"[Graphics]", 0, 0, 0},
    {"; Width=1024", 0, 0, 0},
    {"Width==640", 'S', Width, 0},  // field 2 of "Width==640" is empty
    {"", 0, 0, 0},
};

TEST_F(SetupFile, EachLineSetsOnlyItsOwnField) {
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.line);
        defaults.Restore();
        PutSetup(std::string(c.line) + "\r\n");
        LoadSetup();
        SetupState expected = defaults;
        if (c.table == 'S') expected.settings[c.slot] = c.value;
        if (c.table == 'B') expected.bindings[c.slot] = c.value;
        EXPECT_TRUE(SetupState::Current() == expected);
    }
}

TEST_F(SetupFile, LogsWhatItSwitchesOn) {
    PutSetup("Fullscreen=on\nGFX Engine=DX9\nGfxEngine=dx7\nESS=whatever\nWidth=1024\n"
             "Fullscreen = Yes\nGFX Engine = OpenGL\n");
    LoadSetup();
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "\tReading Setup File", "\tSetting to Fullscreen", "\tDirectX 9 Mode",
                              "\tDirectX 7 Mode", "\tAssuming Emergency Slow System values."}));
}

TEST_F(SetupFile, MissingFileLeavesDefaultsAndLogsNothing) {
    AudioDriverLineSeen = 1;
    LoadSetup();
    EXPECT_EQ(AudioDriverLineSeen, 0);
    SetupState expected = defaults;
    expected.audioLineSeen = 0;
    EXPECT_TRUE(SetupState::Current() == expected);
    EXPECT_EQ(LogLines(), std::vector<std::string>{});
}

TEST_F(SetupFile, AudioDriverLineMatchesNamesExactlyAndAlwaysCountsAsSeen) {
    struct DriverCase {
        std::vector<std::string> drivers;
        const char* file;
        int startIndex;
        int index;
        int seen;
    };
    const DriverCase kCases[] = {
        {{"DirectSound", "OpenAL"}, "AudioDriver = OpenAL", 0, 1, 1},
        {{"DirectSound", "OpenAL"}, "audiodriver=OpenAL ", 0, 1, 1},
        {{"DirectSound", "OpenAL"}, "AudioDriver = openal", 0, 0, 1},
        {{"DirectSound", "OpenAL"}, "AudioDriver = Nothing", 1, 1, 1},
        {{"DirectSound", "OpenAL"}, "AudioDriver =", 0, 0, 1},
        {{"A", "B", "A"}, "AudioDriver = A", 1, 2, 1},
        {{}, "AudioDriver = OpenAL", 0, 0, 1},
        {{"DirectSound", "OpenAL"}, "; AudioDriver = OpenAL", 0, 0, 0},
        {{"DirectSound", "OpenAL"}, "Width=640", 0, 0, 0},
    };
    for (const DriverCase& c : kCases) {
        SCOPED_TRACE(c.file);
        AudioDrivers = c.drivers;
        Settings[AudioDriverIndex] = c.startIndex;
        PutSetup(c.file);
        LoadSetup();
        EXPECT_EQ(Settings[AudioDriverIndex], c.index);
        EXPECT_EQ(AudioDriverLineSeen, c.seen);
    }
}

TEST_F(SetupFile, LinesEndAtLineFeedOrZeroByteWithCarriageReturnsDropped) {
    struct EndingCase {
        std::string bytes;
        int width;
        int height;
    };
    const std::string big(10 * 1024 * 1024, 'x');
    const EndingCase kCases[] = {
        {"Width=640", 640, 600},
        {"Width=640\r\nHeight=480\r\n", 640, 480},
        {"Width=640\nHeight=480", 640, 480},
        {"Wid\rth=6\r40\r\r\n", 640, 600},
        {std::string("Width=640\0Height=480", 20), 640, 480},
        {std::string("\0\0\0Height=480\0", 14), 800, 480},
        {"", 800, 600},
        {"\n\n\n", 800, 600},
        {big + "\nWidth=640", 640, 600},
        {"Width=" + big, 0, 600},
        {"Height=" + std::string(1024 * 1024, '7'), 800, INT_MAX},
    };
    for (const EndingCase& c : kCases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        defaults.Restore();
        PutSetup(c.bytes);
        LoadSetup();
        EXPECT_EQ(Settings[Width], c.width);
        EXPECT_EQ(Settings[Height], c.height);
    }
}

// Junk is read by the same rules; whatever it set, the next write puts it back in the fixed layout
// and a fresh start reads the same values from it.
TEST_F(SetupFile, BinaryJunkReadsWithoutHarmAndRewritesCleanly) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>(i & 255);
    uint32_t state = 12345;
    for (int i = 0; i < 1 << 20; ++i) {
        state = state * 1664525u + 1013904223u;
        junk += static_cast<char>(state >> 24);
    }
    junk += "\nKey=12,45\nWidth=1111";
    PutSetup(junk);
    LoadSetup();
    EXPECT_EQ(Bindings[12], 45);
    EXPECT_EQ(Settings[Width], 1111);
    SetupState afterJunk = SetupState::Current();

    WriteFromGameFolder();
    const std::string written = WrittenSetup();
    EXPECT_EQ(written.rfind("[Graphics]\r\n", 0), 0u);
    EXPECT_NE(written.find("\r\n\r\n[Audio]\r\n"), std::string::npos);
    EXPECT_NE(written.find("\r\n\r\n[Controls]\r\n"), std::string::npos);

    ASSERT_TRUE(ChangeFolder(".."));
    defaults.Restore();
    LoadSetup();
    afterJunk.audioLineSeen = 1;
    EXPECT_TRUE(SetupState::Current() == afterJunk);
}

TEST_F(SetupFile, WritesTheDefaultsInTheFixedLayout) {
    WriteFromGameFolder();
    EXPECT_EQ(WrittenSetup(), Crlf({"[Graphics]",
                                    "Fullscreen = False",
                                    "GFX Engine = OpenGL",
                                    "Width=800",
                                    "Height=600",
                                    "",
                                    "[Audio]",
                                    "Master = 50",
                                    "Sound = 50",
                                    "Music = 50",
                                    "AudioDriver = DirectSound",
                                    "; AudioDriver = DirectSound",
                                    "; AudioDriver = OpenAL",
                                    "",
                                    "[Controls]",
                                    "Key=0,38",
                                    "Key=3,37",
                                    "Key=5,39",
                                    "Key=8,40",
                                    "Key=10,90",
                                    "Key=11,88",
                                    "Key=12,67",
                                    "Key=13,86"}));
}

TEST_F(SetupFile, WritesOtherValuesAndLeavesOutWhatHasNoLine) {
    Settings[Fullscreen] = 1;
    Settings[GfxEngine] = 2;
    Settings[Width] = 1920;
    Settings[Height] = 1080;
    Settings[SlowSystem] = 1;
    Settings[MasterVolume] = 0;
    Settings[SoundVolume] = 100;
    Settings[MusicVolume] = 7;
    Settings[AudioDriverIndex] = 1;
    std::fill(std::begin(Bindings), std::end(Bindings), 0);
    Bindings[20] = 300;
    Bindings[99] = 549;
    Bindings[100] = 77;  // never stored
    Bindings[50] = -5;   // only positive codes are stored
    WriteFromGameFolder();
    EXPECT_EQ(WrittenSetup(),
              Crlf({"[Graphics]", "Fullscreen = True", "GFX Engine = DX7", "Width=1920",
                    "Height=1080",
                    "ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  "
                    "Awww..",
                    "", "[Audio]", "Master = 0", "Sound = 100", "Music = 7", "AudioDriver = OpenAL",
                    "; AudioDriver = DirectSound", "; AudioDriver = OpenAL", "", "[Controls]",
                    "Key=20,300", "Key=99,549"}));

    Settings[Fullscreen] = 2;
    Settings[GfxEngine] = 1;
    Settings[SlowSystem] = 2;
    Settings[AudioDriverIndex] = 5;  // no such driver: no line rather than an empty name
    AudioDrivers = {"OpenAL"};
    WriteFromGameFolder();
    EXPECT_EQ(WrittenSetup(),
              Crlf({"[Graphics]", "GFX Engine = DX9", "Width=1920", "Height=1080", "", "[Audio]",
                    "Master = 0", "Sound = 100", "Music = 7", "; AudioDriver = OpenAL", "",
                    "[Controls]", "Key=20,300", "Key=99,549"}));
}

TEST_F(SetupFile, WhatIsWrittenIsReadBack) {
    Settings[Fullscreen] = 1;
    Settings[GfxEngine] = 1;
    Settings[Width] = 1366;
    Settings[Height] = 768;
    Settings[SlowSystem] = 1;
    Settings[MasterVolume] = 80;
    Settings[SoundVolume] = 0;
    Settings[MusicVolume] = 150;
    Settings[AudioDriverIndex] = 1;
    Bindings[0] = 320;  // player 1's Up on a hat: index 0 survives a restart
    Bindings[8] = 301;
    Bindings[27] = 65;
    Bindings[99] = 349;
    SetupState saved = SetupState::Current();
    saved.audioLineSeen = 1;

    WriteFromGameFolder();
    ASSERT_TRUE(ChangeFolder(".."));
    ResetProcessState();
    SetDefaultBindings();
    AudioDrivers = {"DirectSound", "OpenAL"};
    LoadSetup();
    EXPECT_TRUE(SetupState::Current() == saved);
}

TEST_F(SetupFile, WritesBesideTheLogWhereverItStartsAndComesBack) {
    WriteFromGameFolder();
    WriteFromGameFolder();  // repeated writes never drift upwards
    EXPECT_TRUE(fs::exists(InFiles("Setup.ini")));
    EXPECT_FALSE(fs::exists(root + "/Setup.ini"));

    // Without a game folder start-up stays in Files/, and the file must still land there.
    fs::remove(InFiles("Setup.ini"));
    ASSERT_TRUE(ChangeFolder(root + "/Files/"));
    WriteSetup();
    EXPECT_EQ(CurrentFolder(), root + "/Files/");
    EXPECT_TRUE(fs::exists(InFiles("Setup.ini")));
    EXPECT_FALSE(fs::exists(root + "/Setup.ini"));
}

TEST_F(SetupFile, FailedWriteKeepsThePreviousFileWhole) {
    const std::string previous = "Width=1024\r\nHeight=768\r\n";
    PutSetup(previous);
    plat::SetFileWriteFault(40);
    WriteFromGameFolder();
    plat::SetFileWriteFault(-1);
    EXPECT_EQ(WrittenSetup(), previous);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"\tCould not write Setup.ini"});
    for (const auto& entry : fs::directory_iterator(root + "/Files"))
        EXPECT_TRUE(entry.is_directory() || entry.path().filename() == "Setup.ini" ||
                    entry.path().filename() == "Debug.txt")
            << entry.path();
}

TEST_F(SetupFile, UnwritablePlaceIsLoggedNotFatal) {
    fs::remove(InFiles("Setup.ini"));
    fs::create_directory(InFiles("Setup.ini"));
    WriteFromGameFolder();
    EXPECT_TRUE(fs::is_directory(InFiles("Setup.ini")));
    EXPECT_EQ(LogLines(), std::vector<std::string>{"\tCould not write Setup.ini"});

    // The same folder read as the settings file is ignored by the reader, with a line to say so.
    ASSERT_TRUE(ChangeFolder(".."));
    LoadSetup();
    EXPECT_TRUE(SetupState::Current() == defaults);
    EXPECT_EQ(LogLines().back(), "\tCould not read Setup.ini");
}

}  // namespace
