// Stand-in until the game objects land: pop-ups and notices with their ageing and drawing.
#include "game/objects.h"

#include "app/assets.h"
#include "app/state.h"
#include "frame/draw.h"
#include "platform/platform.h"

std::list<ore> PointPopups;
std::list<ment> Notices;

constexpr int kNoticeHighlightTicks = 60;
constexpr int kNoticeLifeTicks = 180;
constexpr int kNoticeLineStep = 14;

void PostNotice(const std::string& text, int c) {
    ment notice;
    notice.txt = text;
    notice.c = c;
    Notices.push_back(notice);
}

void DrawPointPopups() {
    SelectFont(Fonts[3]);
    ResetDrawState();
    for (auto it = PointPopups.begin(); it != PointPopups.end();) {
        it->t -= 1;
        it->y -= 0.25f;
        SetColour(it->r, it->g, it->b, it->t / 120.0f);
        DrawTextAligned(int(it->x), int(it->y), std::to_string(it->n), kAlignCentre, kAlignCentre);
        it = it->t <= 0 ? PointPopups.erase(it) : std::next(it);
    }
}

void DrawNotices() {
    SelectFont(Fonts[3]);
    int y = VirtualHeight - 16;
    for (auto it = Notices.begin(); it != Notices.end();) {
        it->tick += 1;
        const bool fresh = it->tick < kNoticeHighlightTicks;
        if (fresh) SetColour(255, 255, 0, 0.7f); else SetColour(0, 0, 0, 0.7f);
        DrawFilledRect(0, y, TextWidthOf(it->txt), TextHeightOf());
        if (fresh) SetColour(0, 0, 0, 1.0f); else SetColour(255, 255, 255, 1.0f);
        DrawTextAligned(0, y, it->txt, kAlignStart, kAlignStart);
        y -= kNoticeLineStep;
        it = it->tick >= kNoticeLifeTicks ? Notices.erase(it) : std::next(it);
    }
}
