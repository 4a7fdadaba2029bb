// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kelmora::geo {

// A place on the WGS84 ellipsoid, in degrees: latitude -90 (south) to 90,
// longitude -180 (west) to 180.
struct LatLon {
    double latitude = 0;
    double longitude = 0;
};

} // namespace kelmora::geo
