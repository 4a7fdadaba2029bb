// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/bands.h"
#include "log/call_key.h"
#include "log/grid_square.h"
#include "log/text_word.h"
#include "support/printing.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::log {
namespace {

using testing::PrintTo;

struct BandCase {
    const char* name;
    const char* band;
    const char* frequency;
    std::optional<Band> expected;
};

class QsoBands : public ::testing::TestWithParam<BandCase> {};

TEST_P(QsoBands, ComeFromBandElseFromFrequency) {
    EXPECT_EQ(bandOfQso(GetParam().band, GetParam().frequency), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QsoBands,
    ::testing::Values(
        BandCase{"TwoMetres", "2m", "", Band::TwoMetres},
        BandCase{"AnyCase", "2M", "", Band::TwoMetres},
        BandCase{"SixMetres", "6m", "", Band::SixMetres},
        BandCase{"FourMetres", "4M", "", Band::FourMetres},
        BandCase{"SeventyCentimetres", "70CM", "", Band::SeventyCentimetres},
        BandCase{"TwentyThreeCentimetres", "23cm", "", Band::TwentyThreeCentimetres},
        BandCase{"BlanksAround", " 2m ", "", Band::TwoMetres},
        BandCase{"AnotherBand", "20m", "", std::nullopt},
        BandCase{"BandWinsOverFrequency", "2m", "50.230", Band::TwoMetres},
        BandCase{"AnotherBandWinsOverFrequency", "20m", "144.360", std::nullopt},
        BandCase{"FrequencyWhereBandIsMissing", "", "144.360", Band::TwoMetres},
        BandCase{"FrequencyWhereBandNamesNone", "2 m", "144.360", Band::TwoMetres},
        BandCase{"SixMetresByFrequency", "", "50.23", Band::SixMetres},
        BandCase{"FourMetresByFrequency", "", "70.2", Band::FourMetres},
        BandCase{"FourMetresFromRegionOnesEdge", "", "69.9", Band::FourMetres},
        BandCase{"SeventyCentimetresByFrequency", "", "432.065", Band::SeventyCentimetres},
        BandCase{"TwentyThreeCentimetresByFrequency", "", "1296.2", Band::TwentyThreeCentimetres},
        BandCase{"LowerEdge", "", "144", Band::TwoMetres},
        BandCase{"UpperEdge", "", "148", Band::TwoMetres},
        BandCase{"AboveTheUpperEdge", "", "148.001", std::nullopt},
        BandCase{"ShortWaveFrequency", "", "14.074", std::nullopt},
        BandCase{"DecimalComma", "", "144,360", std::nullopt},
        BandCase{"Negative", "", "-144.3", std::nullopt},
        BandCase{"Exponent", "", "1.443e2", std::nullopt},
        BandCase{"NoNumber", "", "two", std::nullopt}, BandCase{"Neither", "", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct GridCase {
    const char* name;
    const char* locator;
    const char* square; // "" for none
};

class GridSquares : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridSquares, AreTheFirstFourCharactersOfAValidLocator) {
    const GridIndex grid = gridIndexOf(GetParam().locator);
    EXPECT_EQ(gridName(grid), GetParam().square);
    EXPECT_EQ(grid == kNoGrid, std::string(GetParam().square).empty());
}

INSTANTIATE_TEST_SUITE_P(Table, GridSquares,
                         ::testing::Values(GridCase{"FourCharacters", "JO62", "JO62"},
                                           GridCase{"SixCharactersAnyCase", "jo62qm", "JO62"},
                                           GridCase{"EightCharacters", "JO62QM12", "JO62"},
                                           GridCase{"BlanksAround", " JO62qm ", "JO62"},
                                           GridCase{"FirstSquare", "AA00", "AA00"},
                                           GridCase{"LastSquare", "RR99xx", "RR99"},
                                           GridCase{"FieldOnlyNamesNoSquare", "JO", ""},
                                           GridCase{"ThreeCharacters", "JO6", ""},
                                           GridCase{"FiveCharacters", "JO62Q", ""},
                                           GridCase{"FieldLetterOutOfRange", "SS00", ""},
                                           GridCase{"LetterWhereDigitBelongs", "JO6Z", ""},
                                           GridCase{"SubsquareOutOfRange", "JO62YZ", ""},
                                           GridCase{"ExtendedNotDigits", "JO62QMAB", ""},
                                           GridCase{"Empty", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridSquares, EveryNumberNamesTheSquareThatGivesIt) {
    for (GridIndex grid = 0; grid < kGridCount; ++grid) {
        ASSERT_EQ(gridIndexOf(gridName(grid)), grid) << gridName(grid);
    }
}

struct PlaceCase {
    double latitude;
    double longitude;
    const char* square;
};

TEST(GridSquares, HoldPlaces) {
    const PlaceCase cases[] = {
        {53.5, 13.0, "JO63"},  {53.4792, 13.375, "JO63"}, // JO63QL's centre
        {-90, -180, "AA00"},   {90, 180, "RR99"},
        {0, 0, "JJ00"},        {-0.5, -1.0, "II99"},
        {91, 0, ""},           {0, 180.5, ""},
        {std::nan(""), 0, ""},
    };
    for (const PlaceCase& c : cases) {
        EXPECT_EQ(gridName(gridIndexAt(c.latitude, c.longitude)), c.square)
            << c.latitude << " " << c.longitude;
    }
}

TEST(GridSquares, AListGivesEachOfItsLocators) {
    std::vector<std::string> squares;
    forEachListedGrid("JO62,jo63, JO72qm ,XX99,,JO73",
                      [&squares](GridIndex grid) { squares.push_back(gridName(grid)); });
    EXPECT_EQ(squares, (std::vector<std::string>{"JO62", "JO63", "JO72", "JO73"}));
}

TEST(TextWords, HoldUpToEightBytesTheFirstLowest) {
    const std::string text = "QQ1abcdefg";
    for (std::size_t size = 0; size <= text.size(); ++size) {
        TextWord expected = 0;
        for (std::size_t at = 0; at < size && at < 8; ++at) {
            expected |= TextWord{static_cast<unsigned char>(text[at])} << (8 * at);
        }
        EXPECT_EQ(wordOf(std::string_view(text).substr(0, size)), expected) << size;
    }
}

TEST(CallKeys, IgnoreCaseAndBlanksButNotPortableSuffixes) {
    EXPECT_EQ(callKeyOf("DL1ABC"), callKeyOf(" dl1abc "));
    EXPECT_NE(callKeyOf("DL1ABC"), callKeyOf("DL1ABC/P"));
    EXPECT_NE(callKeyOf("DL1ABC"), callKeyOf("DL1ABD"));
    // Calls longer than one round of eight bytes differ in their tails too.
    EXPECT_NE(callKeyOf("OE/DL1ABC/P"), callKeyOf("OE/DL1ABC/M"));
    EXPECT_NE(callKeyOf("QQ1ABC"), callKeyOf(std::string_view("QQ1ABC\0", 7)));
    // Only ASCII letters change their case; a Latin-1 "\xE4" is not "\xC4".
    EXPECT_NE(callKeyOf("QQ1\xE4"), callKeyOf("QQ1\xC4"));
    EXPECT_EQ(callKeyOf("qq1abcdefghijklmnopqrstuvwxyz"),
              callKeyOf("QQ1ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
}

} // namespace
} // namespace kelmora::log
