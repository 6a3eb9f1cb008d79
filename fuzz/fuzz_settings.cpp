// Setup.ini made of the fuzz bytes, read by LoadSetup; whatever it accepted is written back by
// WriteSetup and must read back to the same settings and bindings.
#include <algorithm>
#include <iterator>

#include "app/settings_file.h"
#include "fuzz_common.h"
#include "input/controls.h"

namespace {

constexpr int kStoredBindings = 100;  // the file carries bindings 0-99

struct Snapshot {
    int settings[100] = {};
    int bindings[kStoredBindings] = {};
};

Snapshot Take() {
    Snapshot s;
    std::copy(std::begin(Settings), std::end(Settings), s.settings);
    std::copy(Bindings, Bindings + kStoredBindings, s.bindings);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::InputScope scope;
    AudioDrivers = {"OpenAL", "SDL Mixer", "Silent"};
    fuzz::WriteBytes("Setup.ini", data, size);
    LoadSetup();
    for (int value : {Settings[Width], Settings[Height], Settings[MasterVolume],
                      Settings[SoundVolume], Settings[MusicVolume]}) {
        fuzz::Expect(value >= 0, "sizes and volumes are read as magnitudes");
    }
    const Snapshot first = Take();

    WriteSetup();
    SetDefaultSettings();
    SetDefaultBindings();
    LoadSetup();
    const Snapshot second = Take();
    fuzz::Expect(std::equal(std::begin(first.settings), std::end(first.settings),
                            second.settings),
                 "settings survive a write and a read");
    // A binding of 0 is not written, so the default comes back for it; every other must survive.
    for (int i = 0; i < kStoredBindings; ++i) {
        if (first.bindings[i] > 0) {
            fuzz::Expect(first.bindings[i] == second.bindings[i], "bindings survive a write and a read");
        }
    }
    return 0;
}
