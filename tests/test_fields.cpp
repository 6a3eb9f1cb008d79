// GetField, the splitter of every text format.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "input/fields.h"

namespace {

struct FieldCase {
    std::string text, separator;
    int n;
    std::string expected;
};

TEST(GetField, SplitsAsEveryReaderExpects) {
    const FieldCase cases[] = {
        {"Width=800", "=", 1, "Width"},
        {"Width=800", "=", 2, "800"},
        {"  3,37 ", ",", 2, "37"},            // only the whole text is trimmed
        {"a = b", "=", 2, " b"},              // ...not each field
        {"[Graphics]", "=", 1, "[Graphics]"},  // no separator: fields 1 and 2 are the whole text
        {"[Graphics]", "=", 2, "[Graphics]"},
        {"[Graphics]", "=", 3, "-+-"},
        {"a,b", ",", 3, "-+-"},
        {"a,", ",", 2, ""},
        {"a,,b", ",", 2, ""},
        {"a,,b", ",", 3, "b"},
        {"a,,b", ",", 4, "-+-"},
        {"", ",", 1, ""},
        {"", ",", 2, ""},
        {"a,b", ",", 0, "a"},   // n of 1 or less is the first field
        {"a,b", ",", -7, "a"},
        {"AB::CD", "::", 1, "AB"},
        {"AB::CD", "::", 2, ":CD"},  // a longer separator leaves its tail in the next field
        {"\t\r\n x|y \x01\x1f", "|", 2, "y"},
        {"\xa7x|y\xff", "|", 1, "\xa7x"},  // Latin-1 bytes above 127 are not trimmed
        {"\xa7x|y\xff", "|", 2, "y\xff"},
        {"a|b", "", 1, "a|b"},  // an empty separator is never found
        {"a|b", "", 2, "a|b"},
        {"a|b", "", 3, "-+-"},
        {"a|b|c", "|", INT_MAX, "-+-"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(GetField(c.text, c.separator, c.n), c.expected)
            << "'" << c.text << "' split at '" << c.separator << "', field " << c.n;
}

}  // namespace
