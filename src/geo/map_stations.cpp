// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/map_stations.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kelmora::geo {
namespace {

// Room for a few more stations than the first lines suggest, so that the
// stations are seldom moved while they are read...
constexpr std::uint64_t kReserveShare = 16;
// ...but never for more than the shortest station lines would give.
constexpr std::uint64_t kShortestLineBytes = 8;
// Room left unused beyond this share of the stations is given back.
constexpr std::size_t kSpareShare = 8;
// A line read again by its offset is read in pieces of this size.
constexpr std::size_t kLinePiece = 4096;
constexpr std::uint32_t kLocatorMask = (std::uint32_t{1} << PackedLocator::kBitsUsed) - 1;

std::size_t lineEnd(std::string_view bytes) {
    return std::min(bytes.find('\n'), bytes.find('\r'));
}

// Where the line's station lies on the map: nowhere when the lists leave it
// out, or its locator is no place, or its line starts beyond the map's reach.
std::optional<PackedLocator> placeOf(const StationScanner::Line& line) {
    if (line.verdict != StationVerdict::Taken || line.offset > MapStation::kFarthestOffset) {
        return std::nullopt;
    }
    return PackedLocator::packTaken(line.station.grid());
}

} // namespace

MapStation::MapStation(const LookupStation& station, PackedLocator locator,
                       std::uint64_t lineOffset)
    : call_(station.paddedCall()),
      locatorAndOffsetHigh_(locator.code() | static_cast<std::uint32_t>(
                                                 lineOffset >> 32 << PackedLocator::kBitsUsed)),
      offsetLow_(static_cast<std::uint32_t>(lineOffset)) {}

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

MapStations MapStations::read(InputFile file, bool hasHeadingLine, std::size_t blockSize) {
    MapStations stations(hasHeadingLine);
    const std::uint64_t fileSize = file.size();
    StationScanner scanner(std::move(file), hasHeadingLine, blockSize);
    stations.readAll(scanner, fileSize);
    return stations;
}

void MapStations::failed(const FileError& error) {
    status_ = Status::ReadFailed;
    error_ = error;
    stations_ = {};
    linesLeftOut_ = 0;
}

void MapStations::readAll(StationScanner& scanner, std::uint64_t fileSize) {
    if (!scanner.isOpen()) {
        failed(scanner.error());
        return;
    }
    if (!scanner.readFirstLine()) {
        if (scanner.failed()) {
            failed(scanner.error());
        }
        return;
    }
    columns_ = scanner.columns();
    if (!columns_.hasLocatorColumn()) {
        status_ = Status::NoLocatorColumn;
        return;
    }
    if (!columns_.hasCallsignColumn()) {
        status_ = Status::NoCallColumn;
        return;
    }
    for (auto lines = scanner.next(); !lines.empty(); lines = scanner.next()) {
        if (stations_.capacity() == 0) {
            reserveFor(lines, fileSize);
        }
        for (const StationScanner::Line& line : lines) {
            if (const std::optional<PackedLocator> locator = placeOf(line)) {
                stations_.emplace_back(line.station, *locator, line.offset);
            } else {
                ++linesLeftOut_;
            }
        }
    }
    if (scanner.failed()) {
        failed(scanner.error());
        return;
    }
    if (stations_.capacity() - stations_.size() > stations_.size() / kSpareShare) {
        stations_.shrink_to_fit();
    }
}

// Room for as many stations as the file holds lines like its first ones.
void MapStations::reserveFor(std::span<const StationScanner::Line> firstLines,
                             std::uint64_t fileSize) {
    if (firstLines.size() < 2) {
        return;
    }
    const std::uint64_t first = firstLines.front().offset;
    const std::uint64_t spanned = firstLines.back().offset - first;
    const std::uint64_t lineBytes = std::max(kShortestLineBytes, spanned / (firstLines.size() - 1));
    const std::uint64_t lines = (fileSize - std::min(fileSize, first)) / lineBytes + 1;
    stations_.reserve(static_cast<std::size_t>(lines + lines / kReserveShare));
}

StationVerdict MapStations::toMapStation(StationVerdict verdict, const LookupStation& checked,
                                         std::uint64_t lineOffset, MapStation& station) {
    if (verdict != StationVerdict::Taken) {
        return verdict;
    }
    const std::optional<PackedLocator> locator = PackedLocator::packTaken(checked.grid());
    if (!locator) {
        return StationVerdict::InvalidLocator;
    }
    station = MapStation(checked, *locator, lineOffset);
    return StationVerdict::Taken;
}

StationVerdict MapStations::checkLine(std::string_view line, std::uint64_t lineOffset,
                                      MapStation& station) const {
    const auto [callsign, locator] = columns_.fieldsOf(line);
    LookupStation checked;
    return toMapStation(LookupStation::check(callsign, locator, checked), checked, lineOffset,
                        station);
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
