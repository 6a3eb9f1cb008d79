// The high-score tab: the ranking of the 25 best games of one selection, the history graph with a
// column per game, the detail box of one chosen game, and the pruning that keeps LocalScores from
// growing without bound.
#pragma once

#include <cstdint>
#include <string>

#include "scores/scores.h"

constexpr int kRankSlots = 25;
constexpr int kKeptRecentGames = 50;   // per selection, besides the ranked ones
constexpr int kGraphHeight = 150;      // pixels, the strip below the rule line
constexpr int kGraphColumnWidth = 18;  // pixels between two games' markers
constexpr int kGraphScrollMax = 1000;
constexpr int kGraphScrollStep = 8;    // pixels a frame while the pointer rests on a scroll zone
constexpr int kRowPinBase = 1000;      // PinnedEntry 1000 + k: ranking row k; below: graph column
constexpr int kRankingNameLength = 24;
constexpr int kRankingScoreDigits = 12;

// Ranking of the selection, 1 = best, null when empty; records belong to LocalScores. Rebuilt by
// every DrawScoreTable call.
extern Scores* RankSlots[kRankSlots + 1];
// Largest Score of the selection (its low 32 bits), or 1. Rebuilt by every DrawScoreTable call.
extern int32_t MaxShownScore;
// Graph scroll in pixels, 0-1000; kept between calls; the title screen zeroes it after a game.
extern int32_t GraphScroll;
// 0 nothing pinned, 1-999 the n-th game of the selection from the newest, 1000 + k ranking row
// k. Set by clicks in DrawScoreTable; the title screen zeroes it after a game.
extern int32_t PinnedEntry;
// The record in the detail box, or null; cleared at the start of every drawn call.
extern Scores* SelectedScore;

// Every frame from the title screen. With visible = 0 it only ranks: nothing is drawn, selected
// or deleted. With visible = 1 it draws, selects by hover and click, and deletes the selection's
// games that are neither among its 50 newest nor ranked.
void DrawScoreTable(int panelX, int panelWidth, int gameMode, int level, int gameFlags,
                    int visible);

// 1 when bit n-1 of value is set (n from 1 to 32), else 0.
int BitIsSet(int32_t value, int n);

// The pieces of the table that are rules rather than drawing, for the title screen and tests.
void RankScores(int gameMode, int level, int gameFlags);
// Pixels above the baseline of a game's graph marker: Score * 150 / MaxShownScore, truncated.
int32_t MarkerHeight(int64_t score);
// A ranking row's texts: the name's first 24 characters; the score as 12 digits.
std::string RankingName(const std::string& name);
std::string RankingScoreText(int64_t score);
