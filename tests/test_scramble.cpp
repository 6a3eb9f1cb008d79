// Text scrambling: checksums, round trips, keys and damaged input.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "scores/scramble.h"

namespace {

std::string RandomText(std::mt19937& rng, size_t minLength, size_t maxLength) {
    std::uniform_int_distribution<size_t> length(minLength, maxLength);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(length(rng), '\0');
    for (char& c : s) c = static_cast<char>(byte(rng));
    return s;
}

bool IsUpperHex(const std::string& s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

TEST(Scramble, ChecksumIsPositionWeightedModulo4096) {
    EXPECT_EQ(TextChecksum("abc"), 1770);
    EXPECT_EQ(TextChecksum(""), 0);
    EXPECT_EQ(TextChecksum(std::string(5, '\0')), 0);
    EXPECT_EQ(TextChecksum("\xff"), 765);  // bytes count unsigned
    // Long enough for code * position * 3 to pass 2^31: still within 0-4095.
    const int big = TextChecksum(std::string(3'000'000, '\xff'));
    EXPECT_GE(big, 0);
    EXPECT_LT(big, 4096);
}

TEST(Scramble, DefaultKeyIsBuiltFromTheGameNamesAndPhrase) {
    EXPECT_EQ(KeyPhrase.size(), 21u);
    BuildDefaultKey();
    ASSERT_EQ(DefaultKey.size(), 2u * (21 + 21));
    for (size_t i = 0; i < DefaultKey.size(); ++i) {
        const int c = static_cast<unsigned char>(DefaultKey[i]);
        if (i % 2 == 0) {
            EXPECT_TRUE(c >= 31 && c <= 105) << i;
        } else {
            EXPECT_TRUE(c >= 36 && c <= 106) << i;
        }
    }
    const std::string first = DefaultKey;
    BuildDefaultKey();
    EXPECT_EQ(DefaultKey, first);
}

TEST(Scramble, RoundTripsAnyBytesUnderAnyKey) {
    BuildDefaultKey();
    std::mt19937 rng(20261211);
    for (int round = 0; round < 300; ++round) {
        const std::string text = RandomText(rng, 1, 200);
        // Keys of length 1 and "" (DefaultKey) are the corners of the key arithmetic.
        const std::string key = round % 3 == 0 ? RandomText(rng, 1, 1)
                                : round % 3 == 1 ? std::string()
                                                 : RandomText(rng, 1, 40);
        const std::string scrambled = ScrambleText(text, key);
        ASSERT_EQ(scrambled.size(), 2 * (text.size() + 12));
        ASSERT_TRUE(IsUpperHex(scrambled));
        ASSERT_EQ(UnscrambleText(scrambled, key), text) << "round " << round;
    }
}

TEST(Scramble, EmptyKeyMeansDefaultKeyEvenBeforeStartUpBuiltIt) {
    DefaultKey.clear();
    const std::string lazily = ScrambleText("Player|secret", "");
    ASSERT_FALSE(DefaultKey.empty());
    EXPECT_EQ(lazily, ScrambleText("Player|secret", DefaultKey));
    EXPECT_EQ(UnscrambleText(lazily, ""), "Player|secret");
}

TEST(Scramble, OneCharacterTextGives26Digits) {
    EXPECT_EQ(ScrambleText("x", "QW7RT2NP").size(), 26u);
    EXPECT_EQ(UnscrambleText(ScrambleText("x", "QW7RT2NP"), "QW7RT2NP"), "x");
}

TEST(Scramble, DamagedInputGivesTheFailureMarker) {
    BuildDefaultKey();
    const std::string text = "12345|Somebody|5|62353036800|0|1|0|0";
    const std::string good = ScrambleText(text, "");
    ASSERT_EQ(UnscrambleText(good, ""), text);

    // Every single-digit change: the two checksums catch nearly all of them.
    int caught = 0, changes = 0;
    for (size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = bad[i] == '7' ? '8' : '7';
        ++changes;
        if (UnscrambleText(bad, "") == "XXX") ++caught;
    }
    EXPECT_GE(caught, changes * 95 / 100);

    std::string lower = good;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_NE(lower, good);
    EXPECT_EQ(UnscrambleText(lower, ""), "XXX");
    EXPECT_EQ(UnscrambleText(good, "QW7RT2NP"), "XXX");

    const std::string tooShort[] = {"", "A", std::string(24, '0'), std::string(25, 'F')};
    for (const std::string& s : tooShort) EXPECT_EQ(UnscrambleText(s, ""), "XXX") << s;
    // A lone trailing character is ignored.
    EXPECT_EQ(UnscrambleText(good + "Z", ""), text);
}

TEST(Scramble, SurvivesArbitraryBytes) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string junk = RandomText(rng, 0, 300);
        // Half the rounds well-formed hex, so the checksums rather than the digits reject them.
        if (round % 4 < 2)
            for (char& c : junk) c = "0123456789ABCDEF"[static_cast<unsigned char>(c) % 16];
        EXPECT_EQ(UnscrambleText(junk, round % 2 ? "" : "k"), "XXX");
    }
}

TEST(Scramble, HexDigitsAreUpperCaseOnly) {
    const struct {
        std::string text;
        int value;
    } cases[] = {{"00", 0}, {"FF", 255}, {"7A", 122}, {"ff", 0}, {"f1", 1}, {"G9", 9},
                 {"-1", 1}, {"", 0},     {"FFFFFFFF", -1}, {"100000000", 0}};
    for (const auto& c : cases) EXPECT_EQ(HexToInt(c.text), c.value) << c.text;
}

TEST(Scramble, EmptyTextScramblesToNothing) {
    EXPECT_EQ(ScrambleText("", "k"), "");
}

}  // namespace
