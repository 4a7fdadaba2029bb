// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/lat_lon.h"

namespace kelmora::geo {

// One way round the Earth along the geodesic: its length and the heading to
// set out on, clockwise from true north, 0 to below 360.
struct Way {
    double distanceKm = 0;
    double headingDegrees = 0;
};

// The short path between two places on the WGS84 ellipsoid, and the long
// path: setting out the opposite way along the same geodesic until the other
// place is reached.
struct Paths {
    Way shortPath;
    Way longPath;
};

Paths pathsBetween(LatLon from, LatLon to);

} // namespace kelmora::geo
