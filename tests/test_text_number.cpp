// The integer read from a text: bases, signs, stopping characters and saturation.
#include <gtest/gtest.h>

#include <climits>

#include "input/text_number.h"

namespace {

struct IntegerCase {
    const char* text;
    int value;
    bool hasDigits;
};

const IntegerCase kIntegerCases[] = {
    {"800", 800, true},
    {"  \t42", 42, true},
    {"-7", -7, true},
    {"+7", 7, true},
    {"12abc", 12, true},
    {"3,37", 3, true},
    {"007", 7, true},
    {"$FF", 255, true},
    {"$ff", 255, true},
    {"-$10", -16, true},
    {"%101", 5, true},
    {"%102", 2, true},
    {"$G", 0, false},
    {"%2", 0, false},
    {"$", 0, false},
    {"", 0, false},
    {"abc", 0, false},
    {"- 5", 0, false},
    {"\n5", 0, false},  // only spaces and TABs are skipped
    {"--5", 0, false},
    {"2147483647", INT_MAX, true},
    {"2147483648", INT_MAX, true},
    {"-2147483648", INT_MIN, true},
    {"-2147483649", INT_MIN, true},
    {"99999999999999999999999999", INT_MAX, true},
    {"-99999999999999999999999999", INT_MIN, true},
    {"$FFFFFFFF", INT_MAX, true},
    {"$7FFFFFFF", INT_MAX, true},
    {"%11111111111111111111111111111111111", INT_MAX, true},
};

TEST(TextNumber, ReadsByTheConversionRules) {
    for (const IntegerCase& c : kIntegerCases) {
        TextInteger parsed = ParseInteger(c.text);
        EXPECT_EQ(parsed.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(parsed.hasDigits, c.hasDigits) << '"' << c.text << '"';
        EXPECT_EQ(ReadInteger(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(TextNumber, AMillionDigitsSaturateWithoutOverflow) {
    EXPECT_EQ(ReadInteger(std::string(1000000, '9')), INT_MAX);
    EXPECT_EQ(ReadInteger("-" + std::string(1000000, '9')), INT_MIN);
}

TEST(TextNumber, AbsoluteValueOfTheMostNegativeSaturates) {
    EXPECT_EQ(AbsoluteInteger(INT_MIN), INT_MAX);
    EXPECT_EQ(AbsoluteInteger(-1024), 1024);
    EXPECT_EQ(AbsoluteInteger(0), 0);
    EXPECT_EQ(AbsoluteInteger(INT_MAX), INT_MAX);
}

TEST(TextNumber, WideReadsAndAbsoluteValuesSaturate) {
    const struct {
        std::string text;
        int64_t as64;
        int32_t as32, abs32;
    } cases[] = {
        {"", 0, 0, 0},
        {"-+-", 0, 0, 0},
        {"  \t42xyz", 42, 42, 42},
        {"+17", 17, 17, 17},
        {"-17", -17, -17, 17},
        {"- 5", 0, 0, 0},
        {"12 34", 12, 12, 12},
        {"$1F", 31, 31, 31},
        {"2147483648", 2147483648LL, INT32_MAX, INT32_MAX},
        {"-2147483648", -2147483648LL, INT32_MIN, INT32_MAX},
        {"9223372036854775807", INT64_MAX, INT32_MAX, INT32_MAX},
        {"99999999999999999999", INT64_MAX, INT32_MAX, INT32_MAX},
        {"-9223372036854775808", INT64_MIN, INT32_MIN, INT32_MAX},
        {"-99999999999999999999", INT64_MIN, INT32_MIN, INT32_MAX},
        {"000000000000000000000000000123", 123, 123, 123},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadInteger64(c.text), c.as64) << c.text;
        EXPECT_EQ(ReadInteger(c.text), c.as32) << c.text;
        EXPECT_EQ(ReadAbsoluteInteger(c.text), c.abs32) << c.text;
    }
}

}  // namespace
