// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"
#include "map/map_scene.h"
#include "map/map_view.h"

#include <QFont>
#include <QImage>
#include <QRgb>
#include <span>

class QPainter;

namespace kelmora {

// The colours of the map, calm enough for the marked station to stand out.
namespace map_colours {
inline constexpr QRgb kBackground = 0xffe9ecef;
inline constexpr QRgb kSea = 0xfff7fafd;
inline constexpr QRgb kSquareLine = 0xffe1e7ee;
inline constexpr QRgb kFieldLine = 0xffb4c2d0;
inline constexpr QRgb kGridLabel = 0xff7d90a4;
inline constexpr QRgb kCoast = 0xff5a7d5a;
inline constexpr QRgb kRing = 0xffd29a4c;
inline constexpr QRgb kRingLabel = 0xff8a5c1c;
inline constexpr QRgb kStation = 0xff1d4fa3;      // a lone station's dot
inline constexpr QRgb kDenseStation = 0xff0a1c4a; // many stations in one dot
inline constexpr QRgb kCentre = 0xffc01c1c;
inline constexpr QRgb kMark = 0xffd61f26;
inline constexpr QRgb kRim = 0xff4a5560;
} // namespace map_colours

// The station marked on the map, where the path to it ends.
struct MarkedPlace {
    geo::PlanePoint at;
};

// Draws the map: the disc of the plane with its grid, coastlines, rings and
// stations, the own locator in the middle, and the headings around the rim.
// Sizes follow the font, so the map reads alike at every resolution.
class MapPainter {
public:
    MapPainter(MapScene& scene, const MapView& view, const QFont& font, double pixelRatio);

    // Everything but the marked station, which changes far more often.
    void paintBase(QPainter& painter, Language language);
    void paintMark(QPainter& painter, const MarkedPlace& marked);

    // The room the headings need around the disc, in logical pixels.
    static double rimRoom(const QFont& font);
    // The side of one station's dot, in logical pixels.
    static double dotSize(const QFont& font);

private:
    void paintGrid(QPainter& painter);
    void paintGridLabels(QPainter& painter, std::span<const GridLabel> labels, double minSpacing);
    void paintCoastlines(QPainter& painter);
    void paintRings(QPainter& painter, Language language);
    void paintStations(QPainter& painter);
    void paintCentre(QPainter& painter);
    void paintOutside(QPainter& painter);
    void paintRim(QPainter& painter);
    void paintLines(QPainter& painter, std::span<const PlaneLine> lines);

    MapScene& scene_;
    const MapView& view_;
    QFont font_;
    double pixelRatio_;
    double lineHeight_;
};

} // namespace kelmora
