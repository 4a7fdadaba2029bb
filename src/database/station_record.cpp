// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/station_record.h"

namespace kelmora {

std::string_view removeEnclosingQuotes(std::string_view field) {
    if (!field.empty() && field.front() == '"') {
        field.remove_prefix(1);
    }
    if (!field.empty() && field.back() == '"') {
        field.remove_suffix(1);
    }
    return field;
}

void splitFields(std::string_view line, std::span<std::string_view> slots, QuoteRemoval quotes) {
    std::size_t start = 0;
    for (std::string_view& slot : slots) {
        const std::size_t separator = line.find(';', start);
        if (separator != std::string_view::npos) {
            slot = line.substr(start, separator - start);
            start = separator + 1;
        } else {
            // No separator left: this field is the rest of the line and the
            // next one is looked for from the start of the line again.
            slot = line.substr(start);
            start = 0;
        }
        if (quotes == QuoteRemoval::Remove) {
            slot = removeEnclosingQuotes(slot);
        }
    }
}

StationRecord splitStationLine(std::string_view line) {
    StationRecord record;
    splitFields(line, record.fields, QuoteRemoval::Remove);
    return record;
}

} // namespace kelmora
