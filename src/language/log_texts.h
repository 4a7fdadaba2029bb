// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"
#include "log/bands.h"
#include "log/log_book.h"

#include <cstdint>
#include <string>
#include <string_view>

// The texts of the user's log in the map window: the log's dialog, its
// status line, the band chooser, the statuses, the candidates' table with
// its filter and statistics, and the map's legend. Files and reasons come in
// as UTF-8, already decoded for display.
namespace kelmora::log_texts {

// The log's open dialog and its file types, in the form Qt's file dialog reads.
std::string dialogTitle(Language language);
std::string fileFilters(Language language);

// "2 m" ... "23 cm", and all bands together.
std::string bandName(Language language, log::Band band);
std::string bandChooserToolTip(Language language);

// A station's status, as the table, the filter and the legend name it.
std::string statusName(Language language, log::StationStatus status);
// The same with its band, after the line of text above the map.
std::string statusOnBand(Language language, log::StationStatus status, log::Band band);

// The status line under the map.
std::string noLogChosen(Language language);
std::string readingLog(Language language, std::string_view file);
struct LogCounts {
    std::uint64_t qsosRead = 0;
    std::uint64_t recordsSkipped = 0;
};
std::string logRead(Language language, std::string_view file, const LogCounts& counts);
// Reading stopped part-way: what was read until then counts.
std::string logReadUntilFailure(Language language, std::string_view file, const LogCounts& counts,
                                std::string_view reason);
std::string logNotOpened(Language language, std::string_view file, std::string_view reason);

// The table's own columns; the others take the database's headings.
std::string distanceHeading(Language language);
std::string headingHeading(Language language);
std::string statusHeading(Language language);

// The filter and what it lets through.
std::string distanceFrom(Language language);
std::string distanceTo(Language language);
std::string stationsShown(Language language, std::uint64_t shown, std::uint64_t all);
std::string workingOutDistances(Language language);
std::string sortingTable(Language language);

// The squares worked and confirmed on the band, and how many new ones the
// database offers within the range.
std::string statistics(Language language, log::Band band, std::uint64_t worked,
                       std::uint64_t confirmed, std::uint64_t newInRange,
                       const log::DistanceRange& range);

// Copying and saving the table.
std::string copyRows(Language language);
std::string saveTable(Language language);
std::string saveDialogTitle(Language language);
std::string tableFilters(Language language);
MessageText tableNotSaved(Language language, std::string_view file, std::string_view reason);

// The map's legend: the squares' shades.
std::string squareWorked(Language language);
std::string squareConfirmed(Language language);

} // namespace kelmora::log_texts
