// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/map_painter.h"

#include "language/log_texts.h"
#include "language/map_texts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace kelmora {
namespace {

using namespace map_colours;

constexpr double kRadians = std::numbers::pi / 180;

QPointF pointOf(PixelPoint pixel) {
    return {pixel.x, pixel.y};
}

// The point at a distance and heading from the centre.
geo::PlanePoint alongHeading(double headingDegrees, double km) {
    return {static_cast<float>(km * std::sin(headingDegrees * kRadians)),
            static_cast<float>(km * std::cos(headingDegrees * kRadians))};
}

// From this many stations on one pixel, a dot has the colour of a crowd.
constexpr std::uint8_t kCrowd = 32;

// Blends from the colour of a lone station towards the colour of a crowd.
QRgb dotColour(std::uint32_t stations) {
    const double weight = std::min(1.0, std::log2(double(stations)) / std::log2(double(kCrowd)));
    const auto mix = [weight](int lone, int crowd) {
        return static_cast<int>(std::lround(lone + (crowd - lone) * weight));
    };
    return qRgb(mix(qRed(kStation), qRed(kDenseStation)),
                mix(qGreen(kStation), qGreen(kDenseStation)),
                mix(qBlue(kStation), qBlue(kDenseStation)));
}

} // namespace

MapPainter::MapPainter(MapScene& scene, const MapView& view, const QFont& font, double pixelRatio)
    : scene_(scene), view_(view), font_(font), pixelRatio_(pixelRatio),
      lineHeight_(QFontMetricsF(font).height()) {}

double MapPainter::rimRoom(const QFont& font) {
    const QFontMetricsF metrics(font);
    return std::max(metrics.horizontalAdvance(QStringLiteral("330°")), metrics.height()) +
           metrics.height() * 0.6;
}

double MapPainter::dotSize(const QFont& font) {
    return std::max(2.0, std::round(QFontMetricsF(font).height() / 6));
}

void MapPainter::paintBase(QPainter& painter, Language language) {
    painter.save();
    painter.setFont(font_);
    painter.fillRect(painter.window(), QColor(kBackground));
    const PixelPoint centre = view_.centre();
    const double earth = std::min(view_.discRadius(), MapView::kAntipodeKm * view_.pixelsPerKm());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSea));
    painter.drawEllipse(pointOf(centre), earth, earth);
    paintSquares(painter);
    paintGrid(painter);
    paintCoastlines(painter);
    paintRings(painter, language);
    paintStations(painter);
    paintOutside(painter);
    paintCentre(painter);
    paintRim(painter);
    paintLegend(painter, language);
    painter.restore();
}

// Only the parts of a line near the disc are drawn, and a point closer than
// a pixel to the last one drawn is left out (the last point of each part
// never): at any zoom a line costs what it shows, not what it holds.
void MapPainter::paintLines(QPainter& painter, std::span<const PlaneLine> lines) {
    constexpr double kLeast = 0.75;
    const PixelPoint centre = view_.centre();
    // Points this far out still draw the lines that cut through the disc:
    // no step of a line is long enough to cross it from farther out.
    const double reach = view_.discRadius() * 1.25;
    const double reachSquared = reach * reach;
    const auto near = [&](const PixelPoint& pixel) {
        const double dx = pixel.x - centre.x;
        const double dy = pixel.y - centre.y;
        return dx * dx + dy * dy <= reachSquared;
    };
    QPolygonF polygon;
    const auto flush = [&] {
        if (polygon.size() > 1) {
            painter.drawPolyline(polygon);
        }
        polygon.clear();
    };
    for (const PlaneLine& line : lines) {
        PixelPoint previous{};
        bool previousNear = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const PixelPoint pixel = view_.toPixel(line[i]);
            const bool here = near(pixel);
            if (!here && !previousNear) {
                flush(); // this step lies wholly outside
            } else {
                if (polygon.isEmpty() && i > 0) {
                    polygon.append({previous.x, previous.y});
                }
                const bool last = i + 1 == line.size();
                if (polygon.isEmpty() || last || !here ||
                    std::abs(polygon.constLast().x() - pixel.x) >= kLeast ||
                    std::abs(polygon.constLast().y() - pixel.y) >= kLeast) {
                    polygon.append({pixel.x, pixel.y});
                }
            }
            previous = pixel;
            previousNear = here;
        }
        flush();
    }
}

