// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/great_circle.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <cmath>

namespace kelmora::geo {
namespace {

constexpr double kMetresPerKm = 1000;

// GeographicLib's azimuths run from -180 to 180 degrees.
double compassHeading(double azimuth) {
    const double heading = std::fmod(azimuth + 360, 360);
    return heading >= 360 ? 0 : heading;
}

// The way that leaves the place at the azimuth along its geodesic for the
// given arc on GeographicLib's auxiliary sphere.
Way wayAlong(LatLon place, double azimuth, double arcDegrees) {
    const GeographicLib::GeodesicLine line = GeographicLib::Geodesic::WGS84().Line(
        place.latitude, place.longitude, azimuth,
        GeographicLib::Geodesic::LATITUDE | GeographicLib::Geodesic::LONGITUDE |
            GeographicLib::Geodesic::DISTANCE);
    double latitude = 0;
    double longitude = 0;
    double heading = 0;
    double metres = 0;
    line.ArcPosition(arcDegrees, latitude, longitude, heading, metres);
    return {metres / kMetresPerKm, compassHeading(azimuth)};
}

} // namespace

// The long path sets out opposite to the short one and follows the same
// geodesic round the rest of the Earth: the 360 degrees of arc that bring a
// sphere's great circle back to its start, less the short path's arc. On the
// ellipsoid a geodesic does not quite close, so its end lies on the other
// place's latitude, at most about a degree of longitude away (134 km in a
// sample of 2,000 pairs). The geodesic that truly ends at the other place
// would set out up to degrees off the opposite heading, and for close places
// does not exist near it: an operator turns the antenna round, so the
// opposite heading is the one that counts.
Paths pathsBetween(LatLon from, LatLon to) {
    double metres = 0;
    double azimuth = 0;
    double arrival = 0;
    const double arc = GeographicLib::Geodesic::WGS84().Inverse(
        from.latitude, from.longitude, to.latitude, to.longitude, metres, azimuth, arrival);
    if (metres == 0) {
        // One place: no heading of its own; the long path is the whole
        // meridian round, setting out south.
        return {{0, 0}, wayAlong(from, 180, 360)};
    }
    return {{metres / kMetresPerKm, compassHeading(azimuth)},
            wayAlong(from, azimuth + 180, 360 - arc)};
}

} // namespace kelmora::geo
