// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/coastlines.h"
#include "geo/fast_projection.h"
#include "geo/lat_lon.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace kelmora {

using PlaneLine = std::vector<geo::PlanePoint>;

// The name of a field ("JO") or square ("JO62") at its centre.
struct GridLabel {
    geo::PlanePoint at;
    std::array<char, 5> text{};
};

// Everything the map shows, in the plane around one centre: projected once
// per centre, so that drawing only scales. The stations' places are
// projected in pieces (projectPending), so that a large database never
// holds the window up.
class MapScene {
public:
    // The places of the stations, one per locator, as the map's reader of
    // the database hands them on: the count, and the place of each.
    using PlaceSource = std::function<geo::LatLon(std::size_t)>;

    MapScene(geo::LatLon centre, const geo::Coastlines& coastlines);

    // One place, projected exactly.
    geo::PlanePoint project(geo::LatLon place) const;

    // The stations' places; their projection is pending until
    // projectPending has come through them.
    void setPlaces(std::size_t count, PlaceSource placeOf);
    std::size_t placeCount() const { return places_.size(); }
    // The places projected so far, in the order of the source.
    std::span<const geo::PlanePoint> projectedPlaces() const {
        return std::span(places_).first(projectedPlaces_);
    }

    // Projects what is still pending, for about the given time at most.
    // True when nothing is pending any more.
    bool projectPending(std::chrono::nanoseconds budget);
    bool complete() const;

    // The coastlines projected so far; a line that crosses the rim (the
    // antipode) is cut there.
    std::span<const PlaneLine> coastlines() const { return coast_; }
    // The edges of the Maidenhead fields, and their names.
    std::span<const PlaneLine> fieldLines() const { return fieldLines_; }
    std::span<const GridLabel> fieldLabels() const { return fieldLabels_; }
    // The edges of the squares within radiusKm of the centre, and their
    // names; made when first asked for that far.
    std::span<const PlaneLine> squareLines(double radiusKm);
    std::span<const GridLabel> squareLabels(double radiusKm);

private:
    void addLine(std::vector<PlaneLine>& lines, std::span<const geo::LatLon> places) const;
    void makeFields();
    void makeSquares(double radiusKm);
    bool projectCoastlines(std::chrono::steady_clock::time_point until);
    bool projectPlaces(std::chrono::steady_clock::time_point until);

    geo::LatLon centre_;
    geo::FastProjection projection_;
    const geo::Coastlines& coastSource_;
    std::size_t coastProjected_ = 0;
    std::vector<PlaneLine> coast_;
    std::vector<PlaneLine> fieldLines_;
    std::vector<GridLabel> fieldLabels_;
    double squaresRadiusKm_ = 0;
    std::vector<PlaneLine> squareLines_;
    std::vector<GridLabel> squareLabels_;
    PlaceSource placeOf_;
    std::vector<geo::PlanePoint> places_;
    std::size_t projectedPlaces_ = 0;
};

} // namespace kelmora
