// Conversions at the SDL edge that need no SDL: text encodings, joystick readings, the letterbox
// that fits the back buffer into a window, and the date and time texts.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace plat {

std::string Latin1ToUtf8(const std::string& latin1);
// Typed text as the program accepts it: code points above 255, the field separator "|" and
// control characters are dropped, as are malformed UTF-8 sequences.
std::vector<int> TypedCharsFromUtf8(const std::string& utf8);

float AxisFraction(int sdlAxisValue);  // -32768..32767 to -1..1
// SDL hat bits (1 up, 2 right, 4 down, 8 left) to -1 centred, else a fraction of a turn
// clockwise from up.
float HatFraction(int sdlHat);

// Where a back buffer of bufferW x bufferH lands when scaled into a window, aspect kept and
// centred (black bars where the shapes differ).
struct Letterbox {
    int x = 0, y = 0, width = 0, height = 0;
};
Letterbox FitLetterbox(int windowW, int windowH, int bufferW, int bufferH);
// A window point in back-buffer pixels through that letterbox (may lie outside the buffer).
void WindowToBuffer(int wx, int wy, int windowW, int windowH, int bufferW, int bufferH, int& bx, int& by);

std::string FormatDateText(const std::tm& t);  // "09 Dec 2025"
std::string FormatTimeText(const std::tm& t);  // "14:30:05"

}  // namespace plat
