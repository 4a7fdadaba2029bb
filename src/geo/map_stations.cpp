// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/map_stations.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kelmora::geo {
namespace {

// A station's line is seldom shorter: the stations of a large file then fit
// into the room set aside at the start, without the copies of growing.
constexpr std::uint64_t kShortLineBytes = 64;
// Room left unused beyond this share of the stations is given back.
constexpr std::size_t kSpareShare = 8;
// A line read again by its offset is read in pieces of this size.
constexpr std::size_t kLinePiece = 4096;

std::size_t lineEnd(std::string_view bytes) {
    return std::min(bytes.find('\n'), bytes.find('\r'));
}

} // namespace

namespace {

constexpr std::uint32_t kLocatorMask = (std::uint32_t{1} << PackedLocator::kBitsUsed) - 1;

} // namespace

MapStation::MapStation(const LookupStation& station, PackedLocator locator,
                       std::uint64_t lineOffset)
    : locatorAndOffsetHigh_(locator.code() | static_cast<std::uint32_t>(
                                                 lineOffset >> 32 << PackedLocator::kBitsUsed)),
      offsetLow_(static_cast<std::uint32_t>(lineOffset)) {
    std::copy(station.call().begin(), station.call().end(), call_.begin());
}

std::string_view MapStation::call() const {
    const auto end = std::find(call_.begin(), call_.end(), '\0');
    return {call_.data(), static_cast<std::size_t>(end - call_.begin())};
}

PackedLocator MapStation::locator() const {
    return PackedLocator(locatorAndOffsetHigh_ & kLocatorMask);
}

std::uint64_t MapStation::lineOffset() const {
    return (std::uint64_t{locatorAndOffsetHigh_ >> PackedLocator::kBitsUsed} << 32) | offsetLow_;
}

MapStations MapStations::read(const std::filesystem::path& database, bool hasHeadingLine) {
    MapStations stations = read(InputFile(database), hasHeadingLine);
    stations.database_ = database;
    return stations;
}

MapStations MapStations::read(InputFile file, bool hasHeadingLine) {
    MapStations stations(hasHeadingLine);
    if (!file.isOpen()) {
        stations.status_ = Status::ReadFailed;
        stations.error_ = file.error();
        return stations;
    }
    stations.stations_.reserve(static_cast<std::size_t>(file.size() / kShortLineBytes));
    LineReader reader(std::move(file));
    stations.readLines(reader);
    if (reader.failed()) {
        stations.status_ = Status::ReadFailed;
        stations.error_ = reader.error();
        stations.stations_ = {};
        stations.linesLeftOut_ = 0;
    }
    if (stations.stations_.capacity() - stations.stations_.size() >
        stations.stations_.size() / kSpareShare) {
        stations.stations_.shrink_to_fit();
    }
    return stations;
}

void MapStations::readLines(LineReader& reader) {
    std::string_view line;
    if (!reader.next(line)) {
        return;
    }
    columns_.takeHeadingLine(line);
    if (!columns_.hasLocatorColumn()) {
        status_ = Status::NoLocatorColumn;
        return;
    }
    if (!columns_.hasCallsignColumn()) {
        status_ = Status::NoCallColumn;
        return;
    }
    MapStation station;
    while (reader.next(line)) {
        if (reader.lineOffset() <= MapStation::kFarthestOffset &&
            checkLine(line, reader.lineOffset(), station) == StationVerdict::Taken) {
            stations_.push_back(station);
        } else {
            ++linesLeftOut_;
        }
    }
}

StationVerdict MapStations::checkLine(std::string_view line, std::uint64_t lineOffset,
                                      MapStation& station) const {
    const StationColumns::Fields fields = columns_.fieldsOf(line);
    LookupStation checked;
    const StationVerdict verdict = LookupStation::check(fields.callsign, fields.locator, checked);
    if (verdict != StationVerdict::Taken) {
        return verdict;
    }
    const std::optional<PackedLocator> locator = PackedLocator::pack(checked.grid());
    if (!locator) {
        return StationVerdict::InvalidLocator;
    }
    station = MapStation(checked, *locator, lineOffset);
    return StationVerdict::Taken;
}

std::vector<std::size_t> MapStations::stationsAt(PackedLocator locator) const {
    std::vector<std::size_t> found;
    for (std::size_t index = 0; index < stations_.size(); ++index) {
        if (stations_[index].locator() == locator) {
            found.push_back(index);
        }
    }
    return found;
}

std::optional<std::size_t> MapStations::stationAtOffset(std::uint64_t lineOffset) const {
    // The stations keep the order of the file, so their offsets rise.
    const auto found = std::lower_bound(stations_.begin(), stations_.end(), lineOffset,
                                        [](const MapStation& station, std::uint64_t offset) {
                                            return station.lineOffset() < offset;
                                        });
    if (found == stations_.end() || found->lineOffset() != lineOffset) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - stations_.begin());
}

MapStations::Line MapStations::lineOf(std::size_t station) const {
    InputFile file(database_);
    return lineOf(station, file);
}

MapStations::Line MapStations::lineOf(std::size_t station, InputFile& file) const {
    Line line;
    const MapStation& wanted = stations_.at(station);
    std::array<char, kLinePiece> piece{};
    for (std::uint64_t at = wanted.lineOffset();;) {
        const std::size_t got = file.readAt(at, piece);
        if (file.error()) {
            return {Line::Status::ReadFailed, {}, file.error()};
        }
        const std::string_view bytes(piece.data(), got);
        const std::size_t end = lineEnd(bytes);
        line.text.append(bytes.substr(0, end));
        if (end != std::string_view::npos || got < piece.size()) {
            break;
        }
        at += got;
    }
    MapStation found;
    if (checkLine(line.text, wanted.lineOffset(), found) != StationVerdict::Taken ||
        found.call() != wanted.call() || found.locator() != wanted.locator()) {
        return {Line::Status::Changed, {}, {}};
    }
    return line;
}

} // namespace kelmora::geo
