// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/map_widget.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

namespace kelmora {
namespace {

// A wheel's notch, in the units of QWheelEvent::angleDelta.
constexpr double kNotch = 120;

} // namespace

MapWidget::MapWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picMap"));
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 200);
}

MapWidget::~MapWidget() = default;

void MapWidget::setScene(std::unique_ptr<MapScene> scene) {
    scene_ = std::move(scene);
    forgetBase();
}

void MapWidget::sceneGrew() {
    forgetBase();
}

void MapWidget::setMarked(std::optional<MarkedPlace> marked) {
    marked_ = marked;
    update();
}

void MapWidget::setLanguage(Language language) {
    language_ = language;
    forgetBase();
}

void MapWidget::setLogLayer(LogLayer layer) {
    logLayer_ = std::move(layer);
    forgetBase();
}

void MapWidget::setStationDescription(std::function<QString(std::size_t)> describeStation) {
    describeStation_ = std::move(describeStation);
}

void MapWidget::setRadiusKm(double radiusKm) {
    view_.setRadiusKm(radiusKm);
    forgetBase();
}

void MapWidget::forgetBase() {
    base_ = QPixmap();
    update();
}

void MapWidget::fitView(MapView& view, QSizeF size) const {
    view.setArea(size.width(), size.height(), MapPainter::rimRoom(font()));
}

void MapWidget::paintMap(QPainter& painter, MapView& view, double pixelRatio) const {
    MapPainter mapPainter(*scene_, view, font(), pixelRatio);
    mapPainter.setLogLayer(&logLayer_);
    mapPainter.paintBase(painter, language_);
    if (marked_) {
        mapPainter.paintMark(painter, *marked_);
    }
}

// The base of the map is drawn once and kept until something in it changes,
// so that a new mark costs only the mark.
void MapWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!scene_) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    fitView(view_, size());
    const double ratio = devicePixelRatioF();
    MapPainter mapPainter(*scene_, view_, font(), ratio);
    mapPainter.setLogLayer(&logLayer_);
    if (base_.isNull()) {
        base_ = QPixmap((QSizeF(size()) * ratio).toSize());
        base_.setDevicePixelRatio(ratio);
        QPainter basePainter(&base_);
        mapPainter.paintBase(basePainter, language_);
    }
    painter.drawPixmap(0, 0, base_);
    if (marked_) {
        mapPainter.paintMark(painter, *marked_);
    }
}

QImage MapWidget::picture(QSize size, double pixelRatio) const {
    QImage image((QSizeF(size) * pixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(palette().window().color());
    if (!scene_) {
        return image;
    }
    MapView view = view_;
    fitView(view, size);
    QPainter painter(&image);
    paintMap(painter, view, pixelRatio);
    return image;
}

void MapWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    base_ = QPixmap();
}

void MapWidget::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / kNotch;
    if (steps == 0) {
        event->ignore();
        return;
    }
    view_.zoom(steps);
    forgetBase();
    event->accept();
}

PixelPoint MapWidget::pixelOf(geo::PlanePoint point) const {
    MapView view = view_;
    fitView(view, size());
    return view.toPixel(point);
}

std::optional<std::size_t> MapWidget::stationAt(QPointF point) const {
    if (!scene_) {
        return std::nullopt;
    }
    MapView view = view_;
    fitView(view, size());
    const PixelPoint centre = view.centre();
    if (std::hypot(point.x() - centre.x, point.y() - centre.y) > view.discRadius()) {
        return std::nullopt;
    }
    // Within half a line's height of the dot's middle counts as on it.
    const double reach = std::max(MapPainter::dotSize(font()), fontMetrics().height() / 2.0);
    const geo::PlanePoint at = view.toPlane({point.x(), point.y()});
    const double reachKm = reach / view.pixelsPerKm();
    double nearest = reachKm * reachKm;
    std::optional<std::size_t> found;
    const auto places = scene_->projectedPlaces();
    for (std::size_t i = 0; i < places.size(); ++i) {
        const double dx = places[i].x - at.x;
        const double dy = places[i].y - at.y;
        const double squared = dx * dx + dy * dy;
        if (squared <= nearest) {
            nearest = squared;
            found = i;
        }
    }
    return found;
}

bool MapWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const auto station = stationAt(help->pos());
        if (station && describeStation_) {
            QToolTip::showText(help->globalPos(), describeStation_(*station), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void MapWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position();
    }
    QWidget::mousePressEvent(event);
}

void MapWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = event->button() == Qt::LeftButton &&
                       (event->position() - pressedAt_).manhattanLength() <= 4;
    if (click) {
        if (const auto station = stationAt(event->position())) {
            emit stationClicked(*station);
        }
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace kelmora
