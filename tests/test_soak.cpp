// The long run: Main() itself on the headless twin, from start-up to its end and again, driven
// frame by frame by random but steered mouse, key and joystick input through the title screen, the
// settings menu (Apply included), games with plates grabbed and dragged, the pause menu and the
// name entry. It counts the screens it reached and checks that memory in use stays flat.
// CD_SOAK_FRAMES sets the length and CD_SOAK_SEED the input sequence; `make soak` runs it long.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/display.h"
#include "app/startup.h"
#include "app/state.h"
#include "frame/draw.h"
#include "frame/present.h"
#include "game/objects.h"
#include "game/play.h"
#include "headless_fixture.h"
#include "input/text_entry.h"
#include "platform/headless/audio_record.h"
#include "scores/scores.h"
#include "screens/settings_menu.h"
#include "screens/title.h"
#include "heap_bytes.h"

namespace {

// About 25 s of one core in the Release build, so `make test` carries it; `make soak` asks for
// 200000 under the sanitizers. A sanitized frame costs about six times as much, so `make test
// SANITIZE=1` runs fewer and stays inside the test timeout.
#ifdef CD_TEST_ASAN
constexpr int kDefaultFrames = 12000;
#else
constexpr int kDefaultFrames = 45000;
#endif
constexpr uint32_t kDefaultSeed = 295061;

uint64_t EnvNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == 0) return fallback;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    return *end == 0 ? value : fallback;
}

// Three display modes of almost the same pixel count (4:3, 16:10, 16:9), so Apply moves between
// all three virtual resolutions while the back buffers, and memory in use, stay nearly the same.
const std::vector<DisplayMode> kSoakModes = {{192, 108, 32, 60}, {176, 110, 32, 60},
                                             {160, 120, 32, 60}};

enum Visit { kTitle, kSettings, kApply, kGame, kGrab, kPause, kNameEntry, kRestart, kVisitKinds };
const char* const kVisitNames[kVisitKinds] = {"title screen", "settings menu", "Apply",
                                              "game", "plate grabbed", "pause menu",
                                              "name entry", "program restart"};

// Memory is sampled on a title frame at most once per this many frames, once every screen has
// been seen (the warm-up: every lazily built table exists by then).
constexpr int kSampleEvery = 1000;
// Flat means: no sample of the run's second half exceeds the largest of its first half by more
// than this, comparing samples of displays whose engine test ended alike. Halves are compared
// rather than single samples because buffers that belong to the open display start small at every
// Apply or restart and keep their largest size for that display's life: the software renderer's
// quad queue (about 400 KiB once the pause menu's scattered titles have been drawn), the texture
// and glyph copies of the mode open, the image table. A leak per game, per pause or per Apply
// keeps growing through a long run and passes this; records filed meanwhile are real data and get
// their own allowance.
constexpr size_t kMemorySlack = 1024 * 1024;
constexpr size_t kAllowancePerRecord = 2048;  // a Scores record, its list node and its strings

// Display set-ups run the engine test, which climbs until the frame rate drops. Presents cost
// nothing for its first frames (about three measurement steps, so the budgets stay above the
// slow-system floor) and then this much virtual time, which ends it at the next step. In
// slow-system mode only every other frame presents and the unslowed ones keep the smoothed rate
// up, so there it climbs to its 20000 sprites whatever a present costs.
constexpr int kLoadingFreePresents = 62;
constexpr int kLoadingPresentCostMs = 100;
// Budgets from an engine test that climbed that far; the renderer then keeps a quad queue for
// 20000 sprites (about 2.7 MiB) for the display's life, so such samples are compared apart.
constexpr int kClimbedImageBudget = 9000;

constexpr int kKeySpace = 32, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;
constexpr int kKey1 = 49, kKey3 = 51, kKeyF1 = 112, kKeyF3 = 114;
constexpr int kKeyZ = 90, kKeyX = 88;
constexpr int kMouseLeft = -1, kMouseRight = -2;  // buttons held through the same bookkeeping

constexpr const char* kScoreFileName = "nuscores.dat";

