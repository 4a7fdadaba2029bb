// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/field_ranks.h"
#include "candidates/square_outlines.h"
#include "candidates/station_keys.h"
#include "candidates/station_paths.h"
#include "geo/great_circle.h"
#include "geo/locator.h"
#include "support/memory_file.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelmora::candidates {
namespace {

// The second station has a slash in its call and the fifth no locator: the
// map leaves them out. The last line's remark is Windows-1252.
const std::string kDatabase = "CALL;Bemerkung;LOCATOR;Stand\r\n"
                              "QQ1ABC;zeta;JO62QM;1\r\n"
                              "QQ2XY/P;x;JO50;2\r\n"
                              "qq3bcd;Alpha;io91wm;3\r\n"
                              "QQ4CDE;  beta ;KP20LE;4\r\n"
                              "QQ5DEF;x;RR73;5\r\n"
                              "QQ6EFG;\xC4rger;RR99XX;6\r\n";

geo::MapStations mapStations(const std::string& bytes) {
    return geo::MapStations::read(testing::memoryFile(bytes), true);
}

TEST(StationKeys, CallsAndSquaresOfTheMapsStations) {
    const geo::MapStations stations = mapStations(kDatabase);
    const StationKeys keys = keysOf(stations);
    ASSERT_EQ(keys.calls.size(), 4U);
    EXPECT_EQ(keys.calls[1], log::callKeyOf("QQ3BCD"));
    EXPECT_EQ(keys.grids,
              (std::vector<log::GridIndex>{log::gridIndexOf("JO62"), log::gridIndexOf("IO91"),
                                           log::gridIndexOf("KP20"), log::gridIndexOf("RR99")}));
}

// The projection's distance and direction are the geodesic's: within a
// metre and a hundredth of a degree of GeographicLib's own figures.
TEST(StationPaths, AreTheGeodesicsShortPath) {
    const geo::MapStations stations = mapStations(kDatabase);
    const geo::LatLon own = *geo::locatorCentre("JO62QM");
    const auto paths = pathsOf(stations, own);
    ASSERT_TRUE(paths);
    ASSERT_EQ(paths->distancesKm.size(), stations.size());
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const geo::Way way =
            geo::pathsBetween(own, stations.stations()[i].locator().centre()).shortPath;
        EXPECT_NEAR(paths->distancesKm[i], way.distanceKm, 0.001) << i;
        if (way.distanceKm > 1) {
            EXPECT_NEAR(paths->headings[i], way.headingDegrees, 0.01) << i;
        }
        EXPECT_GE(paths->headings[i], 0);
        EXPECT_LT(paths->headings[i], 360);
    }
    EXPECT_NEAR(paths->distancesKm[0], 0, 0.001); // the own locator
}

TEST(StationPaths, StoppedGivesNothing) {
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(pathsOf(mapStations(kDatabase), {}, stop.get_token()));
}

// The remarks, trimmed, in upper case and decoded: ALPHA < BETA < ZETA <
// ÄRGER (UTF-8 after every ASCII letter).
TEST(FieldRanks, RankTheShownFieldOfEachStation) {
    const geo::MapStations stations = mapStations(kDatabase);
    const auto ranks = fieldRanks(testing::memoryFile(kDatabase), stations, 1);
    ASSERT_TRUE(ranks);
    EXPECT_EQ(*ranks, (std::vector<SortKey>{2, 0, 1, 3}));
    EXPECT_EQ(callRanks(stations), (std::vector<SortKey>{0, 1, 2, 3}));
}

TEST(FieldRanks, LinesNoLongerWhereTheyWereSortAsEmpty) {
    const geo::MapStations stations = mapStations(kDatabase);
    const std::string changed = "CALL;Bemerkung;LOCATOR;Stand\r\nQQ1ABC;zeta;JO62QM;1\r\n";
    const auto ranks = fieldRanks(testing::memoryFile(changed), stations, 1);
    ASSERT_TRUE(ranks);
    EXPECT_EQ(*ranks, (std::vector<SortKey>{1, 0, 0, 0}));
}

TEST(SquareOutlines, HoldTheirSquaresOnThePlane) {
    const geo::LatLon own = *geo::locatorCentre("JO62QM");
    SquareOutlines outlines(own);
    // The own square's corners lie around the centre: 2 degrees of
    // longitude by 1 of latitude at 52 degrees north.
    const auto square = outlines.outlineOf(log::gridIndexOf("JO62"));
    ASSERT_TRUE(square);
    EXPECT_LT((*square)[0].x, 0);
    EXPECT_LT((*square)[0].y, 0);
    EXPECT_GT((*square)[2].x, 0);
    EXPECT_GT((*square)[2].y, 0);
    EXPECT_NEAR((*square)[2].y - (*square)[0].y, 111, 2);
    EXPECT_NEAR((*square)[1].x - (*square)[0].x, 137, 3);
    // The square at the antipode is torn apart there; no square beyond the last.
    EXPECT_FALSE(outlines.outlineOf(log::gridIndexAt(-own.latitude, own.longitude - 180)));
    EXPECT_FALSE(outlines.outlineOf(log::kNoGrid));
}

} // namespace
} // namespace kelmora::candidates