void MapPainter::paintGrid(QPainter& painter) {
    const double squareHeight = 111 * view_.pixelsPerKm();
    painter.setBrush(Qt::NoBrush);
    // Thin light lines look as well without smoothing, at a fraction of the cost.
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (squareHeight >= lineHeight_ * 0.8) {
        painter.setPen(QPen(QColor(kSquareLine), 1));
        paintLines(painter, scene_.squareLines(view_.radiusKm()));
    }
    painter.setPen(QPen(QColor(kFieldLine), 1));
    paintLines(painter, scene_.fieldLines());
    painter.setRenderHint(QPainter::Antialiasing);

    // Where the squares are named, their names name the fields too.
    if (squareHeight >= lineHeight_ * 2.2) {
        paintGridLabels(painter, scene_.squareLabels(view_.radiusKm()), squareHeight);
        return;
    }
    QFont labelFont = font_;
    labelFont.setBold(true);
    painter.setFont(labelFont);
    paintGridLabels(painter, scene_.fieldLabels(), 1110 * view_.pixelsPerKm());
    painter.setFont(font_);
}

// A name is drawn where its grid cell is large enough for it, inside the
// disc, and not over a name drawn before.
void MapPainter::paintGridLabels(QPainter& painter, std::span<const GridLabel> labels,
                                 double cellHeight) {
    if (cellHeight < lineHeight_ * 1.8) {
        return;
    }
    const QFontMetricsF metrics(painter.font());
    const PixelPoint centre = view_.centre();
    const double inside = view_.discRadius() - lineHeight_;
    std::vector<QRectF> taken;
    painter.setPen(QColor(kGridLabel));
    for (const GridLabel& label : labels) {
        const PixelPoint at = view_.toPixel(label.at);
        if (std::hypot(at.x - centre.x, at.y - centre.y) > inside) {
            continue;
        }
        const QString text = QString::fromLatin1(label.text.data());
        QRectF box = metrics.boundingRect(text);
        box.moveCenter({at.x, at.y});
        if (std::any_of(taken.begin(), taken.end(),
                        [&box](const QRectF& other) { return other.intersects(box); })) {
            continue;
        }
        taken.push_back(box);
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

void MapPainter::paintCoastlines(QPainter& painter) {
    painter.setPen(QPen(QColor(kCoast), 1));
    painter.setBrush(Qt::NoBrush);
    paintLines(painter, scene_.coastlines());
}

void MapPainter::paintRings(QPainter& painter, Language language) {
    const double step = view_.ringStepKm(lineHeight_ * 2.5);
    const double scale = view_.pixelsPerKm();
    const PixelPoint centre = view_.centre();
    QPen pen(QColor(kRing), 1, Qt::DashLine);
    const QFontMetricsF metrics(font_);
    // A ring that would lie on the rim is left out: the rim names no distance.
    for (double km = step; km < MapView::kAntipodeKm && km * scale < view_.discRadius() - 2;
         km += step) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(pointOf(centre), km * scale, km * scale);
        if (km * scale + lineHeight_ > view_.discRadius()) {
            continue; // no room for its name inside the rim
        }
        // Each ring is named where it crosses the heading of 45 degrees.
        const PixelPoint at = view_.toPixel(alongHeading(45, km));
        const QString text = QString::fromStdString(map_texts::kilometres(language, km));
        QRectF box = metrics.boundingRect(text).adjusted(-2, 0, 2, 0);
        box.moveCenter({at.x, at.y});
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 200));
        painter.drawRoundedRect(box, 3, 3);
        painter.setPen(QColor(kRingLabel));
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

// Stations are drawn by pixel, not one by one: the stations on each pixel
// are gathered, and every pixel that holds any gets one mark. A million
// stations thus cost a pass over them and one over the picture.
void MapPainter::paintStations(QPainter& painter) {
    if (scene_.projectedPlaces().empty()) {
        return;
    }
    const int width = int(std::ceil(view_.width() * pixelRatio_));
    const int height = int(std::ceil(view_.height() * pixelRatio_));
    const bool statuses = layer_ && layer_->statuses;
    QImage dots = statuses ? statusImage(width, height) : stationImage(width, height);
    dots.setDevicePixelRatio(pixelRatio_);
    painter.drawImage(QPointF(0, 0), dots);
}

// Calls the function with the pixel (x, y) of every station projected so
// far that lies within the disc, and the station's index.
template <typename Function>
void MapPainter::forEachStationPixel(int width, int height, Function function) const {
    const auto places = scene_.projectedPlaces();
    const double scale = view_.pixelsPerKm() * pixelRatio_;
    const double centreX = view_.centre().x * pixelRatio_;
    const double centreY = view_.centre().y * pixelRatio_;
    const double disc = view_.discRadius() * pixelRatio_;
    const double discSquared = disc * disc;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const double dx = places[i].x * scale;
        const double dy = -places[i].y * scale;
        if (dx * dx + dy * dy > discSquared) {
            continue;
        }
        // Within the disc, both are at least 0: truncation is rounding down.
        const auto x = static_cast<int>(centreX + dx);
        const auto y = static_cast<int>(centreY + dy);
        if (x < width && y < height) {
            function(std::size_t(y) * std::size_t(width) + std::size_t(x), i);
        }
    }
}

