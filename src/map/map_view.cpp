// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/map_view.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelmora {

void MapView::setArea(double width, double height, double rimRoom) {
    width_ = width;
    height_ = height;
    discRadius_ = std::max(1.0, std::min(width, height) / 2 - rimRoom);
}

void MapView::zoom(double steps) {
    setRadiusKm(radiusKm_ * std::pow(0.8, steps));
}

void MapView::setRadiusKm(double radiusKm) {
    radiusKm_ = std::clamp(radiusKm, kNearestRadiusKm, kWholeEarthRadiusKm);
}

geo::PlanePoint MapView::toPlane(PixelPoint pixel) const {
    const double scale = pixelsPerKm();
    return {static_cast<float>((pixel.x - width_ / 2) / scale),
            static_cast<float>((height_ / 2 - pixel.y) / scale)};
}

double MapView::ringStepKm(double minSpacing) const {
    static constexpr std::array<double, 4> kSteps = {500, 1000, 2500, 5000};
    for (const double step : kSteps) {
        if (step * pixelsPerKm() >= minSpacing) {
            return step;
        }
    }
    return kSteps.back();
}

} // namespace kelmora
