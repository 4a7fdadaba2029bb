// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/station_record.h"
#include "support/printing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora {
namespace {

using testing::PrintTo;

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> fields;
};

class SplitStationLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStationLine, YieldsTheEightFields) {
    const SplitCase& c = GetParam();
    const StationRecord record = splitStationLine(c.line);
    ASSERT_EQ(c.fields.size(), kStationFieldCount);
    for (std::size_t i = 0; i < kStationFieldCount; ++i) {
        EXPECT_EQ(record.fields[i], c.fields[i]) << "field " << i + 1;
    }
}

const std::string kQuote = "\"";

INSTANTIATE_TEST_SUITE_P(
    Shapes, SplitStationLine,
    ::testing::Values(
        SplitCase{"EightFields", "A;B;C;D;E;F;G;H", {"A", "B", "C", "D", "E", "F", "G", "H"}},
        SplitCase{"TenFieldsShowFirstEight",
                  "A;B;C;D;E;F;G;H;I;J",
                  {"A", "B", "C", "D", "E", "F", "G", "H"}},
        SplitCase{
            "SevenFieldsRepeatTheFirst", "A;B;C;D;E;F;G", {"A", "B", "C", "D", "E", "F", "G", "A"}},
        SplitCase{"ClosingSeparatorEmptiesField8",
                  "A;B;C;D;E;F;G;",
                  {"A", "B", "C", "D", "E", "F", "G", ""}},
        SplitCase{"ThreeFieldsWrapAround", "A;B;C", {"A", "B", "C", "A", "B", "C", "A", "B"}},
        SplitCase{"NoSeparatorEightTimes",
                  "QQ1ABC JO62",
                  {"QQ1ABC JO62", "QQ1ABC JO62", "QQ1ABC JO62", "QQ1ABC JO62", "QQ1ABC JO62",
                   "QQ1ABC JO62", "QQ1ABC JO62", "QQ1ABC JO62"}},
        SplitCase{"EmptyLine", "", {"", "", "", "", "", "", "", ""}},
        SplitCase{"SevenSeparatorsOnly", ";;;;;;;", {"", "", "", "", "", "", "", ""}},
        SplitCase{"AdjacentSeparators", "A;;C;D;E;F;G;H", {"A", "", "C", "D", "E", "F", "G", "H"}},
        SplitCase{"QuotedFields",
                  "\"A\";\"B\";C\";\"D;\"\";\";\"x\"y\";H",
                  {"A", "B", "C", "D", "", "", "x\"y", "H"}},
        SplitCase{"ThreeQuotesBecomeOne",
                  "\"\"\";B;C;D;E;F;G;H",
                  {kQuote, "B", "C", "D", "E", "F", "G", "H"}},
        SplitCase{"SeparatorInsideQuotesStillSeparates",
                  "\"x;y\";B;C;D;E;F;G;H",
                  {"x", "y", "B", "C", "D", "E", "F", "G"}},
        SplitCase{
            "BlanksStay", " A ;B; C;D ;E;F;G;H", {" A ", "B", " C", "D ", "E", "F", "G", "H"}},
        SplitCase{"NoSeparatorWithQuotes",
                  "\"QQ1ABC\"",
                  {"QQ1ABC", "QQ1ABC", "QQ1ABC", "QQ1ABC", "QQ1ABC", "QQ1ABC", "QQ1ABC", "QQ1ABC"}},
        SplitCase{"NulBytesAreOrdinary",
                  std::string("A\0;B;C;D;E;F;G;H", 16),
                  {std::string("A\0", 2), "B", "C", "D", "E", "F", "G", "H"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitFields, HeadingSplitKeepsQuotes) {
    std::array<std::string_view, 3> slots;
    splitFields("\"Call\";x;\"Locator\"", slots, QuoteRemoval::Keep);
    EXPECT_EQ(slots[0], "\"Call\"");
    EXPECT_EQ(slots[2], "\"Locator\"");
}

TEST(SplitFields, LinesFarBeyondSixteenBitPositionsSplitAlike) {
    const std::string longField(100'000, 'x');
    const std::string line = longField + ";B;" + longField + ";D";
    const StationRecord record = splitStationLine(line);
    EXPECT_EQ(record.field(1), longField);
    EXPECT_EQ(record.field(2), "B");
    EXPECT_EQ(record.field(3), longField);
    EXPECT_EQ(record.field(4), "D");
    EXPECT_EQ(record.field(5), longField);
    EXPECT_EQ(record.field(8), "D");
}

} // namespace
} // namespace kelmora