// Without a log: every pixel that holds stations gets a dot, the darker the
// more stations it holds.
QImage MapPainter::stationImage(int width, int height) const {
    // Counted up to a crowd only, in a byte a pixel: small enough to stay in
    // the processor's cache.
    std::vector<std::uint8_t> counts(std::size_t(width) * std::size_t(height), 0);
    forEachStationPixel(width, height, [&counts](std::size_t pixel, std::size_t) {
        std::uint8_t& count = counts[pixel];
        count += count < kCrowd ? 1 : 0;
    });

    // Each dot is a square of the dot's size around its pixel.
    const int size = std::max(1, int(std::lround(dotSize(font_) * pixelRatio_)));
    const int before = (size - 1) / 2;
    QImage dots(width, height, QImage::Format_ARGB32_Premultiplied);
    dots.fill(Qt::transparent);
    auto* const bits = reinterpret_cast<QRgb*>(dots.bits());
    const auto stride = std::size_t(dots.bytesPerLine()) / sizeof(QRgb);
    std::array<QRgb, kCrowd + 1> colours{};
    for (std::uint8_t count = 1; count <= kCrowd; ++count) {
        colours[count] = dotColour(count);
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = counts.data() + std::size_t(y) * std::size_t(width);
        const int top = std::max(0, y - before);
        const int bottom = std::min(height, y - before + size);
        for (int x = 0; x < width; ++x) {
            if (row[x] == 0) {
                continue;
            }
            const QRgb colour = colours[row[x]];
            const int left = std::max(0, x - before);
            const int right = std::min(width, x - before + size);
            for (int line = top; line < bottom; ++line) {
                QRgb* pixels = bits + std::size_t(line) * stride;
                std::fill(pixels + left, pixels + right, colour);
            }
        }
    }
    return dots;
}

// With a log: every pixel gets the mark of each status among its stations,
// the lesser ones first, so that a new grid is drawn over all others.
QImage MapPainter::statusImage(int width, int height) const {
    const std::vector<log::StationStatus>& statuses = *layer_->statuses;
    // One bit a status, in a byte a pixel.
    std::vector<std::uint8_t> kinds(std::size_t(width) * std::size_t(height), 0);
    forEachStationPixel(width, height, [&](std::size_t pixel, std::size_t station) {
        if (station < statuses.size()) {
            kinds[pixel] |= std::uint8_t(1u << static_cast<unsigned>(statuses[station]));
        }
    });
    QImage dots(width, height, QImage::Format_ARGB32_Premultiplied);
    dots.fill(Qt::transparent);
    auto* const bits = reinterpret_cast<QRgb*>(dots.bits());
    const auto stride = std::size_t(dots.bytesPerLine()) / sizeof(QRgb);
    const int dot = std::max(1, int(std::lround(dotSize(font_) * pixelRatio_)));
    // The columns of the pixels of one status, row after row.
    std::vector<int> columns;
    std::vector<std::size_t> rowStarts(std::size_t(height) + 1);
    for (const log::StationStatus status :
         {log::StationStatus::Confirmed, log::StationStatus::Worked, log::StationStatus::NewCall,
          log::StationStatus::NewGrid}) {
        const std::uint8_t bit = std::uint8_t(1u << static_cast<unsigned>(status));
        columns.clear();
        for (int y = 0; y < height; ++y) {
            rowStarts[std::size_t(y)] = columns.size();
            const std::uint8_t* row = kinds.data() + std::size_t(y) * std::size_t(width);
            for (int x = 0; x < width; ++x) {
                if ((row[x] & bit) != 0) {
                    columns.push_back(x);
                }
            }
        }
        rowStarts[std::size_t(height)] = columns.size();
        // Each run of the mark, for all pixels of a row at once: where
        // neighbouring marks overlap (most of a crowded map), each pixel is
        // written once.
        const StatusMark mark = statusMark(status, dot);
        for (const StatusMark::Run& run : mark.runs) {
            for (int y = std::max(0, -run.row); y < height && y + run.row < height; ++y) {
                QRgb* pixels = bits + std::size_t(y + run.row) * stride;
                int covered = 0;
                for (std::size_t i = rowStarts[std::size_t(y)]; i < rowStarts[std::size_t(y) + 1];
                     ++i) {
                    const int left = std::max(covered, columns[i] + run.left);
                    const int right = std::min(width, columns[i] + run.right);
                    if (left < right) {
                        std::fill(pixels + left, pixels + right, mark.colour);
                        covered = right;
                    }
                }
            }
        }
    }
    return dots;
}

