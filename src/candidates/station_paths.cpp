// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/station_paths.h"

#include "geo/azimuthal_map.h"

#include <cmath>
#include <numbers>

namespace kelmora::candidates {
namespace {

// How often the work looks whether it is to end early.
constexpr std::size_t kStopCheckEvery = 4096;

} // namespace

std::optional<StationPaths> pathsOf(const geo::MapStations& stations, geo::LatLon own,
                                    std::stop_token stop) {
    const geo::AzimuthalMap map(own);
    StationPaths paths;
    paths.distancesKm.reserve(stations.size());
    paths.headings.reserve(stations.size());
    constexpr double kDegrees = 180 / std::numbers::pi;
    std::optional<std::uint32_t> lastLocator;
    geo::PlaneKm point;
    for (std::size_t i = 0; i < stations.size(); ++i) {
        if (i % kStopCheckEvery == 0 && stop.stop_requested()) {
            return std::nullopt;
        }
        // Stations of one locator often stand together: the way is worked out once.
        const geo::PackedLocator locator = stations.stations()[i].locator();
        if (lastLocator != locator.code()) {
            point = map.forward(locator.centre());
            lastLocator = locator.code();
        }
        paths.distancesKm.push_back(static_cast<float>(std::hypot(point.x, point.y)));
        // x is east and y north, so the heading is measured from the y axis.
        double heading = std::atan2(point.x, point.y) * kDegrees;
        if (heading < 0) {
            heading += 360;
        }
        paths.headings.push_back(heading >= 360 ? 0.0f : static_cast<float>(heading));
    }
    return paths;
}

} // namespace kelmora::candidates
