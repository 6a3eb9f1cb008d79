// Score records and the score file.
#include "scores/scores.h"

std::list<Scores> LocalScores;
std::string StoredUser, StoredPassword;

int32_t Scores::Compare(const Scores& other) const {
    // Unsigned so a wrap-around of hand-edited timestamps is defined.
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(other.Timestamp) -
                                                      static_cast<uint64_t>(Timestamp)));
}
void SortScores() {}
void LoadScores() {}
bool SaveScores() { return true; }
