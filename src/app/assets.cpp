// LoadCommonAssets: the framework's shared fonts, icons, logos and jingle from the common folder,
// then the badge pictures, the numbered effects and (first run only) the scores from the game
// folder. A file that cannot be used leaves its slot 0 and one log line; loading goes on.
#include "app/assets.h"

#include <algorithm>
#include <vector>

#include "app/log.h"
#include "app/state.h"
#include "audio/sfx.h"
#include "frame/draw.h"
#include "platform/platform.h"
#include "scores/scores.h"

int Fonts[kFontSlots];
int FontGrid[kFontGridSlots];
int IconStrip = 0;
int IconStripSharp = 0;
int CommonLogo = 0;
int PartnerLogo = 0;
int BadgeSound = 0;
int BadgeImages = 0;

namespace {

constexpr int kLargeDisplayWidth = 900;       // and wider: fonts at their own sizes
constexpr int kSmallDisplayWidth = 600;       // narrower: the largest factors
constexpr int kTypefaceASmallMaxWidth = 800;  // up to this width typeface A is the sturdier face
constexpr int kGridPixelSizes[kFontGridSteps] = {8, 12, 18, 24, 32, 40, 52, 64, 96};
constexpr int kIconSize = 16;
constexpr int kIconFrames = 64;
constexpr int kBadgeSize = 64;
constexpr int kBadgeFrames = 16;
constexpr int kLastSoundEffect = 200;

const std::string kTypefaceB = "Blue Highway.ttf";
const std::string kTypefaceC = "Acknowledge TT BRK.ttf";

// Fixed-role fonts: typeface (1 A, 2 B, 3 C), base size, and which factor scales it.
enum class Factor { Large, Small, None };
struct FixedFont {
    int typeface;
    int size;
    Factor factor;
};
constexpr FixedFont kFixedFontRoles[kFixedFonts + 1] = {
    {0, 0, Factor::None},     {1, 24, Factor::Large}, {1, 16, Factor::Small},
    {1, 16, Factor::Small},   {1, 20, Factor::Large}, {2, 96, Factor::Large},
    {2, 72, Factor::Large},   {2, 32, Factor::Large}, {1, 32, Factor::Large},
    {1, 14, Factor::Large},   {3, 112, Factor::None}, {3, 96, Factor::None},
    {3, 32, Factor::None},    {3, 20, Factor::None},
};

// In single precision, truncated toward zero: 24 x 1.2 gives 28, 72 x 1.2 gives 86.
int Scaled(int size, float factor) { return int(float(size) * factor); }

std::string TypefaceFile(int typeface, int displayWidth) {
    if (typeface == 2) return kTypefaceB;
    if (typeface == 3) return kTypefaceC;
    return TypefaceAFile(displayWidth);
}

// Files reported unusable during this loading, by full path: a file loaded twice (icons.png,
// menu.png) or at many sizes (a font) is reported once. Emptied when LoadCommonAssets starts.
std::vector<std::string> gReportedFiles;

void LogUnusable(const std::string& file) {
    const std::string path = CurrentFolder() + file;
    if (std::find(gReportedFiles.begin(), gReportedFiles.end(), path) != gReportedFiles.end())
        return;
    gReportedFiles.push_back(path);
    WriteLog(PathKind(file) == 0 ? "\tFile missing : " + file : "\tFile unreadable : " + file);
}

// Loads the plan; a font file that fails is logged once and not tried again in this run.
void LoadCommonFonts() {
    const CommonFontPlan plan = PlanCommonFonts(DisplayWidth);
    std::vector<std::string> failed;
    auto load = [&failed](const FontSpec& spec) {
        if (spec.file.empty()) return 0;
        if (std::find(failed.begin(), failed.end(), spec.file) != failed.end()) return 0;
        const int font = LoadFont(spec.file, spec.pixelSize, kFontSmooth);
        if (font == 0) {
            failed.push_back(spec.file);
            LogUnusable(spec.file);
        }
        return font;
    };
    for (int slot = 0; slot < kFontSlots; ++slot) Fonts[slot] = load(plan.fixed[slot]);
    for (int slot = 0; slot < kFontGridSlots; ++slot) FontGrid[slot] = load(plan.grid[slot]);
}

// The loading screen the player sees first: the backdrop alone, with the jingle.
void ShowFirstLoadingScreen() {
    BeginFrame();
    DrawBackground();
    PlayStartupJingle(BadgeSound);
    Present(-1);
    DisplayOpened = 1;
}

std::string SoundEffectFile(int id) {
    const std::string digits = "000" + std::to_string(id);
    return digits.substr(digits.size() - 3) + ".wav";
}

void LoadSoundEffects() {
    // Samples outlive the display, so the previous set is released before it is replaced.
    FreeSoundEffects();
    for (int id = 1; id <= kLastSoundEffect; ++id) {
        const std::string file = SoundEffectFile(id);
        if (PathKind(file) == 0) continue;
        WriteLog("\tSFX(" + std::to_string(id) + ")");
        SoundEffects[id] = LoadSampleLogged(file);
    }
}

}  // namespace

