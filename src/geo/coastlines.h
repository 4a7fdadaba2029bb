// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/lat_lon.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace kelmora::geo {

// The world's shore lines, each an open or closed line of places, as the
// program carries them in its compact resource (made at build time from a
// published data set).
class Coastlines {
public:
    // Reads the resource's bytes; nothing for bytes that are no such
    // resource (wrong header, counts that run past the end, a line of fewer
    // than two points, a place beyond the poles or the date line, bytes left
    // over).
    static std::optional<Coastlines> fromBytes(std::span<const unsigned char> bytes);
    // The resource built into the program.
    static const Coastlines& builtIn();

    std::size_t lineCount() const { return lineStarts_.empty() ? 0 : lineStarts_.size() - 1; }
    std::size_t pointCount() const { return points_.size(); }
    std::span<const LatLon> line(std::size_t index) const {
        return std::span(points_).subspan(lineStarts_[index],
                                          lineStarts_[index + 1] - lineStarts_[index]);
    }

private:
    std::vector<LatLon> points_;
    std::vector<std::size_t> lineStarts_; // one more than the lines
};

} // namespace kelmora::geo
