// The score record of one finished game, the list of every game played here, and the scrambled
// score file "nuscores.dat" they are kept in between runs.
#pragma once

#include <cstdint>
#include <list>
#include <string>

constexpr int kBestSlots = 30;  // Best[1..30] are stored; Best[0] is never used

struct Scores {
    int64_t Score = 0;
    int64_t Timestamp = 0;  // see MakeTimestamp; also the sort key (newest first)
    int32_t Badges = 0;     // bit n-1 set: badge n earned
    std::string Name;
    int32_t Best[kBestSlots + 1] = {};  // per-game values; Best[30] = 1: completed
    int32_t Level = 0;      // Level, GameMode and GameFlags form the score table's selection
    int32_t GameMode = 0;   // difficulty: 0 Easy, 1 Medium, 2 Hard
    int32_t GameFlags = 0;
    int32_t Quit = 0;       // 1 when the game was ended from the pause menu

    // Low 32 bits of other.Timestamp - Timestamp: sorting ascending puts the newest first.
    int32_t Compare(const Scores& other) const;
};

// Every finished game, newest first. Filled from the score file at start-up, appended to at the
// end of each game, pruned per selection by the score table; written by SaveScores.
extern std::list<Scores> LocalScores;
// The credentials line's two opaque fields, carried from the file back to the file.
extern std::string StoredUser, StoredPassword;

// Key of the score file's credentials line.
inline const std::string CredentialKey = "QW7RT2NP";
// Ends a record line's main fields, before Best[1..30]. The byte \xA7 is the section sign in the
// file's one-byte-per-character text.
inline const std::string RecordSeparator = "=)#+\xA7!Q58mK0&";

// The name as a record line can carry it: without "|" and without RecordSeparator, either of
// which would shift every field after it when the line is read back.
std::string SafeRecordName(const std::string& name);

// Stable sort, newest first.
void SortScores();
// Reads "nuscores.dat" of the current (game) folder.
void LoadScores();
// Writes "nuscores.dat" of the current (game) folder anew; false when it could not be written
// (the previous file then stays whole).
bool SaveScores();
