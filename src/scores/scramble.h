// Scrambling of the score file's lines: checksummed, keyed, hex-encoded text.
#pragma once

#include <string>

// Built once at start-up from the game's names; never logged.
extern std::string DefaultKey;

void BuildDefaultKey();
int TextChecksum(const std::string& text);
std::string ScrambleText(const std::string& text, const std::string& key);
std::string UnscrambleText(const std::string& text, const std::string& key);
int HexToInt(const std::string& text);
