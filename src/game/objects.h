// Records that move or fade on screen outside the menus: points pop-ups and notices.
// Stand-in until the game objects land: the pop-up and notice lists and their per-frame rules.
#pragma once

#include <list>
#include <string>

// A floating points pop-up: rises and fades for 120 frames.
struct ore {
    int n = 0;             // points shown
    float x = 0, y = 0;    // centre of the text
    int t = 0;             // frames left
    int r = 0, g = 0, b = 0;
};
// A one-line notice in the bottom-left corner for 180 frames.
struct ment {
    int tick = 0;     // frames shown so far
    std::string txt;
    int c = 0;        // category; not read by the display
};

// Appended by AwardPoints, aged and removed by DrawPointPopups; never cleared.
extern std::list<ore> PointPopups;
// Appended by PostNotice, aged and removed by DrawNotices (oldest first); never cleared.
extern std::list<ment> Notices;

void PostNotice(const std::string& text, int c);
void DrawPointPopups();
// Stacks the notices upward from the bottom-left corner, the oldest lowest.
void DrawNotices();
