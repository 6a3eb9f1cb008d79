// The integer read from a text: the one conversion every text format of the program uses for
// numbers (settings values, binding codes, score fields, timestamps).
#pragma once

#include <cstdint>
#include <string>

struct TextInteger {
    int value = 0;           // saturated to the int32 range
    bool hasDigits = false;  // false: the text held no number at all (value 0)
};

// Leading blanks (space, TAB) skipped, an optional sign, then decimal digits up to the first other
// character; "$" after the sign reads hexadecimal digits instead and "%" binary ones. No digits
// give 0. A number beyond the range saturates to the largest or smallest value rather than
// wrapping, so a hand-edited file can never turn a huge size into a negative one.
TextInteger ParseInteger(const std::string& text);
int ReadInteger(const std::string& text);
int64_t ReadInteger64(const std::string& text);

// |value|, with -2147483648 saturating to 2147483647 (its true magnitude has no int32).
int AbsoluteInteger(int value);
// AbsoluteInteger(ReadInteger(text)): how most stored counts and sizes are read.
int ReadAbsoluteInteger(const std::string& text);
