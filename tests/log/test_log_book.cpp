// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_book.h"
#include "log/log_reading.h"
#include "support/memory_file.h"
#include "support/printing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora::log {
namespace {

using testing::PrintTo;

// One QSO a line, each a case the statuses below rely on.
const char* const kLog =
    "Test log<eoh>\n"
    // 2 m by BAND, worked, not confirmed; a 6-character locator
    "<call:6>QQ1AAA<gridsquare:6>JO62QM<band:2>2m<eor>\n"
    // 2 m, confirmed by LoTW
    "<call:6>QQ2BBB<gridsquare:4>JO73<band:2>2M<lotw_qsl_rcvd:1>Y<eor>\n"
    // 6 m by FREQ only, confirmed by a card verified for an award
    "<call:6>QQ3CCC<gridsquare:4>KO02<freq:6>50.200<qsl_rcvd:1>V<eor>\n"
    // 70 cm on a line of squares, confirmed by eQSL in lower case
    "<call:6>QQ4DDD<vucc_grids:9>JO50,JO51<band:4>70CM<eqsl_qsl_rcvd:1>y<eor>\n"
    // 2 m, a portable call
    "<call:8>QQ5EEE/P<gridsquare:4>JN59<band:2>2m<eor>\n"
    // 20 m: counts for all bands only
    "<call:6>QQ6FFF<gridsquare:4>IO91<band:3>20m<eor>\n"
    // 23 cm, an 8-character locator, the card not received
    "<call:6>QQ7GGG<gridsquare:8>JO40AB12<band:4>23cm<qsl_rcvd:1>N<eor>\n"
    // 4 m by FREQ only, no locator logged
    "<call:6>QQ8HHH<freq:6>70.200<eor>\n";

LogReading readTestLog() {
    LogReading reading = readLog(testing::memoryFile(kLog));
    EXPECT_EQ(reading.qsosRead, 8U);
    EXPECT_EQ(reading.recordsSkipped, 0U);
    return reading;
}

struct StatusCase {
    const char* name;
    Band band;
    const char* call;
    const char* locator;
    StationStatus expected;
};

class StationStatuses : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StationStatuses, FollowTheSquareFirstThenTheCall) {
    const LogReading reading = readTestLog();
    const StatusCase& c = GetParam();
    EXPECT_EQ(reading.book.statusOf(c.band, callKeyOf(c.call), gridIndexOf(c.locator)), c.expected);
}

