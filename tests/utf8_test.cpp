#include <string>

#include <gtest/gtest.h>

#include "utf8.h"

namespace {

// "a", "ñ", "€" and "😀": one, two, three and four bytes.
const std::string kEveryLength = "a\xC3\xB1\xE2\x82\xAC\xF0\x9F\x98\x80";
const Utf16String kEveryLengthUnits = {0x61, 0xF1, 0x20AC, 0xD83D, 0xDE00};

TEST(Utf8, StrictAboutWhatIsUtf8)
{
    EXPECT_TRUE(IsUtf8(kEveryLength));
    for (const char* notUtf8 : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\xB1", "a\xF1o"})
        EXPECT_FALSE(IsUtf8(notUtf8)) << notUtf8;
}

TEST(Utf8, CutsFallBetweenCharacters)
{
    EXPECT_EQ(CharactersLength(kEveryLength, 3), 6u);
    EXPECT_EQ(CharactersLength(kEveryLength, 9), kEveryLength.size());
    for (std::size_t torn = 1; torn < 4; ++torn) {
        const std::string beginning = kEveryLength.substr(0, kEveryLength.size() - torn);
        EXPECT_EQ(WholeCharactersLength(beginning), 6u) << torn;
        EXPECT_EQ(WholeCharactersStart(kEveryLength.substr(6 + torn)), 4 - torn) << torn;
    }
    EXPECT_EQ(WholeCharactersLength(kEveryLength), kEveryLength.size());
    EXPECT_EQ(WholeCharactersStart(kEveryLength), 0u);
}

TEST(Utf8, ToAndFromUtf16)
{
    EXPECT_TRUE(Utf16(kEveryLength) == kEveryLengthUnits);
    EXPECT_EQ(Utf8(kEveryLengthUnits), kEveryLength);
    // What cannot be converted becomes U+FFFD, one for each byte or unit.
    EXPECT_TRUE(Utf16("a\xF1o\xC3") == (Utf16String{0x61, 0xFFFD, 0x6F, 0xFFFD}));
    EXPECT_EQ(Utf8(Utf16String{0xDE00, 0x61, 0xD83D}), "\xEF\xBF\xBD" "a" "\xEF\xBF\xBD");
}

} // namespace
