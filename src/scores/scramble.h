// Scrambling of the score file's lines: checksummed, keyed, hex-encoded text. Plain character
// arithmetic that makes a hand-edited or damaged line recognisable; not cryptography.
#pragma once

#include <string>

// The fixed phrase DefaultKey is built from. Changing it makes every existing score file
// unreadable, so it stays the same in every build of the game.
inline const std::string KeyPhrase = "Crockery drifts along";

// The key that a key of "" stands for. Built by BuildDefaultKey at start-up from the game's
// names; never stored or logged.
extern std::string DefaultKey;

// What UnscrambleText gives for a text that fails a checksum or is too short to hold one.
inline const std::string kScrambleFailed = "XXX";

void BuildDefaultKey();
// Sum of code * position * 3 over the text, modulo 4096: 0-4095 for any length.
int TextChecksum(const std::string& text);
// 2 * (length + 12) upper-case hex digits. A key of "" means DefaultKey (built on first use if
// start-up has not built it yet). An empty text has nothing to scramble and gives "".
std::string ScrambleText(const std::string& text, const std::string& key);
// The text ScrambleText was given, or "XXX" when a checksum fails or the text is shorter than
// the 26 hex digits that the two checksum tags alone take.
std::string UnscrambleText(const std::string& text, const std::string& key);
// Hex digits "0"-"9" and upper-case "A"-"F"; any other character counts as 0 (so do the
// lower-case letters). Wraps modulo 2^32 for more than eight digits.
int HexToInt(const std::string& text);
