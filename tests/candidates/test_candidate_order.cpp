// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/candidate_order.h"
#include "candidates/table_text.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kelmora::candidates {
namespace {

using log::StationStatus;

geo::PackedLocator packed(std::string_view locator) {
    return *geo::PackedLocator::pack(locator);
}

// Each locator sorts before the next, as their texts do.
TEST(LocatorKey, SortsAsTheTextDoes) {
    const std::vector<const char*> ascending = {
        "AA00", "AA00AA", "AA00AB", "AA00BA", "AA00XX", "AA01",   "IO91WM", "JN99XX",
        "JO62", "JO62AA", "JO62QM", "jo62qn", "JO63",   "KO01AA", "RR99XW", "RR99XX"};
    for (std::size_t i = 1; i < ascending.size(); ++i) {
        EXPECT_LT(locatorKey(packed(ascending[i - 1])), locatorKey(packed(ascending[i])))
            << ascending[i - 1] << " < " << ascending[i];
    }
}

TEST(StatusKey, NewGridFirstThenTheNearest) {
    EXPECT_LT(statusKey(StationStatus::NewGrid, 20000), statusKey(StationStatus::NewCall, 1));
    EXPECT_LT(statusKey(StationStatus::NewCall, 20000), statusKey(StationStatus::Worked, 0));
    EXPECT_LT(statusKey(StationStatus::Worked, 20000), statusKey(StationStatus::Confirmed, 0));
    EXPECT_LT(statusKey(StationStatus::NewGrid, 499.9f), statusKey(StationStatus::NewGrid, 500));
}

// The radix sort against the standard library's, on keys shaped like the
// table's: a key of 32 bits above a station's index.
TEST(SortKeyed, AgreesWithStdSort) {
    std::mt19937_64 random(23);
    for (const std::size_t count : {0u, 1u, 1023u, 1024u, 5000u, 100000u}) {
        for (const std::uint64_t keyMask : {0x0ull, 0xFFull, 0xFFFFFFFFull}) {
            std::vector<std::uint64_t> keys(count);
            for (std::size_t i = 0; i < count; ++i) {
                keys[i] = (random() & keyMask) << 32 | i;
            }
            std::vector<std::uint64_t> expected = keys;
            std::sort(expected.begin(), expected.end());
            sortKeyed(keys);
            EXPECT_EQ(keys, expected) << count << " keys, mask " << keyMask;
        }
    }
}

struct OrderCase {
    const char* name;
    std::vector<SortKey> keys; // one a station
    bool descending;
    std::vector<std::uint32_t> expected;
};

class StationOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(StationOrder, EqualKeysKeepTheOrderOfTheFile) {
    const OrderCase& c = GetParam();
    std::vector<std::uint32_t> stations(c.keys.size());
    for (std::uint32_t i = 0; i < stations.size(); ++i) {
        stations[i] = i;
    }
    orderStations(
        stations, [&c](std::uint32_t s) { return c.keys[s]; }, c.descending);
    EXPECT_EQ(stations, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationOrder,
    ::testing::Values(OrderCase{"Ascending", {3, 1, 2, 1}, false, {1, 3, 2, 0}},
                      OrderCase{"Descending", {3, 1, 2, 1}, true, {0, 2, 1, 3}},
                      OrderCase{"AllEqual", {7, 7, 7}, true, {0, 1, 2}},
                      OrderCase{"LargestKey", {~0u, 0, ~0u}, false, {1, 0, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StationsWithin, BothEndsIncludedAndStatusesTicked) {
    const std::vector<float> distances = {499.9f, 500, 1200, 2300, 2300.1f, 800};
    const std::vector<StationStatus> statuses = {
        StationStatus::NewGrid, StationStatus::NewGrid,   StationStatus::Worked,
        StationStatus::NewCall, StationStatus::Confirmed, StationStatus::Confirmed};
    CandidateFilter filter;
    EXPECT_EQ(stationsWithin(filter, distances, statuses),
              (std::vector<std::uint32_t>{1, 2, 3, 5}));
    filter.statuses[static_cast<std::size_t>(StationStatus::Confirmed)] = false;
    filter.statuses[static_cast<std::size_t>(StationStatus::NewCall)] = false;
    EXPECT_EQ(stationsWithin(filter, distances, statuses), (std::vector<std::uint32_t>{1, 2}));
    // Without a log the range alone decides.
    EXPECT_EQ(stationsWithin(filter, distances, {}), (std::vector<std::uint32_t>{1, 2, 3, 5}));
    filter.range = {2300, 500};
    EXPECT_TRUE(stationsWithin(filter, distances, {}).empty());
}

TEST(RanksOf, EqualTextsShareARank) {
    const std::vector<std::string_view> texts = {"b", "a", "", "b", "ab"};
    EXPECT_EQ(ranksOf(texts), (std::vector<SortKey>{3, 1, 0, 3, 2}));
}

struct LineCase {
    const char* name;
    std::vector<std::string> cells;
    std::string csv;
    std::string tab;
};

class TableLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(TableLines, QuoteWhatSpreadsheetsWouldSplit) {
    EXPECT_EQ(csvLine(GetParam().cells), GetParam().csv);
    EXPECT_EQ(tabLine(GetParam().cells), GetParam().tab);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableLines,
    ::testing::Values(
        LineCase{
            "Plain", {"QQ1ABC", "JO62QM", "812"}, "QQ1ABC,JO62QM,812\r\n", "QQ1ABC\tJO62QM\t812\n"},
        LineCase{"Comma",
                 {"Contest, Multi-Op", "x"},
                 "\"Contest, Multi-Op\",x\r\n",
                 "Contest, Multi-Op\tx\n"},
        LineCase{"Quotes", {"Zusatz \"DX\""}, "\"Zusatz \"\"DX\"\"\"\r\n", "Zusatz \"DX\"\n"},
        LineCase{"LineBreaksAndTabs", {"a\r\nb", "c\td"}, "\"a\r\nb\",c\td\r\n", "a  b\tc d\n"},
        LineCase{"BlanksAtTheEnds", {" x", "y ", "a b"}, "\" x\",\"y \",a b\r\n", " x\ty \ta b\n"},
        LineCase{"EmptyAndUtf8", {"", "Grüße", ""}, ",Grüße,\r\n", "\tGrüße\t\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteCsvFile, HeadingsThenRowsInPlaceOfTheOldFile) {
    const testing::TempFolder folder;
    const std::filesystem::path file = folder.write("table.csv", "old");
    const std::vector<std::string> headings = {"CALL", "Entfernung"};
    const FileError error = writeCsvFile(file, headings, 2, [](std::size_t row) {
        return std::vector<std::string>{"QQ" + std::to_string(row), std::to_string(row * 100)};
    });
    EXPECT_FALSE(error);
    EXPECT_EQ(testing::readFile(file), "CALL,Entfernung\r\nQQ0,0\r\nQQ1,100\r\n");
    // A folder that does not exist: a failure, and nothing written.
    EXPECT_TRUE(writeCsvFile(folder.path() / "none" / "t.csv", headings, 0, {}));
}

} // namespace
} // namespace kelmora::candidates
