// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/station_columns.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelmora {

enum class StationSelection {
    All,        // every station whose callsign holds no "/"
    Fsk441Only, // of those, the lines that mention FSK441, JT44 or WSJT
};

// Turns database lines into the lines of the WSJT callsign list: the callsign
// in 7 characters and the locator in 6, then CR LF. Pure formatting, no files.
class CallsignListFormatter {
public:
    CallsignListFormatter(bool hasHeadingLine, StationSelection selection);

    // Feeds the next line of the database, without its line end. The first
    // line fed is the heading line; it is never written. Appends the list
    // line of a selected station to out.
    void addLine(std::string_view line, std::string& out);

    std::uint64_t stationsWritten() const { return stationsWritten_; }

private:
    void addStationLine(std::string_view line, std::string& out);
    bool isSelected(std::string_view line, std::string_view callsign) const;

    StationColumns columns_;
    StationSelection selection_;
    bool headingSeen_ = false;
    std::uint64_t stationsWritten_ = 0;
};

} // namespace kelmora
