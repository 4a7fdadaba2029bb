// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/lat_lon.h"

#include <memory>
#include <optional>

namespace kelmora::geo {

// A point of the map's plane in km from its centre: x east, y north.
struct PlaneKm {
    double x = 0;
    double y = 0;
};

// The same in floats, for the many points of a map: exact to a few metres
// across the whole Earth, far below a pixel, in half the memory.
struct PlanePoint {
    float x = 0;
    float y = 0;
};

// The azimuthal equidistant projection on the WGS84 ellipsoid, centred on one
// place: every straight line from the centre is a geodesic, its direction the
// heading and its length the distance.
class AzimuthalMap {
public:
    explicit AzimuthalMap(LatLon centre);
    ~AzimuthalMap();
    AzimuthalMap(AzimuthalMap&&) noexcept;
    AzimuthalMap& operator=(AzimuthalMap&&) noexcept;

    LatLon centre() const { return centre_; }
    PlaneKm forward(LatLon place) const;
    // Nothing for a point farther out than the antipode.
    std::optional<LatLon> reverse(PlaneKm point) const;

private:
    LatLon centre_;
    struct Projection;
    std::unique_ptr<Projection> projection_;
};

} // namespace kelmora::geo
