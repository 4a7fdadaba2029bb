// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/station_fields.h"

#include "database/ascii.h"
#include "database/station_record.h"
#include "database/text_encoding.h"

#include <algorithm>

namespace kelmora::candidates {

FieldLayout::FieldLayout(const StationColumns& columns)
    : callField_(columns.callsignField().value_or(0)),
      locatorField_(columns.locatorField().value_or(2)) {
    for (std::size_t field = 0; field < kStationFieldCount; ++field) {
        if (field != callField_ && field != locatorField_) {
            otherFields_.push_back(field);
        }
    }
}

std::vector<std::string> shownFields(std::string_view line) {
    const StationRecord record = splitStationLine(line);
    const LineEncoding encoding = encodingOfLine(line);
    std::vector<std::string> fields;
    fields.reserve(record.fields.size());
    for (const std::string_view field : record.fields) {
        fields.push_back(toDisplayUtf8(field, encoding));
    }
    return fields;
}

std::string shownField(std::string_view line, std::size_t field) {
    return toDisplayUtf8(splitStationLine(line).fields.at(field), encodingOfLine(line));
}

std::string sortingText(std::string_view shownField) {
    std::string text(ascii::trimBlanks(shownField));
    std::transform(text.begin(), text.end(), text.begin(), ascii::toUpper);
    return text;
}

} // namespace kelmora::candidates
