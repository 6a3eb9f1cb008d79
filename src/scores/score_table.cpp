// The high-score tab: ranking, history graph with pruning, scrolling, ranking rows, detail box.
#include "scores/score_table.h"

#include <algorithm>
#include <limits>

#include "app/assets.h"
#include "app/state.h"
#include "frame/draw.h"
#include "platform/platform.h"
#include "scores/timestamp.h"

Scores* RankSlots[kRankSlots + 1] = {};
int32_t MaxShownScore = 1;
int32_t GraphScroll = 0;
int32_t PinnedEntry = 0;
Scores* SelectedScore = nullptr;

namespace {

constexpr int kGraphMarkerFrame = 7;  // of IconStrip
constexpr int kRowHeight = 17;
constexpr float kBadgeScale = 0.28f;
constexpr int kBadgeSpacing = 20;
constexpr int kCompleteSlot = 30;  // Best[30] = 1 marks a completed game

struct Selection {
    int gameMode, level, gameFlags;
    bool Matches(const Scores& s) const {
        return s.Level == level && s.GameMode == gameMode && s.GameFlags == gameFlags;
    }
};

bool IsRanked(const Scores* s) {
    for (int k = 1; k <= kRankSlots; ++k)
        if (RankSlots[k] == s) return true;
    return false;
}

// Where everything of the table sits, from the panel and the virtual screen.
struct Layout {
    int p, b, v, base, top;
};

// The history graph, newest game at the right; deletes the games pruning drops on the way.
void DrawGraphAndPrune(const Layout& l, const Selection& sel) {
    const bool leftDown = MouseIsDown(1);
    int x = l.v - 24 + GraphScroll;
    int prevX = 0, prevY = 0;
    int n = 0;
    for (auto it = LocalScores.begin(); it != LocalScores.end();) {
        Scores& s = *it;
        if (!sel.Matches(s)) {
            ++it;
            continue;
        }
        ++n;
        if (n == PinnedEntry && PinnedEntry < kRowPinBase && SelectedScore == nullptr)
            SelectedScore = &s;
        const bool doomed = n > kKeptRecentGames && !IsRanked(&s);
        if (x > l.p + 1) {
            const int h = MarkerHeight(s.Score);
            const int y = l.base - h;
            SetColour(255.0f - h, 255, 80, 1);
            DrawSprite(IconStrip, x - 8, y - 8, kGraphMarkerFrame);
            SetColour(255, 80.0f + h, 80);
            if (prevY != 0) DrawLineSegment(x, y, prevX, prevY);
            SetColour(0, 0, 0, 0.3f);
            DrawLineSegment(x - 9, l.base - kGraphHeight, x - 9, l.base - 1);
            prevX = x;
            prevY = y;
            if (MouseOver(x - 9, l.base - kGraphHeight, 19, kGraphHeight)) {
                SelectedScore = &s;
                if (leftDown && n < kRowPinBase) PinnedEntry = n;
            }
            if (SelectedScore == &s) {
                SetColour(255, 255, 255, 0.3f);
                DrawFilledRect(x - 9, l.base - kGraphHeight, 19, kGraphHeight);
            }
            x -= kGraphColumnWidth;
        }
        if (SelectedScore == &s && leftDown && n < kRowPinBase) PinnedEntry = n;
        if (doomed) {
            // The detail box must never show a record that no longer exists.
            if (SelectedScore == &s) SelectedScore = nullptr;
            it = LocalScores.erase(it);
        } else {
            ++it;
        }
    }
}

// Resting on the left zone brings older games into view, on the right zone newer ones.
void ScrollGraph(const Layout& l) {
    if (MouseOver(l.v - l.b - 32, l.base - kGraphHeight, 64, kGraphHeight) &&
        GraphScroll < kGraphScrollMax)
        GraphScroll = std::min(GraphScroll + kGraphScrollStep, kGraphScrollMax);
    if (MouseOver(l.v - 32, l.base - kGraphHeight, 62, kGraphHeight) && GraphScroll > 0)
        GraphScroll = std::max(GraphScroll - kGraphScrollStep, 0);
}

void DrawRankingRows(const Layout& l) {
    const bool leftDown = MouseIsDown(1);
    SelectFont(Fonts[3]);
    for (int k = 1; k <= kRankSlots; ++k) {
        Scores* s = RankSlots[k];
        if (s == nullptr) continue;
        if (PinnedEntry == kRowPinBase + k && SelectedScore == nullptr) SelectedScore = s;
        SetColour(255, 255, 255, 1);
        const int rowY = l.top + kRowHeight * (k - 1);
        if (MouseOver(l.p + 9, rowY, l.b, kRowHeight + 1)) {
            SelectedScore = s;
            if (leftDown) PinnedEntry = kRowPinBase + k;
        }
        DrawTextAligned(l.p + 9, rowY, RankingName(s->Name), kAlignStart, kAlignStart);
        DrawTextAligned(l.p + l.b + 1, rowY, RankingScoreText(s->Score), kAlignEnd, kAlignStart);
        if (SelectedScore == s) {
            SetColour(255, 255, 255, 0.3f);
            DrawFilledRect(l.p + 9, rowY, l.b, kRowHeight);
        }
    }
}

void DrawDetailBox(const Layout& l, const Scores& s) {
    SetColour(255, 255, 255, 0.6f);
    DrawFilledRect(l.p + 3, l.base - 719, l.b, 140);
    SelectFont(Fonts[1]);
    SetColour(80, 80, 0, 1);
    DrawTextAligned(l.p + 9, l.base - 715, s.Name, kAlignStart, kAlignStart);
    SetColour(0, 0, 80, 1);
    DrawTextAligned(l.p + l.b + 1, l.base - 694, std::to_string(s.Score), kAlignEnd, kAlignStart);
    SelectFont(Fonts[4]);
    SetColour(0, 80, 0, 1);
    if (s.Best[kCompleteSlot] == 1)
        DrawTextAligned(l.p + 9, l.base - 669, "Complete!", kAlignStart, kAlignCentre);
    SetColour(0, 0, 0, 1);
    SelectFont(Fonts[3]);
    DrawTextAligned(l.p + 9, l.base - 583, FormatDate(s.Timestamp) + ", " + FormatClock(s.Timestamp),
                    kAlignStart, kAlignEnd);
    SetScale(kBadgeScale);
    SetColour(255, 255, 255, 1);
    for (int n = 1; n <= BadgeCount; ++n) {
        SetDrawAlpha(1);
        if (BitIsSet(s.Badges, n))
            DrawSprite(BadgeImages, l.p + 11 + kBadgeSpacing * (n - 1), l.base - 629, n - 1);
    }
    SetScale(1);
}

}  // namespace