// The squares worked on the band, shaded, and the confirmed ones darker.
void MapPainter::paintSquares(QPainter& painter) {
    if (!layer_) {
        return;
    }
    painter.setPen(Qt::NoPen);
    // Neighbouring squares meet without a seam, and thousands cost little.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const auto shade = [&](const std::vector<candidates::SquareOutlines::Outline>& squares,
                           QRgb colour) {
        painter.setBrush(QColor::fromRgba(colour));
        const PixelPoint centre = view_.centre();
        const double reach = view_.discRadius() * 1.1;
        for (const candidates::SquareOutlines::Outline& outline : squares) {
            QPolygonF polygon;
            for (const geo::PlanePoint corner : outline) {
                const PixelPoint pixel = view_.toPixel(corner);
                polygon.append({pixel.x, pixel.y});
            }
            const QPointF middle = polygon.boundingRect().center();
            if (std::hypot(middle.x() - centre.x, middle.y() - centre.y) <= reach) {
                painter.drawPolygon(polygon);
            }
        }
    };
    shade(layer_->workedSquares, kSquareWorked);
    shade(layer_->confirmedSquares, kSquareConfirmed);
    painter.setRenderHint(QPainter::Antialiasing);
}

// In the lower left corner: each status's mark and the squares' shades.
void MapPainter::paintLegend(QPainter& painter, Language language) {
    if (!layer_ || !layer_->statuses) {
        return;
    }
    struct Entry {
        QPixmap symbol;
        QColor shade;
        QString text;
    };
    std::vector<Entry> entries;
    for (const log::StationStatus status :
         {log::StationStatus::NewGrid, log::StationStatus::NewCall, log::StationStatus::Worked,
          log::StationStatus::Confirmed}) {
        entries.push_back({statusSymbol(status, font_, pixelRatio_),
                           {},
                           QString::fromStdString(log_texts::statusName(language, status))});
    }
    entries.push_back({{},
                       QColor::fromRgba(kSquareWorked),
                       QString::fromStdString(log_texts::squareWorked(language))});
    entries.push_back({{},
                       QColor::fromRgba(kSquareConfirmed),
                       QString::fromStdString(log_texts::squareConfirmed(language))});
    const QFontMetricsF metrics(font_);
    const double symbolWidth = lineHeight_;
    double textWidth = 0;
    for (const Entry& entry : entries) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.text));
    }
    const double margin = lineHeight_ * 0.4;
    const QRectF box(
        margin, view_.height() - margin - lineHeight_ * double(entries.size()) - margin,
        margin * 3 + symbolWidth + textWidth, lineHeight_ * double(entries.size()) + margin);
    painter.setPen(QPen(QColor(kRim), 1));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRoundedRect(box, 3, 3);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QRectF line(box.left() + margin, box.top() + margin / 2 + lineHeight_ * double(i),
                          box.width() - margin * 2, lineHeight_);
        const QRectF symbol(line.left(), line.top(), symbolWidth, lineHeight_);
        const Entry& entry = entries[i];
        if (!entry.symbol.isNull()) {
            const QSizeF size = entry.symbol.deviceIndependentSize();
            painter.drawPixmap(symbol.center() - QPointF(size.width(), size.height()) / 2,
                               entry.symbol);
        } else {
            painter.setPen(QPen(QColor(kRim), 1));
            painter.setBrush(entry.shade);
            painter.drawRect(symbol.adjusted(2, 3, -2, -3));
        }
        painter.setPen(QColor(kRim));
        painter.drawText(line.adjusted(symbolWidth + margin, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, entry.text);
    }
}

