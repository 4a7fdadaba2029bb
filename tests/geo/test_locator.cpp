// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/locator.h"
#include "geo/packed_locator.h"
#include "support/printing.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace kelmora::geo {
namespace {

using testing::PrintTo;

constexpr double kExact = 1e-9;

struct LocatorRow {
    const char* name;
    std::string text;
    std::optional<std::string> shown; // nothing: no locator
    LatLon centre;
};

// A field is 20 by 10 degrees, a square 2 by 1, a subsquare 2/24 by 1/24, an
// extended square 2/240 by 1/240; the centres below count from the
// south-west corner of the world.
const LocatorRow kLocators[] = {
    {"SouthWestCorner", "AA00aa", "AA00AA", {-90 + 0.5 / 24, -180 + 1.0 / 24}},
    {"NorthEastCorner", "RR99xx", "RR99XX", {90 - 0.5 / 24, 180 - 1.0 / 24}},
    {"Square", "JO62", "JO62", {52.5, 13}},
    {"Subsquare", "JO62qm", "JO62QM", {52 + 12.5 / 24, 12 + 16.5 / 12}},
    {"AnyCase", "jO62Qm", "JO62QM", {52 + 12.5 / 24, 12 + 16.5 / 12}},
    {"ExtendedSquare",
     "JO62qm47",
     "JO62QM47",
     {52 + 12.0 / 24 + 7.5 / 240, 12 + 16.0 / 12 + 4.5 / 120}},
    {"ExtendedAtTheCorner", "RR99XX99", "RR99XX99", {90 - 0.5 / 240, 180 - 1.0 / 240}},
    {"WestOfTheDateLine", "RK99", "RK99", {10 + 9.5, 180 - 1}},
    {"EastOfTheDateLine", "AK09", "AK09", {10 + 9.5, -180 + 1}},
    {"AtTheNorthPole", "LR09xx", "LR09XX", {90 - 0.5 / 24, 40 + 23.5 / 12}},
    {"AtTheSouthPole", "AA90aa", "AA90AA", {-90 + 0.5 / 24, -180 + 18 + 1.0 / 24}},
    {"WhereEquatorMeetsGreenwich", "JJ00aa", "JJ00AA", {0.5 / 24, 1.0 / 24}},
    // What is no locator.
    {"Empty", "", std::nullopt, {}},
    {"ThreeCharacters", "JO6", std::nullopt, {}},
    {"FiveCharacters", "JO62q", std::nullopt, {}},
    {"SevenCharacters", "JO62qm4", std::nullopt, {}},
    {"TenCharacters", "JO62qm47aa", std::nullopt, {}},
    {"FieldBeyondR", "SS00", std::nullopt, {}},
    {"SecondFieldLetterBeyondR", "JS00", std::nullopt, {}},
    {"LetterForASquareDigit", "JO6Z", std::nullopt, {}},
    {"SubsquareBeyondX", "JO62ya", std::nullopt, {}},
    {"DigitForAFieldLetter", "J062", std::nullopt, {}},
    {"DigitsForTheSubsquare", "JO6212", std::nullopt, {}},
    {"LettersForTheExtendedSquare", "JO62qmab", std::nullopt, {}},
    {"DigitalModesWord", "RR73", std::nullopt, {}},
    {"DigitalModesWordLowerCase", "rr73", std::nullopt, {}},
    {"BlankBefore", " JO62", std::nullopt, {}},
    {"BlankAfter", "JO62qm ", std::nullopt, {}},
    {"BlankInside", "JO 62", std::nullopt, {}},
    {"OnlyBlanks", "    ", std::nullopt, {}},
    {"VeryLong", std::string(100'000, 'A'), std::nullopt, {}},
    {"LatinLetter",
     "J\xd6"
     "62",
     std::nullopt,
     {}},
};

class Locators : public ::testing::TestWithParam<LocatorRow> {};

TEST_P(Locators, TextToCentreAndBack) {
    const LocatorRow& row = GetParam();
    EXPECT_EQ(isLocator(row.text), row.shown.has_value());
    EXPECT_EQ(shownLocator(row.text), row.shown);
    const std::optional<LatLon> centre = locatorCentre(row.text);
    ASSERT_EQ(centre.has_value(), row.shown.has_value());
    if (!centre) {
        return;
    }
    EXPECT_NEAR(centre->latitude, row.centre.latitude, kExact);
    EXPECT_NEAR(centre->longitude, row.centre.longitude, kExact);
    EXPECT_EQ(locatorAt(row.centre, row.text.size()), *row.shown);
}

// The map's stations carry locators of 4 and 6 characters packed.
TEST_P(Locators, PackedLikeTheText) {
    const LocatorRow& row = GetParam();
    const std::optional<PackedLocator> packed = PackedLocator::pack(row.text);
    const bool packable = row.shown && row.text.size() <= 6;
    ASSERT_EQ(packed.has_value(), packable);
    if (!packed) {
        return;
    }
    EXPECT_EQ(packed->text(), *row.shown);
    EXPECT_EQ(packed->isSquare(), row.text.size() == 4);
    EXPECT_NEAR(packed->centre().latitude, row.centre.latitude, kExact);
    EXPECT_NEAR(packed->centre().longitude, row.centre.longitude, kExact);
    EXPECT_EQ(PackedLocator::pack(*row.shown), packed);
    EXPECT_EQ(PackedLocator::packTaken(*row.shown), packed);
}

INSTANTIATE_TEST_SUITE_P(Table, Locators, ::testing::ValuesIn(kLocators),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PackedLocator, ASquareIsNotItsFirstSubsquare) {
    EXPECT_NE(PackedLocator::pack("JO62"), PackedLocator::pack("JO62AA"));
}

TEST(PackedLocator, TheDigitalModesWordIsNoStationsPlace) {
    EXPECT_FALSE(PackedLocator::packTaken("RR73").has_value());
    EXPECT_EQ(PackedLocator::packTaken("RR73AA"), PackedLocator::pack("RR73AA"));
}

struct PlaceRow {
    const char* name;
    LatLon place;
    std::size_t length;
    std::string locator;
};

// Places on the edges of the areas: the date line, the poles, the equator.
const PlaceRow kPlaces[] = {
    {"SouthPoleAtTheDateLine", {-90, -180}, 6, "AA00AA"},
    {"NorthPoleBelongsToTheLastRow", {90, 0}, 4, "JR09"},
    {"DateLineFromTheEast", {0, 180}, 6, "RJ90XA"},
    {"DateLineFromTheWest", {0, -180}, 6, "AJ00AA"},
    {"LongitudeRoundTheEarth", {0, 190}, 4, "AJ50"},
    {"LongitudeRoundTheEarthWest", {0, -190}, 4, "RJ50"},
    {"LatitudeBeyondThePole", {95, 10}, 4, "JR59"},
    {"JustSouthOfTheEquator", {-1e-9, 0}, 4, "JI09"},
    {"Berlin", {52.52, 13.41}, 8, "JO62QM94"},
    {"NoSuchLength", {0, 0}, 5, ""},
};

class Places : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(Places, LieInTheirLocator) {
    const PlaceRow& row = GetParam();
    EXPECT_EQ(locatorAt(row.place, row.length), row.locator);
}

INSTANTIATE_TEST_SUITE_P(Table, Places, ::testing::ValuesIn(kPlaces),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kelmora::geo
