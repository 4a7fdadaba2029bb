// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/station_columns.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::candidates {

// The fields of a station's line that the table shows beside its call and
// locator, which it shows in columns of their own: the eight fields as the
// main window splits the line, but those two.
class FieldLayout {
public:
    FieldLayout() = default;
    explicit FieldLayout(const StationColumns& columns);

    // The other fields, by their place among the eight (0 to 7).
    const std::vector<std::size_t>& otherFields() const { return otherFields_; }
    std::size_t callField() const { return callField_; }
    std::size_t locatorField() const { return locatorField_; }

private:
    std::size_t callField_ = 0;
    std::size_t locatorField_ = 2;
    std::vector<std::size_t> otherFields_;
};

// The eight fields of a line (the heading line too) as the main window shows
// them: split, their enclosing quotes removed, decoded by the line's
// encoding, in UTF-8.
std::vector<std::string> shownFields(std::string_view line);
// One of them (0 to 7).
std::string shownField(std::string_view line, std::size_t field);

// A field as it sorts: shown, without the blanks around it, ASCII letters
// in upper case.
std::string sortingText(std::string_view shownField);

} // namespace kelmora::candidates
