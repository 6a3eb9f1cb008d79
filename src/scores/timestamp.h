// Timestamps of score records: one 64-bit number in a calendar of twelve 31-day months, so that
// later moments give larger numbers; formatted back as a date and a clock time.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kSecondsPerMonth = 31 * kSecondsPerDay;
constexpr int64_t kSecondsPerYear = 12 * kSecondsPerMonth;

// T for the platform's current date and time.
int64_t MakeTimestamp();
// T for a date text "dd Mon yyyy" (English month, any case) and a time text "hh:mm:ss". A month
// that is not recognised counts as 0; short texts read their missing digits as 0.
int64_t TimestampFromTexts(const std::string& date, const std::string& time);
// "hh:mm:ss".
std::string FormatClock(int64_t timestamp);
// "dd-mm-yyyy".
std::string FormatDate(int64_t timestamp);
