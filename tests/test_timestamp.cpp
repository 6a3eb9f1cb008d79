// Timestamps: built from date and time texts, ordered, and formatted back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/headless/headless.h"
#include "scores/timestamp.h"

namespace {

int64_t Formula(int64_t y, int64_t mo, int64_t d, int64_t h, int64_t mi, int64_t s) {
    return y * 12 * 31 * 86400 + mo * 31 * 86400 + d * 86400 + h * 3600 + mi * 60 + s;
}

TEST(Timestamp, BuildsFromTextsAndFormatsBack) {
    const struct {
        std::string date, time;
        int64_t expected;
        std::string formattedDate, formattedClock;
    } cases[] = {
        {"25 Dec 2010", "13:45:30", Formula(2010, 12, 25, 13, 45, 30), "25-12-2010", "13:45:30"},
        {"31 Jan 2010", "00:00:00", Formula(2010, 1, 31, 0, 0, 0), "31-01-2010", "00:00:00"},
        {"05 Mar 2011", "07:08:09", Formula(2011, 3, 5, 7, 8, 9), "05-03-2011", "07:08:09"},
        {"01 jan 0999", "23:59:59", Formula(999, 1, 1, 23, 59, 59), "01-01-0999", "23:59:59"},
    };
    for (const auto& c : cases) {
        const int64_t t = TimestampFromTexts(c.date, c.time);
        EXPECT_EQ(t, c.expected) << c.date;
        EXPECT_EQ(FormatDate(t), c.formattedDate) << c.date;
        EXPECT_EQ(FormatClock(t), c.formattedClock) << c.date;
    }
}

TEST(Timestamp, ReadsThePlatformClock) {
    headless::Install();
    headless::SetDateTime("25 Dec 2010", "13:45:30");
    EXPECT_EQ(MakeTimestamp(), Formula(2010, 12, 25, 13, 45, 30));
}

TEST(Timestamp, LaterMomentsAreLarger) {
    EXPECT_EQ(TimestampFromTexts("01 Feb 2010", "00:00:00") -
                  TimestampFromTexts("31 Jan 2010", "00:00:00"),
              86400);
    EXPECT_LT(TimestampFromTexts("31 Dec 2010", "23:59:59"),
              TimestampFromTexts("01 Jan 2011", "00:00:00"));
}

TEST(Timestamp, OddTextsGiveAValue) {
    EXPECT_EQ(TimestampFromTexts("25 Xyz 2010", "13:45:30"), Formula(2010, 0, 25, 13, 45, 30));
    EXPECT_EQ(TimestampFromTexts("", ""), 0);
    EXPECT_EQ(TimestampFromTexts("7", "1"), Formula(0, 0, 7, 1, 0, 0));
    // Hand-edited timestamps from the score file format without failing.
    EXPECT_EQ(FormatDate(Formula(123456, 5, 6, 0, 0, 0)), "06-05-3456");
    EXPECT_FALSE(FormatClock(INT64_MIN).empty());
    EXPECT_FALSE(FormatDate(INT64_MIN).empty());
    EXPECT_FALSE(FormatDate(INT64_MAX).empty());
}

}  // namespace
