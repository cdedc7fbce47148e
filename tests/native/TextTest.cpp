#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"

using namespace platform;

TEST(Text, EveryUtf16UnitRoundTripsAloneAndInPairs) {
    // Every single code unit, lone surrogates included, comes back unchanged.
    for (char32_t u = 1; u <= 0xFFFF; ++u) {
        const std::u16string one(1, static_cast<char16_t>(u));
        ASSERT_EQ(Utf8ToUtf16(Utf16ToUtf8(one)), one) << "unit " << static_cast<unsigned>(u);
    }
    const std::u16string mixed = u"a\xD83D\xDE00z\xDC00\xD800x\xD800";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(mixed)), mixed);
}

TEST(Text, SurrogatePairsBecomeFourByteUtf8) {
    EXPECT_EQ(Utf16ToUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(u"\x00E9"), "\xC3\xA9");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"\x20AC");
}

TEST(Text, LongTextsComeThroughWhole) {
    std::u16string big;
    for (int i = 0; i < 100000; ++i) big += static_cast<char16_t>(0x20 + i % 0xD000);
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(big)), big);
}

TEST(Text, InvalidUtf8BytesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFFz"), u"a\xFFFDz");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\xFFFD");  // cut short
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD");  // overlong
}

TEST(Text, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));            // Latin-1 e acute
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));       // an encoded surrogate
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));       // overlong
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));   // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));           // cut short
    // A lone surrogate as the conversion keeps it passes when asked for.
    EXPECT_TRUE(IsValidUtf8("\xED\xA0\x80", true));
    EXPECT_TRUE(IsValidUtf8(Utf16ToUtf8(u"x\xDC00\xD800y"), true));
    EXPECT_FALSE(IsValidUtf8("caf\xE9", true));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0", true));
}

TEST(Text, CuttingCountsCharactersNotBytes) {
    EXPECT_EQ(CutToChars("abcdef", 3), "abc");
    EXPECT_EQ(CutToChars("ab", 3), "ab");
    EXPECT_EQ(CutToChars("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(CutToChars("a\xF0\x9F\x98\x80z", 2), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(CharCount("a\xF0\x9F\x98\x80z\xC3\xA9"), 4u);
}
