// One-line text entry: a frame's worth of editing, and the modal "Enter Your Name" screen that
// edits PlayerName after a game.
#pragma once

#include <string>

constexpr int kKeyBackspace = 8;
constexpr int kKeyReturn = 13;

// Whether a typed character may enter a line. Control codes never do; "|" does not either, since
// names are stored in "|"-separated score records and one would split the record.
bool AcceptsTypedChar(int code);
// Takes at most one typed character and at most one Backspace; returns the edited text.
std::string EditLine(std::string text);
// Runs until Return, a left click or Escape confirms; edits PlayerName in place.
void EnterNameScreen();
