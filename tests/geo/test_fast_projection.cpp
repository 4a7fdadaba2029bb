// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/fast_projection.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace kelmora::geo {
namespace {

struct Centre {
    const char* name;
    LatLon place;
};

class FastProjectionAround : public ::testing::TestWithParam<Centre> {};

// How far the interpolation may err at a distance from the centre: far
// below a pixel at any scale that shows that distance (a disc of 2,000
// pixels across showing the distance at its rim).
double allowedKm(double distanceKm) {
    if (distanceKm < 3000) {
        return 0.05;
    }
    if (distanceKm < 8000) {
        return 0.15;
    }
    return distanceKm / 1000 / 4; // a quarter of a pixel
}

TEST_P(FastProjectionAround, AgreesWithTheExactProjection) {
    const FastProjection fast(GetParam().place);
    std::mt19937 random(73);
    std::uniform_real_distribution<double> latitude(-90, 90);
    std::uniform_real_distribution<double> longitude(-180, 180);
    for (int n = 0; n < 20000; ++n) {
        LatLon place{latitude(random), longitude(random)};
        if (n % 2 == 0) { // half of them near the centre
            place.latitude =
                std::clamp(GetParam().place.latitude + place.latitude / 15, -90.0, 90.0);
            place.longitude =
                std::remainder(GetParam().place.longitude + place.longitude / 15, 360.0);
        }
        const PlaneKm exact = fast.exact().forward(place);
        const PlanePoint quick = fast.forward(place);
        const double distance = std::hypot(exact.x, exact.y);
        ASSERT_LE(std::hypot(quick.x - exact.x, quick.y - exact.y), allowedKm(distance))
            << place.latitude << ", " << place.longitude << " at " << distance << " km";
    }
}

TEST_P(FastProjectionAround, HoldsAtThePolesAndTheDateLine) {
    const FastProjection fast(GetParam().place);
    for (const LatLon place :
         {LatLon{90, 0}, LatLon{90, 179}, LatLon{-90, -45}, LatLon{0, 180}, LatLon{0, -180},
          LatLon{89.9, 180}, LatLon{-89.9, -180}, LatLon{45, 179.99}, LatLon{45, -179.99}}) {
        const PlaneKm exact = fast.exact().forward(place);
        const PlanePoint quick = fast.forward(place);
        const double distance = std::hypot(exact.x, exact.y);
        EXPECT_LE(std::hypot(quick.x - exact.x, quick.y - exact.y), allowedKm(distance))
            << place.latitude << ", " << place.longitude;
    }
}

INSTANTIATE_TEST_SUITE_P(Centres, FastProjectionAround,
                         ::testing::Values(Centre{"Berlin", {52.52, 13.42}},
                                           Centre{"NearTheNorthPole", {89.5, 10}},
                                           Centre{"OnTheDateLine", {-17.5, 179.0}},
                                           Centre{"Sydney", {-33.9, 151.2}},
                                           Centre{"Equator", {0.0, -60.0}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kelmora::geo
