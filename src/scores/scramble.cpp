// Text scrambling.
#include "scores/scramble.h"

std::string DefaultKey;

void BuildDefaultKey() {}
int TextChecksum(const std::string&) { return 0; }
std::string ScrambleText(const std::string& text, const std::string&) { return text; }
std::string UnscrambleText(const std::string&, const std::string&) { return "XXX"; }
int HexToInt(const std::string&) { return 0; }
