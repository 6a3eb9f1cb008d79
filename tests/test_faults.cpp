// The whole program under faults of its surroundings: a kill in the middle of a save, a full disk
// at every byte of a save, a read-only "Files/" folder, no sound device, no joystick or one that
// is unplugged mid-game, and a display that refuses what Setup.ini asks for.
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <map>
#include <random>
#include <thread>

#include "headless_fixture.h"

#include "app/display.h"
#include "app/settings_file.h"
#include "app/startup.h"
#include "audio/sfx.h"
#include "frame/pause.h"
#include "frame/present.h"
#include "game/objects.h"
#include "game/play.h"
#include "input/controls.h"
#include "input/text_entry.h"
#include "platform/audio.h"
#include "platform/files_internal.h"
#include "platform/sdl/sdl_host.h"
#include "scores/scores.h"
#include "screens/title.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
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
    for (int i = 0; i < 400; ++i)
        LocalScores.push_back(Record(i, "new player " + std::to_string(i)));
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

// One player's visit, played through Main on the twin: wait for the title, hold the button over
// the start area until a Hard game begins, let an intruder reach the head, confirm the name,
// take a screenshot back on the title, and close the window.
class Session {
public:
    enum Step { kToTitle, kInGame, kNaming, kOnTitle, kClosing };

    // Runs Main to its end and returns its exit status.
    int Run() {
        headless::SetDateTime(kShotDate, kShotTime);
        headless::SetPresentHook([this](int) { Frame(); });
        const int status = ExitStatusOf(Main);
        headless::SetPresentHook(nullptr);
        return status;
    }

    // The screenshot's name for the twin's date and time, in Files/.
    static std::string ShotName() {
        return "Saucer Sway Tug Lines (Screenshot_" + std::string(kShotDate) + "_134530).png";
    }

    Step step = kToTitle;
    bool play = true;  // false: close the window as soon as the title is up
    int gamesPlayed = 0;
    int frames = 0;
    std::function<void(Step, int)> also;  // runs every frame with the step and its frame count

private:
    static constexpr const char* kShotDate = "25 Dec 2010";
    static constexpr const char* kShotTime = "13:45:30";
    static constexpr int kFrameMs = 20;      // slow enough to end the engine test early
    static constexpr int kGiveUpFrames = 3000;  // a script that stalls ends the run, not the test

    void Next(Step next) {
        step = next;
        stepFrames = 0;
    }

    static void ToVirtual(int vx, int vy) {
        headless::SetMouse(vx * DisplayWidth / VirtualWidth, vy * DisplayHeight / VirtualHeight);
    }

    void Frame() {
        headless::AdvanceClock(kFrameMs);
        ++frames;
        ++stepFrames;
        if (also) also(step, stepFrames);
        if (frames > kGiveUpFrames) headless::RequestClose();
        switch (step) {
        case kToTitle:
            // Held from the loading screen on: the title starts a game as soon as its start
            // area has slid in under the pointer.
            if (DisplayOpened != 1) break;
            if (!play) {
                if (PathKind(kCrashMarker) == 0 && ++titleFrames == kLookFrames) {
                    headless::RequestClose();
                    Next(kClosing);
                }
                break;
            }
            Difficulty = 2;
            ToVirtual(TitleLayoutFor(kIntroSteps).stageX - 100, VirtualHeight / 2);
            headless::SetMouseButton(1, true);
            if (PauseState == 1) Next(kInGame);
            break;
        case kInGame:
            headless::SetMouseButton(1, false);
            if (stepFrames == 2) {
                ect intruder;
                intruder.t = kIntruder;
                intruder.x = float(VirtualWidth / 2);
                intruder.y = float(VirtualHeight / 2);
                intruder.health = 100;
                GameObjects.push_back(intruder);
            }
            if (PauseState == 0) Next(kNaming);
            break;
        case kNaming:
            // The entry takes a Return in the frame after the press; a second one, should the
            // first come too early, falls on the title, which ignores it.
            if (stepFrames == 3 || stepFrames == 6) headless::PressKey(kKeyReturn);
            if (stepFrames == kNamingFrames) {
                ++gamesPlayed;
                Next(kOnTitle);
            }
            break;
        case kOnTitle:
            if (stepFrames == 5) headless::PressKey(kKeyF11);
            if (stepFrames == 10) {
                headless::RequestClose();
                Next(kClosing);
            }
            break;
        case kClosing:
            break;
        }
    }

