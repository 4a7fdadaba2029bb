// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/map_texts.h"
#include "support/printing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora {
namespace {

using testing::PrintTo;

struct TextCase {
    const char* name;
    std::string shown;
    std::string expected;
};

class MapTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(MapTexts, MatchCharacterForCharacter) {
    EXPECT_EQ(GetParam().shown, GetParam().expected);
}

const std::vector<std::string> kTwoCalls = {"QQ1ABC", "QQ1BCD"};

INSTANTIATE_TEST_SUITE_P(
    AllTexts, MapTexts,
    ::testing::Values(
        TextCase{"KmBelowAThousand", map_texts::kilometres(Language::German, 999.4), "999 km"},
        TextCase{"KmGroupedGerman", map_texts::kilometres(Language::German, 1234.5), "1.235 km"},
        TextCase{"KmGroupedEnglish", map_texts::kilometres(Language::English, 38841), "38,841 km"},
        TextCase{"KmMillion", map_texts::kilometres(Language::English, 1e6), "1,000,000 km"},
        TextCase{"DegreesRoundUpToNorth", map_texts::degrees(359.6), "0°"},
        TextCase{"DegreesBelowZero", map_texts::degrees(-0.4), "0°"},
        TextCase{"DegreesRounded", map_texts::degrees(122.5), "123°"},
        TextCase{"PathGerman",
                 map_texts::stationPath(Language::German, "QQ1ABC", "JO62QM",
                                        {1234.4, 45.2, 38841.3, 225.2}),
                 "QQ1ABC  JO62QM:  1.234 km, Richtung 45°   (langer Weg: 225°, 38.841 km)"},
        TextCase{"PathEnglish",
                 map_texts::stationPath(Language::English, "QQ1ABC", "JO62QM",
                                        {1234.4, 45.2, 38841.3, 225.2}),
                 "QQ1ABC  JO62QM:  1,234 km, heading 45°   (long path: 225°, 38,841 km)"},
        TextCase{"BlankLocatorField",
                 map_texts::notAValidLocator(Language::English, "QQ1ABC", "  "),
                 "QQ1ABC:  no locator given, so no distance and heading"},
        TextCase{"WrongLocatorGerman",
                 map_texts::notAValidLocator(Language::German, "QQ1ABC", "JO6Z"),
                 "QQ1ABC:  „JO6Z“ ist kein gültiger Locator, also keine Entfernung und Richtung"},
        TextCase{"ToolTipCountsTheRest",
                 map_texts::dotToolTip(Language::German, "JO62QM", 1500, 90, kTwoCalls, 3),
                 "JO62QM  1.500 km  90°\nQQ1ABC\nQQ1BCD\nund 3 weitere"},
        TextCase{"NothingTypedGerman",
                 map_texts::notALocator(Language::German, "").text.substr(0, 33),
                 "Es wurde kein Locator eingegeben."},
        TextCase{"AtTheOwnLocator",
                 map_texts::stationAtOwnLocator(Language::English, "QQ1ABC", "JO62QM"),
                 "QQ1ABC  JO62QM:  at your own locator"},
        TextCase{"NotALocatorEnglish", map_texts::notALocator(Language::English, "JO6Z").text,
                 "\"JO6Z\" is not a locator.\r\n"
                 "A locator has 4, 6 or 8 characters: two letters from A to R,\r\n"
                 "two digits, then if wanted two letters from A to X and\r\n"
                 "two digits again, such as JO62 or JO62QM.\r\n"
                 "The locator was not stored."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kelmora
