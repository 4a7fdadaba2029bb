// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/map_stations.h"

#include <algorithm>
#include <array>
#include <thread>
#include <utility>

namespace kelmora::geo {
namespace {

// A station's line is about this long: the stations of a large file then
// mostly fit into the room set aside at the start, without the copies of
// growing.
constexpr std::uint64_t kTypicalLineBytes = 80;
// A file is read in parts of at least this size, one a core.
constexpr std::uint64_t kLeastPartBytes = 8 << 20;
constexpr std::uint64_t kToTheEnd = ~std::uint64_t{0};
// Room left unused beyond this share of the stations is given back.
constexpr std::size_t kSpareShare = 8;
// A line read again by its offset is read in pieces of this size.
constexpr std::size_t kLinePiece = 4096;

std::size_t lineEnd(std::string_view bytes) {
    return std::min(bytes.find('\n'), bytes.find('\r'));
}

std::size_t partsFor(std::uint64_t fileSize) {
    const std::uint64_t cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<std::size_t>(
        std::clamp<std::uint64_t>(fileSize / kLeastPartBytes, 1, cores));
}

// Where the first line that starts at or after the offset (at least 1)
// starts: just after the first line end that reaches the offset; the file's
// size when none does.
std::uint64_t lineStartFrom(InputFile& file, std::uint64_t offset) {
    std::array<char, kLinePiece + 1> piece{};
    for (std::uint64_t at = offset - 1; at < file.size();) {
        // One byte more than is looked at, for the LF of a CR LF.
        const std::size_t got = file.readAt(at, piece);
        const std::size_t looked = std::min(got, kLinePiece);
        const std::size_t end = lineEnd(std::string_view(piece.data(), looked));
        if (end != std::string_view::npos) {
            const bool crLf = piece[end] == '\r' && end + 1 < got && piece[end + 1] == '\n';
            return at + end + (crLf ? 2 : 1);
        }
        if (file.error() || looked == 0) {
            break;
        }
        at += looked;
    }
    return file.size();
}

// The offsets where the parts start: the first at 0, each other at the
// start of a line near its share of the file.
std::vector<std::uint64_t> partStarts(InputFile& file, std::size_t parts, FileError& error) {
    std::vector<std::uint64_t> starts{0};
    for (std::size_t part = 1; part < parts; ++part) {
        const std::uint64_t share = file.size() / parts * part;
        const std::uint64_t start = lineStartFrom(file, std::max<std::uint64_t>(share, 1));
        if (start >= file.size()) {
            break;
        }
        starts.push_back(std::max(start, starts.back()));
    }
    error = file.error();
    return starts;
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
    InputFile first(database);
    const std::size_t parts = partsFor(first.size());
    MapStations stations(hasHeadingLine);
    stations.readParts([&database] { return InputFile(database); }, std::move(first), parts);
    stations.database_ = database;
    return stations;
}

MapStations MapStations::read(InputFile file, bool hasHeadingLine) {
    MapStations stations(hasHeadingLine);
    stations.readParts({}, std::move(file), 1);
    return stations;
}

MapStations MapStations::read(const FileOpener& open, bool hasHeadingLine, std::size_t parts) {
    MapStations stations(hasHeadingLine);
    stations.readParts(open, open(), std::max<std::size_t>(parts, 1));
    return stations;
}

// What one part of the file gave.
struct MapStations::Run {
    std::vector<MapStation> stations;
    std::uint64_t linesLeftOut = 0;
    FileError error;
};

void MapStations::failed(const FileError& error) {
    status_ = Status::ReadFailed;
    error_ = error;
    stations_ = {};
    linesLeftOut_ = 0;
}

bool MapStations::readHeading(LineReader& reader) {
    std::string_view line;
    if (!reader.next(line)) {
        return false;
    }
    columns_.takeHeadingLine(line);
    if (!columns_.hasLocatorColumn()) {
        status_ = Status::NoLocatorColumn;
        return false;
    }
    if (!columns_.hasCallsignColumn()) {
        status_ = Status::NoCallColumn;
        return false;
    }
    return true;
}

void MapStations::readRun(LineReader& reader, std::uint64_t end, Run& run) const {
    std::string_view line;
    MapStation station;
    while (reader.next(line) && reader.lineOffset() < end) {
        if (reader.lineOffset() <= MapStation::kFarthestOffset &&
            checkLine(line, reader.lineOffset(), station) == StationVerdict::Taken) {
            run.stations.push_back(station);
        } else {
            ++run.linesLeftOut;
        }
    }
    run.error = reader.error();
}

void MapStations::readParts(const FileOpener& open, InputFile first, std::size_t parts) {
    if (!first.isOpen()) {
        failed(first.error());
        return;
    }
    FileError error;
    const std::vector<std::uint64_t> starts = partStarts(first, parts, error);
    if (error) {
        failed(error);
        return;
    }
    const std::uint64_t size = first.size();
    LineReader firstReader(std::move(first));
    if (!readHeading(firstReader)) {
        if (firstReader.failed()) {
            failed(firstReader.error());
        }
        return;
    }
    std::vector<Run> runs(starts.size());
    // The first run sets room aside for the whole file, so that the others
    // join it without a copy of its stations.
    runs[0].stations.reserve(static_cast<std::size_t>(size / kTypicalLineBytes));
    {
        std::vector<std::jthread> helpers;
        for (std::size_t part = 1; part < starts.size(); ++part) {
            helpers.emplace_back([&, part] {
                const std::uint64_t end = part + 1 < starts.size() ? starts[part + 1] : kToTheEnd;
                InputFile file = open();
                file.seek(starts[part]);
                runs[part].stations.reserve(static_cast<std::size_t>(
                    (std::min(end, size) - starts[part]) / kTypicalLineBytes));
                LineReader reader(std::move(file));
                if (reader.isOpen()) {
                    readRun(reader, end, runs[part]);
                } else {
                    runs[part].error = reader.error();
                }
            });
        }
        readRun(firstReader, starts.size() > 1 ? starts[1] : kToTheEnd, runs[0]);
    }
    join(runs);
}

void MapStations::join(std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error) {
            failed(run.error);
            return;
        }
    }
    stations_ = std::move(runs[0].stations);
    linesLeftOut_ = runs[0].linesLeftOut;
    for (std::size_t part = 1; part < runs.size(); ++part) {
        stations_.insert(stations_.end(), runs[part].stations.begin(), runs[part].stations.end());
        linesLeftOut_ += runs[part].linesLeftOut;
    }
    if (stations_.capacity() - stations_.size() > stations_.size() / kSpareShare) {
        stations_.shrink_to_fit();
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
