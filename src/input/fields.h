// The one field splitter every text format of the program is read with.
#pragma once

#include <string>

// The n-th field (from 1) of `text` split at `separator`, after trimming the whole text of
// characters below 33. A field beyond the last separator but one is "-+-".
std::string GetField(const std::string& text, const std::string& separator, int n);
