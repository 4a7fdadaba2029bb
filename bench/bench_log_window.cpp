// SPDX-License-Identifier: GPL-3.0-or-later
// Times the user's log in the map window on the benchmark database of a
// million stations and a log of 100,000 QSOs: the statuses of every station
// once both are read, against reading the stations for the map; the table
// of candidates sorted by distance, against QSortFilterProxyModel sorting
// the same rows by the same distances; the map redrawn with every station
// marked by its status, against the redraw without a log.
// Usage: bench_log_window (runs offscreen unless QT_QPA_PLATFORM says otherwise)
#include "app/candidate_model.h"
#include "app/map_painter.h"
#include "bench_support.h"
#include "candidates/station_keys.h"
#include "candidates/station_paths.h"
#include "geo/locator.h"
#include "geo/map_stations.h"
#include "log/log_reading.h"
#include "map/map_scene.h"
#include "map/map_view.h"

#include <QApplication>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

using namespace kelmora;
using namespace kelmora::bench;
namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr std::uint64_t kStations = 1'000'000;
constexpr std::uint64_t kQsos = 100'000;
constexpr std::uint32_t kDistinctCalls = 20'000;
constexpr double kStatusGoalMs = 100;
constexpr double kSortGoalMs = 200;
constexpr double kRedrawGoalMs = 50;
const char* const kOwnLocator = "JO62QM";
const QSize kPicture(1000, 800);

const char* verdict(double ms, double goal) {
    return ms <= goal ? "met" : "MISSED";
}

// The reference of the table's sort: Qt's own sorting proxy over the same
// rows, comparing the same distances, as a table sorted by Qt would be.
class DistanceProxy final : public QSortFilterProxyModel {
public:
    DistanceProxy(const CandidateModel& model, const std::vector<float>& distances)
        : model_(model), distances_(distances) {}

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        return distances_[model_.stationAt(left.row())] < distances_[model_.stationAt(right.row())];
    }

private:
    const CandidateModel& model_;
    const std::vector<float>& distances_;
};

struct Setting {
    std::shared_ptr<const geo::MapStations> stations;
    candidates::StationKeys keys;
    std::shared_ptr<const candidates::StationPaths> paths;
    std::shared_ptr<const log::LogReading> log;
};

std::shared_ptr<const std::vector<log::StationStatus>> statusesOf(const Setting& setting) {
    auto statuses = std::make_shared<std::vector<log::StationStatus>>(setting.keys.calls.size());
    setting.log->book.statusesOf(log::Band::TwoMetres, setting.keys.calls, setting.keys.grids,
                                 *statuses);
    return statuses;
}

// Once the stations and the log are read: the stations' keys (once per
// database) and their statuses (again for every band and every new reading
// of the log).
void benchStatuses(Setting& setting, const fs::path& database) {
    const double read = bestSeconds(kRuns, [&] {
        setting.stations =
            std::make_shared<const geo::MapStations>(geo::MapStations::read(database, true));
    });
    const double keys =
        bestSeconds(kRuns, [&] { setting.keys = candidates::keysOf(*setting.stations); });
    std::shared_ptr<const std::vector<log::StationStatus>> statuses;
    const double status = bestSeconds(kRuns, [&] { statuses = statusesOf(setting); });
    const double both = (keys + status) * 1e3;
    std::printf("%zu stations, log of %llu QSOs (%zu calls):\n", setting.stations->size(),
                static_cast<unsigned long long>(setting.log->qsosRead),
                setting.log->book.callCount());
    std::printf("  keys (calls and squares, once per database)  %7.1f ms\n", keys * 1e3);
    std::printf("  statuses on 2 m                              %7.1f ms\n", status * 1e3);
    std::printf("  both: %.1f ms (goal <= %.0f ms): %s; reference, the map's reading of the "
                "stations: %.1f ms; ratio %.2f\n",
                both, kStatusGoalMs, verdict(both, kStatusGoalMs), read * 1e3, both / (read * 1e3));
}

