// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/azimuthal_map.h"

#include <GeographicLib/AzimuthalEquidistant.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <cmath>

namespace kelmora::geo {
namespace {

constexpr double kMetresPerKm = 1000;
// How much shorter the way to a place may come out than the way that led
// there before the place counts as lying beyond the antipode: GeographicLib
// is exact to far less.
constexpr double kRoundTripKm = 1e-3;

} // namespace

struct AzimuthalMap::Projection {
    GeographicLib::AzimuthalEquidistant projection{GeographicLib::Geodesic::WGS84()};
};

AzimuthalMap::AzimuthalMap(LatLon centre)
    : centre_(centre), projection_(std::make_unique<Projection>()) {}

AzimuthalMap::~AzimuthalMap() = default;
AzimuthalMap::AzimuthalMap(AzimuthalMap&&) noexcept = default;
AzimuthalMap& AzimuthalMap::operator=(AzimuthalMap&&) noexcept = default;

PlaneKm AzimuthalMap::forward(LatLon place) const {
    double x = 0;
    double y = 0;
    double azimuth = 0;
    double scale = 0;
    projection_->projection.Forward(centre_.latitude, centre_.longitude, place.latitude,
                                    place.longitude, x, y, azimuth, scale);
    return {x / kMetresPerKm, y / kMetresPerKm};
}

// The way along the geodesic is the shortest one only up to the antipode (on
// the ellipsoid: up to a short stretch of the antipode's latitude); a point
// farther out is a place that the map shows elsewhere, nearer the centre. At
// the antipode itself many ways are equally short, so only the lengths are
// compared.
std::optional<LatLon> AzimuthalMap::reverse(PlaneKm point) const {
    double latitude = 0;
    double longitude = 0;
    double azimuth = 0;
    double scale = 0;
    projection_->projection.Reverse(centre_.latitude, centre_.longitude, point.x * kMetresPerKm,
                                    point.y * kMetresPerKm, latitude, longitude, azimuth, scale);
    const LatLon place{latitude, longitude};
    const PlaneKm back = forward(place);
    if (std::hypot(back.x, back.y) < std::hypot(point.x, point.y) - kRoundTripKm) {
        return std::nullopt;
    }
    return place;
}

} // namespace kelmora::geo
