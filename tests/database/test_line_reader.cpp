// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/database_start.h"
#include "database/line_reader.h"
#include "support/memory_file.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora {
namespace {

using testing::memoryFile;
using testing::PrintTo;
using testing::TempFolder;

std::vector<std::string> readAllLines(std::string_view bytes, std::size_t blockSize) {
    LineReader reader(memoryFile(bytes), blockSize);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    EXPECT_FALSE(reader.failed());
    return lines;
}

struct LineCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class LineEnds : public ::testing::TestWithParam<std::tuple<LineCase, std::size_t>> {};

TEST_P(LineEnds, SplitAlikeForEveryBlockSize) {
    const auto& [c, blockSize] = GetParam();
    EXPECT_EQ(readAllLines(c.bytes, blockSize), c.lines);
}

const LineCase kLineCases[] = {
    {"Empty", "", {}},
    {"CrLf", "a;b\r\nc;d\r\n", {"a;b", "c;d"}},
    {"LfOnly", "a\nb\n", {"a", "b"}},
    {"LoneCr", "a\rb\r", {"a", "b"}},
    {"LastLineWithoutEnd", "a\r\nb", {"a", "b"}},
    {"EmptyLinesAreEmptyTexts", "\r\n\r\n\nx\r\r", {"", "", "", "x", ""}},
    {"LfCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}},
    {"OnlyALineEnd", "\r\n", {""}},
    {"ByteOrderMarkIsNotPartOfLine1",
     "\xEF\xBB\xBF"
     "CALL\r\nx",
     {"CALL", "x"}},
    {"ByteOrderMarkOnlyAtTheStart",
     "a\r\n\xEF\xBB\xBF"
     "b",
     {"a", "\xEF\xBB\xBF"
           "b"}},
    // Blocks are at least 16 bytes: these lines run across them.
    {"LinesAcrossBlocks",
     "CALL;Bemerkung;LOCATOR\r\nQQ1ABC;eine lange Bemerkung;JO62qm\r\rQQ2\r\n",
     {"CALL;Bemerkung;LOCATOR", "QQ1ABC;eine lange Bemerkung;JO62qm", "", "QQ2"}},
    {"NulBytesStay", std::string("a\0b\r\n\0", 6), {std::string("a\0b", 3), std::string(1, '\0')}},
};

// Each line's offset points at its bytes, just after the line end before it
// (or the byte-order mark), and the offsets rise.
TEST_P(LineEnds, OffsetsPointAtTheLines) {
    const auto& [c, blockSize] = GetParam();
    LineReader reader(memoryFile(c.bytes), blockSize);
    std::string_view line;
    std::uint64_t previous = 0;
    std::size_t count = 0;
    while (reader.next(line)) {
        const std::uint64_t offset = reader.lineOffset();
        EXPECT_EQ(std::string_view(c.bytes).substr(offset, line.size()), line) << offset;
        if (count++ > 0) {
            EXPECT_GT(offset, previous);
            EXPECT_TRUE(c.bytes[offset - 1] == '\n' || c.bytes[offset - 1] == '\r') << offset;
        } else {
            EXPECT_TRUE(offset == 0 ||
                        std::string_view(c.bytes).substr(0, offset) == "\xEF\xBB\xBF")
                << offset;
        }
        previous = offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, LineEnds,
                         ::testing::Combine(::testing::ValuesIn(kLineCases),
                                            ::testing::Values(1, 2, 3, 5, 64 * 1024)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_block" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(LineReader, LinesLongerThanTheBlockComeWhole) {
    const std::string longLine(1'000'003, 'x');
    const std::string bytes = "head\r\n" + longLine + "\r\n" + longLine;
    const auto lines = readAllLines(bytes, 4096);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], longLine);
}

TEST(LineReader, ManyLinesOfAFileOnDisk) {
    const TempFolder folder;
    std::string bytes;
    for (int i = 0; i < 100'000; ++i) {
        bytes += "QQ" + std::to_string(i) + ";x\r\n";
    }
    LineReader reader{InputFile(folder.write("ms1.txt", bytes))};
    std::string_view line;
    int count = 0;
    std::string last;
    while (reader.next(line)) {
        ++count;
        last = line;
    }
    EXPECT_EQ(count, 100'000);
    EXPECT_EQ(last, "QQ99999;x");
}

// A device that would give bytes without end, were it read.
#ifdef _WIN32
const std::filesystem::path kEndlessDevice = "NUL";
#else
const std::filesystem::path kEndlessDevice = "/dev/zero";
#endif

TEST(InputFile, RefusesWhatIsNotAnOrdinaryFile) {
    EXPECT_FALSE(InputFile("/nonexistent/ms1.txt").isOpen());
    EXPECT_EQ(InputFile("/nonexistent/ms1.txt").error().failure, FileFailure::NotFound);
    EXPECT_FALSE(InputFile(std::filesystem::temp_directory_path()).isOpen());
    EXPECT_EQ(InputFile(std::filesystem::temp_directory_path()).error().failure,
              FileFailure::IsFolder);
    EXPECT_EQ(InputFile(kEndlessDevice).error().failure, FileFailure::NotOrdinaryFile);
    EXPECT_FALSE(LineReader(InputFile(kEndlessDevice)).isOpen());
}

TEST(InputFile, AFileThatShrinksWhileItIsReadFails) {
    const TempFolder folder;
    const auto path =
        folder.write("ms1.txt", "CALL\r\n" + std::string(100'000, 'x') + "\r\nQQ1ABC\r\n");
    LineReader reader(InputFile(path), 4096);
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    std::filesystem::resize_file(path, 5000);
    while (reader.next(line)) {
    }
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.error().failure, FileFailure::IoError);
}

struct StartCase {
    const char* name;
    std::string bytes;
    std::optional<std::string> heading;
    std::optional<std::string> station;
};

class DatabaseStartShapes : public ::testing::TestWithParam<StartCase> {};

TEST_P(DatabaseStartShapes, FindTheHeadingAndTheFirstStation) {
    const TempFolder folder;
    const DatabaseStart start = readDatabaseStart(folder.write("ms1.txt", GetParam().bytes));
    EXPECT_TRUE(start.readable);
    EXPECT_EQ(start.headingLine, GetParam().heading);
    EXPECT_EQ(start.firstStation, GetParam().station);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DatabaseStartShapes,
    ::testing::Values(
        StartCase{"Usual", "CALL;LOC\r\nQQ1ABC;JO62\r\nQQ2\r\n", "CALL;LOC", "QQ1ABC;JO62"},
        StartCase{"TwoHeadingsLastWins", "CALL;A\r\ncall;B\r\nQQ1\r\n", "call;B", "QQ1"},
        StartCase{"CallInAnyCaseAnywhere", "x;cAlL\r\nQQ1\r\n", "x;cAlL", "QQ1"},
        StartCase{"NoHeading", "QQ1;x\r\nQQ2\r\n", std::nullopt, "QQ1;x"},
        StartCase{"HeadingsOnly", "CALL\r\nCALL2", "CALL2", std::nullopt},
        StartCase{"Empty", "", std::nullopt, std::nullopt},
        StartCase{"EmptyFirstLineIsTheStation", "\r\nCALL\r\n", std::nullopt, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DatabaseStart, AMissingFileIsNotReadable) {
    const DatabaseStart start = readDatabaseStart("/nonexistent/ms1.txt");
    EXPECT_FALSE(start.readable);
    EXPECT_FALSE(start.headingLine);
    EXPECT_FALSE(start.firstStation);
}

} // namespace
} // namespace kelmora
