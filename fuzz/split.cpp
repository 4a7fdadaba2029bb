// SPDX-License-Identifier: GPL-3.0-or-later
// Input: one byte for the number of slots, then the line.
//
// splitStationLine and splitFields must give the fields of the split rule as
// written: wrap-around to the start of the line when the ";" run out, and at
// most one double quote off each end of a field.

#include "database/station_record.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::fuzz {
namespace {

// The fields are views: they must lie inside the line they came from.
bool liesInside(std::string_view field, std::string_view line) {
    return field.data() >= line.data() && field.data() + field.size() <= line.data() + line.size();
}

void checkFields(std::span<const std::string_view> fields, std::string_view line,
                 const std::vector<std::string>& expected) {
    require(fields.size() == expected.size(), "wrong number of fields");
    for (std::size_t i = 0; i < fields.size(); ++i) {
        require(fields[i] == expected[i], "a field differs from the split rule");
        require(fields[i].empty() || liesInside(fields[i], line),
                "a field points outside its line");
    }
}

void checkStationLine(std::string_view line) {
    const StationRecord record = splitStationLine(line);
    checkFields(record.fields, line, referenceSplit(line, kStationFieldCount, true));
}

// The export splits only up to its locator column, so any number of slots.
void checkSlots(std::string_view line, std::size_t count) {
    std::vector<std::string_view> slots(count);
    splitFields(line, slots, QuoteRemoval::Keep);
    checkFields(slots, line, referenceSplit(line, count, false));
}

void checkQuoteRemoval(std::string_view text) {
    require(removeEnclosingQuotes(text) == referenceRemoveQuotes(std::string(text)),
            "quote removal differs");
}

} // namespace
} // namespace kelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmora::fuzz;
    InputBytes input(data, size);
    const std::size_t slotCount = input.byte() % 20;
    const std::string_view line = input.rest();
    checkStationLine(line);
    checkSlots(line, slotCount);
    checkQuoteRemoval(line);
    return 0;
}
