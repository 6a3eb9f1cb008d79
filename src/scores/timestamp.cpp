// Making timestamps from the platform's date and time texts, and formatting them.
#include "scores/timestamp.h"

#include "input/fields.h"
#include "input/text_number.h"
#include "platform/platform.h"

namespace {

constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Characters first..first+count-1 (1-based) of text; whatever of them exists.
std::string Mid(const std::string& text, size_t first, size_t count) {
    if (first > text.size()) return std::string();
    return text.substr(first - 1, count);
}

std::string UpperCase(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Decimal digits of v left-padded with "0" to `width`, then cut to the last `width` characters.
std::string Padded(int64_t v, size_t width) {
    std::string digits = std::to_string(v);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits.substr(digits.size() - width);
}

}  // namespace

int64_t TimestampFromTexts(const std::string& date, const std::string& time) {
    const std::string d = UpperCase(date);
    const int64_t year = ReadAbsoluteInteger(Mid(d, 8, 4));
    const int64_t day = ReadAbsoluteInteger(Mid(d, 1, 2));
    int64_t month = 0;
    for (int i = 0; i < 12; ++i)
        if (Mid(d, 4, 3) == kMonths[i]) month = i + 1;
    const int64_t hour = ReadAbsoluteInteger(Mid(time, 1, 2));
    const int64_t minute = ReadAbsoluteInteger(Mid(time, 4, 2));
    const int64_t second = ReadAbsoluteInteger(Mid(time, 7, 2));
    return year * kSecondsPerYear + month * kSecondsPerMonth + day * kSecondsPerDay +
           hour * 3600 + minute * 60 + second;
}

int64_t MakeTimestamp() {
    // Two separate platform calls, date first.
    const std::string date = CurrentDateText();
    return TimestampFromTexts(date, CurrentTimeText());
}

std::string FormatClock(int64_t timestamp) {
    const int64_t s = timestamp % 60;
    const int64_t m = (timestamp / 60) % 60;
    const int64_t h = (timestamp / 3600) % 24;
    return Padded(h, 2) + ":" + Padded(m, 2) + ":" + Padded(s, 2);
}

std::string FormatDate(int64_t timestamp) {
    const int64_t n = timestamp / kSecondsPerDay - 32;
    const int64_t day = n % 31 + 1;
    const int64_t month = (n / 31) % 12 + 1;
    const int64_t year = n / 372;
    return Padded(day, 2) + "-" + Padded(month, 2) + "-" + Padded(year, 4);
}