int BitIsSet(int32_t value, int n) {
    if (n < 1 || n > 32) return 0;
    return (static_cast<uint32_t>(value) >> (n - 1)) & 1u;
}

void RankScores(int gameMode, int level, int gameFlags) {
    const Selection sel{gameMode, level, gameFlags};
    std::fill(std::begin(RankSlots), std::end(RankSlots), nullptr);
    MaxShownScore = 0;
    for (Scores& s : LocalScores) {
        if (!sel.Matches(s)) continue;
        if (s.Score > MaxShownScore)
            MaxShownScore = static_cast<int32_t>(static_cast<uint32_t>(s.Score));
        // Slots stay filled from 1 without gaps, so the first slot that is empty or holds a
        // strictly lower score is where this one goes: equal scores keep the newer game above.
        int pos = 0;
        for (int k = 1; k <= kRankSlots && pos == 0; ++k)
            if (RankSlots[k] == nullptr || RankSlots[k]->Score < s.Score) pos = k;
        if (pos == 0) continue;
        for (int k = kRankSlots; k > pos; --k) RankSlots[k] = RankSlots[k - 1];
        RankSlots[pos] = &s;
    }
    if (MaxShownScore == 0) MaxShownScore = 1;
}

int32_t MarkerHeight(int64_t score) {
    // Hand-edited scores may be huge or negative: compute wide, then keep it an int.
    const int32_t divisor = MaxShownScore == 0 ? 1 : MaxShownScore;
    const __int128 h = static_cast<__int128>(score) * kGraphHeight / divisor;
    constexpr int32_t kLimit = std::numeric_limits<int32_t>::max() / 2;
    return static_cast<int32_t>(std::clamp<__int128>(h, -kLimit, kLimit));
}

std::string RankingName(const std::string& name) { return name.substr(0, kRankingNameLength); }

std::string RankingScoreText(int64_t score) {
    const std::string padded = std::string(kRankingScoreDigits, '0') + std::to_string(score);
    return padded.substr(padded.size() - kRankingScoreDigits);
}

void DrawScoreTable(int panelX, int panelWidth, int gameMode, int level, int gameFlags,
                    int visible) {
    RankScores(gameMode, level, gameFlags);
    if (visible != 1) return;

    const int base = VirtualHeight - 10;
    const Layout l{panelX, panelWidth, VirtualWidth, base, base - 579};
    SetScale(1);
    ResetDrawState();
    SetColour(0, 0, 0, 0.6f);
    DrawFilledRect(l.p + 7, base - 583, l.b + 2, 575);
    SetColour(0, 0, 80, 1);
    DrawLineSegment(l.p + 7, base - kGraphHeight, l.v - 8, base - kGraphHeight);
    SelectedScore = nullptr;

    DrawGraphAndPrune(l, Selection{gameMode, level, gameFlags});
    ScrollGraph(l);
    DrawRankingRows(l);
    if (SelectedScore != nullptr) DrawDetailBox(l, *SelectedScore);
}
