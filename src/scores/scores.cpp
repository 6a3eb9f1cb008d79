// Score records and the score file.
#include "scores/scores.h"

std::list<Scores> LocalScores;
std::string StoredUser, StoredPassword;

int32_t Scores::Compare(const Scores& other) const {
    return static_cast<int32_t>(static_cast<uint32_t>(other.Timestamp - Timestamp));
}
void SortScores() {}
void LoadScores() {}
bool SaveScores() { return true; }
