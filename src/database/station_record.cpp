// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/station_record.h"

#include <cstring>

namespace kelmora {
namespace {

// The C library's search: string_view::find looks at one byte at a time.
std::size_t findSeparator(std::string_view line, std::size_t start) {
    if (start >= line.size()) {
        return std::string_view::npos;
    }
    const void* found = std::memchr(line.data() + start, ';', line.size() - start);
    return found == nullptr
               ? std::string_view::npos
               : static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
}

} // namespace

void splitFields(std::string_view line, std::span<std::string_view> slots, QuoteRemoval quotes) {
    std::size_t start = 0;
    for (std::string_view& slot : slots) {
        const std::size_t separator = findSeparator(line, start);
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
