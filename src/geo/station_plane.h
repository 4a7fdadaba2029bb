// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/azimuthal_map.h"
#include "geo/map_stations.h"

#include <optional>
#include <stop_token>
#include <vector>

namespace kelmora::geo {

// A point of the map's plane in km from its centre (x east, y north) in
// floats: exact to a few metres across the whole Earth, far below a pixel,
// in half the memory of PlaneKm.
struct PlanePoint {
    float x = 0;
    float y = 0;
};

// Every station's place on the plane of one map, in the order of
// stations.stations(). Stations that share a locator are mostly projected
// once. GeographicLib takes one to a few microseconds a locator, seconds for
// a million stations, so a large database is shared among the processor's
// cores, and a window runs this off its own thread (it only reads stations
// and map, which must not change meanwhile) and may end it early through
// stop, which then gives nothing.
std::optional<std::vector<PlanePoint>>
projectStations(const MapStations& stations, const AzimuthalMap& map, std::stop_token stop = {});

} // namespace kelmora::geo
