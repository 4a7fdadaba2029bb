// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/ascii.h"
#include "database/latin_case.h"
#include "database/text_encoding.h"
#include "support/printing.h"

#include <gtest/gtest.h>
#include <string>

namespace kelmora {
namespace {

using testing::PrintTo;

struct Utf8Case {
    const char* name;
    std::string bytes;
    bool valid;
};

class Utf8Validity : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Validity, IsDecided) {
    EXPECT_EQ(isValidUtf8(GetParam().bytes), GetParam().valid);
    // The same bytes behind a long ASCII run take the word-at-a-time path.
    EXPECT_EQ(isValidUtf8(std::string(13, 'a') + GetParam().bytes), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Sequences, Utf8Validity,
                         ::testing::Values(Utf8Case{"Empty", "", true},
                                           Utf8Case{"Ascii", "QQ1ABC;JO62", true},
                                           Utf8Case{"Umlauts",
                                                    "Gr\xC3\xBC\xC3\x9F"
                                                    "e",
                                                    true},
                                           Utf8Case{"ThreeBytes", "\xE2\x82\xAC", true},
                                           Utf8Case{"FourBytes", "\xF0\x9F\x93\xA1", true},
                                           Utf8Case{"Windows1252Umlaut",
                                                    "M\xFC"
                                                    "nchen",
                                                    false},
                                           Utf8Case{"TruncatedAtTheEnd", "ab\xC3", false},
                                           Utf8Case{"Overlong", "\xC0\xAF", false},
                                           Utf8Case{"OverlongThreeBytes", "\xE0\x80\xAF", false},
                                           Utf8Case{"Surrogate", "\xED\xA0\x80", false},
                                           Utf8Case{"BeyondUnicode", "\xF4\x90\x80\x80", false},
                                           Utf8Case{"LoneContinuation", "\x80", false},
                                           Utf8Case{"NulIsValid", std::string(3, '\0'), true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Windows1252, DecodesEveryByteToOneCharacter) {
    EXPECT_EQ(windows1252ToUtf8("M\xFC"
                                "nchen \xC4\xD6\xDC\xDF"),
              "München ÄÖÜß");
    EXPECT_EQ(windows1252ToUtf8("\x80\x8A\x9F"), "€ŠŸ");
    EXPECT_EQ(windows1252ToUtf8("\x81"), "\xC2\x81"); // undefined: the C1 control
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_TRUE(isValidUtf8(windows1252ToUtf8(all)));
}

TEST(Windows1252, EncodesWhatItHasAndRefusesTheRest) {
    EXPECT_EQ(utf8ToWindows1252("MÜLLER €"), std::optional<std::string>("M\xDCLLER \x80"));
    EXPECT_EQ(utf8ToWindows1252("QQ1ABC"), std::optional<std::string>("QQ1ABC"));
    EXPECT_EQ(utf8ToWindows1252("Ω"), std::nullopt);
    EXPECT_EQ(utf8ToWindows1252("\xFF"), std::nullopt);
}

TEST(ContainsIgnoringCase, FindsTheKeywordInAnyLetterCase) {
    EXPECT_TRUE(ascii::containsIgnoringCase("x;fsK441;y", "FSK441"));
    EXPECT_TRUE(ascii::containsIgnoringCase("Jt44", "JT44"));
    EXPECT_FALSE(ascii::containsIgnoringCase("JT4", "JT44"));
    EXPECT_FALSE(ascii::containsIgnoringCase("W S J T", "WSJT"));
    EXPECT_TRUE(ascii::containsIgnoringCase("ccall", "CALL"));
    EXPECT_FALSE(ascii::containsIgnoringCase("c\xC3\x81LL", "CALL"));
}

TEST(LatinCase, MapsTheLettersOfTheRepertoireBothWays) {
    const std::pair<char32_t, char32_t> pairs[] = {{U'A', U'a'},   {0xC4, 0xE4},   {0xD6, 0xF6},
                                                   {0x160, 0x161}, {0x152, 0x153}, {0x178, 0xFF}};
    for (const auto& [upper, lower] : pairs) {
        EXPECT_EQ(toLowerLatin(upper), lower);
        EXPECT_EQ(toUpperLatin(lower), upper);
    }
    for (const char32_t unchanged :
         {char32_t{'1'}, char32_t{0xDF}, char32_t{0xD7}, char32_t{0xF7}, char32_t{0x3A9}}) {
        EXPECT_EQ(toUpperLatin(unchanged), unchanged);
        EXPECT_EQ(toLowerLatin(unchanged), unchanged);
    }
}

} // namespace
} // namespace kelmora
