// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace kelmora {

// Where a database keeps its callsigns and locators, as every list made from
// it takes them: in the fields headed "CALL" and "LOCATOR" (in any letter
// case; the rightmost wins) when the database has a heading line, else in
// fields 1 and 3.
class StationColumns {
public:
    explicit StationColumns(bool hasHeadingLine) : hasHeadingLine_(hasHeadingLine) {}

    // Feeds the database's first line. Without a heading line it is skipped
    // all the same, and the columns stay 1 and 3.
    void takeHeadingLine(std::string_view line);

    // Whether the columns are known: false where the heading line names no
    // such column.
    bool hasCallsignColumn() const { return callsignField_.has_value(); }
    bool hasLocatorColumn() const { return locatorField_.has_value(); }
    // Which of the eight fields (0 to 7) holds each column, where known.
    std::optional<std::size_t> callsignField() const { return callsignField_; }
    std::optional<std::size_t> locatorField() const { return locatorField_; }

    struct Fields {
        std::string_view callsign;
        std::string_view locator;
    };
    // The two fields of a station line, each without its enclosing quotes;
    // empty for a column that no heading names. They view the line's bytes.
    Fields fieldsOf(std::string_view line) const;

private:
    bool hasHeadingLine_;
    std::optional<std::size_t> callsignField_ = 0;
    std::optional<std::size_t> locatorField_ = 2;
};

// Whether the line reads as the heading line of a station database: fields
// separated by ";", one of those that takeHeadingLine looks at headed "CALL".
bool isStationHeadingLine(std::string_view line);

} // namespace kelmora