struct SoakDone {};  // thrown by the hook once the frames have run

class Soak : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        frameTarget = int(EnvNumber("CD_SOAK_FRAMES", kDefaultFrames));
        seed = uint32_t(EnvNumber("CD_SOAK_SEED", kDefaultSeed));
        rng.seed(seed);
        // A display an eighth of the virtual size each way: the screens play as ever while the
        // software renderer, which dominates a frame's cost, fills 1/25 of the default 800x600.
        std::ofstream(files() / "Setup.ini", std::ios::binary) << "Width=160\r\nHeight=120\r\n";
    }

    // ---- The program under test, restarted after every ending ---------------------------------

    // Runs Main until the frames are used up; every ending (Escape on the title, a close request)
    // starts a fresh process state on the same files, as a player starting the game again.
    void RunSoak() {
        for (bool first = true;; first = false) {
            if (!first) {
                CloseLog();
                CloseDisplay();
                headless::Install(root.string());
                ResetProcessState();
                ++visits[kRestart];
            }
            headless::SetDisplayModes(kSoakModes);
            headless::SetJoysticks(joysticks);
            headless::SetPresentHook([this](int) { Step(); });
            opensThisProcess = opensSeen = 0;
            gameOn = false;
            held.clear();
            dragFrames = 0;
            try {
                Main();
            } catch (const headless::ProcessExit&) {
                continue;
            } catch (const SoakDone&) {
                break;
            }
        }
        headless::SetPresentHook(nullptr);
    }

    // ---- One present: watch, count, then script the next frame's input -----------------------

    void Step() {
        if (++frames >= frameTarget) throw SoakDone{};
        ReleaseDueInput();
        CountGrabs();

        if (headless::OpenWindowCount() != opensSeen) {
            opensSeen = headless::OpenWindowCount();
            if (++opensThisProcess > 1) ++visits[kApply];
            loadingPresents = 0;
        }
        if (std::filesystem::exists(gameFolder() / kCrashMarker)) {
            // The display is being set up: only the engine test presents now.
            if (++loadingPresents > kLoadingFreePresents)
                headless::AdvanceClock(kLoadingPresentCostMs);
            return;
        }
        // Presents outside the frame pacing (the "Game Over" picture) come straight before the
        // name entry, which waits for every confirming input to be let go before its first frame.
        if (Millis() - LastFrameEnd < 1000 / kPacedFrameRate - kPacingAllowanceMs) {
            ReleaseAll();
            return;
        }

        const Visit screen = Where();
        if (screen != lastScreen) {
            ++visits[screen];
            lastScreen = screen;
            screenFrames = 0;
            busy = 0;
        }
        ++screenFrames;
        ++framesOn[screen];
        const bool menuShows = SettingsSlide > kSettingsSlideHidden;
        if (menuShows && !menuShowed) ++visits[kSettings];
        if (menuShows) ++framesOn[kSettings];
        menuShowed = menuShows;
        if (screen == kTitle) SampleMemory();

        if (Chance(0.00005)) {
            headless::RequestClose();
            return;
        }
        if (Chance(0.002)) ChangeJoysticks();
        if (Chance(0.01)) headless::TypeText(RandomText(1, 3));
        if (busy > 0) {
            --busy;
            return;
        }
        switch (screen) {
        case kTitle: TitleInput(); break;
        case kGame: GameInput(); break;
        case kPause: PauseInput(); break;
        case kNameEntry: NameInput(); break;
        default: break;
        }
    }

    Visit Where() {
        if (PauseState == 2) return kPause;
        if (PauseState == 1) {
            if (!gameOn) {
                gameOn = true;
                scoreFileBefore = ScoreFileStamp();
                gameFrames = 0;
                gameBudget = RandomBetween(300, 2500);
            }
            ++gameFrames;
            return kGame;
        }
        // After a game the name entry runs until the game's record is filed, which saves the
        // score file (a new file renamed over the old one).
        if (gameOn && ScoreFileStamp() == scoreFileBefore) return kNameEntry;
        if (gameOn) ++gamesFiled;
        gameOn = false;
        return kTitle;
    }

    std::pair<uint64_t, int64_t> ScoreFileStamp() const {
        struct stat info {};
        if (stat((gameFolder() / kScoreFileName).c_str(), &info) != 0) return {0, 0};
        return {uint64_t(info.st_ino), int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }

    // Grabs show as the grab sound being cued; the record is emptied at every present so that it
    // does not grow for the whole run.
    void CountGrabs() {
        headless::AudioRecord& audio = headless::Audio();
        for (const headless::AudioEvent& event : audio.events) {
            if (event.kind != headless::AudioEvent::Cue) continue;
            const auto sample = audio.samples.find(event.sample);
            if (sample != audio.samples.end() && sample->second.ends_with("003.wav"))
                ++visits[kGrab];
        }
        audio.events.clear();
    }

    void SampleMemory() {
        if (frames - lastSample < kSampleEvery) return;
        if (std::any_of(std::begin(visits), std::end(visits) - 1, [](int n) { return n == 0; }))
            return;  // still warming up
        lastSample = frames;
        const MemorySample sample{frames, HeapBytesInUse(), gamesFiled,
                                  DrawBudgets[kCountImages] >= kClimbedImageBudget};
        memory.push_back(sample);
        if (std::getenv("CD_SOAK_TRACE"))
            std::printf("[ soak     ] frame %d: %zu bytes, %d records filed, %d Applies, %dx%d%s\n",
                        frames, sample.bytes, gamesFiled, visits[kApply], DisplayWidth,
                        DisplayHeight, Settings[Fullscreen] == 1 ? " full screen" : "");
    }

    // ---- The screens' input ------------------------------------------------------------------

    void TitleInput() {
        if (SettingsMenuOpen == 1) {
            SettingsInput();
            return;
        }
        // Without a restart yet, ending the program becomes likely once a third has run.
        const double quit = visits[kRestart] == 0 && frames > frameTarget / 3 ? 0.5 : 0.02;
        switch (Pick({6, 3, 2, 3, 0.3, quit})) {
        case 0: {  // start: held over the start area for a few frames
            const TitleLayout at = TitleLayoutFor(kIntroSteps);
            PointAt(at.stageX - 100 + RandomBetween(-150, 150),
                    VirtualHeight / 2 + RandomBetween(-80, 80));
            Hold(kMouseLeft, RandomBetween(2, 4));
            busy = 4;
            break;
        }
        case 1:
            headless::PressKey(kKeyTab);
            busy = RandomBetween(2, 12);
            break;
        case 2: {  // tabs and difficulty, by keys or by clicks on the labels
            const int keys[] = {kKey1, kKey3, kKeyF1, kKeyF3, kKeyUp, kKeyDown};
            if (Chance(0.5)) {
                Hold(keys[RandomBetween(0, 5)], RandomBetween(1, 3));
            } else {
                const TitleLayout at = TitleLayoutFor(kIntroSteps);
                if (Chance(0.5))
                    PointAt(at.stageX - 100 + RandomBetween(0, 150),
                            VirtualHeight / 2 + 210 + 50 * RandomBetween(0, 2));
                else
                    PointAt(at.panelX + RandomBetween(0, at.panelWidth), RandomBetween(5, 55));
                Hold(kMouseLeft, RandomBetween(1, 3));
            }
            busy = RandomBetween(1, 6);
            break;
        }
        case 3:
            Wander();
            break;
        case 4: {
            const int keys[] = {kKeyF12, kKeyF11, kKeyZ, kKeyX};
            headless::PressKey(keys[Pick({5, 0.2, 1, 1})]);
            break;
        }
        default:
            Hold(kKeyEscape, 2);
            break;
        }
    }

    void GameInput() {
        if (SettingsMenuOpen == 1 && Chance(0.7)) {
            SettingsInput();
            return;
        }
        if (dragFrames > 0) {
            Drag();
            return;
        }
        if (gameFrames > gameBudget && Chance(0.2)) {
            Hold(kKeyEscape, 1);  // long enough: the pause menu will end this game
            busy = 2;
            return;
        }
        switch (Pick({8, 2, 0.4, 0.15, 0.5})) {
        case 0: Grab(); break;
        case 1: Wander(); break;
        case 2:
            Hold(kKeyEscape, 1);
            busy = 2;
            break;
        case 3:
            headless::PressKey(kKeyTab);
            break;
        default: {
            const int keys[] = {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, kKeyZ, kKeyX, kKeySpace};
            Hold(keys[RandomBetween(0, 6)], RandomBetween(1, 8));
            break;
        }
        }
    }

    // Points at a plate (its grab box starts 8 units up-left of it) and holds the button there.
    void Grab() {
        std::vector<const ect*> plates;
        for (const ect& o : GameObjects)
            if (o.t == kPlate) plates.push_back(&o);
        if (plates.empty()) return;
        const ect& plate = *plates[size_t(RandomBetween(0, int(plates.size()) - 1))];
        pointerX = plate.x + float(RandomBetween(0, kSpriteSize - 24));
        pointerY = plate.y + float(RandomBetween(0, kSpriteSize - 24));
        PointAt(int(pointerX), int(pointerY));
        Hold(kMouseLeft, 100000);
        dragFrames = RandomBetween(10, 150);
        NewDragTarget();
    }

    // Moves the pointer toward an item (or anywhere) with the button held, then lets go.
    void Drag() {
        if (--dragFrames == 0) {
            Release(kMouseLeft);
            busy = RandomBetween(0, 3);
            return;
        }
        const float dx = targetX - pointerX, dy = targetY - pointerY;
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance < dragSpeed) {
            NewDragTarget();
            return;
        }
        pointerX += dx / distance * dragSpeed;
        pointerY += dy / distance * dragSpeed;
        PointAt(int(pointerX), int(pointerY));
    }

    void NewDragTarget() {
        std::vector<const ect*> items;
        for (const ect& o : GameObjects)
            if (o.t == kPickup || o.t == kIntruder) items.push_back(&o);
        if (!items.empty() && Chance(0.8)) {
            const ect& item = *items[size_t(RandomBetween(0, int(items.size()) - 1))];
            targetX = item.x;
            targetY = item.y;
        } else {
            targetX = float(RandomBetween(-100, VirtualWidth + 100));
            targetY = float(RandomBetween(-100, VirtualHeight + 100));
        }
        dragSpeed = float(RandomBetween(4, 40));
    }

    void PauseInput() {
        if (screenFrames == 1) {
            quitting = gameFrames > gameBudget || Chance(0.3);
            pauseStep = 0;
            busy = RandomBetween(1, 20);
            return;
        }
        if (quitting) {
            // "Continue" is chosen at entry: one step down, then select.
            if (pauseStep++ == 0)
                Hold(kKeyDown, 1);
            else if (Chance(0.5))
                Hold(kKeySpace, 1);
            else
                Hold(kKeyEscape, 2);
            busy = 2;
            return;
        }
        switch (Pick({2, 2, 1, 1, 0.5})) {
        case 0: Hold(kKeyUp, 1); break;
        case 1: Hold(kKeyDown, 1); break;
        case 2: Hold(kKeySpace, 1); break;
        case 3: Hold(kKeyEscape, 2); break;
        default: Wander(); break;
        }
        busy = RandomBetween(1, 10);
    }

    void NameInput() {
        if (screenFrames == 1) nameBudget = RandomBetween(2, 40);
        if (screenFrames < nameBudget) {
            if (Chance(0.4)) headless::TypeText(RandomText(1, 3));
            if (Chance(0.3)) headless::PressKey(kKeyBackspace);
            return;
        }
        // A held confirmation must be let go by the next present: the screen waits for that
        // without presenting, and in slow-system mode the next frame may not present at all.
        const bool holdsAreSafe = Settings[SlowSystem] == 0;
        switch (holdsAreSafe ? Pick({3, 1, 1}) : 0) {
        case 0: headless::PressKey(kKeyReturn); break;
        case 1: Hold(kMouseLeft, 1); break;
        default: Hold(kKeyEscape, 1); break;
        }
        busy = 2;
    }

    // The menu's widgets at the menu's current offset, in virtual units.
    void SettingsInput() {
        const int s = SettingsSlide;
        const int ax = VirtualWidth - 280;
        switch (Pick({2, 2, 1.5, 1, 1, 0.6, 1.5, 1.5, 1, 0.8})) {
        case 0: ClickAt(36, 46 + s); break;                       // windowed / full screen
        case 1: ClickAt(60, 90 + s, Chance(0.3)); break;          // resolution, either way
        case 2: ClickAt(36, 162 + s); break;                      // slow system
        case 3: ClickAt(36, 200 + s); break;                      // drawing back end
        case 4: ClickAt(ax + 20, 36 + s); break;                  // audio back end
        case 5: ClickAt(24, 266 + s); break;                      // Apply
        case 6: {                                                 // a volume slider, dragged
            const int row = RandomBetween(0, 2);
            // Sounds stay audible: the grab sound is how the run sees plates being held.
            const int low = row == 1 ? 10 : -10;
            PointAt(ax + RandomBetween(low, 110), 74 + 50 * row + s);
            Hold(kMouseLeft, RandomBetween(1, 8));
            break;
        }
        case 7: ClickAt(ax + 10, 235 + 15 * RandomBetween(0, 4) + s); break;  // joystick list
        case 8: Wander(); break;
        default: headless::PressKey(kKeyTab); break;
        }
        busy = RandomBetween(1, 6);
    }

    void Wander() {
        PointAt(RandomBetween(-20, VirtualWidth + 20), RandomBetween(-20, VirtualHeight + 20));
        if (Chance(0.3)) Hold(Chance(0.7) ? kMouseLeft : kMouseRight, RandomBetween(1, 4));
        busy = RandomBetween(0, 8);
    }

    void ChangeJoysticks() {
        joysticks.clear();
        const int count = Pick({2, 2, 1, 1, 1});
        for (int i = 0; i < count; ++i) {
            plat::JoystickReading pad;
            pad.name = "Soak Pad " + std::to_string(RandomBetween(1, 99));
            pad.buttonMask = 0x3ff;
            pad.buttons = uint32_t(RandomBetween(0, 0x3ff)) & (Chance(0.5) ? 0x3ffu : 0u);
            for (int a = 0; a < 6; ++a)
                pad.axis[a] = Chance(0.6) ? 0.0f : float(RandomBetween(-100, 100)) / 100.0f;
            pad.axis[6] = Chance(0.7) ? -1.0f : float(RandomBetween(0, 7)) / 8.0f;
            joysticks.push_back(pad);
        }
        headless::SetJoysticks(joysticks);
    }

    // ---- Input bookkeeping -------------------------------------------------------------------

    // Held for the next `presents` presents, then let go.
    void Hold(int key, int presents) {
        SetDown(key, true);
        held[key] = presents;
    }
    void Release(int key) {
        SetDown(key, false);
        held.erase(key);
    }
    void ReleaseDueInput() {
        for (auto it = held.begin(); it != held.end();) {
            if (--it->second <= 0) {
                SetDown(it->first, false);
                it = held.erase(it);
            } else {
                ++it;
            }
        }
    }
    void ReleaseAll() {
        for (const auto& [key, presents] : held) SetDown(key, false);
        held.clear();
        dragFrames = 0;
    }
    static void SetDown(int key, bool down) {
        if (key == kMouseLeft || key == kMouseRight)
            headless::SetMouseButton(key == kMouseLeft ? 1 : 2, down);
        else
            headless::SetKey(key, down);
    }

    // The twin's pointer is in back-buffer pixels; the screens think in virtual units.
    static void PointAt(int vx, int vy) {
        headless::SetMouse(int(int64_t(vx) * DisplayWidth / std::max(VirtualWidth, 1)),
                           int(int64_t(vy) * DisplayHeight / std::max(VirtualHeight, 1)));
    }
    void ClickAt(int vx, int vy, bool right = false) {
        PointAt(vx, vy);
        Hold(right ? kMouseRight : kMouseLeft, 1);
    }

    int RandomBetween(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng); }
    int Pick(std::initializer_list<double> weights) {
        return std::discrete_distribution<int>(weights)(rng);
    }
    // Letters mostly, with Latin-1 beyond ASCII and the field separator the twin drops.
    std::string RandomText(int shortest, int longest) {
        static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz ABCXYZ0123456789|\xE9\xFC\xDF\xA9";
        std::string text;
        for (int n = RandomBetween(shortest, longest); n > 0; --n)
            text += kAlphabet[RandomBetween(0, int(sizeof kAlphabet) - 2)];
        return text;
    }

    // ---- State --------------------------------------------------------------------------------

    int frameTarget = 0;
    uint32_t seed = 0;
    std::mt19937 rng;
    int frames = 0;
    int visits[kVisitKinds] = {};
    int framesOn[kVisitKinds] = {};  // presents seen on each screen (and with the menu out)

    Visit lastScreen = kVisitKinds;
    bool menuShowed = false;
    int screenFrames = 0;
    int busy = 0;  // presents to leave the input as it is
    std::map<int, int> held;
    std::vector<plat::JoystickReading> joysticks;

    int opensSeen = 0, opensThisProcess = 0;
    int loadingPresents = 0;

    bool gameOn = false;
    std::pair<uint64_t, int64_t> scoreFileBefore;  // inode and change time
    int gameFrames = 0, gameBudget = 0, gamesFiled = 0;
    int dragFrames = 0;
    float pointerX = 0, pointerY = 0, targetX = 0, targetY = 0, dragSpeed = 0;
    bool quitting = false;
    int pauseStep = 0;
    int nameBudget = 0;

    struct MemorySample {
        int frame = 0;
        size_t bytes = 0;
        int records = 0;  // games filed by then
        bool climbed = false;  // the open display's engine test ran to its largest sprite count
    };
    std::vector<MemorySample> memory;
    int lastSample = 0;
};

