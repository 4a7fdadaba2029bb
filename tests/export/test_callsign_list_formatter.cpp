// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/callsign_list_formatter.h"
#include "support/database_heading.h"
#include "support/printing.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora {
namespace {

using testing::kHeading;
using testing::PrintTo;

const std::string kBlankLine = "             \r\n";

std::string formatLines(const std::vector<std::string>& lines, bool hasHeadingLine,
                        StationSelection selection) {
    CallsignListFormatter formatter(hasHeadingLine, selection);
    std::string out;
    for (const std::string& line : lines) {
        formatter.addLine(line, out);
    }
    return out;
}

struct FormatCase {
    const char* name;
    std::vector<std::string> lines; // the first one is the heading line
    std::string expected;
    StationSelection selection = StationSelection::All;
    bool hasHeadingLine = true;
};

class FormatList : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatList, GivesTheListBytes) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatLines(c.lines, c.hasHeadingLine, c.selection), c.expected);
}

std::string station(const std::string& call, const std::string& locator) {
    return call + ";remark;" + locator + ";CW MS;IC-202;;;1.1.2026";
}

FormatCase withStation(const char* name, const std::string& call, const std::string& locator,
                       std::string expected) {
    return {name, {kHeading, station(call, locator)}, std::move(expected)};
}