    static constexpr int kLookFrames = 5;    // title frames of a visit that does not play
    static constexpr int kNamingFrames = 12;  // from "Game Over" to surely back on the title

    int stepFrames = 0;
    int titleFrames = 0;
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
        std::cout << f.file << " (a pair of saves " << pair.count() << " us): old " << sawOld
                  << ", new " << sawNew << " of " << kKills << " kills\n";
        // The next save in a live process takes over what the kills left.
        f.makeNew();
        EXPECT_TRUE(f.save());
        EXPECT_EQ(ReadBytes(files() / f.file), newer);
        EXPECT_EQ(Strays(files(), kKnownFiles), std::vector<std::string>{}) << f.file;
    }
}

// Two saves of one file at the same time, in this process or another (a second copy of the game,
// or one being killed while it writes): neither writes into the other's text, so the file is one
// of the two, whole, and nothing is left beside it.
TEST_F(Faults, OverlappingSavesOfOneFileDoNotMix) {
    const std::string first = "first save\r\n", second = "second save, longer than the first\r\n";
    const auto lines = [](const std::string& text) { return text.substr(0, text.size() - 2); };

    const int a = OpenForWriting("nuscores.dat", true);
    const int b = OpenForWriting("nuscores.dat", true);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_TRUE(WriteTextLine(b, lines(second)));
    EXPECT_TRUE(WriteTextLine(a, lines(first)));
    EXPECT_TRUE(CloseStream(b));
    EXPECT_EQ(ReadBytes(files() / "nuscores.dat"), second);
    EXPECT_TRUE(CloseStream(a));
    EXPECT_EQ(ReadBytes(files() / "nuscores.dat"), first);
    EXPECT_EQ(Strays(files(), kKnownFiles), std::vector<std::string>{});

    // Another process holds the shared temporary name open mid-save when this one saves.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int held = OpenForWriting("nuscores.dat", true);
        WriteTextLine(held, std::string(100000, 'x'));  // over a buffer: bytes reach its file
        const char byte = held != 0 ? 1 : 0;
        if (write(ready[1], &byte, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);
    const int mine = OpenForWriting("nuscores.dat", true);
    ASSERT_NE(mine, 0);
    EXPECT_TRUE(WriteTextLine(mine, lines(second)));
    EXPECT_TRUE(CloseStream(mine));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(ReadBytes(files() / "nuscores.dat"), second);
    // The killed writer's temporary file is the only stray, and the next save takes it over.
    EXPECT_EQ(Strays(files(), kKnownFiles).size(), 1u);
    LocalScores = {Record(1, "after")};
    EXPECT_TRUE(SaveScores());
    EXPECT_EQ(Strays(files(), kKnownFiles), std::vector<std::string>{});
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

// Runs `body` in a child process that cannot write into Files/ or its game folder, and returns
// the child's exit status, or -1 when no such child could be made (the test then skips). Run as
// root, where a folder's mode does not stop writes, the child gives up root for nobody's account.
int InReadOnlyChild(const fs::path& root, const std::function<int()>& body) {
    constexpr uid_t kNobody = 65534;
    constexpr int kCannotDrop = 90;
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec |
                               fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;  // 0555
    fs::permissions(root / "Files", readOnly);
    fs::permissions(root / "Files" / "295", readOnly);
    std::cout.flush();
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 ||
                               setuid(kNobody) != 0))
            _exit(kCannotDrop);
        if (access((root / "Files").c_str(), W_OK) == 0) _exit(kCannotDrop);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    fs::permissions(root / "Files", fs::perms::owner_all, fs::perm_options::add);
    fs::permissions(root / "Files" / "295", fs::perms::owner_all, fs::perm_options::add);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A read-only Files/ folder: the game starts, is played and ends; every save fails with its log
// line (when the log itself could be opened) and every file that was there stays as it was.
TEST_F(Faults, ReadOnlyFilesFolderIsPlayedThroughAndKeepsEveryFile) {
    struct Case {
        const char* what;
        bool logWritable;  // Debug.txt exists and may be written, though the folder may not
    };
    const Case cases[] = {{"log file writable", true}, {"no log at all", false}};
    const std::string setup = "[Graphics]\r\nWidth=640\r\nHeight=480\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ChangeFolder(root.string()));
        WriteBytes(files() / "Setup.ini", setup);
        ASSERT_TRUE(ChangeFolder("Files/295/"));
        LocalScores = {Record(7, "earlier")};
        ASSERT_TRUE(SaveScores());
        LocalScores.clear();
        ASSERT_TRUE(ChangeFolder(root.string()));
        const std::string scores = ReadBytes(gameFolder() / "nuscores.dat");
        const std::string oldShot = "an older picture";
        WriteBytes(files() / Session::ShotName(), oldShot);
        fs::remove(files() / "Debug.txt");
        if (c.logWritable) {
            WriteBytes(files() / "Debug.txt", "last run\r\n");
            fs::permissions(files() / "Debug.txt", fs::perms::all & ~(fs::perms::owner_exec |
                                                                      fs::perms::group_exec |
                                                                      fs::perms::others_exec));
        }
        const std::vector<std::string> filesBefore = Strays(files(), {});
        const std::vector<std::string> gameBefore = Strays(gameFolder(), {});

        // The child reports how far it got in its exit status: games played, then the run's own.
        const int status = InReadOnlyChild(root, [] {
            Session session;
            const int exit = session.Run();
            return exit == 0 ? session.gamesPlayed : 100 + exit;
        });
        if (status < 0) GTEST_SKIP() << "no way here to make a folder that cannot be written";
        EXPECT_EQ(status, 1) << "one game played and a clean exit";

        EXPECT_EQ(ReadBytes(files() / "Setup.ini"), setup);
        EXPECT_EQ(ReadBytes(gameFolder() / "nuscores.dat"), scores);
        EXPECT_EQ(ReadBytes(files() / Session::ShotName()), oldShot);
        EXPECT_EQ(Strays(files(), {}), filesBefore);
        EXPECT_EQ(Strays(gameFolder(), {}), gameBefore);
        if (!c.logWritable) continue;
        const std::vector<std::string> log = ReadLines(files() / "Debug.txt");
        const auto count = [&](const std::string& line) {
            return std::count(log.begin(), log.end(), line);
        };
        EXPECT_EQ(count("\tCould not write nuscores.dat; the previous file is kept"), 2)
            << "at the game's end and at shutdown";
        EXPECT_EQ(count("\tCould not write Setup.ini"), 1);
        EXPECT_EQ(count("\tSaved Screenshot 0"), 1);
        EXPECT_EQ(count("Closing Up"), 1);
    }
}

