// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/lookup_station.h"
#include "support/printing.h"

#include <gtest/gtest.h>
#include <string>

namespace kelmora {
namespace {

using testing::PrintTo;
using Verdict = LookupStation::Verdict;

struct CheckRow {
    const char* name;
    std::string callsign;
    std::string locator;
    Verdict verdict;
    // The station's upper-case forms when it is taken.
    std::string call;
    std::string grid;
};

const CheckRow kRows[] = {
    {"Usual", "QQ1ABC", "JO62qm", Verdict::Taken, "QQ1ABC", "JO62QM"},
    {"LowerCaseSquare", "qq1abc", "jo62", Verdict::Taken, "QQ1ABC", "JO62"},
    {"BlanksTrimmed", "  QQ1ABC ", " JO62QM  ", Verdict::Taken, "QQ1ABC", "JO62QM"},
    {"ShortestCall", "q1a", "AA00aa", Verdict::Taken, "Q1A", "AA00AA"},
    {"LongestCall", "QQ1ABCDEFGHI", "RR99XX", Verdict::Taken, "QQ1ABCDEFGHI", "RR99XX"},
    {"DigitsOnly", "123", "RR73", Verdict::Taken, "123", "RR73"},
    {"ThreeZAreACall", "zzz", "JO62", Verdict::Taken, "ZZZ", "JO62"},
    {"TooShortCall", "Q1", "JO62", Verdict::InvalidCall, "", ""},
    {"TooLongCall", "QQ1ABCDEFGHIJ", "JO62", Verdict::InvalidCall, "", ""},
    {"EmptyCall", "", "JO62", Verdict::InvalidCall, "", ""},
    {"BlankCall", "    ", "JO62", Verdict::InvalidCall, "", ""},
    {"BlankInsideCall", "QQ 1A", "JO62", Verdict::InvalidCall, "", ""},
    {"TabIsNoBlank", "\tQQ1ABC", "JO62", Verdict::InvalidCall, "", ""},
    {"EndMark", "ZZZZ1", "JO62", Verdict::InvalidCall, "", ""},
    {"EndMarkAnyCase", "zZzz", "JO62", Verdict::InvalidCall, "", ""},
    {"NeighboursOfDigitsAndLetters", "QQ1:@", "JO62", Verdict::InvalidCall, "", ""},
    {"NeighboursOfLowerCase", "qq1`{", "JO62", Verdict::InvalidCall, "", ""},
    {"ByteBeyondAscii", "QQ1\xc4", "JO62", Verdict::InvalidCall, "", ""},
    {"QuotesAreNoCallCharacters", "\"QQ1ABC\"", "JO62", Verdict::InvalidCall, "", ""},
    {"QuoteInTheLocator", "QQ1ABC", "JO62\"", Verdict::InvalidLocator, "", ""},
    {"SlashFirst", "QQ1ABC/P", "JO62", Verdict::SlashInCall, "", ""},
    {"SlashBeforeEveryOtherRule", " / ", "", Verdict::SlashInCall, "", ""},
    {"CallBeforeLocator", "Q1", "x", Verdict::InvalidCall, "", ""},
    {"LettersOutOfRange", "QQ1ABC", "SS00", Verdict::InvalidLocator, "", ""},
    {"SubsquareOutOfRange", "QQ1ABC", "JO62qy", Verdict::InvalidLocator, "", ""},
    {"LetterForDigit", "QQ1ABC", "JO6Z", Verdict::InvalidLocator, "", ""},
    {"DigitForLetter", "QQ1ABC", "1O62", Verdict::InvalidLocator, "", ""},
    {"DigitForSubsquare", "QQ1ABC", "JO6212", Verdict::InvalidLocator, "", ""},
    {"FiveCharacters", "QQ1ABC", "JO62Q", Verdict::InvalidLocator, "", ""},
    {"EightCharacters", "QQ1ABC", "JO62QM47", Verdict::InvalidLocator, "", ""},
    {"BlankLocator", "QQ1ABC", "   ", Verdict::InvalidLocator, "", ""},
    {"BlankInsideLocator", "QQ1ABC", "JO62 q", Verdict::InvalidLocator, "", ""},
    {"NeighboursOfTheFieldLetters", "QQ1ABC", "@[62", Verdict::InvalidLocator, "", ""},
    {"NeighboursOfTheDigits", "QQ1ABC", "JO/:", Verdict::InvalidLocator, "", ""},
    {"NeighboursOfTheSubsquareLetters", "QQ1ABC", "JO62`y", Verdict::InvalidLocator, "", ""},
    {"LocatorBeyondAscii", "QQ1ABC", "JO62\xe1\xe1", Verdict::InvalidLocator, "", ""},
};

class Check : public ::testing::TestWithParam<CheckRow> {};

TEST_P(Check, GivesTheListsVerdict) {
    const CheckRow& row = GetParam();
    LookupStation station;
    EXPECT_EQ(LookupStation::check(row.callsign, row.locator, station), row.verdict);
    if (row.verdict == Verdict::Taken) {
        EXPECT_EQ(station.call(), row.call);
        EXPECT_EQ(station.grid(), row.grid);
    }
}

// The quick way for fields in a block: the same station where it takes one,
// and it takes every station whose fields have no blank or quote.
TEST_P(Check, TakenAtOneGoAsCheckTakesIt) {
    const CheckRow& row = GetParam();
    const std::string padding(LookupStation::kReadableAfterStart, ';');
    const std::string block = row.callsign + padding + row.locator + padding;
    const std::string_view callsign(block.data(), row.callsign.size());
    const std::string_view locator(block.data() + row.callsign.size() + padding.size(),
                                   row.locator.size());
    LookupStation station;
    const bool taken = LookupStation::takePlain(callsign, locator, station);
    const bool plain = (row.callsign + row.locator).find_first_of(" \"") == std::string::npos;
    if (row.verdict != Verdict::Taken) {
        EXPECT_FALSE(taken);
    } else if (plain) {
        ASSERT_TRUE(taken);
    }
    if (taken) {
        EXPECT_EQ(station.call(), row.call);
        EXPECT_EQ(station.grid(), row.grid);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Check, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Check, AShorterCallAfterALongerLeavesNothingBehind) {
    LookupStation station;
    ASSERT_EQ(LookupStation::check("QQ1ABCDEFGHI", "JO62QM", station), Verdict::Taken);
    ASSERT_EQ(LookupStation::check("QQ1", "JO62", station), Verdict::Taken);
    EXPECT_EQ(station.call(), "QQ1");
    EXPECT_EQ(station.grid(), "JO62");
    const auto& padded = station.paddedCall();
    EXPECT_EQ(std::string(padded.begin(), padded.end()), std::string("QQ1") + std::string(9, '\0'));
}

} // namespace
} // namespace kelmora