// Every station in the table (the widest range, every status), sorted by
// distance; each run the other way round, so that no run finds its rows in
// order already.
void benchSort(const Setting& setting) {
    CandidateModel model;
    model.setDatabase(setting.stations, std::nullopt, candidates::FieldLayout(StationColumns(true)),
                      {});
    model.setPaths(setting.paths);
    model.setStatuses(statusesOf(setting));
    candidates::CandidateFilter all;
    all.range = {0, 20100};
    model.setFilter(all);
    bool descending = false;
    const double ours = bestSeconds(kRuns, [&] {
        descending = !descending;
        model.sort(CandidateModel::DistanceColumn,
                   descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    const double status = bestSeconds(kRuns, [&] {
        descending = !descending;
        model.sort(CandidateModel::StatusColumn,
                   descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    const double filter = bestSeconds(kRuns, [&] { model.setFilter(all); });
    DistanceProxy proxy(model, setting.paths->distancesKm);
    proxy.setSourceModel(&model);
    const double qt = bestSeconds(2, [&] {
        descending = !descending;
        proxy.sort(0, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    std::printf("table of %d rows sorted by distance: %.1f ms (goal <= %.0f ms): %s; reference, "
                "QSortFilterProxyModel on the same distances: %.0f ms; ratio %.3f\n",
                model.rowCount(), ours * 1e3, kSortGoalMs, verdict(ours * 1e3, kSortGoalMs),
                qt * 1e3, ours / qt);
    std::printf("  by status (new grids first, nearest first): %.1f ms; filtered anew and sorted: "
                "%.1f ms\n",
                status * 1e3, filter * 1e3);
}

double redrawSeconds(MapScene& scene, const LogLayer* layer, double radiusKm) {
    MapView view;
    view.setRadiusKm(radiusKm);
    QFont font;
    view.setArea(kPicture.width(), kPicture.height(), MapPainter::rimRoom(font));
    QImage image(kPicture, QImage::Format_ARGB32_Premultiplied);
    return bestSeconds(kRuns, [&] {
        QPainter painter(&image);
        MapPainter mapPainter(scene, view, font, 1.0);
        mapPainter.setLogLayer(layer);
        mapPainter.paintBase(painter, Language::English);
    });
}

void benchRedraw(const Setting& setting) {
    const geo::LatLon own = *geo::locatorCentre(kOwnLocator);
    MapScene scene(own, geo::Coastlines::builtIn());
    const auto stations = setting.stations;
    scene.setPlaces(stations->size(), [stations](std::size_t station) {
        return stations->stations()[station].locator().centre();
    });
    while (!scene.projectPending(std::chrono::seconds(10))) {
    }
    LogLayer layer;
    layer.statuses = statusesOf(setting);
    candidates::SquareOutlines outlines(own);
    for (log::GridIndex square = 0; square < log::kGridCount; ++square) {
        if (setting.log->book.gridWorked(log::Band::TwoMetres, square)) {
            if (const auto outline = outlines.outlineOf(square)) {
                layer.workedSquares.push_back(*outline);
            }
        }
    }
    LogLayer marksOnly;
    marksOnly.statuses = layer.statuses;
    for (const double radius : {MapView::kOpeningRadiusKm, MapView::kWholeEarthRadiusKm}) {
        const double marked = redrawSeconds(scene, &layer, radius) * 1e3;
        const double marks = redrawSeconds(scene, &marksOnly, radius) * 1e3;
        const double plain = redrawSeconds(scene, nullptr, radius) * 1e3;
        std::printf("redraw %dx%d, radius %5.0f km, stations marked by status and %zu squares "
                    "shaded: %5.1f ms (goal <= %.0f ms): %s; reference, without a log: %5.1f ms; "
                    "ratio %.2f; the marks alone: %5.1f ms\n",
                    kPicture.width(), kPicture.height(), radius, layer.workedSquares.size(), marked,
                    kRedrawGoalMs, verdict(marked, kRedrawGoalMs), plain, marked / plain, marks);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    try {
        const ScratchFolder folder;
        const fs::path database = folder.path() / "ms_million.txt";
        const fs::path log = folder.path() / "wsjtx_log.adi";
        generateDatabase(database, kStations);
        generateAdifLog(log, kQsos, kDistinctCalls);
        warmPageCache(database);
        Setting setting;
        setting.log = std::make_shared<const log::LogReading>(log::readLog(InputFile(log)));
        if (setting.log->qsosRead != kQsos) {
            throw std::runtime_error("the log was not read whole");
        }
        benchStatuses(setting, database);
        std::optional<candidates::StationPaths> paths;
        const Timing figured = timeOnce([&] {
            paths = candidates::pathsOf(*setting.stations, *geo::locatorCentre(kOwnLocator));
        });
        std::printf("distances and headings of every station, exactly: %.0f ms\n",
                    figured.wallSeconds * 1e3);
        setting.paths = std::make_shared<const candidates::StationPaths>(std::move(*paths));
        benchSort(setting);
        benchRedraw(setting);
        std::printf("peak resident memory: %.1f MiB\n", peakResidentMiB());
    } catch (const std::runtime_error& failure) {
        std::fprintf(stderr, "bench_log_window: %s\n", failure.what());
        return 1;
    }
    return 0;
}
