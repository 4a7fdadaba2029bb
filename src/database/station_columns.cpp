// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/station_columns.h"

#include "database/ascii.h"
#include "database/station_record.h"

#include <algorithm>
#include <array>
#include <span>

namespace kelmora {

namespace {

using Headings = std::array<std::string_view, kStationFieldCount>;

bool isCallsignHeading(std::string_view heading) {
    return ascii::equalsIgnoringCase(heading, "CALL");
}

} // namespace

bool isStationHeadingLine(std::string_view line) {
    if (line.find(';') == std::string_view::npos) {
        return false;
    }
    Headings headings;
    splitFields(line, headings, QuoteRemoval::Keep);
    return std::any_of(headings.begin(), headings.end(), isCallsignHeading);
}

void StationColumns::takeHeadingLine(std::string_view line) {
    if (!hasHeadingLine_) {
        return;
    }
    Headings headings;
    splitFields(line, headings, QuoteRemoval::Keep);
    callsignField_.reset();
    locatorField_.reset();
    for (std::size_t field = 0; field < headings.size(); ++field) {
        // Later matches overwrite earlier ones: the rightmost heading wins.
        if (isCallsignHeading(headings[field])) {
            callsignField_ = field;
        }
        if (ascii::equalsIgnoringCase(headings[field], "LOCATOR")) {
            locatorField_ = field;
        }
    }
}

StationColumns::Fields StationColumns::fieldsOf(std::string_view line) const {
    // The line is split as far as the farther of the two columns, so that both
    // come from the line itself whichever of them stands first.
    std::array<std::string_view, kStationFieldCount> fields{};
    const std::size_t fieldsNeeded =
        std::max(callsignField_.value_or(0) + 1, locatorField_.value_or(0) + 1);
    splitFields(line, std::span(fields).first(fieldsNeeded), QuoteRemoval::Remove);
    const auto fieldOf = [&fields](std::optional<std::size_t> index) {
        return index ? fields[*index] : std::string_view();
    };
    return {fieldOf(callsignField_), fieldOf(locatorField_)};
}

} // namespace kelmora
