// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/input_file.h"
#include "database/line_reader.h"
#include "database/search_matcher.h"
#include "support/printing.h"
#include "support/reference_search.h"
#include "support/temp_folder.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace kelmora {
namespace {

using namespace std::string_literals;

using testing::PrintTo;
using testing::TempFolder;

struct SearchedLines {
    ScanOutcome outcome;
    std::vector<std::string> lines;
};

constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

SearchedLines scan(const std::filesystem::path& file, std::string_view text,
                   std::size_t blockSize = kSearchBlockSize, std::uint64_t stopAfter = kNoLimit) {
    SearchedLines result;
    result.outcome = scanForHits(
        InputFile(file), SearchPattern::fromUtf8(text),
        [&result, stopAfter](std::string_view line) {
            result.lines.emplace_back(line);
            return result.lines.size() < stopAfter;
        },
        blockSize);
    return result;
}

std::vector<std::string> referenceHits(const std::filesystem::path& file, std::string_view text) {
    LineReader reader{InputFile(file)};
    return testing::referenceHits(reader, SearchPattern::fromUtf8(text));
}

const std::string kAeUtf8 = "\xC3\x84";    // Ä in UTF-8
const std::string kAeWindows1252 = "\xC4"; // Ä in Windows-1252
const std::string kOmegaUtf8 = "\xCE\xA9"; // Ω, which Windows-1252 lacks
const std::string kBom = "\xEF\xBB\xBF";

TEST(SearchPatternMatches, TheLineEncodingChoosesTheForm) {
    struct Case {
        std::string text;
        std::string line;
        bool hit;
    };
    const std::vector<Case> cases = {
        {"JO62", "QQ1AB;JO62", true},
        {"JO62", "QQ1AB;jo62", false},
        {"AB;JO", "QQ1AB;JO62", true},
        {"Q J", "QQJO", false},
        {"", "", true},
        {"", "\xFF", true},
        {"M" + kAeUtf8, "M" + kAeUtf8 + "NNER", true},
        {"M" + kAeUtf8, "M" + kAeWindows1252 + "NNER", true},
        // Invalid UTF-8 elsewhere makes it a Windows-1252 line, where the
        // UTF-8 bytes of the text are two other characters.
        {"M" + kAeUtf8, "M" + kAeUtf8 + "NNER \xFC", false},
        // Valid UTF-8 (U+0100) that holds the Windows-1252 byte of the text.
        {kAeUtf8, "\xC4\x80", false},
        {kOmegaUtf8, "X" + kOmegaUtf8, true},
        {kOmegaUtf8, "X" + kOmegaUtf8 + "\xFC", false},
        {"A\0B"s, "QA\0B"s, true},
        {"A\0B"s, "QAB"s, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SearchPattern::fromUtf8(c.text).matches(c.line), c.hit)
            << ::testing::PrintToString(c.text) << " in " << ::testing::PrintToString(c.line);
    }
}

TEST(SearchPatternFromUtf8, KeepsBothForms) {
    const SearchPattern ascii = SearchPattern::fromUtf8("QQ1AB");
    EXPECT_EQ(ascii.utf8, "QQ1AB");
    EXPECT_EQ(ascii.windows1252, "QQ1AB");
    const SearchPattern umlaut = SearchPattern::fromUtf8(kAeUtf8);
    EXPECT_EQ(umlaut.utf8, kAeUtf8);
    EXPECT_EQ(umlaut.windows1252, kAeWindows1252);
    EXPECT_FALSE(SearchPattern::fromUtf8(kOmegaUtf8).windows1252.has_value());
}

struct ScanCase {
    const char* name;
    std::string content;
    std::string text;
    std::vector<std::string> hits;
};

// Each file is scanned with blocks from one byte up, so that every line end,
// CR LF pair and occurrence also falls across a block boundary.
class ScanForHits : public ::testing::TestWithParam<std::tuple<ScanCase, std::size_t>> {
protected:
    TempFolder folder_;
};

TEST_P(ScanForHits, FindsTheLinesThatHoldTheText) {
    const auto& [c, blockSize] = GetParam();
    const std::filesystem::path file = folder_.write("ms1.txt", c.content);
    const SearchedLines result = scan(file, c.text, blockSize);
    EXPECT_EQ(result.outcome.end, ScanEnd::EndOfFile);
    EXPECT_EQ(result.outcome.hits, c.hits.size());
    EXPECT_EQ(result.lines, c.hits);
    EXPECT_EQ(referenceHits(file, c.text), c.hits) << "the reference disagrees with the table";
}

const std::vector<ScanCase> kScanCases = {
    {"CrLf",
     "CALL;LOC\r\nQQ1AB;JO62\r\nQQ2CD;JO70\r\nQQ3EF;JO65\r\n",
     "JO6",
     {"QQ1AB;JO62", "QQ3EF;JO65"}},
    {"LfOnly",
     "CALL;LOC\nQQ1AB;JO62\nQQ2CD;JO70\nQQ3EF;JO65\n",
     "JO6",
     {"QQ1AB;JO62", "QQ3EF;JO65"}},
    {"CrOnly",
     "CALL;LOC\rQQ1AB;JO62\rQQ2CD;JO70\rQQ3EF;JO65\r",
     "JO6",
     {"QQ1AB;JO62", "QQ3EF;JO65"}},
    {"MixedLineEnds", "H\rA1\nB1\r\nA2\n\rA3\r\r\nA4", "A", {"A1", "A2", "A3", "A4"}},
    {"OnlyTheHeadingHolds", "CALL;JO62\r\nQQ1AB;KP20\r\n", "JO62", {}},
    {"HeadingWithoutLineEnd", "CALL;JO62", "JO62", {}},
    {"EmptyFile", "", "JO62", {}},
    {"HeadingThenEmptyLine", "CALL\r\n\r\n", "JO", {}},
    {"LastLineWithoutLineEnd", "H\r\nQQ1AB;KP20\r\nQQ2CD;JO62", "JO62", {"QQ2CD;JO62"}},
    {"LastLineEndsInLoneCr", "H\r\nQQ2CD;JO62\r", "JO62", {"QQ2CD;JO62"}},
    {"AcrossAFieldSeparator", "H\nQQ1AB;JO62;X\nQQ1AB JO62\n", "AB;JO", {"QQ1AB;JO62;X"}},
    {"InnerBlankCounts", "H\nQQ1 AB\nQQ1AB\n", "1 A", {"QQ1 AB"}},
    {"CaseSensitive", "H\njo62\nJo62\nJO62\n", "JO62", {"JO62"}},
    {"LongerThanEveryLine", "H\nAB\nCD\nABC\n", "ABCD", {}},
    {"NeverAcrossALineEnd", "H\nXAB\nCDX\nXAB\r\nCDX\n", "ABCD", {}},
    {"SeveralTimesInALineIsOneHit", "H\nJOJOJO;JO\nX\nJO\n", "JO", {"JOJOJO;JO", "JO"}},
    {"WholeLineIsTheText", "H\nJO\r\nJO\rJO", "JO", {"JO", "JO", "JO"}},
    {"NulBytesAreOrdinary", "H\0\nQQ\0JO62\nQQ JO62\n\0\0\n"s, "Q\0J"s, {"QQ\0JO62"s}},
    {"NulOnlyText", "H\n\0\nA\n\0\0\n"s, "\0"s, {"\0"s, "\0\0"s}},
    {"TextWithLineBreakNeverHits", "H\nA\nB\nA\r\nB\n", "A\nB", {}},
    {"Windows1252LineFoundByItsForm",
     "H\nM\xC4NNER \xFC\nMANNER\n",
     "M" + kAeUtf8,
     {"M\xC4NNER \xFC"}},
    {"Utf8LineFoundByItsForm",
     "H\nM" + kAeUtf8 + "NNER\nMANNER\n",
     "M" + kAeUtf8,
     {"M" + kAeUtf8 + "NNER"}},
    {"Utf8BytesInAWindows1252LineAreNoHit",
     "H\nM" + kAeUtf8 + "NNER \xFC\nX" + kAeUtf8 + "\n",
     kAeUtf8,
     {"X" + kAeUtf8}},
    {"Windows1252ByteInAUtf8LineIsNoHit", "H\n\xC4\x80\n\xC4\n", kAeUtf8, {"\xC4"}},
    {"BothFormsInOneFile",
     "H\xC4\n\xC4 1\nA\n" + kAeUtf8 + " 2\n\xC3\xC4\n",
     kAeUtf8,
     {"\xC4 1", kAeUtf8 + " 2", "\xC3\xC4"}},
    {"TextWithoutWindows1252Form",
     "H\nX" + kOmegaUtf8 + "\nX" + kOmegaUtf8 + "\xFC\n",
     kOmegaUtf8,
     {"X" + kOmegaUtf8}},
    {"ByteOrderMark", kBom + "CALL;JO62\r\nQQ1AB;JO62\r\n", "JO62", {"QQ1AB;JO62"}},
    {"ByteOrderMarkOnly", kBom, "JO62", {}},
    {"EmptyTextHitsEveryLineButTheFirst", "H\r\n\r\nA\n\nB", "", {"", "A", "", "B"}},
    {"EmptyTextAfterBom", kBom + "H\nA\n", "", {"A"}},
    {"EmptyTextHeadingOnly", "H\r\n", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ScanForHits,
                         ::testing::Combine(::testing::ValuesIn(kScanCases),
                                            ::testing::Values(1, 2, 3, 4, 5, 7, 16,
                                                              kSearchBlockSize)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_block" +
                                    std::to_string(std::get<1>(info.param));
                         });

class ScanEnds : public ::testing::Test {
protected:
    TempFolder folder_;
};

TEST_F(ScanEnds, StopsWhenTheHandlerSaysSo) {
    const auto file = folder_.write("ms1.txt", "H\nJO1\nX\nJO2\nJO3\n");
    for (const std::size_t blockSize : {std::size_t{1}, std::size_t{3}, kSearchBlockSize}) {
        const SearchedLines first = scan(file, "JO", blockSize, 1);
        EXPECT_EQ(first.outcome.end, ScanEnd::Stopped);
        EXPECT_EQ(first.outcome.hits, 1U);
        EXPECT_EQ(first.lines, std::vector<std::string>{"JO1"});
        const SearchedLines second = scan(file, "JO", blockSize, 2);
        EXPECT_EQ(second.outcome.end, ScanEnd::Stopped);
        EXPECT_EQ(second.lines, (std::vector<std::string>{"JO1", "JO2"}));
    }
    const SearchedLines everyLine = scan(file, "", kSearchBlockSize, 2);
    EXPECT_EQ(everyLine.outcome.end, ScanEnd::Stopped);
    EXPECT_EQ(everyLine.lines, (std::vector<std::string>{"JO1", "X"}));
}

TEST_F(ScanEnds, StoppingAtTheLastHitStillCountsAsStopped) {
    const auto file = folder_.write("ms1.txt", "H\nJO1\n");
    EXPECT_EQ(scan(file, "JO", kSearchBlockSize, 1).outcome.end, ScanEnd::Stopped);
}

TEST_F(ScanEnds, AFileThatCannotBeOpenedFailsWithoutHits) {
    const std::filesystem::path missing = folder_.path() / "ms404.txt";
    for (const std::filesystem::path& file : {missing, folder_.path()}) {
        for (const char* text : {"JO", ""}) {
            const SearchedLines result = scan(file, text);
            EXPECT_EQ(result.outcome.end, ScanEnd::ReadFailed) << file;
            EXPECT_EQ(result.outcome.hits, 0U);
            EXPECT_TRUE(result.lines.empty());
        }
    }
    const ScanOutcome viaPath =
        scanForHits(missing, SearchPattern::fromUtf8("JO"), [](std::string_view) { return true; });
    EXPECT_EQ(viaPath.end, ScanEnd::ReadFailed);
}

// Random files over a small alphabet rich in line ends, separators, NUL and
// the bytes of Ä in both encodings, scanned with random block sizes.
TEST(ScanForHitsRandomized, AgreesWithTheLineByLineReference) {
    const TempFolder folder;
    const std::string alphabet = "AB;\r\n\0\xC4\xC3\x84 "s;
    const std::array<std::string, 6> textPieces = {"A", "B", ";", kAeUtf8, " ", "\0"s};
    const std::array<std::size_t, 8> blockSizes = {1, 2, 3, 4, 5, 8, 16, 64};
    for (const unsigned seed : {1U, 2U, 3U}) {
        std::mt19937 random(seed);
        for (int round = 0; round < 150; ++round) {
            std::string content = random() % 8 == 0 ? kBom : "";
            for (std::size_t i = 0, n = random() % 160; i < n; ++i) {
                content += alphabet[random() % alphabet.size()];
            }
            std::string text;
            for (std::size_t i = 0, n = random() % 4; i < n; ++i) {
                text += textPieces[random() % textPieces.size()];
            }
            const std::size_t blockSize = blockSizes[random() % blockSizes.size()];
            const auto file = folder.write("ms1.txt", content);
            const SearchedLines result = scan(file, text, blockSize);
            const std::vector<std::string> expected = referenceHits(file, text);
            ASSERT_EQ(result.lines, expected)
                << "seed " << seed << " round " << round << " block " << blockSize << " text "
                << ::testing::PrintToString(text) << " file " << ::testing::PrintToString(content);
            ASSERT_EQ(result.outcome.end, ScanEnd::EndOfFile);
            ASSERT_EQ(result.outcome.hits, expected.size());
        }
    }
}

// Longer files and lines over an alphabet of few letters: the texts' first and
// last bytes turn up everywhere, so nearly every position is a near miss, and
// the bulk search over many bytes at once has to sort them out.
TEST(ScanForHitsRandomized, AgreesOnLongLinesFullOfNearMisses) {
    const TempFolder folder;
    const std::array<std::size_t, 5> blockSizes = {61, 100, 1000, 4096, kSearchBlockSize};
    for (const unsigned seed : {7U, 8U}) {
        std::mt19937 random(seed);
        for (int round = 0; round < 25; ++round) {
            std::string content;
            for (std::size_t i = 0, n = 2000 + random() % 20000; i < n; ++i) {
                const unsigned pick = random() % 400;
                content += pick == 0 ? '\n' : pick == 1 ? '\r' : static_cast<char>('A' + pick % 3);
            }
            std::string text;
            for (std::size_t i = 0, n = 2 + random() % 7; i < n; ++i) {
                text += static_cast<char>('A' + random() % 3);
            }
            const std::size_t blockSize = blockSizes[random() % blockSizes.size()];
            const auto file = folder.write("ms1.txt", content);
            const SearchedLines result = scan(file, text, blockSize);
            ASSERT_EQ(result.lines, referenceHits(file, text))
                << "seed " << seed << " round " << round << " block " << blockSize << " text "
                << text;
            ASSERT_EQ(result.outcome.end, ScanEnd::EndOfFile);
        }
    }
}

} // namespace
} // namespace kelmora
