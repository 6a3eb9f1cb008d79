// Reading and writing Setup.ini: a loose line reader (keys in any letter case, unknown lines
// ignored) and a writer that always produces the same fixed layout.
#include "app/settings_file.h"

#include <string>
#include <vector>

#include "app/log.h"
#include "app/state.h"
#include "input/controls.h"
#include "input/fields.h"
#include "input/text_number.h"
#include "platform/platform.h"

int AudioDriverLineSeen = 0;

namespace {

constexpr const char* kSetupFile = "Setup.ini";
constexpr int kStoredBindings = 100;  // entries 0-99 go to the file; 100 is never used
constexpr const char* kSlowSystemLine =
    "ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..";

// Only ASCII letters change: the file is Latin-1 and locale-dependent case mapping of bytes
// above 127 would make the same file read differently on different machines.
std::string UpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Strips leading and trailing characters of code below 33, as the field splitter does.
std::string Trimmed(const std::string& text) {
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) < 33) ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) < 33) --last;
    return text.substr(first, last - first);
}


void ReadKeyLine(const std::string& value) {
    // An index field without digits would read as 0 and silently rebind player 1's Up control.
    TextInteger index = ParseInteger(GetField(value, ",", 1));
    if (!index.hasDigits) return;
    int slot = AbsoluteInteger(index.value);
    if (slot < kStoredBindings) Bindings[slot] = ReadAbsoluteInteger(GetField(value, ",", 2));
}

void ReadSetupLine(const std::string& line) {
    const std::string key = UpperCase(Trimmed(GetField(line, "=", 1)));
    const std::string value = Trimmed(GetField(line, "=", 2));
    const std::string upperValue = UpperCase(value);
    if (key == "AUDIODRIVER") {
        AudioDriverLineSeen = 1;
        for (size_t i = 0; i < AudioDrivers.size(); ++i)
            if (AudioDrivers[i] == value) Settings[AudioDriverIndex] = static_cast<int>(i);
    }
    if (key == "FULLSCREEN" && (upperValue == "TRUE" || upperValue == "ON")) {
        Settings[Fullscreen] = 1;
        WriteLog("\tSetting to Fullscreen");
    }
    if (key == "GFX ENGINE" || key == "GFXENGINE") {
        if (upperValue == "DX9") {
            Settings[GfxEngine] = 1;
            WriteLog("\tDirectX 9 Mode");
        } else if (upperValue == "DX7") {
            Settings[GfxEngine] = 2;
            WriteLog("\tDirectX 7 Mode");
        }
    }
    if (key == "WIDTH") Settings[Width] = ReadAbsoluteInteger(value);
    if (key == "HEIGHT") Settings[Height] = ReadAbsoluteInteger(value);
    if (key == "ESS") {
        Settings[SlowSystem] = 1;
        WriteLog("\tAssuming Emergency Slow System values.");
    }
    if (key == "KEY") ReadKeyLine(value);
    if (key == "MASTER") Settings[MasterVolume] = ReadAbsoluteInteger(value);
    if (key == "SOUND") Settings[SoundVolume] = ReadAbsoluteInteger(value);
    if (key == "MUSIC") Settings[MusicVolume] = ReadAbsoluteInteger(value);
}

// The file's lines in their fixed order.
std::vector<std::string> SetupLines() {
    std::vector<std::string> lines;
    lines.push_back("[Graphics]");
    if (Settings[Fullscreen] == 0) lines.push_back("Fullscreen = False");
    if (Settings[Fullscreen] == 1) lines.push_back("Fullscreen = True");
    if (Settings[GfxEngine] == 0) lines.push_back("GFX Engine = OpenGL");
    if (Settings[GfxEngine] == 1) lines.push_back("GFX Engine = DX9");
    if (Settings[GfxEngine] == 2) lines.push_back("GFX Engine = DX7");
    lines.push_back("Width=" + std::to_string(Settings[Width]));
    lines.push_back("Height=" + std::to_string(Settings[Height]));
    if (Settings[SlowSystem] == 1) lines.push_back(kSlowSystemLine);
    lines.push_back("");
    lines.push_back("[Audio]");
    lines.push_back("Master = " + std::to_string(Settings[MasterVolume]));
    lines.push_back("Sound = " + std::to_string(Settings[SoundVolume]));
    lines.push_back("Music = " + std::to_string(Settings[MusicVolume]));
    // With no listed driver at that index (no audio device at all) the line is left out rather
    // than written empty: an empty name read back would still count as a choice and stop the
    // next run from picking a driver by itself.
    int driver = Settings[AudioDriverIndex];
    if (driver >= 0 && driver < static_cast<int>(AudioDrivers.size()))
        lines.push_back("AudioDriver = " + AudioDrivers[driver]);
    for (const std::string& name : AudioDrivers) lines.push_back("; AudioDriver = " + name);
    lines.push_back("");
    lines.push_back("[Controls]");
    for (int i = 0; i < kStoredBindings; ++i)
        if (Bindings[i] > 0)
            lines.push_back("Key=" + std::to_string(i) + "," + std::to_string(Bindings[i]));
    return lines;
}

// The last component of a folder path, without trailing slashes.
std::string LastFolderName(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void LoadSetup() {
    AudioDriverLineSeen = 0;
    if (PathKind(kSetupFile) == 0) return;
    int stream = OpenForReading(kSetupFile);
    if (stream == 0) {
        WriteLog("\tCould not read Setup.ini");
        return;
    }
    WriteLog("\tReading Setup File");
    // At least one line is handled, so an empty file still reads as one empty line.
    do {
        ReadSetupLine(ReadTextLine(stream));
    } while (!AtEndOfStream(stream));
    CloseStream(stream);
}

void WriteSetup() {
    // The file belongs beside Debug.txt, one folder above the game folder. When start-up found no
    // game folder we are already there; stepping up regardless would put the file where the
    // next start never looks and leave the current folder one level too high.
    const std::string before = CurrentFolder();
    const std::string gameFolderName = LastFolderName(GameFolder());
    const bool inGameFolder = before.empty() || LastFolderName(before) == gameFolderName;
    if (inGameFolder) ChangeFolder("..");

    // The platform writes a temporary file and renames it over Setup.ini only when every line
    // went out, so a full disk or a crash keeps the previous file whole.
    int stream = OpenForWriting(kSetupFile, true);
    bool written = stream != 0;
    if (stream != 0) {
        for (const std::string& line : SetupLines()) written = WriteTextLine(stream, line) && written;
        written = CloseStream(stream) && written;
    }
    if (!written) WriteLog("\tCould not write Setup.ini");

    if (!inGameFolder) return;
    if (before.empty() || !ChangeFolder(before)) ChangeFolder(GameFolder());
}