// A full disk under the screenshot: the file of the same name from before stays whole and the
// program goes on. The image is written through the C library rather than the platform's
// streams, so the disk is filled by a file-size limit in a child process (which the log obeys
// too, so only the files tell what happened).
TEST_F(Faults, FullDiskUnderAScreenshotKeepsTheOldFile) {
    OpenPixelDisplay(40, 30);
    ASSERT_TRUE(ChangeFolder("295/"));
    headless::SetDateTime("25 Dec 2010", "13:45:30");
    const std::string oldShot = "an older picture";
    struct Case {
        rlim_t budget;
        bool fits;
    };
    const Case cases[] = {{0, false}, {1, false}, {8, false}, {64, false}, {1 << 20, true}};
    for (const Case& c : cases) {
        WriteBytes(files() / Session::ShotName(), oldShot);
        std::cout.flush();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);  // writes past the limit fail instead of ending the process
            const rlimit limit{c.budget, c.budget};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(90);
            Notices.clear();
            TakeScreenshot();
            // Back in the game folder with a truthful notice up: the program carries on.
            const char* notice = c.fits ? "Saved Screenshot" : "Screenshot Not Saved";
            _exit(Notices.size() == 1 && Notices.front().txt == notice &&
                          PathKind("../Common") == 2
                      ? 0
                      : 91);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "budget " << c.budget;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "budget " << c.budget;
        const std::string now = ReadBytes(files() / Session::ShotName());
        if (c.fits) {
            EXPECT_EQ(now.substr(0, 4), "\x89PNG");
        } else {
            EXPECT_EQ(now, oldShot) << "budget " << c.budget;
        }
        EXPECT_EQ(Strays(files(), {Session::ShotName()}), std::vector<std::string>{})
            << "budget " << c.budget;
    }
}

