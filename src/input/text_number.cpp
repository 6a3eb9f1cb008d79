// The integer read from a text, with saturation instead of overflow.
#include "input/text_number.h"

#include <limits>

namespace {

// Value of one digit in `base`, or -1 when the character is not such a digit.
int DigitValue(unsigned char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    return d < base ? d : -1;
}

struct WideInteger {
    int64_t value = 0;
    bool hasDigits = false;
};

WideInteger ParseWide(const std::string& text) {
    WideInteger result;
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
    // Unsigned, and it stops growing at 2^63 (the magnitude of the most negative int64), so any
    // number of digits stays defined.
    constexpr uint64_t kCap = uint64_t{1} << 63;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int d = DigitValue(static_cast<unsigned char>(text[i]), base);
        if (d < 0) break;
        result.hasDigits = true;
        if (magnitude > (kCap - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) {
            magnitude = kCap;
        } else {
            magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        }
    }
    if (negative) {
        result.value = magnitude == kCap ? std::numeric_limits<int64_t>::min()
                                         : -static_cast<int64_t>(magnitude);
    } else {
        result.value = magnitude >= kCap ? std::numeric_limits<int64_t>::max()
                                         : static_cast<int64_t>(magnitude);
    }
    return result;
}

}  // namespace

TextInteger ParseInteger(const std::string& text) {
    WideInteger wide = ParseWide(text);
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    TextInteger result;
    result.hasDigits = wide.hasDigits;
    result.value = static_cast<int>(wide.value > kMax ? kMax : wide.value < kMin ? kMin : wide.value);
    return result;
}

int ReadInteger(const std::string& text) { return ParseInteger(text).value; }

int64_t ReadInteger64(const std::string& text) { return ParseWide(text).value; }

int AbsoluteInteger(int value) {
    if (value == std::numeric_limits<int>::min()) return std::numeric_limits<int>::max();
    return value < 0 ? -value : value;
}

int ReadAbsoluteInteger(const std::string& text) { return AbsoluteInteger(ReadInteger(text)); }
