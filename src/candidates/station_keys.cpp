// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/station_keys.h"

namespace kelmora::candidates {

log::GridIndex gridOf(geo::PackedLocator locator) {
    const geo::LatLon centre = locator.centre();
    return log::gridIndexAt(centre.latitude, centre.longitude);
}

StationKeys keysOf(const geo::MapStations& stations) {
    StationKeys keys;
    keys.calls.reserve(stations.size());
    keys.grids.reserve(stations.size());
    for (const geo::MapStation& station : stations.stations()) {
        keys.calls.push_back(log::callKeyOf(station.call()));
        keys.grids.push_back(gridOf(station.locator()));
    }
    return keys;
}

} // namespace kelmora::candidates
