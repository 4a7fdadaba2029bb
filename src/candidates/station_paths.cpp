// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/station_paths.h"

#include "geo/azimuthal_map.h"
#include "geo/station_plane.h"

#include <cmath>
#include <numbers>

namespace kelmora::candidates {

std::optional<StationPaths> pathsOf(const geo::MapStations& stations, geo::LatLon own,
                                    std::stop_token stop) {
    const geo::AzimuthalMap map(own);
    const auto points = geo::projectStations(stations, map, std::move(stop));
    if (!points) {
        return std::nullopt;
    }
    StationPaths paths;
    paths.distancesKm.reserve(points->size());
    paths.headings.reserve(points->size());
    constexpr float kDegrees = 180 / std::numbers::pi_v<float>;
    for (const geo::PlanePoint point : *points) {
        paths.distancesKm.push_back(std::hypot(point.x, point.y));
        // x is east and y north, so the heading is measured from the y axis.
        float heading = std::atan2(point.x, point.y) * kDegrees;
        if (heading < 0) {
            heading += 360;
        }
        paths.headings.push_back(heading >= 360 ? 0 : heading);
    }
    return paths;
}

} // namespace kelmora::candidates
