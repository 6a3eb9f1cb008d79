// Score records and the scrambled score file: round trips, damaged files, order, atomic writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/state.h"
#include "platform/files_internal.h"
#include "platform/platform.h"
#include "scores/scores.h"
#include "scores/scramble.h"

namespace {

namespace fs = std::filesystem;

// A fresh temporary folder as the current folder, with the score file's globals reset.
class ScoresFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "scoresXXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        previous_ = CurrentFolder();
        ASSERT_TRUE(ChangeFolder(folder_));
        BuildDefaultKey();
        LocalScores.clear();
        StoredUser = StoredPassword = "";
        PlayerName = "Player";
    }
    void TearDown() override {
        plat::SetFileWriteFault(-1);
        CloseLog();
        ChangeFolder(previous_);
        fs::remove_all(folder_);
        LocalScores.clear();
        PlayerName = "Player";
    }

    // Writes nuscores.dat from raw lines, ended by CR LF.
    void WriteRaw(const std::vector<std::string>& lines) {
        std::ofstream out("nuscores.dat", std::ios::binary);
        for (const std::string& l : lines) out << l << "\r\n";
    }
    std::string ReadRaw(const std::string& name = "nuscores.dat") {
        std::ifstream in(name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    static std::string Credentials(const std::string& plain) {
        return ScrambleText(plain, CredentialKey);
    }
    static std::string Record(const std::string& plain) { return ScrambleText(plain, ""); }

    std::string folder_, previous_;
};

Scores MakeScore(int64_t score, int64_t timestamp, const std::string& name) {
    Scores s;
    s.Score = score;
    s.Timestamp = timestamp;
    s.Name = name;
    return s;
}

TEST_F(ScoresFile, RoundTripKeepsEveryField) {
    Scores full = MakeScore(-1234567890123LL, 62353036800LL, "Ann \xe9 Lee");
    full.Badges = 0x8005;
    full.Level = 3;
    full.GameMode = 2;
    full.GameFlags = 7;
    full.Quit = 1;
    full.Best[0] = 99;  // never stored
    for (int k = 1; k <= kBestSlots; ++k) full.Best[k] = k * 1000 + 1;
    LocalScores = {MakeScore(5, 100, "older"), full, MakeScore(0, -5, "  padded  ")};
    StoredUser = "user";
    StoredPassword = "p\xe4ss word";

    ASSERT_TRUE(SaveScores());
    const std::string raw = ReadRaw();
    EXPECT_EQ(raw.find_first_not_of("0123456789ABCDEF\r\n"), std::string::npos);

    LocalScores.clear();
    StoredUser = StoredPassword = "";
    LoadScores();
    EXPECT_EQ(StoredUser, "user");
    EXPECT_EQ(StoredPassword, "p\xe4ss word");
    ASSERT_EQ(LocalScores.size(), 3u);
    const Scores& back = LocalScores.front();  // newest first
    EXPECT_EQ(back.Score, full.Score);
    EXPECT_EQ(back.Timestamp, full.Timestamp);
    EXPECT_EQ(back.Name, full.Name);
    EXPECT_EQ(back.Badges, full.Badges);
    EXPECT_EQ(back.Level, full.Level);
    EXPECT_EQ(back.GameMode, full.GameMode);
    EXPECT_EQ(back.GameFlags, full.GameFlags);
    EXPECT_EQ(back.Quit, full.Quit);
    EXPECT_EQ(back.Best[0], 0);
    for (int k = 1; k <= kBestSlots; ++k) EXPECT_EQ(back.Best[k], full.Best[k]) << k;
    EXPECT_EQ(LocalScores.back().Name, "padded");  // blanks trimmed, oldest last
    EXPECT_EQ(PlayerName, full.Name);              // the file's first record line
}

TEST_F(ScoresFile, HandWrittenValuesReadAsDefined) {
    const std::string sep = RecordSeparator;
    WriteRaw({
        Credentials("u|p"),
        Record("10| a\t|-3|500|-4|-1|-2|-1" + sep + "-7|8|-9"),
        Record("99999999999999999999|big|99999999999|-99999999999999999999|0|0|0|0" + sep +
               "-2147483648"),
        Record("20|few"),  // missing numbers read 0
        Record("30|x|y|z|what"),
    });
    LoadScores();
    ASSERT_EQ(LocalScores.size(), 4u);
    std::vector<Scores> got(LocalScores.begin(), LocalScores.end());
    // Sorted newest first: 500, 0 ("few"), 0 ("30"), then the hugely negative timestamp.
    EXPECT_EQ(got[0].Score, 10);
    EXPECT_EQ(got[0].Name, "a");
    EXPECT_EQ(got[0].Badges, 3);
    EXPECT_EQ(got[0].Level, 4);
    EXPECT_EQ(got[0].GameMode, 1);
    EXPECT_EQ(got[0].GameFlags, 2);
    EXPECT_EQ(got[0].Quit, 1);
    EXPECT_EQ(got[0].Best[1], 7);
    EXPECT_EQ(got[0].Best[2], 8);
    EXPECT_EQ(got[0].Best[3], 9);
    EXPECT_EQ(got[0].Best[4], 0);
    EXPECT_EQ(got[1].Name, "few");
    EXPECT_EQ(got[1].Timestamp, 0);
    EXPECT_EQ(got[2].Score, 30);
    EXPECT_EQ(got[2].Badges, 0);
    EXPECT_EQ(got[3].Score, INT64_MAX);
    EXPECT_EQ(got[3].Timestamp, INT64_MIN);
    EXPECT_EQ(got[3].Badges, INT32_MAX);
    EXPECT_EQ(got[3].Best[1], INT32_MAX);
    EXPECT_EQ(PlayerName, "a");  // from the file's first record line, trimmed
}

TEST_F(ScoresFile, DamagedLinesDropOnlyThemselves) {
    const std::string good1 = Record("100|first|0|300|0|0|0|0");
    const std::string good2 = Record("200|second|0|200|0|0|0|0");
    const std::string good3 = Record("300|third|0|100|0|0|0|0");
    std::string flipped = good2;
    flipped[10] = flipped[10] == '1' ? '2' : '1';
    std::string lower = good2;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::mt19937 rng(3);
    std::string binary(5000, '\0');
    for (char& c : binary) c = static_cast<char>(rng() % 254 + 1);  // no CR/LF/NUL worries
    for (char& c : binary)
        if (c == '\n' || c == '\r') c = 'x';

    WriteRaw({Credentials("who|pw"), good1, flipped, lower, ScrambleText("1|other|0|1", "key"),
              std::string(10'000'000, 'A'), good2 + "7", binary, "ab",
              good3});
    LoadScores();
    std::vector<std::string> names;
    for (const Scores& s : LocalScores) names.push_back(s.Name);
    // Only the copy of good2 with a lone extra digit survives: unscrambling ignores that digit.
    EXPECT_EQ(names, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(PlayerName, "first");
}

TEST_F(ScoresFile, RandomFilesNeverBreakLoading) {
    std::mt19937 rng(11);
    for (int round = 0; round < 20; ++round) {
        std::string bytes(rng() % 20000, '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        {
            std::ofstream out("nuscores.dat", std::ios::binary);
            out << bytes;
        }
        LoadScores();
        EXPECT_TRUE(LocalScores.empty() || LocalScores.size() < 20000);
    }
}

TEST_F(ScoresFile, CredentialsFallBackToTheMarker) {
    const struct {
        std::vector<std::string> lines;
        std::string user, password;
    } cases[] = {
        {{}, "XXX", "XXX"},                           // empty file
        {{"0123"}, "XXX", "XXX"},                     // too short to unscramble
        {{Credentials("loner")}, "loner", "loner"},   // no "|": the whole text twice
        {{Credentials("a|b|c")}, "a", "b"},
        {{Record("u|p")}, "XXX", "XXX"},              // scrambled with the wrong key
    };
    for (const auto& c : cases) {
        WriteRaw(c.lines);
        LocalScores = {MakeScore(1, 1, "stale")};
        PlayerName = "Player";
        LoadScores();
        EXPECT_EQ(StoredUser, c.user);
        EXPECT_EQ(StoredPassword, c.password);
        EXPECT_TRUE(LocalScores.empty());
        EXPECT_EQ(PlayerName, "Player");
    }
}

TEST_F(ScoresFile, MissingFileKeepsEverything) {
    LocalScores = {MakeScore(1, 1, "kept")};
    StoredUser = "u";
    LoadScores();
    EXPECT_EQ(LocalScores.size(), 1u);
    EXPECT_EQ(StoredUser, "u");
    EXPECT_EQ(PlayerName, "Player");
}

TEST_F(ScoresFile, EqualTimestampsKeepFileOrder) {
    WriteRaw({Credentials("|"), Record("1|a|0|50|0|0|0|0"), Record("2|b|0|70|0|0|0|0"),
              Record("3|c|0|50|0|0|0|0"), Record("4|d|0|50|0|0|0|0")});
    LoadScores();
    std::string order;
    for (const Scores& s : LocalScores) order += s.Name;
    EXPECT_EQ(order, "bacd");
    EXPECT_EQ(StoredUser, "");
    EXPECT_EQ(StoredPassword, "");
}

TEST_F(ScoresFile, SortAgreesWithCompareAndStaysConsistentForWildTimestamps) {
    const Scores a = MakeScore(0, 1000, "a"), b = MakeScore(0, 2000, "b");
    EXPECT_GT(a.Compare(b), 0);
    EXPECT_LT(b.Compare(a), 0);
    EXPECT_EQ(a.Compare(a), 0);
    LocalScores = {MakeScore(0, INT64_MIN, "min"), a, MakeScore(0, INT64_MAX, "max"), b,
                   MakeScore(0, 1LL << 40, "far")};
    SortScores();
    std::string order;
    for (const Scores& s : LocalScores) order += s.Name + " ";
    EXPECT_EQ(order, "max far b a min ");
}

TEST_F(ScoresFile, NamesThatWouldShiftFieldsAreCleanedOnSave) {
    Scores s = MakeScore(77, 123, "a|b" + RecordSeparator + "c");
    s.Quit = 1;
    s.Best[1] = 5;
    LocalScores = {s};
    ASSERT_TRUE(SaveScores());
    LoadScores();
    ASSERT_EQ(LocalScores.size(), 1u);
    const Scores& back = LocalScores.front();
    EXPECT_EQ(back.Name.find('|'), std::string::npos);
    EXPECT_EQ(back.Name.find(RecordSeparator), std::string::npos);
    EXPECT_EQ(back.Score, 77);
    EXPECT_EQ(back.Timestamp, 123);
    EXPECT_EQ(back.Quit, 1);
    EXPECT_EQ(back.Best[1], 5);
    EXPECT_EQ(SafeRecordName("ok name"), "ok name");
    EXPECT_EQ(SafeRecordName(RecordSeparator + RecordSeparator).find(RecordSeparator),
              std::string::npos);
}

TEST_F(ScoresFile, FailedWriteKeepsThePreviousFileAndLogs) {
    LocalScores = {MakeScore(1, 1, "saved")};
    ASSERT_TRUE(SaveScores());
    const std::string before = ReadRaw();
    ASSERT_TRUE(OpenLog());

    for (int i = 0; i < 100; ++i) LocalScores.push_back(MakeScore(i, i, "more"));
    plat::SetFileWriteFault(100);
    EXPECT_FALSE(SaveScores());
    plat::SetFileWriteFault(-1);
    EXPECT_EQ(ReadRaw(), before);
    CloseLog();
    EXPECT_NE(ReadRaw("Debug.txt").find("Could not write nuscores.dat"), std::string::npos);
    for (const auto& entry : fs::directory_iterator("."))  // no temporary file left behind
        EXPECT_TRUE(entry.path().filename() == "nuscores.dat" ||
                    entry.path().filename() == "Debug.txt")
            << entry.path();
}

TEST_F(ScoresFile, ThousandsOfRecordsRoundTrip) {
    for (int i = 0; i < 3000; ++i) LocalScores.push_back(MakeScore(i * 7, 5000 - i, "p"));
    ASSERT_TRUE(SaveScores());
    LocalScores.clear();
    LoadScores();
    ASSERT_EQ(LocalScores.size(), 3000u);
    EXPECT_EQ(LocalScores.front().Score, 0);
    EXPECT_EQ(LocalScores.back().Score, 2999 * 7);
}

}  // namespace
