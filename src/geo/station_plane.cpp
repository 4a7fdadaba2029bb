// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/station_plane.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace kelmora::geo {
namespace {

// How many locators are projected between two looks at the stop token:
// about a millisecond's work.
constexpr std::size_t kLocatorsBetweenLooks = 1024;

// The stations' indexes ordered by locator, so that the stations of one
// locator stand together. Four bytes a station, for as long as the
// projection runs.
std::vector<std::uint32_t> byLocator(std::span<const MapStation> stations) {
    std::vector<std::uint32_t> order(stations.size());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::sort(order.begin(), order.end(), [stations](std::uint32_t a, std::uint32_t b) {
        return stations[a].locator() < stations[b].locator();
    });
    return order;
}

PlanePoint pointOf(const AzimuthalMap& map, PackedLocator locator) {
    const PlaneKm point = map.forward(locator.centre());
    return {static_cast<float>(point.x), static_cast<float>(point.y)};
}

} // namespace

std::optional<std::vector<PlanePoint>>
projectStations(const MapStations& stations, const AzimuthalMap& map, std::stop_token stop) {
    const std::span<const MapStation> all = stations.stations();
    const std::vector<std::uint32_t> order = byLocator(all);
    std::vector<PlanePoint> points(all.size());
    std::size_t locators = 0;
    for (std::size_t at = 0; at < order.size();) {
        if (locators++ % kLocatorsBetweenLooks == 0 && stop.stop_requested()) {
            return std::nullopt;
        }
        const PackedLocator locator = all[order[at]].locator();
        const PlanePoint point = pointOf(map, locator);
        for (; at < order.size() && all[order[at]].locator() == locator; ++at) {
            points[order[at]] = point;
        }
    }
    return points;
}

} // namespace kelmora::geo