TEST_F(Soak, RandomInputReachesEveryScreenAndMemoryStaysFlat) {
    std::printf("[ soak     ] seed %u (CD_SOAK_SEED), %d frames (CD_SOAK_FRAMES)\n", seed,
                frameTarget);
    RunSoak();

    std::printf("[ soak     ] frames run %d, games filed %d\n", frames, gamesFiled);
    for (int k = 0; k < kVisitKinds; ++k)
        std::printf("[ soak     ]   %-16s %6d times, %7d frames\n", kVisitNames[k], visits[k],
                    framesOn[k]);  // events (Apply, grabs, restarts) have no frames of their own
    ASSERT_GE(memory.size(), 4u) << "too few frames after warm-up to watch memory";
    const size_t half = memory.size() / 2;
    size_t peak = 0;
    for (const MemorySample& sample : memory) peak = std::max(peak, sample.bytes);
    std::printf("[ soak     ] memory in use: first %zu, peak %zu, final %zu bytes (%zu samples)\n",
                memory.front().bytes, peak, memory.back().bytes, memory.size());

    for (int k = 0; k < kVisitKinds; ++k)
        EXPECT_GT(visits[k], 0) << kVisitNames[k] << " never reached with seed " << seed;
    for (const bool climbed : {false, true}) {
        const MemorySample* early = nullptr;
        for (size_t i = 0; i < half; ++i)
            if (memory[i].climbed == climbed && (!early || memory[i].bytes > early->bytes))
                early = &memory[i];
        if (!early) continue;
        for (size_t i = half; i < memory.size(); ++i) {
            const MemorySample& late = memory[i];
            if (late.climbed != climbed) continue;
            const size_t bound = early->bytes + kMemorySlack +
                                 kAllowancePerRecord * size_t(std::max(0, late.records - early->records));
            EXPECT_LE(late.bytes, bound) << "memory in use grew to " << late.bytes
                                         << " bytes at frame " << late.frame << " from "
                                         << early->bytes << " at frame " << early->frame;
        }
    }
}

}  // namespace
