// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/map_stations.h"
#include "support/memory_file.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora::geo {
namespace {

using testing::memoryFile;
using testing::PrintTo;
using testing::TempFolder;
using Status = MapStations::Status;

const std::string kHeading = "CALL;Bemerkung;LOCATOR;Aktivit\xe4ten;RIG / QRG;;;Stand :\r\n";

struct ExpectedStation {
    std::string call;
    std::string locator;
    std::string line; // the station's line, found once in the file
};

struct FileRow {
    const char* name;
    std::string bytes;
    bool hasHeadingLine;
    Status status;
    std::vector<ExpectedStation> stations;
    std::uint64_t linesLeftOut;
};

const FileRow kFiles[] = {
    {"Usual",
     kHeading + "QQ1ABC;Sked;JO62qm;FSK441\r\nqq2bcd;;jo50;JT44\r\n",
     true,
     Status::Read,
     {{"QQ1ABC", "JO62QM", "QQ1ABC;Sked;JO62qm;FSK441"}, {"QQ2BCD", "JO50", "qq2bcd;;jo50;JT44"}},
     0},
    {"QuotesAndBlanksAsTheListsTakeThem",
     kHeading + "\"QQ1ABC\";\"a;b\";JO62qm\r\n\" QQ2X \";x;\" KO01aa \"\r\n",
     true,
     Status::Read,
     // The quoted ";" moves the locator one field on, as in the lists.
     {{"QQ2X", "KO01AA", "\" QQ2X \";x;\" KO01aa \""}},
     1},
    {"StationsTheListsLeaveOut",
     kHeading + "QQ1ABC/P;x;JO62qm\r\n"                  // "/" in the call
         + "Q1;x;JO62qm\r\n"                             // too short a call
         + "ZZZZ1;x;JO62qm\r\n"                          // the old lists' end mark
         + "QQ3ABC;x;JO62qm47\r\n"                       // 8 characters: not in the lists
         + "QQ4ABC;x;SS00\r\n"                           // letters out of range
         + "QQ5ABC;x;JO6Z\r\n"                           //
         + "QQ6ABC;x;1O62\r\n"                           // a digit for a letter
         + "QQ7ABC;x;RR73\r\n"                           // a word of the digital modes
         + "QQ8ABC;x;\r\n"                               // blank locator
         + "QQ9ABC;x;    \r\n"                           //
         + "QQ0ABC;x;" + std::string(5000, 'J') + "\r\n" // very long
         + "\r\n"                                        // empty line
         + "QQ1XYZ;x;RR73aa\r\n",                        // a subsquare of RR73 is a place
     true,
     Status::Read,
     {{"QQ1XYZ", "RR73AA", "QQ1XYZ;x;RR73aa"}},
     12},
    {"ColumnsByTheirHeadings",
     "Name;LOCATOR;x;call\nAnna;JO62qm;-;QQ1ABC\nBert;KO01;-;QQ2ABC",
     true,
     Status::Read,
     {{"QQ1ABC", "JO62QM", "Anna;JO62qm;-;QQ1ABC"}, {"QQ2ABC", "KO01", "Bert;KO01;-;QQ2ABC"}},
     0},
    {"WithoutHeadingLineFieldsOneAndThree",
     "QQ0AAA;x;JN58td\rQQ1ABC;x;JO62qm\r",
     false,
     Status::Read,
     // The first line is skipped all the same, as by the lists.
     {{"QQ1ABC", "JO62QM", "QQ1ABC;x;JO62qm"}},
     0},
    {"ByteOrderMark",
     "\xEF\xBB\xBF" + kHeading + "QQ1ABC;x;JO62qm\r\n",
     true,
     Status::Read,
     {{"QQ1ABC", "JO62QM", "QQ1ABC;x;JO62qm"}},
     0},
    {"NoLocatorHeading",
     "CALL;Bemerkung;QTH\r\nQQ1ABC;x;JO62qm\r\n",
     true,
     Status::NoLocatorColumn,
     {},
     0},
    {"NoCallHeading",
     "CALLSIGN;x;LOCATOR\r\nQQ1ABC;x;JO62qm\r\n",
     true,
     Status::NoCallColumn,
     {},
     0},
    {"HeadingOnly", kHeading, true, Status::Read, {}, 0},
    {"Empty", "", true, Status::Read, {}, 0},
};

class Files : public ::testing::TestWithParam<FileRow> {};

// Read in blocks whose ends fall in every kind of place.
TEST_P(Files, GiveTheStationsOfTheLists) {
    const FileRow& row = GetParam();
    const testing::MemoryFile bytes(row.bytes);
    for (const std::size_t blockSize :
         {std::size_t{0}, std::size_t{65}, std::size_t{97}, StationScanner::kDefaultBlockSize}) {
        SCOPED_TRACE(blockSize);
        const MapStations stations = MapStations::read(bytes.open(), row.hasHeadingLine, blockSize);
        EXPECT_EQ(stations.status(), row.status);
        EXPECT_FALSE(stations.error());
        EXPECT_EQ(stations.linesLeftOut(), row.linesLeftOut);
        ASSERT_EQ(stations.size(), row.stations.size());
        InputFile file = bytes.open();
        for (std::size_t i = 0; i < row.stations.size(); ++i) {
            const ExpectedStation& expected = row.stations[i];
            const MapStation& station = stations.stations()[i];
            EXPECT_EQ(station.call(), expected.call);
            EXPECT_EQ(station.locator().text(), expected.locator);
            EXPECT_EQ(station.lineOffset(), row.bytes.find(expected.line));
            EXPECT_EQ(stations.stationAtOffset(station.lineOffset()), i);
            const MapStations::Line line = stations.lineOf(i, file);
            EXPECT_EQ(line.status, MapStations::Line::Status::Read);
            EXPECT_EQ(line.text, expected.line);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Files, ::testing::ValuesIn(kFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MapStations, StationsSharingALocatorInTheOrderOfTheFile) {
    const MapStations stations = MapStations::read(
        memoryFile(kHeading + "QQ1A;x;JO62qm\r\nQQ2B;x;JO62\r\nQQ3C;x;jo62QM\r\n"), true);
    EXPECT_EQ(stations.stationsAt(*PackedLocator::pack("JO62QM")),
              (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(stations.stationsAt(*PackedLocator::pack("JO62")), (std::vector<std::size_t>{1}));
    EXPECT_TRUE(stations.stationsAt(*PackedLocator::pack("JO63")).empty());
    EXPECT_FALSE(stations.stationAtOffset(1).has_value());
}

TEST(MapStations, ALineIsFetchedWholeFromTheFileOnDisk) {
    const TempFolder folder;
    const std::string longLine = "QQ1ABC;" + std::string(100'000, 'x') + ";JO62qm;end";
    const auto path = folder.write("ms1.txt", kHeading + longLine + "\r\nQQ2ABC;y;KO01\r\n");
    const MapStations stations = MapStations::read(path, true);
    ASSERT_EQ(stations.size(), 2U);
    EXPECT_EQ(stations.lineOf(0).text, longLine);
    EXPECT_EQ(stations.lineOf(1).text, "QQ2ABC;y;KO01");
}

TEST(MapStations, AChangedFileIsNoticed) {
    const TempFolder folder;
    const auto path = folder.write("ms1.txt", kHeading + "QQ1ABC;x;JO62qm\r\nQQ2ABC;y;KO01\r\n");
    const MapStations stations = MapStations::read(path, true);
    ASSERT_EQ(stations.size(), 2U);
    folder.write("ms1.txt", kHeading + "QQ1ABC;x;JO62qm\r\nQQ3ABC;y;KO01\r\n");
    EXPECT_EQ(stations.lineOf(0).status, MapStations::Line::Status::Read);
    EXPECT_EQ(stations.lineOf(1).status, MapStations::Line::Status::Changed);
    folder.write("ms1.txt", kHeading);
    EXPECT_EQ(stations.lineOf(0).status, MapStations::Line::Status::Changed);
    std::filesystem::remove(path);
    const MapStations::Line gone = stations.lineOf(0);
    EXPECT_EQ(gone.status, MapStations::Line::Status::ReadFailed);
    EXPECT_EQ(gone.error.failure, FileFailure::NotFound);
}

TEST(MapStations, AFileThatCannotBeReadGivesNoStations) {
    const TempFolder folder;
    const MapStations missing = MapStations::read(folder.path() / "ms1.txt", true);
    EXPECT_EQ(missing.status(), Status::ReadFailed);
    EXPECT_EQ(missing.error().failure, FileFailure::NotFound);
    const MapStations aFolder = MapStations::read(folder.path(), true);
    EXPECT_EQ(aFolder.status(), Status::ReadFailed);
    EXPECT_EQ(aFolder.error().failure, FileFailure::IsFolder);
    EXPECT_EQ(aFolder.size(), 0U);
}

TEST(MapStations, AFileThatShrinksWhileItIsReadGivesNoStations) {
    const TempFolder folder;
    std::string bytes = kHeading;
    for (int i = 0; i < 20'000; ++i) {
        bytes += "QQ" + std::to_string(i) + "A;x;JO62qm\r\n";
    }
    const auto path = folder.write("ms1.txt", bytes);
    InputFile file(path);
    std::filesystem::resize_file(path, 1000);
    const MapStations stations = MapStations::read(std::move(file), true);
    EXPECT_EQ(stations.status(), Status::ReadFailed);
    EXPECT_EQ(stations.error().failure, FileFailure::IoError);
    EXPECT_EQ(stations.size(), 0U);
}

TEST(MapStations, ALineOfTheDatabaseCheckedAsTheReadingDoes) {
    const MapStations stations = MapStations::read(memoryFile(kHeading), true);
    MapStation station;
    EXPECT_EQ(stations.checkLine("qq1abc;x;jo62qm", 7, station), StationVerdict::Taken);
    EXPECT_EQ(station.call(), "QQ1ABC");
    EXPECT_EQ(station.locator().text(), "JO62QM");
    EXPECT_EQ(station.lineOffset(), 7U);
    EXPECT_EQ(stations.checkLine(kHeading.substr(0, kHeading.size() - 2), 0, station),
              StationVerdict::InvalidLocator);
    EXPECT_EQ(stations.checkLine("QQ1ABC;x;RR73", 0, station), StationVerdict::InvalidLocator);
    EXPECT_EQ(stations.checkLine("QQ1ABC/P;x;JO62", 0, station), StationVerdict::SlashInCall);
}

TEST(MapStation, KeepsOffsetsFarIntoLargeFiles) {
    LookupStation checked;
    ASSERT_EQ(LookupStation::check("QQ1ABCDEFGHI", "RR99XX", checked), StationVerdict::Taken);
    const MapStation station(checked, *PackedLocator::pack("RR99XX"), MapStation::kFarthestOffset);
    EXPECT_EQ(station.lineOffset(), MapStation::kFarthestOffset);
    EXPECT_EQ(station.call(), "QQ1ABCDEFGHI");
    EXPECT_EQ(station.locator().text(), "RR99XX");
    EXPECT_EQ(sizeof(MapStation), 20U);
}

} // namespace
} // namespace kelmora::geo
