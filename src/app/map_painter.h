// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "candidates/square_outlines.h"
#include "language/captions.h"
#include "log/log_book.h"
#include "map/map_scene.h"
#include "map/map_view.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRgb>
#include <memory>
#include <span>
#include <vector>

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
// The statuses of the stations in the user's log, from a palette that the
// colour-blind tell apart too (Okabe and Ito); each has a mark of its own.
inline constexpr QRgb kNewGrid = 0xffd55e00;
inline constexpr QRgb kNewCall = 0xff0072b2;
inline constexpr QRgb kWorked = 0xff6e6e6e;
inline constexpr QRgb kConfirmed = 0xff009e73;
// The squares worked on the band, and those confirmed, darker.
inline constexpr QRgb kSquareWorked = 0x6056b4e9;
inline constexpr QRgb kSquareConfirmed = 0x900072b2;
} // namespace map_colours

// How a station of each status is marked: a colour, and a shape that tells
// the statuses apart without it (a filled diamond for a new grid, a hollow
// square for a new call, a small square for worked, a cross for
// confirmed). The mark's pixels lie around the station's own pixel; dot is
// a station's dot size in device pixels.
struct StatusMark {
    QRgb colour;
    std::vector<QPoint> pixels;
    // The same pixels as runs along the rows: one row's pixels left to
    // right from offset (left, row) up to but not including right.
    struct Run {
        int row;
        int left;
        int right;
    };
    std::vector<Run> runs;
};
StatusMark statusMark(log::StationStatus status, int dot);
// The mark on its own, for the legend, the filter and the table.
QPixmap statusSymbol(log::StationStatus status, const QFont& font, double pixelRatio);

// What the user's log adds to the map: each station's status on the band
// (in the order of the scene's places), and the squares worked and
// confirmed on it. Without statuses the map shows no log.
struct LogLayer {
    std::shared_ptr<const std::vector<log::StationStatus>> statuses;
    std::vector<candidates::SquareOutlines::Outline> workedSquares; // not confirmed
    std::vector<candidates::SquareOutlines::Outline> confirmedSquares;
};

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

    // The log's statuses, squares and legend; none without.
    void setLogLayer(const LogLayer* layer) { layer_ = layer; }

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
    void paintSquares(QPainter& painter);
    void paintLegend(QPainter& painter, Language language);
    template <typename Function>
    void forEachStationPixel(int width, int height, Function function) const;
    QImage stationImage(int width, int height) const;
    QImage statusImage(int width, int height) const;
    void paintCentre(QPainter& painter);
    void paintOutside(QPainter& painter);
    void paintRim(QPainter& painter);
    void paintLines(QPainter& painter, std::span<const PlaneLine> lines);

    MapScene& scene_;
    const MapView& view_;
    QFont font_;
    double pixelRatio_;
    double lineHeight_;
    const LogLayer* layer_ = nullptr;
};

} // namespace kelmora
