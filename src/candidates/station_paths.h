// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/lat_lon.h"
#include "geo/map_stations.h"

#include <optional>
#include <stop_token>
#include <vector>

namespace kelmora::candidates {

// How far each station of the map lies from the own locator and the heading
// to it (short path, clockwise from true north), in the order of the
// stations. Floats: a metre at most off across the whole Earth.
struct StationPaths {
    std::vector<float> distancesKm;
    std::vector<float> headings;
};

// By the exact azimuthal equidistant projection around the own locator,
// whose distance and direction from the centre are the geodesic's length
// and heading. Seconds of work for a million stations: meant for a thread of
// its own, which may end it early through stop (it then gives nothing). The
// stations must not change meanwhile.
std::optional<StationPaths> pathsOf(const geo::MapStations& stations, geo::LatLon own,
                                    std::stop_token stop = {});

} // namespace kelmora::candidates
