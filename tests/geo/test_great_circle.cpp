// SPDX-License-Identifier: GPL-3.0-or-later
// Distances and headings against GeographicLib's own results, worked out
// once with its GeodSolve tool: the short path by `GeodSolve -i`, the long
// path by `GeodSolve -a` setting out at the short heading + 180 for 360
// degrees of arc less the short path's.
#include "geo/azimuthal_map.h"
#include "geo/great_circle.h"
#include "support/printing.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace kelmora::geo {
namespace {

using testing::PrintTo;

constexpr double kKmTolerance = 0.001;
constexpr double kDegreeTolerance = 0.01;

struct PairRow {
    const char* name;
    LatLon from;
    LatLon to;
    Way shortPath;
    Way longPath;
};

// JO62QM and JN58TD are the centres of those subsquares.
const PairRow kPairs[] = {
    {"BerlinToBoston",
     {52.5208333333333, 13.375},
     {42.5, -71},
     {6081.912863, 295.771664},
     {33905.702605, 115.771664}},
    {"MeteorScatterRange",
     {52.5208333333333, 13.375},
     {48.1458333333333, 11.625},
     {502.310959, 195.039268},
     {39503.871490, 15.039268}},
    {"LondonToSydney",
     {51.5, -1},
     {-33.5, 151},
     {16998.210267, 58.927218},
     {22990.483855, 238.927218}},
    {"AntipodesOnTheEquator", {0, 0}, {0, 180}, {20003.931459, 0}, {20003.931459, 180}},
    {"NearlyAntipodes",
     {0, 0},
     {0.5, 179.5},
     {19936.288579, 25.671873},
     {20058.973453, 205.671873}},
    {"PoleToPole", {90, 0}, {-90, 0}, {20003.931459, 180}, {20003.931459, 0}},
    {"AcrossTheDateLine",
     {60, 179},
     {60, -179},
     {111.595754, 89.133953},
     {39879.399608, 269.133953}},
    {"FromTheNorthPole", {90, 0}, {50, 10}, {4461.118688, 170}, {35546.744230, 350}},
    {"SouthToNorth",
     {-45, 170},
     {45, -10.5},
     {19981.349344, 89.974290},
     {19992.816803, 269.974290}},
    // One place: no heading of its own, and the long way is the meridian round.
    {"OnePlace", {10, 20}, {10, 20}, {0, 0}, {40007.862917, 180}},
};

// Headings 359.999 and 0.001 are 0.002 degrees apart.
double headingDifference(double a, double b) {
    return std::abs(std::remainder(a - b, 360.0));
}

class Geodesy : public ::testing::TestWithParam<PairRow> {};

TEST_P(Geodesy, ShortAndLongPathAsGeographicLibGivesThem) {
    const PairRow& row = GetParam();
    const Paths paths = pathsBetween(row.from, row.to);
    EXPECT_NEAR(paths.shortPath.distanceKm, row.shortPath.distanceKm, kKmTolerance);
    EXPECT_LT(headingDifference(paths.shortPath.headingDegrees, row.shortPath.headingDegrees),
              kDegreeTolerance)
        << paths.shortPath.headingDegrees;
    EXPECT_NEAR(paths.longPath.distanceKm, row.longPath.distanceKm, kKmTolerance);
    EXPECT_LT(headingDifference(paths.longPath.headingDegrees, row.longPath.headingDegrees),
              kDegreeTolerance)
        << paths.longPath.headingDegrees;
    for (const double heading : {paths.shortPath.headingDegrees, paths.longPath.headingDegrees}) {
        EXPECT_GE(heading, 0);
        EXPECT_LT(heading, 360);
    }
}

// On the map, a place lies at its distance from the centre, in the
// direction of its heading.
TEST_P(Geodesy, TheMapPutsThePlaceAtItsDistanceAndHeading) {
    const PairRow& row = GetParam();
    const AzimuthalMap map(row.from);
    const PlaneKm point = map.forward(row.to);
    EXPECT_NEAR(std::hypot(point.x, point.y), row.shortPath.distanceKm, kKmTolerance);
    if (row.shortPath.distanceKm > 0) {
        const double heading = std::atan2(point.x, point.y) * 180 / std::numbers::pi;
        EXPECT_LT(headingDifference(heading, row.shortPath.headingDegrees), kDegreeTolerance)
            << heading;
    }
    const auto back = map.reverse(point);
    ASSERT_TRUE(back.has_value());
    EXPECT_LT(pathsBetween(*back, row.to).shortPath.distanceKm, kKmTolerance);
}

INSTANTIATE_TEST_SUITE_P(KnownPairs, Geodesy, ::testing::ValuesIn(kPairs),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlaneRow {
    const char* name;
    LatLon centre;
    PlaneKm point;
    bool onTheMap;
};

// Along the equator the way stops being the shortest at (1 - f) pi a,
// 19,970 km; along the meridian at the antipode, 20,004 km.
const PlaneRow kPlanePoints[] = {
    {"Centre", {52.5, 13.4}, {0, 0}, true},
    {"EastAlongTheEquator", {0, 0}, {19960, 0}, true},
    {"BeyondTheEquatorsEnd", {0, 0}, {19980, 0}, false},
    {"NorthOverThePole", {0, 0}, {0, 20000}, true},
    {"BeyondTheAntipode", {0, 0}, {0, 20010}, false},
    {"FarOutside", {52.5, 13.4}, {30000, -30000}, false},
};

class PlanePoints : public ::testing::TestWithParam<PlaneRow> {};

TEST_P(PlanePoints, OnlyPointsUpToTheAntipodeAreOnTheMap) {
    const PlaneRow& row = GetParam();
    EXPECT_EQ(AzimuthalMap(row.centre).reverse(row.point).has_value(), row.onTheMap);
}

INSTANTIATE_TEST_SUITE_P(Points, PlanePoints, ::testing::ValuesIn(kPlanePoints),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kelmora::geo
