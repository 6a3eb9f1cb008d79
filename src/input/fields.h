// The one field splitter every text format of the program is read with, and the integer read
// that turns a field into a number.
#pragma once

#include <cstdint>
#include <string>

// The n-th field (from 1) of `text` split at `separator`, after trimming the whole text of
// characters below 33. A field beyond the last separator but one is "-+-". An n of 1 or less
// gives the first field. After a separator the next field starts one character after the
// separator's first character, so with a longer separator it begins with the separator's tail.
// An empty separator is never found: the text then has fields 1 and 2 (both the whole text).
std::string GetField(const std::string& text, const std::string& separator, int n);

// The marker GetField returns for a field that does not exist.
inline const std::string kMissingField = "-+-";

// The integer read from a text: leading blanks (spaces, tabs) skipped, an optional sign, then
// decimal digits up to the first other character; no digits give 0. A value beyond the type's
// range saturates at its largest or smallest value, so a hand-edited 20-digit number reads as
// the nearest representable one instead of wrapping to an unrelated value.
int64_t TextToInt64(const std::string& text);
int32_t TextToInt32(const std::string& text);
// Absolute value of TextToInt32; the smallest 32-bit value, which has no positive twin,
// saturates to the largest.
int32_t TextToAbsInt32(const std::string& text);
