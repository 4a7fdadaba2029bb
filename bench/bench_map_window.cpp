// SPDX-License-Identifier: GPL-3.0-or-later
// Times the map window. A full redraw of the map at 1000 x 800 pixels with a
// million stations, against drawing the same stations one by one with
// QPainter::drawPoints; and the opening of the map window on a database of
// 5,000 stations, until every station is on the map and it is painted,
// against the start of the main window on the same database.
// Usage: bench_map_window (runs offscreen unless QT_QPA_PLATFORM says otherwise)
#include "app/form1.h"
#include "app/form2.h"
#include "app/map_painter.h"
#include "app/map_widget.h"
#include "app/settings_store.h"
#include "bench_support.h"
#include "geo/locator.h"
#include "geo/map_stations.h"
#include "map/map_scene.h"
#include "map/map_view.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using namespace kelmora;
using namespace kelmora::bench;

constexpr int kRuns = 5;
constexpr std::uint64_t kMillion = 1'000'000;
constexpr std::uint64_t kRealSize = 5'000;
const QSize kPicture(1000, 800);
const char* const kOwnLocator = "JO62QM";

void store(const settings_store::Setting& setting, const QString& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       settings_store::kApplicationName, settings_store::kApplicationName);
    settings.setValue(settings_store::keyInSection(setting), value);
}

// The redraw of the whole map, as the window draws its base when anything in
// it changed, at a zoom radius.
double redrawSeconds(MapScene& scene, double radiusKm) {
    MapView view;
    view.setRadiusKm(radiusKm);
    QFont font;
    view.setArea(kPicture.width(), kPicture.height(), MapPainter::rimRoom(font));
    QImage image(kPicture, QImage::Format_ARGB32_Premultiplied);
    return bestSeconds(kRuns, [&] {
        QPainter painter(&image);
        MapPainter(scene, view, font, 1.0).paintBase(painter, Language::English);
    });
}

// The yardstick: every station drawn as a point of its own.
double pointByPointSeconds(const MapScene& scene, double radiusKm) {
    MapView view;
    view.setRadiusKm(radiusKm);
    view.setArea(kPicture.width(), kPicture.height(), MapPainter::rimRoom(QFont()));
    QImage image(kPicture, QImage::Format_ARGB32_Premultiplied);
    QPolygonF points;
    points.reserve(qsizetype(scene.projectedPlaces().size()));
    return bestSeconds(kRuns, [&] {
        points.clear();
        for (const geo::PlanePoint place : scene.projectedPlaces()) {
            const PixelPoint pixel = view.toPixel(place);
            points.append({pixel.x, pixel.y});
        }
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::blue, 2));
        painter.drawPoints(points);
    });
}

void benchRedraw(const ScratchFolder& folder) {
    const std::filesystem::path file = folder.path() / "ms_million.txt";
    generateDatabase(file, kMillion);
    warmPageCache(file);
    geo::MapStations stations;
    const double readSeconds =
        bestSeconds(1, [&] { stations = geo::MapStations::read(file, true); });
    MapScene scene(*geo::locatorCentre(kOwnLocator), geo::Coastlines::builtIn());
    scene.setPlaces(stations.size(), [&stations](std::size_t station) {
        return stations.stations()[station].locator().centre();
    });
    const double projectSeconds = bestSeconds(1, [&] {
        while (!scene.projectPending(std::chrono::seconds(10))) {
        }
    });
    const double perStation =
        double(stations.memoryBytes()) / double(stations.size()) + sizeof(geo::PlanePoint);
    std::printf("%llu stations: read in %.0f ms, projected in %.0f ms; %.1f bytes a station "
                "(%zu read, %zu projected)\n",
                static_cast<unsigned long long>(stations.size()), readSeconds * 1e3,
                projectSeconds * 1e3, perStation, sizeof(geo::MapStation), sizeof(geo::PlanePoint));
    for (const double radius : {MapView::kOpeningRadiusKm, MapView::kWholeEarthRadiusKm}) {
        const double map = redrawSeconds(scene, radius);
        const double points = pointByPointSeconds(scene, radius);
        std::printf("full redraw %dx%d, radius %5.0f km: %6.1f ms (limit 50 ms); "
                    "QPainter::drawPoints one by one: %6.1f ms; ratio %.2f\n",
                    kPicture.width(), kPicture.height(), radius, map * 1e3, points * 1e3,
                    map / points);
    }
}

// From Tools > Map until every station is on the map and the map is painted.
double openingSeconds(Form1& window) {
    auto* item = window.findChild<QAction*>(QStringLiteral("mnuKarte"));
    return bestSeconds(kRuns, [&] {
        item->trigger();
        Form2* map = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form2 = qobject_cast<Form2*>(widget); form2 && form2->isVisible()) {
                map = form2;
            }
        }
        while (!map->mapComplete()) {
            QCoreApplication::processEvents();
        }
        map->map()->repaint();
        map->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
}

// The main window from its start until the database is open and it is painted.
double mainWindowSeconds() {
    return bestSeconds(kRuns, [] {
        Form1 window;
        window.show();
        QCoreApplication::processEvents(); // the first display opens the database
        QCoreApplication::processEvents();
        window.repaint();
    });
}

void benchOpening(const ScratchFolder& folder) {
    generateDatabase(folder.path() / "ms5000.txt", kRealSize);
    QDir::setCurrent(QString::fromStdString(folder.path().string()));
    store(settings_store::kDatabase, QStringLiteral("ms5000.txt"));
    store(settings_store::kOwnLocator, QString::fromLatin1(kOwnLocator));
    const double start = mainWindowSeconds();
    Form1 window;
    window.show();
    QCoreApplication::processEvents();
    const double opening = openingSeconds(window);
    std::printf("map window on %llu stations: opened in %.1f ms (limit 100 ms); the main window "
                "started on them: %.1f ms; ratio %.2f\n",
                static_cast<unsigned long long>(kRealSize), opening * 1e3, start * 1e3,
                opening / start);
}
} // namespace

int main(int argc, char** argv) {
    // The benchmark's settings never touch the user's.
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const ScratchFolder folder;
    benchRedraw(folder);
    benchOpening(folder);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, settings_store::kApplicationName,
              settings_store::kApplicationName)
        .clear();
    return 0;
}