// A log on a full disk: every line is lost, but the visit is played through and the other files
// are written as usual.
TEST_F(Faults, LogOnAFullDiskLosesOnlyTheLog) {
    if (PathKind("/dev/full") == 0 && !fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    fs::create_symlink("/dev/full", files() / "Debug.txt");
    ASSERT_TRUE(ChangeFolder(root.string()));
    Session session;
    EXPECT_EQ(session.Run(), 0);
    EXPECT_EQ(session.gamesPlayed, 1);
    EXPECT_TRUE(fs::is_symlink(files() / "Debug.txt"));
    EXPECT_FALSE(ReadBytes(files() / "Setup.ini").empty());
    ASSERT_TRUE(ChangeFolder(gameFolder().string()));
    LocalScores.clear();
    LoadScores();
    EXPECT_EQ(LocalScores.size(), 1u);
    EXPECT_TRUE(fs::exists(files() / Session::ShotName()));
}

// No sound device: the visit is played with the silent driver, or with none at all, every effect
// asked for is harmless, and Setup.ini names a driver only when there was one.
TEST_F(Faults, NoSoundDevicePlaysSilently) {
    struct Case {
        const char* what;
        bool silentOpens;
        std::vector<std::string> listed;
        const char* driverLine;  // expected in Setup.ini, or null for none
    };
    const Case cases[] = {
        {"only the silent driver", true, {"Silent"}, "AudioDriver = Silent"},
        {"no driver at all", false, {}, nullptr},
    };
    const auto fails = [] { return std::unique_ptr<plat::AudioDriver>(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless::Install(root.string());
        ResetProcessState();
        fs::remove(files() / "Setup.ini");
        plat::InstallAudioDrivers({{"OpenAL", fails},
                                   {"SDL Mixer", fails},
                                   {"Silent", c.silentOpens ? plat::MakeSilentDriver : fails}},
                                  "");
        bool effectsPlayed = false;
        Session session;
        session.also = [&](Session::Step step, int stepFrames) {
            if (step != Session::kInGame || stepFrames != 1) return;
            for (int id = -1; id <= kSoundEffectCount + 1; ++id) PlaySfx(id, 1, 1, 0);
            PlayStartupJingle(0);
            effectsPlayed = true;
        };
        EXPECT_EQ(session.Run(), 0);
        EXPECT_EQ(session.gamesPlayed, 1);
        EXPECT_TRUE(effectsPlayed);
        EXPECT_EQ(AudioDrivers, c.listed);
        const std::vector<std::string> setup = ReadLines(files() / "Setup.ini");
        const bool named = std::any_of(setup.begin(), setup.end(), [](const std::string& line) {
            return line.rfind("AudioDriver", 0) == 0;
        });
        EXPECT_EQ(named, c.driverLine != nullptr);
        if (c.driverLine) {
            EXPECT_NE(std::find(setup.begin(), setup.end(), c.driverLine), setup.end());
        }
    }
}

// No joystick this time: bindings on joystick codes read as up, the input scan ignores them,
// the settings menu opens and closes over an empty joystick list, and the bindings are written
// back unchanged for the day the pad is plugged in again.
TEST_F(Faults, NoJoystickLeavesItsBindingsUpAndKept) {
    constexpr int kLastJoystickCode = 499;
    WriteBytes(files() / "Setup.ini",
               "Width=640\r\nHeight=480\r\nKey=0,330\r\nKey=3,301\r\nKey=5,325\r\nKey=20,352\r\n");
    std::vector<int> held;
    int scanned = -1, portsSeen = -1;
    Session session;
    session.also = [&](Session::Step step, int stepFrames) {
        if (step == Session::kInGame && stepFrames == 1) {
            for (int code = 300; code <= kLastJoystickCode; ++code)
                if (BindingDown(code)) held.push_back(code);
            scanned = ScanAnyInput();
            portsSeen = JoystickPortCount;
        }
        // The menu slides out over the title and back before the visit ends.
        if (step == Session::kOnTitle && (stepFrames == 1 || stepFrames == 7))
            headless::PressKey(kKeyTab);
    };
    ASSERT_TRUE(ChangeFolder(root.string()));
    EXPECT_EQ(session.Run(), 0);
    EXPECT_EQ(session.gamesPlayed, 1);
    EXPECT_EQ(portsSeen, 0);
    EXPECT_EQ(held, std::vector<int>{});
    EXPECT_EQ(scanned, 0);
    const std::vector<std::string> setup = ReadLines(files() / "Setup.ini");
    for (const char* line : {"Key=0,330", "Key=3,301", "Key=5,325", "Key=20,352"})
        EXPECT_NE(std::find(setup.begin(), setup.end(), line), setup.end()) << line;
}

// A display that refuses what Setup.ini asks for: full screen at a size it does not list falls
// back to a window with a notice; a window that cannot be opened at all ends the run with its
// reason in the log, and the next start moves to the other drawing back end.
TEST_F(Faults, RefusedDisplayFallsBackOrEndsWithItsReason) {
    struct Case {
        const char* what;
        std::vector<DisplayMode> modes;
    };
    const Case cases[] = {
        {"full screen size not listed", {{1920, 1080, 32, 60}, {1280, 720, 32, 60}}},
        {"no display modes at all", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless::Install(root.string());
        ResetProcessState();
        headless::SetDisplayModes(c.modes);
        WriteBytes(files() / "Setup.ini", "Fullscreen=True\r\nWidth=1000\r\nHeight=750\r\n");
        std::vector<std::string> notices;
        Session session;
        session.play = false;
        session.also = [&](Session::Step, int) {
            for (const ment& m : Notices)
                if (std::find(notices.begin(), notices.end(), m.txt) == notices.end())
                    notices.push_back(m.txt);
        };
        EXPECT_EQ(session.Run(), 0);
        EXPECT_GE(headless::OpenWindowCount(), 1);
        const std::vector<std::string> log = ReadLines(files() / "Debug.txt");
        EXPECT_NE(std::find(log.begin(), log.end(), "\tResolution : 800x600,0"), log.end());
        EXPECT_EQ(notices, std::vector<std::string>{"Can't set to fullscreen in this resolution."});
        const std::vector<std::string> setup = ReadLines(files() / "Setup.ini");
        EXPECT_NE(std::find(setup.begin(), setup.end(), "Width=800"), setup.end());
        EXPECT_NE(std::find(setup.begin(), setup.end(), "Height=600"), setup.end());
    }

    // No window at all, then a machine where one opens again.
    headless::Install(root.string());
    ResetProcessState();
    fs::remove(files() / "Setup.ini");
    headless::SetOpenWindowFails(true);
    Session refused;
    refused.play = false;
    EXPECT_EQ(refused.Run(), 1);
    const std::vector<std::string> log = ReadLines(files() / "Debug.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "\tCould not open the display: No display available");
    EXPECT_TRUE(fs::exists(gameFolder() / kCrashMarker));

    headless::Install(root.string());
    ResetProcessState();
    Session next;
    next.play = false;
    EXPECT_EQ(next.Run(), 0);
    const std::vector<std::string> nextLog = ReadLines(files() / "Debug.txt");
    EXPECT_NE(std::find(nextLog.begin(), nextLog.end(), "\tUsing DirectX 9 Driver"), nextLog.end());
    EXPECT_FALSE(fs::exists(gameFolder() / kCrashMarker));
}

// The codes of every input of the first joystick port that reads as held now.
std::vector<int> HeldPortOneCodes() {
    constexpr int kPortOne = 300, kCodesPerPort = 50;
    std::vector<int> held;
    for (int code = kPortOne; code < kPortOne + kCodesPerPort; ++code)
        if (BindingDown(code)) held.push_back(code);
    return held;
}

// A pad unplugged while its bound controls are held in a game: the game plays on to its end, and
// from then on nothing of the pad reads as held, including axes that rest at one end rather than
// the centre (a trigger rests at -1), which a vanished pad must not report as pushed.
TEST_F(Faults, JoystickUnpluggedMidGameLeavesNothingHeld) {
    constexpr int kButtonZero = 330, kTriggerPushed = 305, kSwitchReleased = 310;
    plat::JoystickReading pad;
    pad.name = "Pad";
    pad.buttonMask = 0xFFF;
    pad.axis[kAxisZ] = -1;  // a trigger at rest
    pad.axis[kAxisR] = 1;   // an axis resting at its other end
    headless::SetJoysticks({pad});
    WriteBytes(files() / "Setup.ini", "Width=640\r\nHeight=480\r\nKey=0," +
                                          std::to_string(kButtonZero) + "\r\nKey=8," +
                                          std::to_string(kTriggerPushed) + "\r\n");

    std::vector<int> heldWithPad, heldAfter;
    int scanAfter = -1, upAfter = -1, downAfter = -1;
    Session session;
    session.also = [&](Session::Step step, int stepFrames) {
        if (step != Session::kInGame) return;
        if (stepFrames == 1) {
            plat::JoystickReading pushed = pad;
            pushed.buttons = 1;
            pushed.axis[kAxisZ] = 1;
            headless::SetJoysticks({pushed});
        } else if (stepFrames == 2) {
            heldWithPad = HeldPortOneCodes();
            headless::SetJoysticks({});
        } else if (stepFrames == 3) {
            heldAfter = HeldPortOneCodes();
            scanAfter = ScanAnyInput();
            upAfter = ControlDown(kControlUp, 1);
            downAfter = ControlDown(kControlDown, 1);
        }
    };
    ASSERT_TRUE(ChangeFolder(root.string()));
    EXPECT_EQ(session.Run(), 0);
    EXPECT_EQ(session.gamesPlayed, 1);

    EXPECT_EQ(heldWithPad, (std::vector<int>{kTriggerPushed, kButtonZero}));
    EXPECT_EQ(heldAfter, std::vector<int>{})
        << "e.g. " << kSwitchReleased << " is R below its rest";
    EXPECT_EQ(scanAfter, 0);
    EXPECT_EQ(upAfter, 0);
    EXPECT_EQ(downAfter, 0);
}

// On the real host an unplugged pad keeps its port so bindings keep their meaning; it must then
// read as at rest, not centred, or a trigger (resting at one end) stays pushed for good.
TEST(FaultsOnSdlHost, UnpluggedPadReadsAsAtRestSoNothingStaysHeld) {
    constexpr int kTriggerAxis = 2, kTriggerPushed = 305;
    plat::SetHost(plat::MakeSdlHost());
    struct BackToTwin {
        ~BackToTwin() {
            headless::Install();
            ProbeJoysticks();  // no port of this test stays probed for later ones
        }
    } backToTwin;
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 12, 1);
    if (device < 0) GTEST_SKIP() << "no virtual joystick support: " << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(device);
    ASSERT_NE(stick, nullptr);
    SDL_JoystickSetVirtualAxis(stick, kTriggerAxis, SDL_JOYSTICK_AXIS_MIN);  // at rest
    ASSERT_EQ(JoystickCount(), 1);
    ProbeJoysticks();
    ASSERT_EQ(JoystickPorts[1].restZ, -1.0f);

    SDL_JoystickSetVirtualAxis(stick, kTriggerAxis, SDL_JOYSTICK_AXIS_MAX);
    SDL_JoystickSetVirtualButton(stick, 0, SDL_PRESSED);
    EXPECT_EQ(HeldPortOneCodes(), (std::vector<int>{kTriggerPushed, 330}));

    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(device);
    EXPECT_EQ(HeldPortOneCodes(), std::vector<int>{});
    EXPECT_EQ(ScanAnyInput(), 0);
}

}  // namespace
