// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/map_painter.h"
#include "map/map_scene.h"
#include "map/map_view.h"

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace kelmora {

// The map itself: the scene around the own locator, zoomed with the mouse
// wheel. Pointing at a station's dot shows what the description says of it;
// clicking it reports the station.
class MapWidget final : public QWidget {
    Q_OBJECT

public:
    explicit MapWidget(QWidget* parent = nullptr);
    ~MapWidget() override;

    // Nothing is drawn without a scene.
    void setScene(std::unique_ptr<MapScene> scene);
    MapScene* scene() const { return scene_.get(); }
    // Draws anew what the scene holds now, after more of it was projected.
    void sceneGrew();

    void setMarked(std::optional<MarkedPlace> marked);
    const std::optional<MarkedPlace>& marked() const { return marked_; }
    void setLanguage(Language language);
    // What the user's log adds: the stations' statuses and the squares.
    void setLogLayer(LogLayer layer);
    const LogLayer& logLayer() const { return logLayer_; }
    // The text of the tool tip over a station's dot.
    void setStationDescription(std::function<QString(std::size_t)> describeStation);

    const MapView& view() const { return view_; }
    void setRadiusKm(double radiusKm);

    // Where a point of the plane is drawn at the widget's present size.
    PixelPoint pixelOf(geo::PlanePoint point) const;
    // The station (the index of its place in the scene) whose dot is
    // nearest the point and under it, if any.
    std::optional<std::size_t> stationAt(QPointF point) const;
    // What the widget shows, drawn into a picture of the given size.
    QImage picture(QSize size, double pixelRatio) const;

signals:
    void stationClicked(std::size_t station);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fitView(MapView& view, QSizeF size) const;
    void paintMap(QPainter& painter, MapView& view, double pixelRatio) const;
    void forgetBase();

    std::unique_ptr<MapScene> scene_;
    MapView view_;
    std::optional<MarkedPlace> marked_;
    LogLayer logLayer_;
    Language language_ = Language::English;
    std::function<QString(std::size_t)> describeStation_;
    QPixmap base_; // everything but the mark, until something changes
    QPointF pressedAt_;
};

} // namespace kelmora
