// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"
#include "database/input_file.h"
#include "database/lookup_station.h"
#include "database/station_columns.h"
#include "database/station_scanner.h"
#include "geo/packed_locator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::geo {

// What the map keeps of one station of the database: 20 bytes.
class MapStation {
public:
    // The callsign in upper case.
    std::string_view call() const;
    PackedLocator locator() const;
    // Where the station's line starts in the file, in bytes.
    std::uint64_t lineOffset() const;

    // Lines that start this far into a file are beyond the map's reach.
    static constexpr std::uint64_t kFarthestOffset = (std::uint64_t{1} << 37) - 1;

    MapStation() = default;
    // lineOffset at most kFarthestOffset.
    MapStation(const LookupStation& station, PackedLocator locator, std::uint64_t lineOffset);

private:
    std::array<char, LookupStation::kLongestCall> call_{}; // the rest filled with NUL bytes
    // The packed locator in bits 0-26, bits 32-36 of the offset in 27-31.
    std::uint32_t locatorAndOffsetHigh_ = 0;
    std::uint32_t offsetLow_ = 0;
};

// Why a line of the database is, or is not, a station of the map: the rules
// of the station lists (LookupStation::check), and a locator that is a place
// on the map (isLocator: not "RR73", which is a word of the digital modes).
using StationVerdict = LookupStation::Verdict;

// The stations of one database as the map shows them, read in one pass with
// the same column finding and station rules as the station lists: every
// line after the first whose callsign and locator fields make a station.
// The stations stay in the order of the file.
class MapStations {
public:
    enum class Status {
        Read,            // the whole file was read
        NoLocatorColumn, // the heading line names no "LOCATOR" column: no stations
        NoCallColumn,    // the heading line names no "CALL" column: no stations
        ReadFailed,      // the file could not be opened or read (see error()): no stations
    };

    MapStations() = default;

    // hasHeadingLine: whether the database's first line holds its headings,
    // as the window found when it opened the database.
    static MapStations read(const std::filesystem::path& database, bool hasHeadingLine);
    // From an open file, read in blocks of the given size: any size gives
    // the same stations.
    static MapStations read(InputFile file, bool hasHeadingLine,
                            std::size_t blockSize = StationScanner::kDefaultBlockSize);

    Status status() const { return status_; }
    const FileError& error() const { return error_; }

    std::span<const MapStation> stations() const { return stations_; }
    std::size_t size() const { return stations_.size(); }
    // Lines after the first that are no station of the map (among them any
    // that start beyond MapStation::kFarthestOffset).
    std::uint64_t linesLeftOut() const { return linesLeftOut_; }

    // The stations at one locator, in the order of the file (indexes into
    // stations()). Looks through all stations: a few milliseconds for a
    // million.
    std::vector<std::size_t> stationsAt(PackedLocator locator) const;
    // The station whose line starts at the offset, if any.
    std::optional<std::size_t> stationAtOffset(std::uint64_t lineOffset) const;

    // Checks one line of this database (a search hit, say) as the reading
    // did; fills station, with the given offset, when the line is a station.
    StationVerdict checkLine(std::string_view line, std::uint64_t lineOffset,
                             MapStation& station) const;

    // A station's whole line again, read from the file at its offset.
    struct Line {
        enum class Status {
            Read,       // text holds the station's line, without its line end
            Changed,    // the file no longer holds the station there
            ReadFailed, // see error
        };
        Status status = Status::Read;
        std::string text;
        FileError error;
    };
    // From the database file the stations were read from (none when they
    // were read from an open file)...
    Line lineOf(std::size_t station) const;
    // ...or from the given file, which must hold the same bytes.
    Line lineOf(std::size_t station, InputFile& file) const;

    // The memory the stations hold, in bytes.
    std::size_t memoryBytes() const { return stations_.capacity() * sizeof(MapStation); }

private:
    explicit MapStations(bool hasHeadingLine) : columns_(hasHeadingLine) {}
    void readAll(StationScanner& scanner, std::uint64_t fileSize);
    void reserveFor(std::span<const StationScanner::Line> firstLines, std::uint64_t fileSize);
    // The map's station of what the station lists' check gave: not one where
    // the locator is no place on the map.
    static StationVerdict toMapStation(StationVerdict verdict, const LookupStation& checked,
                                       std::uint64_t lineOffset, MapStation& station);
    void failed(const FileError& error);

    std::filesystem::path database_;
    StationColumns columns_{true};
    Status status_ = Status::Read;
    FileError error_;
    std::vector<MapStation> stations_;
    std::uint64_t linesLeftOut_ = 0;
};

} // namespace kelmora::geo
