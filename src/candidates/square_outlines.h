// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/azimuthal_map.h"
#include "geo/lat_lon.h"
#include "log/grid_square.h"

#include <array>
#include <optional>
#include <vector>

namespace kelmora::candidates {

// The squares of the log on the map's plane around one centre, so that the
// map can shade the worked ones: each square's four corners, projected
// exactly when first asked for and kept (neighbouring squares share them).
// A log of a thousand squares costs a few milliseconds once per centre.
class SquareOutlines {
public:
    explicit SquareOutlines(geo::LatLon centre);

    using Outline = std::array<geo::PlanePoint, 4>;
    // South-west, south-east, north-east and north-west corner. Nothing for
    // a square so near the antipode that the plane tears it apart there.
    std::optional<Outline> outlineOf(log::GridIndex square);

private:
    geo::PlanePoint corner(int column, int row);

    geo::AzimuthalMap map_;
    // Corners every 2 degrees of longitude and 1 of latitude.
    std::vector<geo::PlanePoint> corners_;
    std::vector<bool> projected_;
};

} // namespace kelmora::candidates
