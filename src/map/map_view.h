// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "map/map_scene.h"

namespace kelmora {

// A point of the widget, in its logical pixels.
struct PixelPoint {
    double x = 0;
    double y = 0;
};

// How the map's plane meets the widget: a disc in the middle of the widget,
// with room around it for the headings at its rim, showing radiusKm around
// the own locator. The mouse wheel changes that radius.
class MapView {
public:
    static constexpr double kOpeningRadiusKm = 3000;
    // The nearest view still shows the first ring, 500 km, inside the rim.
    static constexpr double kNearestRadiusKm = 600;
    // A little more than half the Earth's circumference: the whole Earth.
    static constexpr double kWholeEarthRadiusKm = 20100;
    // The farthest any place can be from the centre (half the equator).
    static constexpr double kAntipodeKm = 20037.5;

    // The widget's size and the room kept free around the disc.
    void setArea(double width, double height, double rimRoom);
    // Zooms in (steps above 0) or out, by a quarter per step, within the
    // nearest radius and the whole Earth.
    void zoom(double steps);
    void setRadiusKm(double radiusKm);

    double radiusKm() const { return radiusKm_; }
    double width() const { return width_; }
    double height() const { return height_; }
    PixelPoint centre() const { return {width_ / 2, height_ / 2}; }
    double discRadius() const { return discRadius_; }
    double pixelsPerKm() const { return discRadius_ / radiusKm_; }

    PixelPoint toPixel(geo::PlanePoint point) const {
        const double scale = pixelsPerKm();
        return {width_ / 2 + point.x * scale, height_ / 2 - point.y * scale};
    }
    geo::PlanePoint toPlane(PixelPoint pixel) const;

    // The distance between two rings: the smallest of 500, 1000, 2500 and
    // 5000 km that leaves at least minSpacing pixels between them.
    double ringStepKm(double minSpacing) const;

private:
    double width_ = 0;
    double height_ = 0;
    double discRadius_ = 1;
    double radiusKm_ = kOpeningRadiusKm;
};

} // namespace kelmora
