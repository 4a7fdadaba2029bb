// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/line_reader.h"
#include "database/station_scanner.h"
#include "support/memory_file.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora {
namespace {

using testing::memoryFile;
using testing::PrintTo;
using Verdict = LookupStation::Verdict;

struct ScannedLine {
    std::uint64_t offset;
    Verdict verdict;
    std::string call; // when taken
    std::string grid;

    bool operator==(const ScannedLine&) const = default;
};

void PrintTo(const ScannedLine& line, std::ostream* os) {
    *os << line.offset << ": " << static_cast<int>(line.verdict) << " " << line.call << " "
        << line.grid;
}

ScannedLine scanned(std::uint64_t offset, Verdict verdict, const LookupStation& station) {
    if (verdict != Verdict::Taken) {
        return {offset, verdict, {}, {}};
    }
    return {offset, verdict, std::string(station.call()), std::string(station.grid())};
}

// The station lists' way, line by line: the yardstick.
std::vector<ScannedLine> listsWay(const std::string& bytes, bool hasHeadingLine) {
    LineReader reader(memoryFile(bytes));
    StationColumns columns(hasHeadingLine);
    std::vector<ScannedLine> lines;
    std::string_view line;
    if (reader.next(line)) {
        columns.takeHeadingLine(line);
        while (reader.next(line)) {
            const auto [callsign, locator] = columns.fieldsOf(line);
            LookupStation station;
            const Verdict verdict = LookupStation::check(callsign, locator, station);
            lines.push_back(scanned(reader.lineOffset(), verdict, station));
        }
    }
    return lines;
}

std::vector<ScannedLine> scannersWay(const std::string& bytes, bool hasHeadingLine,
                                     std::size_t blockSize) {
    StationScanner scanner(memoryFile(bytes), hasHeadingLine, blockSize);
    std::vector<ScannedLine> lines;
    if (scanner.readFirstLine()) {
        for (auto some = scanner.next(); !some.empty(); some = scanner.next()) {
            for (const StationScanner::Line& line : some) {
                lines.push_back(scanned(line.offset, line.verdict, line.station));
            }
        }
    }
    EXPECT_FALSE(scanner.failed());
    return lines;
}

std::string repeated(const std::string& line, int times) {
    std::string lines;
    for (int i = 0; i < times; ++i) {
        lines += line;
    }
    return lines;
}

struct ScanRow {
    const char* name;
    std::string bytes;
    bool hasHeadingLine = true;
};

// Eight headings: a shorter heading line repeats its headings, and the
// rightmost "CALL" and "LOCATOR" then lie in the repeats.
const std::string kHeading = "CALL;Bemerkung;LOCATOR;Aktivit\xe4ten;RIG / QRG;;;Stand :\r\n";
const std::string kRemark60 = std::string(60, 'r');

const ScanRow kScanRows[] = {
    // Line ends of every kind, falling on every place of the blocks.
    {"CrLf", kHeading + repeated("QQ1ABC;x;JO62qm;FSK\r\nqq2b;;jo50\r\n", 20)},
    {"LfAndLoneCr", kHeading + repeated("QQ1ABC;x;JO62qm\nQQ2B;y;KO01\rQQ3C;z;IO91\r\n", 15)},
    {"EmptyLines", kHeading + "\r\n\r\r\n\nQQ1ABC;x;JO62\n\n"},
    {"LastLineWithoutEnd", kHeading + "QQ1ABC;x;JO62qm\r\nQQ2B;x;KO01"},
    {"LastLineEndsInCr", kHeading + "QQ1ABC;x;JO62qm\r"},
    {"ByteOrderMark", "\xEF\xBB\xBF" + kHeading + "QQ1ABC;x;JO62qm\r\n"},
    {"HeadingOnly", kHeading},
    {"Empty", ""},
    // Fields near the 64th byte of a line, and beyond it.
    {"LocatorBeyond64Bytes", kHeading + "QQ1ABC;" + kRemark60 + ";JO62qm;x\r\n"},
    {"SeparatorAtByte63", kHeading + "QQ1ABC;" + kRemark60.substr(0, 48) + ";JO62qm;\r\n"},
    {"SeparatorAtByte64", kHeading + "QQ1ABC;" + kRemark60.substr(0, 49) + ";JO62qm;\r\n"},
    {"SeparatorAtByte65", kHeading + "QQ1ABC;" + kRemark60.substr(0, 50) + ";JO62qm;\r\n"},
    {"LocatorEndsTheLine", kHeading + "QQ1ABC;" + kRemark60.substr(0, 20) + ";JO62qm\r\n"},
    {"RemarkLikeALocator", kHeading + "QQ1ABC;KO01;JO62qm;x\r\nKO01;QQ1ABC;x\r\n"},
    {"NextLinesSeparatorsAreNotThisOnes", kHeading + "QQ1ABC;x\r\n;JO62;\r\n"},
    // The square in sight, the subsquare beyond.
    {"LocatorAcrossByte64", kHeading + "QQ1ABC;" + kRemark60.substr(0, 52) + ";JO62qm\r\n"},
    {"LongerThanABlock",
     kHeading + "QQ1ABC;" + std::string(10'000, 'r') + ";JO62qm\r\nQQ2B;x;KO01"},
    // Lines short of fields repeat them from the start.
    {"TwoFields", kHeading + "QQ1ABC;JO62\r\n"},
    {"OneField", kHeading + "JO62QM\r\nQQ1ABC\r\n"},
    {"ClosingSeparator", kHeading + "QQ1ABC;x;\r\nQQ1ABC;x;JO62;\r\n"},
    // What the quick way leaves to the lists' way.
    {"Quotes", kHeading + "\"QQ1ABC\";x;\"JO62qm\"\r\n\"QQ2B;x;KO01\r\nQQ3C\";x;KO01\"\r\n"},
    {"Blanks", kHeading + " QQ1ABC ;x; JO62 \r\nQQ 1;x;JO62\r\n"},
    {"Slashes", kHeading + "QQ1ABC/P;x;JO62\r\n/;x;JO62\r\n"},
    {"EndMarkAndNonsense",
     kHeading + "ZZZZ1;x;JO62\r\nQQ1ABC;x;RR73\r\nQQ1ABC;x;SS00\r\nQQ1\xc4;x;JO62\r\n"},
    {"NulBytes", kHeading + std::string("QQ1ABC;\0;JO62\r\nQQ1\0B;x;JO62\r\n", 28)},
    // Columns found by their headings.
    {"ShortHeadingLine", "CALL;x;LOCATOR\nQQ1ABC;x;JO62qm\nQQ2B;x;KO01;a;b;c;d;e\n"},
    {"ColumnsReversed",
     "x;LOCATOR;y;CALL;a;b;c;d\nx;JO62qm;y;QQ1ABC;1;2;3;4\nx;KO01;y;qq2b;1;2;3;4\n"},
    {"ColumnsFarOut",
     "a;b;c;d;e;f;Call;Locator\n1;2;3;4;5;6;QQ1ABC;JO62qm\n1;2;3;4;5;6;QQ1;JO62\n"},
    {"NoLocatorColumn", "CALL;x;QTH\nQQ1ABC;x;JO62\n"},
    {"NoHeadingLine", "QQ0A;x;JN58\rQQ1ABC;x;JO62qm\r", false},
};

class Scan : public ::testing::TestWithParam<ScanRow> {};

TEST_P(Scan, GivesTheStationsOfTheListsWay) {
    const ScanRow& row = GetParam();
    const std::vector<ScannedLine> expected = listsWay(row.bytes, row.hasHeadingLine);
    for (const std::size_t blockSize :
         {std::size_t{0}, std::size_t{65}, std::size_t{71}, std::size_t{128}, std::size_t{200},
          StationScanner::kDefaultBlockSize}) {
        SCOPED_TRACE(blockSize);
        EXPECT_EQ(scannersWay(row.bytes, row.hasHeadingLine, blockSize), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Scan, ::testing::ValuesIn(kScanRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Scan, AFileThatCannotBeOpenedHasNoFirstLine) {
    const testing::TempFolder folder;
    StationScanner scanner(InputFile(folder.path() / "ms1.txt"), true);
    EXPECT_FALSE(scanner.isOpen());
    EXPECT_FALSE(scanner.readFirstLine());
    EXPECT_TRUE(scanner.failed());
}

} // namespace
} // namespace kelmora
