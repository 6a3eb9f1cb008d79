// The one field splitter every text format of the program is read with (numbers in a field are
// read with input/text_number.h).
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
