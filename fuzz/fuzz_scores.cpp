// nuscores.dat made of the fuzz bytes, read by LoadScores; the records it accepted are saved and
// must load again unchanged. The same bytes are also unscrambled directly, under the default key
// and under a key taken from the input, and a scrambled text must unscramble to itself.
#include <iterator>
#include <vector>

#include "fuzz_common.h"
#include "scores/scores.h"
#include "scores/scramble.h"

namespace {

bool SameRecord(const Scores& a, const Scores& b) {
    return a.Score == b.Score && a.Timestamp == b.Timestamp && a.Badges == b.Badges &&
           a.Name == b.Name && std::equal(std::begin(a.Best), std::end(a.Best), b.Best) &&
           a.Level == b.Level && a.GameMode == b.GameMode && a.GameFlags == b.GameFlags &&
           a.Quit == b.Quit;
}

void CheckScrambling(const std::string& text) {
    // The key is the input's first line (a key may hold any byte but none of a line break).
    const size_t cut = text.find('\n');
    const std::string key = cut == std::string::npos ? std::string() : text.substr(0, cut);
    const std::string rest = cut == std::string::npos ? text : text.substr(cut + 1);
    UnscrambleText(text, "");
    UnscrambleText(rest, key);
    HexToInt(text);
    if (!rest.empty()) {
        const std::string scrambled = ScrambleText(rest, key);
        fuzz::Expect(scrambled.size() == 2 * (rest.size() + 12), "scrambled length");
        fuzz::Expect(UnscrambleText(scrambled, key) == rest, "scrambling round trip");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::InputScope scope;
    BuildDefaultKey();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckScrambling(bytes);

    fuzz::WriteBytes("nuscores.dat", data, size);
    LoadScores();
    const std::vector<Scores> first(LocalScores.begin(), LocalScores.end());
    const std::string user = StoredUser, password = StoredPassword;

    fuzz::Expect(SaveScores(), "the score file is written");
    LocalScores.clear();
    StoredUser.clear();
    StoredPassword.clear();
    LoadScores();
    fuzz::Expect(LocalScores.size() == first.size(), "every record survives a save and a load");
    size_t i = 0;
    for (const Scores& record : LocalScores) {
        fuzz::Expect(SameRecord(record, first[i++]), "records are the same after a save and a load");
    }
    // Credentials are two fields of one line split at "|", so only those without "|" come back.
    if (user.find('|') == std::string::npos && password.find('|') == std::string::npos) {
        fuzz::Expect(StoredUser == user && StoredPassword == password, "credentials survive");
    }
    return 0;
}
