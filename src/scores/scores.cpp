// Score records, their order, and the scrambled score file "nuscores.dat": one credentials line,
// then one line per record, newest first.
#include "scores/scores.h"

#include "app/log.h"
#include "app/state.h"
#include "input/fields.h"
#include "input/text_number.h"
#include "platform/platform.h"
#include "scores/scramble.h"

std::list<Scores> LocalScores;
std::string StoredUser, StoredPassword;

namespace {

constexpr const char* kScoreFile = "nuscores.dat";
constexpr const char* kWriteFailed = "\tCould not write nuscores.dat; the previous file is kept";
constexpr const char* kBlanks = " \t";
// Lines this short are not scrambled text; they are read as they are.
constexpr size_t kLongestPlainLine = 2;

// The record's fields joined by "|", then RecordSeparator, then Best[1..30] joined by "|".
std::string RecordLine(const Scores& s) {
    std::string line = std::to_string(s.Score) + "|" + SafeRecordName(s.Name) + "|" +
                       std::to_string(s.Badges) + "|" + std::to_string(s.Timestamp) + "|" +
                       std::to_string(s.Level) + "|" + std::to_string(s.GameMode) + "|" +
                       std::to_string(s.GameFlags) + "|" + std::to_string(s.Quit) +
                       RecordSeparator;
    for (int k = 1; k <= kBestSlots; ++k) {
        if (k > 1) line += "|";
        line += std::to_string(s.Best[k]);
    }
    return line;
}

// Makes a record of one unscrambled line; false when the line holds no record.
bool ParseRecordLine(const std::string& line, Scores& out) {
    const std::string main = GetField(line, RecordSeparator, 1);
    if (main.find('|') == std::string::npos) return false;
    const size_t at = line.find(RecordSeparator);
    const std::string rest =
        at == std::string::npos ? line : line.substr(at + RecordSeparator.size());

    auto f = [&main](int k) { return GetField(main, "|", k); };
    out = Scores{};
    out.Score = ReadInteger64(f(1));
    out.Name = f(2);
    const size_t first = out.Name.find_first_not_of(kBlanks);
    out.Name = first == std::string::npos
                   ? std::string()
                   : out.Name.substr(first, out.Name.find_last_not_of(kBlanks) - first + 1);
    out.Badges = ReadAbsoluteInteger(f(3));
    out.Timestamp = ReadInteger64(f(4));
    out.Level = ReadAbsoluteInteger(f(5));
    out.GameMode = ReadAbsoluteInteger(f(6));
    out.GameFlags = ReadAbsoluteInteger(f(7));
    out.Quit = ReadAbsoluteInteger(f(8));
    for (int k = 1; k <= kBestSlots; ++k) out.Best[k] = ReadAbsoluteInteger(GetField(rest, "|", k));
    return true;
}

}  // namespace

int32_t Scores::Compare(const Scores& other) const {
    // Unsigned so a wrap-around of hand-edited timestamps is defined.
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(other.Timestamp) -
                                                      static_cast<uint64_t>(Timestamp)));
}

std::string SafeRecordName(const std::string& name) {
    std::string clean;
    clean.reserve(name.size());
    for (char c : name)
        if (c != '|') clean += c;
    // Dropping the last character of each occurrence cannot make a new one before it, and the
    // search restarts there, so this ends.
    for (size_t at = clean.find(RecordSeparator); at != std::string::npos;
         at = clean.find(RecordSeparator, at)) {
        clean.erase(at + RecordSeparator.size() - 1, 1);
    }
    return clean;
}

void SortScores() {
    // Newest first and stable. Ordering by the whole 64-bit timestamp agrees with Compare for any
    // two moments less than 68 years apart, and stays a consistent order for hand-edited values
    // where Compare's 32-bit difference would wrap and could contradict itself.
    LocalScores.sort([](const Scores& a, const Scores& b) { return a.Timestamp > b.Timestamp; });
}

void LoadScores() {
    if (PathKind(kScoreFile) == 0) return;
    const int stream = OpenForReading(kScoreFile);
    if (stream == 0) {
        WriteLog(std::string("\tCould not read ") + kScoreFile);
        return;
    }
    const std::string credentials = UnscrambleText(ReadTextLine(stream), CredentialKey);
    StoredUser = GetField(credentials, "|", 1);
    StoredPassword = GetField(credentials, "|", 2);

    LocalScores.clear();
    int records = 0;
    do {
        std::string line = ReadTextLine(stream);
        if (line.size() > kLongestPlainLine) line = UnscrambleText(line, "");
        Scores record;
        if (!ParseRecordLine(line, record)) continue;
        if (++records == 1) PlayerName = record.Name;
        LocalScores.push_back(std::move(record));
    } while (!AtEndOfStream(stream));

    SortScores();
    CloseStream(stream);
}

bool SaveScores() {
    // Through a temporary file renamed over the old one only when every line was written, so a
    // full disk or a crash keeps the previous file whole.
    const int stream = OpenForWriting(kScoreFile, true);
    if (stream == 0) {
        WriteLog(kWriteFailed);
        return false;
    }
    bool ok = WriteTextLine(stream, ScrambleText(StoredUser + "|" + StoredPassword, CredentialKey));
    SortScores();
    for (auto it = LocalScores.begin(); ok && it != LocalScores.end(); ++it)
        ok = WriteTextLine(stream, ScrambleText(RecordLine(*it), ""));
    ok = CloseStream(stream) && ok;
    if (!ok) WriteLog(kWriteFailed);
    return ok;
}
