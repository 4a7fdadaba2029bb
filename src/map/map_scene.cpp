// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/map_scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelmora {
namespace {

using Clock = std::chrono::steady_clock;

// A line of the plane is cut where one step jumps farther than this. Near
// the centre a step is never this long; near the antipode, which the map
// shows as its rim, two neighbouring places can fall on opposite sides.
constexpr float kTearKm = 2000;

// How many points are projected between two looks at the clock.
constexpr std::size_t kPointsPerLook = 512;

// Great-circle distance on a sphere of the Earth's mean radius: good enough
// to choose which grid lines lie near the centre, where exactness is no matter.
double roughDistanceKm(geo::LatLon a, geo::LatLon b) {
    constexpr double kRadiusKm = 6371.0;
    constexpr double kRadians = std::numbers::pi / 180;
    const double dLat = (b.latitude - a.latitude) * kRadians;
    const double dLon = (b.longitude - a.longitude) * kRadians;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(a.latitude * kRadians) * std::cos(b.latitude * kRadians) *
                         std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

bool farApart(geo::PlanePoint a, geo::PlanePoint b) {
    return std::hypot(a.x - b.x, a.y - b.y) > kTearKm;
}

GridLabel label(geo::PlanePoint at, std::initializer_list<char> text) {
    GridLabel made{at, {}};
    std::copy(text.begin(), text.end(), made.text.begin());
    return made;
}

} // namespace

MapScene::MapScene(geo::LatLon centre, const geo::Coastlines& coastlines)
    : centre_(centre), projection_(centre), coastSource_(coastlines) {
    makeFields();
}

geo::PlanePoint MapScene::project(geo::LatLon place) const {
    const geo::PlaneKm point = projection_.exact().forward(place);
    return {static_cast<float>(point.x), static_cast<float>(point.y)};
}

void MapScene::addLine(std::vector<PlaneLine>& lines, std::span<const geo::LatLon> places) const {
    PlaneLine line;
    line.reserve(places.size());
    for (const geo::LatLon place : places) {
        const geo::PlanePoint point = projection_.forward(place);
        if (!line.empty() && farApart(line.back(), point)) {
            if (line.size() > 1) {
                lines.push_back(std::move(line));
            }
            line.clear();
        }
        line.push_back(point);
    }
    if (line.size() > 1) {
        lines.push_back(std::move(line));
    }
}

// Fields are 20 degrees of longitude wide and 10 of latitude high.
void MapScene::makeFields() {
    std::vector<geo::LatLon> places;
    for (int lon = -180; lon < 180; lon += 20) {
        places.clear();
        for (int lat = -90; lat <= 90; ++lat) {
            places.push_back({double(lat), double(lon)});
        }
        addLine(fieldLines_, places);
    }
    for (int lat = -80; lat <= 80; lat += 10) {
        places.clear();
        for (int lon = -180; lon <= 180; lon += 2) {
            places.push_back({double(lat), double(lon)});
        }
        addLine(fieldLines_, places);
    }
    for (int i = 0; i < 18; ++i) {
        for (int j = 0; j < 18; ++j) {
            const geo::LatLon middle{-85.0 + 10 * j, -170.0 + 20 * i};
            fieldLabels_.push_back(
                label(projection_.forward(middle), {char('A' + i), char('A' + j)}));
        }
    }
}

std::span<const PlaneLine> MapScene::squareLines(double radiusKm) {
    makeSquares(radiusKm);
    return squareLines_;
}

std::span<const GridLabel> MapScene::squareLabels(double radiusKm) {
    makeSquares(radiusKm);
    return squareLabels_;
}

// Squares are 2 degrees of longitude wide and 1 of latitude high. Their
// edges are followed in half degrees, as far as they lie within the radius.
void MapScene::makeSquares(double radiusKm) {
    if (radiusKm <= squaresRadiusKm_) {
        return;
    }
    // Made in steps of 1000 km, so that a growing window does not make them
    // again and again.
    squaresRadiusKm_ = std::ceil(radiusKm / 1000) * 1000;
    squareLines_.clear();
    squareLabels_.clear();
    const double reach = squaresRadiusKm_ + 200; // the rough distance errs by less
    // No degree of latitude is shorter than 110 km: the band that can be in reach.
    const double lowest = std::max(-90.0, centre_.latitude - reach / 110);
    const double highest = std::min(90.0, centre_.latitude + reach / 110);
    std::vector<geo::LatLon> run;
    const auto followEdge = [&](auto placeAt, int first, int last) {
        run.clear();
        for (int step = first; step <= last; ++step) {
            const geo::LatLon place = placeAt(step);
            if (roughDistanceKm(centre_, place) <= reach) {
                run.push_back(place);
            } else if (!run.empty()) {
                addLine(squareLines_, run);
                run.clear();
            }
        }
        addLine(squareLines_, run);
    };
    // Meridians every 2 degrees and parallels every degree, followed in half
    // degrees; those of the fields are drawn already.
    const int firstHalfDegree = int(std::floor((lowest + 90) * 2));
    const int lastHalfDegree = int(std::ceil((highest + 90) * 2));
    for (int lon = -178; lon < 180; lon += 2) {
        if (lon % 20 != 0) {
            followEdge(
                [lon](int step) {
                    return geo::LatLon{-90 + step * 0.5, double(lon)};
                },
                firstHalfDegree, lastHalfDegree);
        }
    }
    for (int lat = int(std::ceil(lowest)); lat <= int(std::floor(highest)); ++lat) {
        if (lat % 10 != 0) {
            followEdge(
                [lat](int step) {
                    return geo::LatLon{double(lat), -180 + step * 0.5};
                },
                0, 720);
        }
    }
    for (int j = std::max(0, int(std::floor(lowest)) + 89); j < 180 && -89.5 + j <= highest + 1;
         ++j) {
        for (int i = 0; i < 180; ++i) {
            const geo::LatLon middle{-89.5 + j, -179.0 + 2 * i};
            if (roughDistanceKm(centre_, middle) <= squaresRadiusKm_) {
                squareLabels_.push_back(
                    label(projection_.forward(middle), {char('A' + i / 10), char('A' + j / 10),
                                                        char('0' + i % 10), char('0' + j % 10)}));
            }
        }
    }
}

void MapScene::setPlaces(std::size_t count, PlaceSource placeOf) {
    placeOf_ = std::move(placeOf);
    places_.assign(count, geo::PlanePoint{});
    places_.shrink_to_fit();
    projectedPlaces_ = 0;
}

bool MapScene::complete() const {
    return coastProjected_ == coastSource_.lineCount() && projectedPlaces_ == places_.size();
}

bool MapScene::projectPending(std::chrono::nanoseconds budget) {
    const Clock::time_point until = Clock::now() + budget;
    return projectCoastlines(until) && projectPlaces(until);
}

bool MapScene::projectCoastlines(Clock::time_point until) {
    std::size_t sinceLook = 0;
    while (coastProjected_ < coastSource_.lineCount()) {
        const auto line = coastSource_.line(coastProjected_++);
        addLine(coast_, line);
        sinceLook += line.size();
        if (sinceLook >= kPointsPerLook) {
            sinceLook = 0;
            if (Clock::now() >= until) {
                return complete();
            }
        }
    }
    return true;
}

bool MapScene::projectPlaces(Clock::time_point until) {
    while (projectedPlaces_ < places_.size()) {
        const std::size_t end = std::min(places_.size(), projectedPlaces_ + kPointsPerLook);
        for (; projectedPlaces_ < end; ++projectedPlaces_) {
            places_[projectedPlaces_] = projection_.forward(placeOf_(projectedPlaces_));
        }
        if (Clock::now() >= until) {
            break;
        }
    }
    return complete();
}

} // namespace kelmora
