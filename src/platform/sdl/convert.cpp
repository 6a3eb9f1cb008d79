// Pure conversions used by the SDL host; kept apart so they can be tested without a display.
#include "platform/sdl/convert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace plat {

namespace {
constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int kFieldSeparator = '|';
}  // namespace

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size() * 2);
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<int> TypedCharsFromUtf8(const std::string& utf8) {
    std::vector<int> out;
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int length = 0;
        int code = 0;
        if (lead < 0x80) { length = 1; code = lead; }
        else if ((lead & 0xE0) == 0xC0) { length = 2; code = lead & 0x1F; }
        else if ((lead & 0xF0) == 0xE0) { length = 3; code = lead & 0x0F; }
        else if ((lead & 0xF8) == 0xF0) { length = 4; code = lead & 0x07; }
        else { ++i; continue; }  // a stray continuation byte or an invalid lead
        bool whole = i + static_cast<size_t>(length) <= n;
        for (int k = 1; whole && k < length; ++k) {
            const unsigned char c = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            if ((c & 0xC0) != 0x80) whole = false;
            else code = (code << 6) | (c & 0x3F);
        }
        if (!whole) { ++i; continue; }
        // Overlong forms of ASCII would smuggle in characters ("|") the text rules keep out.
        const bool overlong = (length == 2 && code < 0x80) || (length == 3 && code < 0x800) ||
                              (length == 4 && code < 0x10000);
        i += static_cast<size_t>(length);
        if (overlong || code > 255 || code == kFieldSeparator) continue;
        out.push_back(code);
    }
    return out;
}

float AxisFraction(int v) {
    const float f = v < 0 ? v / 32768.0f : v / 32767.0f;
    return std::clamp(f, -1.0f, 1.0f);
}

float HatFraction(int hat) {
    const bool up = hat & 1, right = hat & 2, down = hat & 4, left = hat & 8;
    // Opposite directions together (a broken or odd device) cancel out.
    const int dy = (down ? 1 : 0) - (up ? 1 : 0);
    const int dx = (right ? 1 : 0) - (left ? 1 : 0);
    static constexpr float kTurn[3][3] = {
        // dx = -1    0       1
        {0.875f, 0.0f, 0.125f},   // dy = -1 (up)
        {0.75f, -1.0f, 0.25f},    // dy = 0
        {0.625f, 0.5f, 0.375f},   // dy = 1 (down)
    };
    return kTurn[dy + 1][dx + 1];
}

Letterbox FitLetterbox(int windowW, int windowH, int bufferW, int bufferH) {
    Letterbox box;
    if (windowW <= 0 || windowH <= 0 || bufferW <= 0 || bufferH <= 0) return box;
    // Compare aspect ratios in 64-bit integers so equal shapes fill exactly.
    if (static_cast<long long>(windowW) * bufferH > static_cast<long long>(windowH) * bufferW) {
        box.height = windowH;
        box.width = static_cast<int>(static_cast<long long>(bufferW) * windowH / bufferH);
    } else {
        box.width = windowW;
        box.height = static_cast<int>(static_cast<long long>(bufferH) * windowW / bufferW);
    }
    box.x = (windowW - box.width) / 2;
    box.y = (windowH - box.height) / 2;
    return box;
}

void WindowToBuffer(int wx, int wy, int windowW, int windowH, int bufferW, int bufferH, int& bx, int& by) {
    const Letterbox box = FitLetterbox(windowW, windowH, bufferW, bufferH);
    if (box.width <= 0 || box.height <= 0) {
        bx = wx;
        by = wy;
        return;
    }
    // Floor, so the bars left of and above the picture map below 0 rather than onto it.
    bx = static_cast<int>(std::floor(static_cast<double>(wx - box.x) * bufferW / box.width));
    by = static_cast<int>(std::floor(static_cast<double>(wy - box.y) * bufferH / box.height));
}

std::string FormatDateText(const std::tm& t) {
    char text[32];
    const int month = std::clamp(t.tm_mon, 0, 11);
    std::snprintf(text, sizeof text, "%02d %s %04d", t.tm_mday, kMonths[month], t.tm_year + 1900);
    return text;
}

std::string FormatTimeText(const std::tm& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

}  // namespace plat
