// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/coastlines.h"

#include "geo/coastline_resource.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace kelmora::geo {
namespace {

// The resource's format, as make_coastlines.sh writes it: the magic bytes
// "KMCL" and the version 1; the number of lines and the number of points;
// then each line: its number of points (at least two) and, per point, the
// change of latitude and of longitude from the point before, in 1e-4 degrees
// (the first point of all from 0, 0). Every number is a LEB128 varint of at
// most 32 bits, the changes zigzag-coded (0, -1, 1, -2, ... as 0, 1, 2, 3).
constexpr std::array<unsigned char, 5> kHeader{'K', 'M', 'C', 'L', 1};
constexpr std::int64_t kUnitsPerDegree = 10000;
constexpr std::int64_t kLatitudeLimit = 90 * kUnitsPerDegree;
constexpr std::int64_t kLongitudeLimit = 180 * kUnitsPerDegree;
// A point takes at least one byte per coordinate, so a count of points
// larger than half the bytes left is false, and nothing is reserved for it.
constexpr std::size_t kFewestBytesPerPoint = 2;
constexpr std::size_t kFewestPointsPerLine = 2;

// Takes the resource's numbers front to back; nothing where the bytes end
// inside a number or a number runs past 32 bits.
class NumberReader {
public:
    explicit NumberReader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    bool skip(std::span<const unsigned char> expected) {
        if (bytes_.size() < expected.size() ||
            !std::equal(expected.begin(), expected.end(), bytes_.begin())) {
            return false;
        }
        bytes_ = bytes_.subspan(expected.size());
        return true;
    }

    std::optional<std::uint32_t> count() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (bytes_.empty()) {
                return std::nullopt;
            }
            const unsigned char byte = bytes_.front();
            bytes_ = bytes_.subspan(1);
            value |= std::uint64_t(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0) {
                if (value > std::numeric_limits<std::uint32_t>::max()) {
                    return std::nullopt;
                }
                return std::uint32_t(value);
            }
        }
        return std::nullopt;
    }

    std::optional<std::int64_t> change() {
        const std::optional<std::uint32_t> coded = count();
        if (!coded) {
            return std::nullopt;
        }
        const std::int64_t half = *coded / 2;
        return *coded % 2 == 0 ? half : -half - 1;
    }

    std::size_t bytesLeft() const { return bytes_.size(); }

private:
    std::span<const unsigned char> bytes_;
};

// The place the changes are added to, in the resource's units.
struct Position {
    std::int64_t latitude = 0;
    std::int64_t longitude = 0;
};

// Appends one line's points; false for a line too short, longer than the
// points the header leaves it, or leaving the range of latitudes and
// longitudes.
bool readLine(NumberReader& reader, Position& position, std::size_t pointsLeft,
              std::vector<LatLon>& points) {
    const std::optional<std::uint32_t> length = reader.count();
    if (!length || *length < kFewestPointsPerLine || *length > pointsLeft) {
        return false;
    }
    for (std::uint32_t i = 0; i < *length; ++i) {
        const std::optional<std::int64_t> latitudeChange = reader.change();
        const std::optional<std::int64_t> longitudeChange = reader.change();
        if (!latitudeChange || !longitudeChange) {
            return false;
        }
        position.latitude += *latitudeChange;
        position.longitude += *longitudeChange;
        if (std::abs(position.latitude) > kLatitudeLimit ||
            std::abs(position.longitude) > kLongitudeLimit) {
            return false;
        }
        points.push_back({double(position.latitude) / kUnitsPerDegree,
                          double(position.longitude) / kUnitsPerDegree});
    }
    return true;
}

} // namespace

std::optional<Coastlines> Coastlines::fromBytes(std::span<const unsigned char> bytes) {
    NumberReader reader(bytes);
    if (!reader.skip(kHeader)) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> lines = reader.count();
    const std::optional<std::uint32_t> points = reader.count();
    if (!lines || !points || *points > reader.bytesLeft() / kFewestBytesPerPoint ||
        *lines > *points / kFewestPointsPerLine) {
        return std::nullopt;
    }
    Coastlines coasts;
    coasts.points_.reserve(*points);
    coasts.lineStarts_.reserve(std::size_t(*lines) + 1);
    coasts.lineStarts_.push_back(0);
    Position position;
    for (std::uint32_t line = 0; line < *lines; ++line) {
        if (!readLine(reader, position, *points - coasts.points_.size(), coasts.points_)) {
            return std::nullopt;
        }
        coasts.lineStarts_.push_back(coasts.points_.size());
    }
    if (coasts.points_.size() != *points || reader.bytesLeft() != 0) {
        return std::nullopt;
    }
    return coasts;
}

const Coastlines& Coastlines::builtIn() {
    // The tests read the built-in resource; were it ever refused, the map
    // would show no coasts rather than wrong ones.
    static const Coastlines coasts = fromBytes(builtInCoastlineBytes()).value_or(Coastlines{});
    return coasts;
}

} // namespace kelmora::geo
