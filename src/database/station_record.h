// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace kelmora {

inline constexpr std::size_t kStationFieldCount = 8;

// Whether one double quote is taken off each end of a field after splitting.
enum class QuoteRemoval { Remove, Keep };

// The eight fields of one database line, numbered 1 to 8 by the program and
// 0 to 7 here. The fields view the bytes of the line they were split from, so
// a record must not outlive that line.
struct StationRecord {
    std::array<std::string_view, kStationFieldCount> fields;

    std::string_view field(std::size_t number) const { return fields.at(number - 1); }
};

// Fills slots[0] .. slots[n-1] with fields 1 .. n of the line. Every ";"
// separates (there is no escaping); when a line runs out of ";" the next field
// is looked for from the start of the line again, so short lines repeat their
// fields in order. Positions are size_t: lines of any length split alike.
void splitFields(std::string_view line, std::span<std::string_view> slots, QuoteRemoval quotes);

// Takes at most one double quote off the start and then at most one off the
// end of the field as it then stands.
inline std::string_view removeEnclosingQuotes(std::string_view field) {
    if (!field.empty() && field.front() == '"') {
        field.remove_prefix(1);
    }
    if (!field.empty() && field.back() == '"') {
        field.remove_suffix(1);
    }
    return field;
}

// The eight fields of a line, each with its enclosing quotes removed.
StationRecord splitStationLine(std::string_view line);

} // namespace kelmora
