// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/locator.h"
#include "map/map_scene.h"
#include "map/map_view.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace kelmora {
namespace {

using namespace std::chrono_literals;

double length(geo::PlanePoint a, geo::PlanePoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

double longestStep(std::span<const PlaneLine> lines) {
    double longest = 0;
    for (const PlaneLine& line : lines) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            longest = std::max(longest, length(line[i - 1], line[i]));
        }
    }
    return longest;
}

MapScene completeScene(geo::LatLon centre) {
    MapScene scene(centre, geo::Coastlines::builtIn());
    while (!scene.projectPending(1s)) {
    }
    return scene;
}

// At the antipode the plane tears: a line that runs through it must be cut
// there, not drawn straight across the map.
TEST(MapScene, LinesAreCutWhereThePlaneTears) {
    // The meridian of 180 degrees runs through this centre's antipode.
    MapScene scene = completeScene({0, 0});
    EXPECT_LT(longestStep(scene.fieldLines()), 2000);
    EXPECT_LT(longestStep(scene.coastlines()), 2000);
    EXPECT_LT(longestStep(scene.squareLines(20000)), 2000);
    EXPECT_GT(scene.coastlines().size(), 1000U);
}

TEST(MapScene, SquaresAreNamedWithinTheirRadius) {
    MapScene scene(*geo::locatorCentre("JO62QM"), geo::Coastlines::builtIn());
    bool own = false;
    for (const GridLabel& label : scene.squareLabels(1000)) {
        EXPECT_LE(std::hypot(label.at.x, label.at.y), 1100) << label.text.data();
        own = own || std::string(label.text.data()) == "JO62";
    }
    EXPECT_TRUE(own);
}

TEST(MapScene, ProjectsThePlacesInSlicesUntilAllAreDone) {
    MapScene scene(*geo::locatorCentre("JO62QM"), geo::Coastlines::builtIn());
    const std::size_t count = 200000;
    scene.setPlaces(count, [](std::size_t i) {
        return geo::LatLon{-80 + double(i % 160), -180 + double(i % 359)};
    });
    std::size_t slices = 0;
    std::size_t projected = 0;
    while (!scene.projectPending(1ms)) {
        ASSERT_GE(scene.projectedPlaces().size(), projected);
        projected = scene.projectedPlaces().size();
        ++slices;
    }
    EXPECT_GT(slices, 1U); // a million-station database never holds the window up
    ASSERT_EQ(scene.projectedPlaces().size(), count);
    for (std::size_t i = 0; i < count; i += 997) {
        const geo::LatLon place{-80 + double(i % 160), -180 + double(i % 359)};
        EXPECT_LT(length(scene.projectedPlaces()[i], scene.project(place)), 3.0) << i;
    }
}

// Rings stay apart by at least the space their names need, at every step of
// the wheel, and fall every 500 km or a multiple of it.
TEST(MapView, RingsStayReadableAtEveryZoom) {
    for (const double side : {300.0, 800.0, 2400.0}) {
        MapView view;
        view.setArea(side, side, 40);
        view.setRadiusKm(MapView::kWholeEarthRadiusKm);
        const double minSpacing = 40;
        for (int step = 0; step < 40; ++step) {
            const double ring = view.ringStepKm(minSpacing);
            EXPECT_EQ(std::fmod(ring, 500), 0);
            if (ring < 5000) {
                EXPECT_GE(ring * view.pixelsPerKm(), minSpacing) << view.radiusKm();
            }
            view.zoom(1);
        }
        EXPECT_EQ(view.radiusKm(), MapView::kNearestRadiusKm);
    }
}

TEST(MapView, OpensAt3000KmAndZoomsBetweenItsLimits) {
    MapView view;
    view.setArea(1000, 800, 40);
    EXPECT_EQ(view.radiusKm(), MapView::kOpeningRadiusKm);
    EXPECT_DOUBLE_EQ(view.pixelsPerKm(), (400.0 - 40) / 3000);
    view.zoom(-100);
    EXPECT_EQ(view.radiusKm(), MapView::kWholeEarthRadiusKm);
    view.zoom(100);
    EXPECT_EQ(view.radiusKm(), MapView::kNearestRadiusKm);
    const PixelPoint pixel = view.toPixel({300, -100});
    const geo::PlanePoint back = view.toPlane(pixel);
    EXPECT_NEAR(back.x, 300, 1e-3);
    EXPECT_NEAR(back.y, -100, 1e-3);
}

} // namespace
} // namespace kelmora
