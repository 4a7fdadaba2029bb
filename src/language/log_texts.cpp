// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/log_texts.h"

#include "language/map_texts.h"
#include "language/text_join.h"

namespace kelmora::log_texts {
namespace {

std::string count(Language language, std::uint64_t number, std::string_view one,
                  std::string_view many) {
    return concat({groupedNumber(language, number), " ", number == 1 ? one : many});
}

std::string counted(Language language, const LogCounts& counts) {
    if (german(language)) {
        return concat({count(language, counts.qsosRead, "QSO", "QSOs"), " gelesen, ",
                       count(language, counts.recordsSkipped, "Datensatz", "Datensätze"),
                       " übersprungen"});
    }
    return concat({count(language, counts.qsosRead, "QSO", "QSOs"), " read, ",
                   count(language, counts.recordsSkipped, "record", "records"), " skipped"});
}

std::string rangeText(Language language, const log::DistanceRange& range) {
    return concat({groupedNumber(language, static_cast<std::uint64_t>(range.nearestKm)), "–",
                   map_texts::kilometres(language, range.farthestKm)});
}

} // namespace

std::string dialogTitle(Language language) {
    return german(language) ? "Logbuch (ADIF) wählen" : "Choose the log (ADIF)";
}

std::string fileFilters(Language language) {
    return german(language) ? "ADIF-Logbücher (*.adi *.ADI);;Alle Dateien (*)"
                            : "ADIF logs (*.adi *.ADI);;All files (*)";
}

std::string bandName(Language language, log::Band band) {
    switch (band) {
    case log::Band::TwoMetres:
        return "2 m";
    case log::Band::SixMetres:
        return "6 m";
    case log::Band::FourMetres:
        return "4 m";
    case log::Band::SeventyCentimetres:
        return "70 cm";
    case log::Band::TwentyThreeCentimetres:
        return "23 cm";
    case log::Band::All:
        break;
    }
    return german(language) ? "alle Bänder" : "all bands";
}

std::string bandChooserToolTip(Language language) {
    return german(language) ? "Das Band, für das Karte, Tabelle und Statistik gelten"
                            : "The band the map, the table and the statistics are about";
}

std::string statusName(Language language, log::StationStatus status) {
    switch (status) {
    case log::StationStatus::NewGrid:
        return german(language) ? "Neues Mittelfeld" : "New grid";
    case log::StationStatus::NewCall:
        return german(language) ? "Neues Rufzeichen" : "New call";
    case log::StationStatus::Worked:
        return german(language) ? "Gearbeitet" : "Worked";
    case log::StationStatus::Confirmed:
        return german(language) ? "Bestätigt" : "Confirmed";
    case log::StationStatus::NoLocator:
        break;
    }
    return german(language) ? "Kein Locator" : "No locator";
}

std::string statusOnBand(Language language, log::StationStatus status, log::Band band) {
    if (band == log::Band::All) {
        return concat({statusName(language, status),
                       german(language) ? " auf allen Bändern" : " on all bands"});
    }
    return concat({statusName(language, status), german(language) ? " auf " : " on ",
                   bandName(language, band)});
}

std::string noLogChosen(Language language) {
    return german(language) ? "Kein Logbuch gewählt (Optionen > Logbuch (ADIF)...)"
                            : "No log chosen (Options > Log (ADIF)...)";
}

std::string readingLog(Language language, std::string_view file) {
    return concat({german(language) ? "Logbuch wird gelesen: " : "Reading the log: ", file});
}

std::string logRead(Language language, std::string_view file, const LogCounts& counts) {
    return concat({file, ":  ", counted(language, counts)});
}

std::string logReadUntilFailure(Language language, std::string_view file, const LogCounts& counts,
                                std::string_view reason) {
    return concat({file, ":  ", counted(language, counts),
                   german(language) ? ", dann Lesefehler: " : ", then reading failed: ", reason});
}

std::string logNotOpened(Language language, std::string_view file, std::string_view reason) {
    return concat(
        {file, german(language) ? " kann nicht gelesen werden: " : " cannot be read: ", reason});
}

std::string distanceHeading(Language language) {
    return german(language) ? "Entfernung" : "Distance";
}

std::string headingHeading(Language language) {
    return german(language) ? "Richtung" : "Heading";
}

std::string statusHeading(Language) {
    return "Status";
}

std::string distanceFrom(Language language) {
    return german(language) ? "Entfernung &von" : "Distance &from";
}

std::string distanceTo(Language language) {
    return german(language) ? "&bis" : "&to";
}

std::string stationsShown(Language language, std::uint64_t shown, std::uint64_t all) {
    return concat({groupedNumber(language, shown), german(language) ? " von " : " of ",
                   count(language, all, german(language) ? "Station" : "station",
                         german(language) ? "Stationen" : "stations")});
}

std::string workingOutDistances(Language language) {
    return german(language) ? "Entfernungen werden berechnet..." : "Working out the distances...";
}

std::string sortingTable(Language language) {
    return german(language) ? "Die Tabelle wird sortiert..." : "Sorting the table...";
}

std::string statistics(Language language, log::Band band, std::uint64_t worked,
                       std::uint64_t confirmed, std::uint64_t newInRange,
                       const log::DistanceRange& range) {
    if (german(language)) {
        return concat({bandName(language, band), ":  ",
                       count(language, worked, "Mittelfeld", "Mittelfelder"), " gearbeitet, ",
                       groupedNumber(language, confirmed), " bestätigt;  die Datenbank bietet ",
                       count(language, newInRange, "neues", "neue"), " in ",
                       rangeText(language, range)});
    }
    return concat({bandName(language, band), ":  ", count(language, worked, "grid", "grids"),
                   " worked, ", groupedNumber(language, confirmed),
                   " confirmed;  the database offers ", groupedNumber(language, newInRange),
                   " new within ", rangeText(language, range)});
}

std::string copyRows(Language language) {
    return german(language) ? "Zeilen &kopieren" : "&Copy rows";
}

std::string saveTable(Language language) {
    return german(language) ? "Als &CSV speichern..." : "Save as &CSV...";
}

std::string saveDialogTitle(Language language) {
    return german(language) ? "Tabelle als CSV speichern" : "Save the table as CSV";
}

std::string tableFilters(Language language) {
    return german(language) ? "CSV-Dateien (*.csv)" : "CSV files (*.csv)";
}

MessageText tableNotSaved(Language language, std::string_view file, std::string_view reason) {
    return {map_texts::windowTitle(language),
            joinLines({german(language) ? "Die Tabelle kann nicht gespeichert werden:"
                                        : "The table cannot be saved:",
                       file, reason})};
}

std::string squareWorked(Language language) {
    return german(language) ? "Mittelfeld gearbeitet" : "Grid worked";
}

std::string squareConfirmed(Language language) {
    return german(language) ? "Mittelfeld bestätigt" : "Grid confirmed";
}

} // namespace kelmora::log_texts
