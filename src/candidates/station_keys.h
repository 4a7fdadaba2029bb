// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/map_stations.h"
#include "geo/packed_locator.h"
#include "log/call_key.h"
#include "log/grid_square.h"

#include <vector>

namespace kelmora::candidates {

// What the log is asked about each station of the map: its call and its
// square, in the order of the stations. Ten bytes a station, made once per
// database, so that the statuses of a million stations are looked up again
// for another band or a longer log without touching their text.
struct StationKeys {
    std::vector<log::CallKey> calls;
    std::vector<log::GridIndex> grids;
};

StationKeys keysOf(const geo::MapStations& stations);

// The square that holds a locator of the map.
log::GridIndex gridOf(geo::PackedLocator locator);

} // namespace kelmora::candidates