const StatusCase kStatusCases[] = {
    {"NewGrid", Band::TwoMetres, "QQ9ZZZ", "JN39", StationStatus::NewGrid},
    {"NewCallInAWorkedSquare", Band::TwoMetres, "QQ9ZZZ", "JO62AA", StationStatus::NewCall},
    {"Worked", Band::TwoMetres, "QQ1AAA", "JO62QM", StationStatus::Worked},
    {"WorkedInAnyCase", Band::TwoMetres, "qq1aaa", "jo62", StationStatus::Worked},
    {"ConfirmedByLotw", Band::TwoMetres, "QQ2BBB", "JO73", StationStatus::Confirmed},
    {"ConfirmedByCardVerified", Band::SixMetres, "QQ3CCC", "KO02", StationStatus::Confirmed},
    {"ConfirmedByEqsl", Band::SeventyCentimetres, "QQ4DDD", "JO50", StationStatus::Confirmed},
    {"CardNotReceivedIsWorked", Band::TwentyThreeCentimetres, "QQ7GGG", "JO40",
     StationStatus::Worked},
    {"WorkedByFrequency", Band::FourMetres, "QQ8HHH", "", StationStatus::Worked},
    {"VuccSquaresCount", Band::SeventyCentimetres, "QQ9ZZZ", "JO51", StationStatus::NewCall},
    {"EightCharacterSquareCounts", Band::TwentyThreeCentimetres, "QQ9ZZZ", "JO40XX",
     StationStatus::NewCall},
    // The square decides first: a call worked or confirmed from one square
    // (before a move, or portable under the home call) is a new grid in a
    // square not worked on the band, and worked or confirmed in one that was.
    {"CallWorkedInAnotherSquareIsNewGrid", Band::TwoMetres, "QQ1AAA", "JO01",
     StationStatus::NewGrid},
    {"CallConfirmedInAnotherSquareIsNewGrid", Band::TwoMetres, "QQ2BBB", "JN39",
     StationStatus::NewGrid},
    {"CallWorkedInAnotherWorkedSquare", Band::TwoMetres, "QQ1AAA", "JO73", StationStatus::Worked},
    {"CallConfirmedInAnotherWorkedSquare", Band::TwoMetres, "QQ2BBB", "JO62",
     StationStatus::Confirmed},
    // Without a locator the call alone says what it can.
    {"CallConfirmedWithoutLocator", Band::TwoMetres, "QQ2BBB", "", StationStatus::Confirmed},
    {"CallWorkedWithoutLocator", Band::TwoMetres, "QQ1AAA", "JO6Z", StationStatus::Worked},
    // A portable call is a call of its own: QQ5EEE/P worked JN59, QQ5EEE not.
    {"PortableQsoLeavesTheHomeCallNew", Band::TwoMetres, "QQ5EEE", "JN59", StationStatus::NewCall},
    {"PortableQsoLeavesTheHomeSquareNew", Band::TwoMetres, "QQ5EEE", "JO01",
     StationStatus::NewGrid},
    {"PortableCallWorked", Band::TwoMetres, "QQ5EEE/P", "JN59", StationStatus::Worked},
    {"NoLocator", Band::TwoMetres, "QQ9ZZZ", "", StationStatus::NoLocator},
    {"LocatorThatIsNone", Band::TwoMetres, "QQ9ZZZ", "JO6Z", StationStatus::NoLocator},
    // Each band by itself; all bands together.
    {"AnotherBandsQsoIsNew", Band::SixMetres, "QQ1AAA", "JO62", StationStatus::NewGrid},
    {"ShortWaveQsoIsNewOnTwoMetres", Band::TwoMetres, "QQ6FFF", "IO91", StationStatus::NewGrid},
    {"ShortWaveQsoCountsForAllBands", Band::All, "QQ6FFF", "IO91", StationStatus::Worked},
    {"AllBandsSquares", Band::All, "QQ9ZZZ", "KO02", StationStatus::NewCall},
    {"AllBandsConfirmed", Band::All, "QQ3CCC", "JO62", StationStatus::Confirmed},
    {"AllBandsNewGrid", Band::All, "QQ9ZZZ", "JN39", StationStatus::NewGrid},
};

INSTANTIATE_TEST_SUITE_P(Table, StationStatuses, ::testing::ValuesIn(kStatusCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StationStatuses, ManyAtOnceAreTheSameAsOneByOne) {
    const LogReading reading = readTestLog();
    for (const Band band : kBands) {
        std::vector<CallKey> calls;
        std::vector<GridIndex> grids;
        std::vector<StationStatus> expected;
        for (const StatusCase& c : kStatusCases) {
            calls.push_back(callKeyOf(c.call));
            grids.push_back(gridIndexOf(c.locator));
            expected.push_back(reading.book.statusOf(band, calls.back(), grids.back()));
        }
        std::vector<StationStatus> statuses(calls.size());
        reading.book.statusesOf(band, calls, grids, statuses);
        EXPECT_EQ(statuses, expected) << static_cast<int>(band);
    }
}

struct CountCase {
    Band band;
    std::size_t workedGrids;
    std::size_t confirmedGrids;
    std::size_t workedCalls;
    std::size_t confirmedCalls;
};

TEST(LogBook, CountsGridsAndCallsPerBand) {
    const LogReading reading = readTestLog();
    const CountCase cases[] = {
        {Band::TwoMetres, 3, 1, 3, 1},
        {Band::SixMetres, 1, 1, 1, 1},
        {Band::FourMetres, 0, 0, 1, 0},
        {Band::SeventyCentimetres, 2, 2, 1, 1},
        {Band::TwentyThreeCentimetres, 1, 0, 1, 0},
        {Band::All, 8, 4, 8, 3},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.band));
        EXPECT_EQ(reading.book.workedGridCount(c.band), c.workedGrids);
        EXPECT_EQ(reading.book.confirmedGridCount(c.band), c.confirmedGrids);
        EXPECT_EQ(reading.book.workedCallCount(c.band), c.workedCalls);
        EXPECT_EQ(reading.book.confirmedCallCount(c.band), c.confirmedCalls);
    }
    EXPECT_EQ(reading.book.callCount(), 8U);
    EXPECT_TRUE(reading.book.gridConfirmed(Band::TwoMetres, gridIndexOf("JO73")));
    EXPECT_FALSE(reading.book.gridConfirmed(Band::TwoMetres, gridIndexOf("JO62")));
    EXPECT_FALSE(reading.book.gridWorked(Band::TwoMetres, kNoGrid));
}