INSTANTIATE_TEST_SUITE_P(
    Locators, FormatList,
    ::testing::Values(withStation("Lower", "QQ1ABC", "jo62qm", "QQ1ABC JO62qm\r\n"),
                      withStation("Upper", "QQ1ABC", "JO62QM", "QQ1ABC JO62qm\r\n"),
                      withStation("MixedInBlanks", "QQ1ABC", " Jo62Qm ", "QQ1ABC JO62qm\r\n"),
                      withStation("FourCharacters", "QQ1ABC", "JO62", "QQ1ABC JO62  \r\n"),
                      withStation("EightCharacters", "QQ1ABC", "JO62QM12", "QQ1ABC JO62qm\r\n"),
                      withStation("OneLetter", "QQ1ABC", "j", "QQ1ABC J     \r\n"),
                      withStation("Empty", "QQ1ABC", "", "QQ1ABC       \r\n"),
                      withStation("AllBlanks", "QQ1ABC", "    ", "QQ1ABC       \r\n"),
                      withStation("InnerBlankStays", "QQ1ABC", "jo 62", "QQ1ABC JO 62 \r\n"),
                      withStation("OnlyBlanksTrimmed", "QQ1ABC", "\tjo62", "QQ1ABC \tJo62 \r\n")),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Callsigns, FormatList,
    ::testing::Values(
        withStation("SevenRunIntoLocator", "QQ1ABCD", "jo62qm", "QQ1ABCDJO62qm\r\n"),
        withStation("LongerIsCut", "QQ1ABCDEFG", "jo62qm", "QQ1ABCDJO62qm\r\n"),
        withStation("NotTrimmedNorCased", " qq1ab", "jo62qm", " qq1ab JO62qm\r\n"),
        withStation("Quoted", "\"QQ1ABC\"", "\"jo62qm\"", "QQ1ABC JO62qm\r\n"),
        withStation("OneQuoteOffEachEnd", "\"\"QQ1AB\"\"", "jo62qm", "\"QQ1AB\"JO62qm\r\n"),
        withStation("LoneQuoteIsEmpty", "\"", "jo62qm", "       JO62qm\r\n"),
        withStation("InnerQuoteStays", "QQ\"1AB", "\" jo62qm \"", "QQ\"1AB JO62qm\r\n"),
        withStation("SuffixSkipped", "QQ1ABC/P", "jo62qm", ""),
        withStation("PrefixSkipped", "DL/QQ1ABC", "jo62qm", ""),
        withStation("SlashAfterSeventhSkipped", "QQ1ABCD/P", "jo62qm", ""),
        withStation("SlashInLocatorKept", "QQ1ABC", "jo/2", "QQ1ABC JO/2  \r\n"),
        withStation("NulBytesKept", std::string("QQ\0AB", 5), "jo62qm",
                    std::string("QQ\0AB  JO62qm\r\n", 15))),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Lines, FormatList,
    ::testing::Values(
        FormatCase{"ShortLineWrapsToCallsign", {kHeading, "QQ1ABC;remark"}, "QQ1ABC QQ1abc\r\n"},
        FormatCase{"NoSeparator", {kHeading, "QQ1ABC"}, "QQ1ABC QQ1abc\r\n"},
        FormatCase{"EmptyLineIsBlank", {kHeading, ""}, kBlankLine},
        FormatCase{"EmptyLineNotFsk441", {kHeading, ""}, "", StationSelection::Fsk441Only},
        FormatCase{"DuplicatesKeptInOrder",
                   {kHeading, station("QQ1ABC", "jo62qm"), station("QQ2X", "io91"),
                    station("QQ1ABC", "jo62qm")},
                   "QQ1ABC JO62qm\r\nQQ2X   IO91  \r\nQQ1ABC JO62qm\r\n"},
        FormatCase{"OnlyFirstLineSkipped",
                   {kHeading, "CALL;x;LOCATOR", station("QQ1ABC", "jo62qm")},
                   "CALL   LOcato\r\nQQ1ABC JO62qm\r\n"},
        FormatCase{"HeadingOnly", {kHeading}, ""},
        FormatCase{"NoHeadingLineUsesColumnsOneAndThree",
                   {"QQ9ZZZ;x;aa00", "Locator;QQ1ABC;Call", station("QQ1ABC", "jo62qm")},
                   "LocatorCAll  \r\nQQ1ABC JO62qm\r\n",
                   StationSelection::All,
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

// Pads headings to eight fields so that no heading repeats by wrapping around.
std::string heading(const std::string& fields) {
    const auto count = std::count(fields.begin(), fields.end(), ';') + 1;
    std::string padded = fields;
    for (auto i = count; i < 8; ++i) {
        padded += ";h" + std::to_string(i + 1);
    }
    return padded;
}

INSTANTIATE_TEST_SUITE_P(
    Headings, FormatList,
    ::testing::Values(
        FormatCase{"LowerCaseHeadings",
                   {heading("call;x;locator"), "QQ1ABC;x;jo62qm"},
                   "QQ1ABC JO62qm\r\n"},
        FormatCase{"RightmostLocatorWins",
                   {heading("Call;Locator;x;Locator"), "QQ1ABC;AA00;x;jo62qm"},
                   "QQ1ABC JO62qm\r\n"},
        FormatCase{"CallsignHeadingNoMatch",
                   {heading("Callsign;x;LOCATOR"), "QQ1ABC;x;jo62qm"},
                   "       JO62qm\r\n"},
        FormatCase{"TrailingBlankNoMatch",
                   {heading("Call ;x;LOCATOR"), "QQ1ABC;x;jo62qm"},
                   "       JO62qm\r\n"},
        FormatCase{"QuotedHeadingNoMatch",
                   {heading("\"CALL\";x;LOCATOR"), "QQ1ABC;x;jo62qm"},
                   "       JO62qm\r\n"},
        // Each line gives its own callsign and locator whichever column
        // stands first, and a "/" in that callsign skips the line.
        FormatCase{"CallRightOfLocator",
                   {heading("LOCATOR;x;Call"), "jo62qm;x;QQ1ABC", "io91;x;QQ2X/P", "jn48;x;QQ3Y"},
                   "QQ1ABC JO62qm\r\nQQ3Y   JN48  \r\n"},
        FormatCase{
            "NoHeadingMatches", {heading("Rufzeichen;x;Loc"), "QQ1ABC;x;jo62qm"}, kBlankLine},
        FormatCase{"NoLocatorHeading",
                   {heading("CALL;x;Loc"), "QQ1ABC;x;jo62qm", "QQ2X/P;x;io91"},
                   "QQ1ABC       \r\n"},
        FormatCase{"ShortHeadingWrapsToColumnsSevenAndEight",
                   {"CALL;LOCATOR", "QQ1ABC;jo62qm", "QQ2X;y;io91"},
                   "QQ1ABC JO62qm\r\nQQ2X   Y     \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

FormatCase fsk441(const char* name, const std::string& line, std::string expected) {
    return {name, {kHeading, line}, std::move(expected), StationSelection::Fsk441Only};
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, FormatList,
    ::testing::Values(fsk441("Fsk441InActivity", "QQ1ABC;x;jo62qm;fsk441;;;;", "QQ1ABC JO62qm\r\n"),
                      fsk441("Jt44InRemark", "QQ1ABC;sked Jt44;jo62qm;;;;;", "QQ1ABC JO62qm\r\n"),
                      fsk441("WsjtInLastField", "QQ1ABC;x;jo62qm;;;;;wsjt", "QQ1ABC JO62qm\r\n"),
                      fsk441("KeywordBeyondEightFields", "QQ1ABC;x;jo62qm;;;;;;WSJT",
                             "QQ1ABC JO62qm\r\n"),
                      fsk441("KeywordInCallsign", "FSK441;x;jo62qm", "FSK441 JO62qm\r\n"),
                      fsk441("NoKeyword", "QQ1ABC;x;jo62qm;CW MS;JT6M;JT4;FSK;441", ""),
                      fsk441("SlashStillSkips", "QQ1ABC/P;x;jo62qm;FSK441", ""),
                      FormatCase{"KeywordOnlyInHeading",
                                 {kHeading + " FSK441", station("QQ1ABC", "jo62qm")},
                                 "",
                                 StationSelection::Fsk441Only}),
    [](const auto& info) { return std::string(info.param.name); });

// A valid UTF-8 line counts code points; any other line counts bytes
// (Windows-1252). "\xC3\x84" is one character in the first and two in the second.
INSTANTIATE_TEST_SUITE_P(
    Encodings, FormatList,
    ::testing::Values(withStation("Utf8CallsignCutAtSeventhCharacter", "\xC3\x84\xC3\x96Q1ABCDE",
                                  "jo62qm", "\xC3\x84\xC3\x96Q1ABCJO62qm\r\n"),
                      withStation("Utf8CallsignPaddedByCharacters", "QQ1\xC3\x84", "jo62qm",
                                  "QQ1\xC3\x84   JO62qm\r\n"),
                      FormatCase{"Windows1252LineCountsBytes",
                                 {kHeading, "\xC3\x84\xC3\x96Q1ABCDE;M\xFCnchen;jo62qm"},
                                 "\xC3\x84\xC3\x96Q1AJO62qm\r\n"},
                      withStation("Utf8LocatorCased", "QQ1ABC",
                                  "\xC3\xA4\xC3\xB6"
                                  "12X\xC5\xB8",
                                  "QQ1ABC \xC3\x84\xC3\x96"
                                  "12x\xC3\xBF\r\n"),
                      FormatCase{"Windows1252LocatorCased",
                                 {kHeading, "QQ1ABC;x;\xE4\xF6"
                                            "12"},
                                 "QQ1ABC \xC4\xD6"
                                 "12  \r\n"},
                      FormatCase{"Windows1252CaronAndDiaeresis",
                                 {kHeading, "QQ1ABC;x;\xFF"
                                            "a\x8A"},
                                 "QQ1ABC \x9F"
                                 "A\x9A   \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatList, LineOfHundredThousandCharacters) {
    const std::string remark(100'000, 'x');
    EXPECT_EQ(formatLines({kHeading, "QQ1ABC;" + remark + ";jo62qm;WSJT"}, true,
                          StationSelection::Fsk441Only),
              "QQ1ABC JO62qm\r\n");
    EXPECT_EQ(formatLines({kHeading, remark + ";x;jo62qm"}, true, StationSelection::All),
              "xxxxxxxJO62qm\r\n");
}

TEST(FormatList, CountsWrittenStationsOnly) {
    CallsignListFormatter formatter(true, StationSelection::All);
    std::string out;
    for (const std::string& line :
         {kHeading, station("QQ1ABC", "jo62qm"), station("QQ1ABC/P", "jo62qm"), std::string()}) {
        formatter.addLine(line, out);
    }
    EXPECT_EQ(formatter.stationsWritten(), 2u);
}

} // namespace
} // namespace kelmora
