// The whole program under faults of its surroundings: a kill in the middle of a save, a full disk
// at every byte of a save, a read-only "Files/" folder, no sound device, no joystick or one that
// is unplugged mid-game, and a display that refuses what Setup.ini asks for.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <map>
#include <random>
#include <thread>

#include "app/settings_file.h"
#include "app/startup.h"
#include "frame/pause.h"
#include "headless_fixture.h"
#include "platform/files_internal.h"
#include "scores/scores.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

[[maybe_unused]] void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// Names in `folder` other than `keep`: what a save left behind.
std::vector<std::string> Strays(const fs::path& folder, const std::vector<std::string>& keep) {
    std::vector<std::string> strays;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() && std::find(keep.begin(), keep.end(), name) == keep.end())
            strays.push_back(name);
    }
    return strays;
}

Scores Record(int64_t score, const std::string& name) {
    Scores s;
    s.Score = score;
    s.Timestamp = 1000 + score;
    s.Name = name;
    return s;
}

// The program's two saved files, each with two different contents to switch between.
struct SavedFile {
    const char* file;
    void (*makeOld)();
    void (*makeNew)();
    bool (*save)();  // false when the save reported failure
};

void FewScores() { LocalScores = {Record(10, "old")}; }
void ManyScores() {
    // Over one write buffer, so a save takes more than one write to the disk.
    LocalScores.clear();
    for (int i = 0; i < 400; ++i) LocalScores.push_back(Record(i, "new player " + std::to_string(i)));
}
void SmallWindow() {
    Settings[Width] = 640;
    Settings[Height] = 480;
    Settings[Fullscreen] = 0;
}
void BigFullScreen() {
    Settings[Width] = 1920;
    Settings[Height] = 1080;
    Settings[Fullscreen] = 1;
}
bool SaveSetup() {
    WriteSetup();
    return true;  // reports through the log only
}

// What belongs in Files/ after these saves; anything else was left behind.
const std::vector<std::string> kKnownFiles = {"nuscores.dat", "Setup.ini", "Debug.txt"};

const SavedFile kSavedFiles[] = {
    {"nuscores.dat", FewScores, ManyScores, SaveScores},
    {"Setup.ini", SmallWindow, BigFullScreen, SaveSetup},
};

class Faults : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        // Saves run in Files/, which is where Setup.ini belongs; the score file goes wherever
        // the current folder is, so both land side by side.
        ASSERT_TRUE(ChangeFolder("Files/"));
    }
    void TearDown() override {
        plat::SetFileWriteFault(-1);
        HeadlessFixture::TearDown();
    }

    // The bytes `make` then `save` leave on disk.
    std::string Contents(const SavedFile& f, void (*make)()) {
        make();
        f.save();
        return ReadBytes(files() / f.file);
    }

    std::vector<std::string> LogLines() {
        CloseLog();
        return ReadLines(files() / "Debug.txt");
    }
};

// A process killed at any moment of a save leaves the old file or the new one, whole, and never
// more than one temporary file beside it however often it is killed.
TEST_F(Faults, KillDuringASaveLeavesTheOldOrTheNewFileWhole) {
    constexpr int kKills = 200;
    std::mt19937 random(295);
    for (const SavedFile& f : kSavedFiles) {
        // Kills spread over a few save pairs, however fast this machine saves.
        const auto start = std::chrono::steady_clock::now();
        const std::string newer = Contents(f, f.makeNew);
        const std::string older = Contents(f, f.makeOld);
        const auto pair = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        std::uniform_int_distribution<int64_t> delayMicros(0, 2 * pair.count() + 1000);
        ASSERT_NE(older, newer);
        int sawOld = 0, sawNew = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                for (bool flip = false;; flip = !flip) {
                    (flip ? f.makeNew : f.makeOld)();
                    f.save();
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
            ::kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);

            const std::string now = ReadBytes(files() / f.file);
            ASSERT_TRUE(now == older || now == newer)
                << f.file << " after kill " << kill << ": " << now.size() << " bytes";
            (now == older ? sawOld : sawNew) += 1;
            const std::vector<std::string> strays = Strays(files(), kKnownFiles);
            ASSERT_LE(strays.size(), 1u) << f.file << " after kill " << kill << ": "
                                         << strays.front() << " and " << strays.size() - 1
                                         << " more";
        }
        // Not a requirement, only a sign the kills landed at different moments.
        std::cout << f.file << " (a pair of saves " << pair.count() << " us): old " << sawOld << ", new " << sawNew << " of " << kKills
                  << " kills\n";
        // The next save in a live process takes over what the kills left.
        f.makeNew();
        EXPECT_TRUE(f.save());
        EXPECT_EQ(ReadBytes(files() / f.file), newer);
        EXPECT_EQ(Strays(files(), kKnownFiles), std::vector<std::string>{}) << f.file;
    }
}

// A disk that fills up after any number of bytes of a save: the old file stays byte for byte,
// the failure is logged, nothing is left behind, and the next save with room succeeds.
TEST_F(Faults, FullDiskAtEveryByteOfASaveKeepsTheOldFile) {
    const std::map<std::string, std::string> logged = {
        {"nuscores.dat", "\tCould not write nuscores.dat; the previous file is kept"},
        {"Setup.ini", "\tCould not write Setup.ini"},
    };
    for (const SavedFile& f : kSavedFiles) {
        // Small enough to try every byte count.
        void (*makeNew)() = f.makeNew == ManyScores ? +[] {
            LocalScores = {Record(1, "a"), Record(2, "b"), Record(3, "c")};
        } : f.makeNew;
        const std::string newer = Contents(f, makeNew);
        const std::string older = Contents(f, f.makeOld);
        for (int64_t budget = 0; budget <= int64_t(newer.size()); ++budget) {
            ASSERT_TRUE(OpenLog());
            makeNew();
            plat::SetFileWriteFault(budget);
            const bool reported = f.save();
            plat::SetFileWriteFault(-1);
            const bool fits = budget == int64_t(newer.size());
            const std::string now = ReadBytes(files() / f.file);
            ASSERT_EQ(now, fits ? newer : older) << f.file << ", budget " << budget;
            if (f.save == SaveScores) {
                EXPECT_EQ(reported, fits) << "budget " << budget;
            }
            const std::vector<std::string> log = LogLines();
            EXPECT_EQ(log, fits ? std::vector<std::string>{}
                                : std::vector<std::string>{logged.at(f.file)})
                << f.file << ", budget " << budget;
            ASSERT_EQ(Strays(files(), kKnownFiles), std::vector<std::string>{})
                << f.file << ", budget " << budget;
            if (fits) Contents(f, f.makeOld);
        }
    }
}

}  // namespace