TEST(LogBook, CallsBeyondTheFirstTableGrowIt) {
    LogBook book;
    std::vector<QsoFacts> lastHalf;
    for (int i = 0; i < 5000; ++i) {
        QsoFacts qso;
        qso.call = callKeyOf("QQ" + std::to_string(i));
        qso.bands = bandBit(Band::All) | bandBit(Band::TwoMetres);
        qso.confirmed = i % 2 == 0;
        // A second QSO adds nothing.
        if (i < 2500) {
            book.add(qso);
            book.add(qso);
        } else {
            lastHalf.insert(lastHalf.end(), 2, qso);
        }
    }
    book.add(lastHalf); // all at once, the table growing first
    EXPECT_EQ(book.callCount(), 5000U);
    EXPECT_EQ(book.confirmedCallCount(Band::TwoMetres), 2500U);
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(book.callWorked(Band::TwoMetres, callKeyOf("QQ" + std::to_string(i))));
        ASSERT_EQ(book.callConfirmed(Band::TwoMetres, callKeyOf("QQ" + std::to_string(i))),
                  i % 2 == 0);
    }
    EXPECT_FALSE(book.callWorked(Band::All, callKeyOf("QQ5000")));
}

struct NewGridsCase {
    const char* name;
    Band band;
    DistanceRange range;
    std::size_t expected;
};

class NewGridsWithin : public ::testing::TestWithParam<NewGridsCase> {};

// Stations of a database, their squares and distances.
TEST_P(NewGridsWithin, CountSquaresNotWorkedOnTheBand) {
    const LogReading reading = readTestLog();
    const std::vector<GridIndex> grids = {
        gridIndexOf("JO62"), gridIndexOf("JN39"), gridIndexOf("JN39"),
        gridIndexOf("IO80"), gridIndexOf("KP00"), kNoGrid,
        gridIndexOf("KO02"),
    };
    const std::vector<float> distances = {600, 800, 900, 2400, 300, 1000, 1200};
    EXPECT_EQ(newGridsWithin(reading.book, GetParam().band, grids, distances, GetParam().range),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, NewGridsWithin,
                         ::testing::Values(
                             // JN39 twice counts once; JO62 is worked; IO80 too far, KP00 too near.
                             NewGridsCase{"MeteorScatterRange", Band::TwoMetres, {500, 2300}, 2},
                             NewGridsCase{"WorkedOnAnotherBand", Band::SixMetres, {500, 2300}, 2},
                             NewGridsCase{"BothEndsBelong", Band::TwoMetres, {800, 1200}, 2},
                             NewGridsCase{"Everything", Band::TwoMetres, {0, 20000}, 4},
                             NewGridsCase{"AllBands", Band::All, {0, 20000}, 3},
                             NewGridsCase{"EmptyRange", Band::TwoMetres, {1500, 1000}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LogReading, SaysWhenTheFileCannotBeOpened) {
    const LogReading reading = readLog(InputFile("/nonexistent/wsjtx_log.adi"));
    EXPECT_FALSE(reading.opened);
    EXPECT_EQ(reading.error.failure, FileFailure::NotFound);
    EXPECT_EQ(reading.qsosRead, 0U);
}

} // namespace
} // namespace kelmora::log
