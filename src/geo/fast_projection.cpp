// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/fast_projection.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kelmora::geo {
namespace {

constexpr double kStep = 4;   // degrees between nodes
constexpr int kLatNodes = 46; // -90 to 90
constexpr int kLonNodes = 90; // -180 to 176; 180 is -180 again
constexpr int kMargin = 2;
constexpr int kWidth = kLonNodes + 2 * kMargin;
constexpr int kHeight = kLatNodes + 2 * kMargin;

std::size_t at(int latIndex, int lonIndex) {
    return std::size_t(latIndex + kMargin) * kWidth + std::size_t(lonIndex + kMargin);
}

// Catmull-Rom: the cubic through p1 and p2 with the slopes its neighbours give.
float cubic(float p0, float p1, float p2, float p3, float t) {
    return p1 + 0.5f * t *
                    (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
}

PlanePoint cubic(const PlanePoint* p, float t) {
    return {cubic(p[0].x, p[1].x, p[2].x, p[3].x, t), cubic(p[0].y, p[1].y, p[2].y, p[3].y, t)};
}

} // namespace

FastProjection::FastProjection(LatLon centre)
    : exact_(centre), nodes_(std::size_t(kWidth) * kHeight),
      torn_(std::size_t(kLatNodes - 1) * kLonNodes) {
    for (int j = 0; j < kLatNodes; ++j) {
        for (int i = 0; i < kLonNodes; ++i) {
            const PlaneKm point = exact_.forward({-90 + j * kStep, -180 + i * kStep});
            nodes_[at(j, i)] = {float(point.x), float(point.y)};
        }
    }
    fillMargins();
    findTornCells();
}

PlanePoint FastProjection::node(int latIndex, int lonIndex) const {
    return nodes_[at(latIndex, lonIndex)];
}

void FastProjection::fillMargins() {
    for (int j = 0; j < kLatNodes; ++j) {
        for (int k = 1; k <= kMargin; ++k) {
            nodes_[at(j, -k)] = node(j, kLonNodes - k);
            nodes_[at(j, kLonNodes - 1 + k)] = node(j, k - 1);
        }
    }
    // Past a pole the meridian goes on at the opposite longitude.
    const int half = kLonNodes / 2;
    for (int k = 1; k <= kMargin; ++k) {
        for (int i = -kMargin; i < kLonNodes + kMargin; ++i) {
            const int opposite = ((i + half) % kLonNodes + kLonNodes) % kLonNodes;
            nodes_[at(kLatNodes - 1 + k, i)] = node(kLatNodes - 1 - k, opposite);
            nodes_[at(-k, i)] = node(k, opposite);
        }
    }
}

void FastProjection::findTornCells() {
    for (int j = 0; j + 1 < kLatNodes; ++j) {
        for (int i = 0; i < kLonNodes; ++i) {
            bool torn = false;
            for (int row = j - 1; row <= j + 2 && !torn; ++row) {
                for (int column = i - 1; column <= i + 2 && !torn; ++column) {
                    const PlanePoint p = node(row, column);
                    torn = std::hypot(p.x, p.y) > kInterpolatedWithinKm;
                }
            }
            torn_[std::size_t(j) * kLonNodes + std::size_t(i)] = torn;
        }
    }
}

PlanePoint FastProjection::forward(LatLon place) const {
    const double u = (place.longitude + 180) / kStep;
    const double v = (place.latitude + 90) / kStep;
    const int i = std::clamp(int(std::floor(u)), 0, kLonNodes - 1);
    const int j = std::clamp(int(std::floor(v)), 0, kLatNodes - 2);
    if (torn_[std::size_t(j) * kLonNodes + std::size_t(i)]) {
        const PlaneKm point = exact_.forward(place);
        return {float(point.x), float(point.y)};
    }
    const auto tu = static_cast<float>(u - i);
    const auto tv = static_cast<float>(v - j);
    PlanePoint rows[4];
    for (int r = 0; r < 4; ++r) {
        rows[r] = cubic(&nodes_[at(j - 1 + r, i - 1)], tu);
    }
    return cubic(rows, tv);
}

} // namespace kelmora::geo
