// Text scrambling: two rounds of rotation by a checksum with a six-digit checksum tag, a key
// XORed over each round, and upper-case hex on the outside.
#include "scores/scramble.h"

#include <algorithm>
#include <cstdint>

#include "app/state.h"
#include "input/fields.h"
#include "input/text_number.h"

std::string DefaultKey;

namespace {

constexpr int kChecksumModulus = 4096;
constexpr size_t kTagLength = 6;
// Two tags of six characters, two hex digits each, plus at least one character of text.
constexpr size_t kShortestScrambled = 2 * (2 * kTagLength + 1);

unsigned Code(char c) { return static_cast<unsigned char>(c); }

// Key character for 1-based text position i: the key's character number (i mod K) + 1.
unsigned KeyCode(const std::string& key, size_t i) { return Code(key[i % key.size()]); }

const std::string& EffectiveKey(const std::string& key) {
    if (!key.empty()) return key;
    // Never divide by an empty key's length, even when called before start-up built it.
    if (DefaultKey.empty()) BuildDefaultKey();
    return DefaultKey;
}

// A digit as HexToInt reads it: "0"-"9", "A"-"F", anything else 0.
unsigned HexDigit(char ch) {
    if (ch >= 'A' && ch <= 'F') return static_cast<unsigned>(ch - 'A' + 10);
    if (ch >= '0' && ch <= '9') return static_cast<unsigned>(ch - '0');
    return 0;
}

// Rotation amount in 0..length-1 for a checksum read from untrusted text, which may be negative.
size_t RotationOf(int64_t c, size_t length) {
    const int64_t l = static_cast<int64_t>(length);
    return static_cast<size_t>(((c % l) + l) % l);
}

void RotateLeft(std::string& s, size_t r) {
    if (!s.empty()) std::rotate(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(r), s.end());
}

void RotateRight(std::string& s, size_t r) {
    if (!s.empty()) RotateLeft(s, (s.size() - r) % s.size());
}

std::string Tag(int checksum) {
    std::string digits = std::to_string(checksum);
    return std::string(kTagLength - digits.size(), '0') + digits;
}

void XorWithKey(std::string& s, const std::string& key) {
    for (size_t i = 1; i <= s.size(); ++i)
        s[i - 1] = static_cast<char>(Code(s[i - 1]) ^ KeyCode(key, i));
}

// Rotates left by the text's checksum and appends the checksum's tag.
std::string Seal(const std::string& text) {
    const int c = TextChecksum(text);
    std::string out = text;
    RotateLeft(out, static_cast<size_t>(c) % out.size());
    return out + Tag(c);
}

// Undoes Seal; false when the tag does not match the text it closes.
bool Unseal(std::string& s) {
    const int64_t c = ReadInteger64(s.substr(s.size() - kTagLength));
    s.resize(s.size() - kTagLength);
    RotateRight(s, RotationOf(c, s.size()));
    return TextChecksum(s) == c;
}

}  // namespace

void BuildDefaultKey() {
    const std::string a = GameNameA + " " + GameNameB;
    const std::string& b = KeyPhrase;
    const unsigned n = WeekNumber;
    std::string key;
    key.reserve(2 * (a.size() + b.size()));
    for (unsigned i = 1; i <= a.size() + b.size(); ++i) {
        unsigned x = Code(a[i % a.size()]);
        x = ((x + n + 7 * i) % 76) + 32;
        x = ((x + n + 5 * i) % 75) + 31;
        key += static_cast<char>(x);
        unsigned y = Code(b[i % b.size()]);
        y = ((y + n + 3 * i) % 74) + 34;
        y = ((y + n + 11 * i) % 71) + 36;
        key += static_cast<char>(y);
    }
    DefaultKey = key;
}

int TextChecksum(const std::string& text) {
    // Unsigned wrap-around keeps the sum exact modulo 4096 (a divisor of 2^32) for any length.
    uint32_t c = 0;
    for (size_t i = 1; i <= text.size(); ++i)
        c = (c + Code(text[i - 1]) * static_cast<uint32_t>(i) * 3u) % kChecksumModulus;
    return static_cast<int>(c);
}

std::string ScrambleText(const std::string& text, const std::string& key) {
    if (text.empty()) return std::string();
    const std::string& k = EffectiveKey(key);
    std::string t = Seal(text);
    XorWithKey(t, k);
    t = Seal(t);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * t.size());
    for (size_t i = 1; i <= t.size(); ++i) {
        const unsigned v = (Code(t[i - 1]) ^ KeyCode(k, i)) & 0xFFu;
        out += kHex[v >> 4];
        out += kHex[v & 0xFu];
    }
    return out;
}

std::string UnscrambleText(const std::string& text, const std::string& key) {
    if (text.size() < kShortestScrambled) return kScrambleFailed;
    const std::string& k = EffectiveKey(key);
    std::string s(text.size() / 2, '\0');
    for (size_t i = 1; i <= s.size(); ++i) {
        const unsigned v = HexDigit(text[2 * i - 2]) * 16 + HexDigit(text[2 * i - 1]);
        s[i - 1] = static_cast<char>(v ^ KeyCode(k, i));
    }
    if (!Unseal(s)) return kScrambleFailed;
    XorWithKey(s, k);
    if (!Unseal(s)) return kScrambleFailed;
    return s;
}

int HexToInt(const std::string& text) {
    uint32_t v = 0;
    for (char ch : text) v = v * 16 + HexDigit(ch);
    return static_cast<int>(v);
}