FontFactors ChooseFontFactors(int displayWidth) {
    if (displayWidth >= kLargeDisplayWidth) return {1.0f, 1.0f};
    if (displayWidth >= kSmallDisplayWidth) return {1.2f, 1.4f};
    return {1.5f, 2.0f};
}

std::string TypefaceAFile(int displayWidth) {
    return displayWidth <= kTypefaceASmallMaxWidth ? "SVBasicManual.ttf" : "November.ttf";
}

CommonFontPlan PlanCommonFonts(int displayWidth) {
    const FontFactors factors = ChooseFontFactors(displayWidth);
    CommonFontPlan plan;
    for (int slot = 1; slot <= kFixedFonts; ++slot) {
        const FixedFont& font = kFixedFontRoles[slot];
        const float factor = font.factor == Factor::Large   ? factors.large
                             : font.factor == Factor::Small ? factors.small
                                                            : 1.0f;
        plan.fixed[slot] = {TypefaceFile(font.typeface, displayWidth), Scaled(font.size, factor)};
    }
    for (int typeface = 1; typeface <= 3; ++typeface)
        for (int step = 0; step < kFontGridSteps; ++step)
            plan.grid[(typeface - 1) * 10 + step] = {TypefaceFile(typeface, displayWidth),
                                                     Scaled(kGridPixelSizes[step], factors.large)};
    return plan;
}

int LoadImageLogged(const std::string& file, int flags) {
    const int image = LoadImageFile(file, flags);
    if (image == 0) LogUnusable(file);
    return image;
}

int LoadStripLogged(const std::string& file, int frameWidth, int frameHeight, int frameCount,
                    int flags) {
    const int image = LoadImageStrip(file, frameWidth, frameHeight, 0, frameCount, flags);
    if (image == 0) LogUnusable(file);
    return image;
}

int LoadSampleLogged(const std::string& file) {
    const int sample = LoadSample(file);
    if (sample == 0) LogUnusable(file);
    return sample;
}

void LoadCommonAssets() {
    const bool firstRun = DisplayOpened == 0;
    gReportedFiles.clear();
    // Remembered rather than walked back with "../", so a missing Common/ cannot leave the run in
    // the wrong folder (where the scores would later be saved).
    const std::string gameFolder = CurrentFolder();

    SetAutoCentreHandle(true);
    for (const char* line : {"", "Loading : Common Objects", "", "Switching to Default Folder", ""})
        WriteLog(line);
    ChangeFolder("../");
    ChangeFolder("Common/");

    WriteLog("\tDefault Fonts");
    LoadCommonFonts();
    WriteLog("\tDefault Icons");
    const int smooth = kImageMasked | kImageFiltered;
    IconStrip = LoadStripLogged("icons.png", kIconSize, kIconSize, kIconFrames, smooth);
    IconStripSharp = LoadStripLogged("icons.png", kIconSize, kIconSize, kIconFrames, kImageMasked);
    WriteLog("\tLogos");
    const bool fiftieth = GameNameA.find("Reel 50") != std::string::npos;
    CommonLogo = LoadImageLogged(fiftieth ? "logo50.png" : "logo.png", smooth);
    PartnerLogo = LoadImageLogged("Hearthside.png", smooth);
    WriteLog("\tBadgeGet");
    FreeSample(BadgeSound);
    BadgeSound = LoadSampleLogged("badgeget.wav");

    if (firstRun) ShowFirstLoadingScreen();

    WriteLog("");
    WriteLog("Switching to Game Folder");
    if (gameFolder.empty() || !ChangeFolder(gameFolder)) {
        ChangeFolder("../");
        ChangeFolder(GameFolder());
    }
    BadgeImages = LoadStripLogged("badges.png", kBadgeSize, kBadgeSize, kBadgeFrames, smooth);

    WriteLog("");
    WriteLog("Loading Sound effects");
    LoadSoundEffects();
    WriteLog("Sounds loaded");
    WriteLog("");

    // Games finished since start-up exist only in memory until shutdown saves them; reading the
    // file again on a reopened display would lose them.
    if (firstRun) LoadScores();
}