StatusMark statusMark(log::StationStatus status, int dot) {
    StatusMark mark{kStation, {}, {}};
    const int large = dot + 1; // half the width of the larger marks
    const int small = std::max(1, large - 1);
    const int rim = std::max(1, dot / 2);
    const int armHalfWidth = dot >= 4 ? 1 : 0;
    for (int dy = -large; dy <= large; ++dy) {
        for (int dx = -large; dx <= large; ++dx) {
            const int across = std::max(std::abs(dx), std::abs(dy));
            bool inside = false;
            switch (status) {
            case log::StationStatus::NewGrid:
                mark.colour = kNewGrid;
                inside = std::abs(dx) + std::abs(dy) <= large;
                break;
            case log::StationStatus::NewCall:
                mark.colour = kNewCall;
                inside = across > large - rim;
                break;
            case log::StationStatus::Worked:
                mark.colour = kWorked;
                inside = across <= small;
                break;
            case log::StationStatus::Confirmed:
            case log::StationStatus::NoLocator:
                mark.colour = kConfirmed;
                inside = std::min(std::abs(dx), std::abs(dy)) <= armHalfWidth;
                break;
            }
            if (inside) {
                mark.pixels.emplace_back(dx, dy);
                const bool goesOn = !mark.runs.empty() && mark.runs.back().row == dy &&
                                    mark.runs.back().right == dx;
                if (goesOn) {
                    ++mark.runs.back().right;
                } else {
                    mark.runs.push_back({dy, dx, dx + 1});
                }
            }
        }
    }
    return mark;
}

QPixmap statusSymbol(log::StationStatus status, const QFont& font, double pixelRatio) {
    const int dot = std::max(1, int(std::lround(MapPainter::dotSize(font) * pixelRatio)));
    const StatusMark mark = statusMark(status, dot);
    const int side = 2 * (dot + 1) + 1;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (const QPoint offset : mark.pixels) {
        image.setPixel(offset.x() + dot + 1, offset.y() + dot + 1, mark.colour);
    }
    image.setDevicePixelRatio(pixelRatio);
    return QPixmap::fromImage(image);
}

void MapPainter::paintCentre(QPainter& painter) {
    const QPointF centre = pointOf(view_.centre());
    const double arm = lineHeight_ * 0.5;
    painter.setPen(QPen(QColor(kCentre), 2));
    painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

// What lies outside the disc is covered, so that nothing drawn runs into
// the rim's headings.
void MapPainter::paintOutside(QPainter& painter) {
    QPainterPath outside;
    outside.addRect(painter.window());
    const double radius = view_.discRadius();
    outside.addEllipse(pointOf(view_.centre()), radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kBackground));
    painter.drawPath(outside);
}

void MapPainter::paintRim(QPainter& painter) {
    const QPointF centre = pointOf(view_.centre());
    const double radius = view_.discRadius();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(kRim), 1.5));
    painter.drawEllipse(centre, radius, radius);
    const QFontMetricsF metrics(font_);
    const double tick = lineHeight_ * 0.3;
    for (int heading = 0; heading < 360; heading += 10) {
        const double angle = heading * kRadians;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        const bool named = heading % 30 == 0;
        painter.setPen(QPen(QColor(kRim), named ? 1.5 : 1));
        painter.drawLine(centre + direction * radius,
                         centre + direction * (radius + (named ? tick : tick / 2)));
        if (!named) {
            continue;
        }
        const QString text = QString::fromStdString(map_texts::degrees(heading));
        QRectF box = metrics.boundingRect(text);
        const double half = std::max(box.width(), box.height()) / 2;
        box.moveCenter(centre + direction * (radius + tick + 2 + half));
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

void MapPainter::paintMark(QPainter& painter, const MarkedPlace& marked) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = pointOf(view_.centre());
    const double radius = view_.discRadius();
    const double scale = view_.pixelsPerKm();
    const QPointF offset(marked.at.x * scale, -marked.at.y * scale);
    const double distance = std::hypot(offset.x(), offset.y());
    if (distance >= 0.5) {
        // The geodesic from the centre is the straight line of its heading
        // on this projection. The long path goes on from the station to the
        // antipode at the rim, and out from the centre the opposite way.
        const QPointF direction = offset / distance;
        const double earthEdge = std::min(radius, MapView::kAntipodeKm * scale);
        painter.setPen(QPen(QColor(kMark), 1.5, Qt::DashLine));
        if (distance < earthEdge) {
            painter.drawLine(centre + direction * distance, centre + direction * earthEdge);
        }
        painter.drawLine(centre, centre - direction * earthEdge);
        painter.setPen(QPen(QColor(kMark), 2.5));
        painter.drawLine(centre, centre + direction * std::min(distance, radius));
    }
    if (distance <= radius) {
        const double ring = lineHeight_ * 0.45;
        painter.setPen(QPen(QColor(kMark), 2));
        painter.setBrush(QColor(255, 255, 255, 160));
        painter.drawEllipse(centre + offset, ring, ring);
    }
    painter.restore();
}

} // namespace kelmora
