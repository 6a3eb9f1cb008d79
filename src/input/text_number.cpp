// The integer read from a text, with saturation instead of overflow.
#include "input/text_number.h"

#include <cstdint>
#include <limits>

namespace {

constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();
// One past kIntMax: the magnitude of the most negative int32.
constexpr int64_t kMagnitudeCap = kIntMax + 1;

// Value of one digit in `base`, or -1 when the character is not such a digit.
int DigitValue(unsigned char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    return d < base ? d : -1;
}

}  // namespace

TextInteger ParseInteger(const std::string& text) {
    TextInteger result;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == '%') {
        base = 2;
        ++i;
    }
    // The magnitude stops growing at the cap, so any number of digits stays in range.
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int d = DigitValue(static_cast<unsigned char>(text[i]), base);
        if (d < 0) break;
        magnitude = magnitude * base + d;
        if (magnitude > kMagnitudeCap) magnitude = kMagnitudeCap;
        result.hasDigits = true;
    }
    if (negative) magnitude = -magnitude;
    if (magnitude > kIntMax) magnitude = kIntMax;
    result.value = static_cast<int>(magnitude);
    return result;
}

int ReadInteger(const std::string& text) { return ParseInteger(text).value; }

int AbsoluteInteger(int value) {
    if (value == std::numeric_limits<int>::min()) return std::numeric_limits<int>::max();
    return value < 0 ? -value : value;
}
