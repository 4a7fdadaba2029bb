// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/candidate_panel.h"
#include "app/database_folder.h"
#include "app/failure_text.h"
#include "app/form2.h"
#include "app/log_watcher.h"
#include "app/map_widget.h"
#include "app/settings_store.h"
#include "database/ascii.h"
#include "geo/locator.h"
#include "language/log_texts.h"
#include "language/text_join.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace kelmora {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// A band as a file name takes it: "2m", "70cm", "all".
std::string bandInFileName(log::Band band) {
    std::string name =
        band == log::Band::All ? std::string("all") : log_texts::bandName(Language::English, band);
    std::erase(name, ' ');
    return name;
}

} // namespace

void Form2::buildLogControls() {
    lblBand = new QLabel(this);
    lblBand->setObjectName(QStringLiteral("lblBand"));
    cboBand = new QComboBox(this);
    cboBand->setObjectName(QStringLiteral("cboBand"));
    for (const log::Band band : log::kBands) {
        cboBand->addItem(QString(), static_cast<int>(band));
    }
    lblBand->setBuddy(cboBand);
    connect(cboBand, &QComboBox::currentIndexChanged, this, &Form2::chooseBand);

    pnlCandidates = new CandidatePanel(presenter_, chooser_, this);
    connect(pnlCandidates, &CandidatePanel::stationChosen, this, &Form2::showStation);
    connect(pnlCandidates, &CandidatePanel::filterChanged, this, &Form2::updateStatistics);

    lblLogStatus = new QLabel(this);
    lblLogStatus->setObjectName(QStringLiteral("lblLogStatus"));
    lblLogStatus->setTextFormat(Qt::PlainText);
    lblLogStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not make the window wider.
    lblLogStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    logWatcher_ = new LogWatcher(this);
    connect(logWatcher_, &LogWatcher::readingStarted, this, &Form2::describeLog);
    connect(logWatcher_, &LogWatcher::logRead, this, &Form2::takeLog);
}

void Form2::writeLogTexts() {
    lblBand->setText(QStringLiteral("&Band:"));
    for (int i = 0; i < cboBand->count(); ++i) {
        cboBand->setItemText(i,
                             fromUtf8(log_texts::bandName(language_, log::kBands[std::size_t(i)])));
    }
    cboBand->setToolTip(fromUtf8(log_texts::bandChooserToolTip(language_)));
    pnlCandidates->setLanguage(language_);
    pnlCandidates->model().setHeadings(tableHeadings());
    describeLog();
    updateStatistics();
}

// The database's own headings, else those the main window shows without them.
std::vector<std::string> Form2::tableHeadings() const {
    if (!headingFields_.empty()) {
        return headingFields_;
    }
    const auto& headings = defaultHeadings(language_);
    return {headings.begin(), headings.end()};
}

void Form2::readLogFromSettings() {
    const QString file = settings_store::read(settings_store::kLogFile);
    if (file == logWatcher_->file() && log_) {
        return; // read already, and read again whenever it changes
    }
    log_.reset();
    logWatcher_->watch(file);
    updateStatuses();
    describeLog();
}

// The distances and headings of a new database or around a new own locator.
void Form2::startPaths() {
    pathsWork_.cancel();
    paths_.reset();
    pnlCandidates->model().setPaths(nullptr);
    if (!ownPlace_) {
        return;
    }
    using Paths = std::shared_ptr<const candidates::StationPaths>;
    const std::shared_ptr<const geo::MapStations> stations = stations_;
    const geo::LatLon own = *ownPlace_;
    pathsWork_.start<Paths>(
        [stations, own](std::stop_token stop) -> Paths {
            auto paths = candidates::pathsOf(*stations, own, std::move(stop));
            return paths ? std::make_shared<const candidates::StationPaths>(std::move(*paths))
                         : nullptr;
        },
        [this](Paths paths) {
            paths_ = std::move(paths);
            pnlCandidates->model().setPaths(paths_);
            updateStatistics();
        });
}

void Form2::takeLog(std::shared_ptr<const log::LogReading> reading) {
    log_ = std::move(reading);
    updateStatuses();
    describeLog();
}

void Form2::chooseBand() {
    band_ = static_cast<log::Band>(cboBand->currentData().toInt());
    updateStatuses();
}

// Each station's status on the band: the map's marks, the table, the
// statistics and the line of text follow.
void Form2::updateStatuses() {
    if (log_) {
        auto statuses = std::make_shared<std::vector<log::StationStatus>>(keys_.calls.size());
        log_->book.statusesOf(band_, keys_.calls, keys_.grids, *statuses);
        statuses_ = std::move(statuses);
    } else {
        statuses_.reset();
    }
    pnlCandidates->model().setStatuses(statuses_);
    updateLogLayer();
    updateStatistics();
    describeShownRecord();
}

void Form2::updateLogLayer() {
    LogLayer layer;
    layer.statuses = statuses_;
    if (log_ && squares_) {
        for (log::GridIndex square = 0; square < log::kGridCount; ++square) {
            if (!log_->book.gridWorked(band_, square)) {
                continue;
            }
            if (const auto outline = squares_->outlineOf(square)) {
                (log_->book.gridConfirmed(band_, square) ? layer.confirmedSquares
                                                         : layer.workedSquares)
                    .push_back(*outline);
            }
        }
    }
    picMap->setLogLayer(std::move(layer));
}

void Form2::updateStatistics() {
    const QString base =
        database_ ? QFileInfo(database_folder::fromPath(database_->filename())).completeBaseName()
                  : QStringLiteral("stations");
    pnlCandidates->setSaveStartFile(QDir::current().filePath(
        base + QLatin1Char('_') + ownLocator_ + QLatin1Char('_') +
        QString::fromStdString(bandInFileName(band_)) + QStringLiteral(".csv")));
    if (!log_) {
        pnlCandidates->setStatistics(QString());
        return;
    }
    const log::LogBook& book = log_->book;
    const log::DistanceRange range = pnlCandidates->model().filter().range;
    const std::size_t newInRange =
        paths_ ? log::newGridsWithin(book, band_, keys_.grids, paths_->distancesKm, range) : 0;
    pnlCandidates->setStatistics(
        fromUtf8(log_texts::statistics(language_, band_, book.workedGridCount(band_),
                                       book.confirmedGridCount(band_), newInRange, range)));
}

// The status line: which log, and how its reading went.
void Form2::describeLog() {
    const QString file = logWatcher_->file();
    const std::string shown = QDir::toNativeSeparators(file).toStdString();
    std::string text;
    if (file.isEmpty()) {
        text = log_texts::noLogChosen(language_);
    } else if (!log_) {
        text = log_texts::readingLog(language_, shown);
    } else if (!log_->opened) {
        text =
            log_texts::logNotOpened(language_, shown, failure_text::reason(language_, log_->error));
    } else {
        const log_texts::LogCounts counts{log_->qsosRead, log_->recordsSkipped};
        text = log_->error
                   ? log_texts::logReadUntilFailure(language_, shown, counts,
                                                    failure_text::reason(language_, log_->error))
                   : log_texts::logRead(language_, shown, counts);
    }
    lblLogStatus->setText(fromUtf8(text));
}

// The shown station's status on the band, after its place; nothing without
// a log.
std::string Form2::statusOfShownRecord(const StationColumns::Fields& fields) const {
    if (!log_) {
        return {};
    }
    // The map's rule of what is a locator, which "RR73" is not.
    const std::string_view locator = ascii::trimBlanks(fields.locator);
    const log::GridIndex square = columns_.hasLocatorColumn() && geo::isLocator(locator)
                                      ? log::gridIndexOf(locator)
                                      : log::kNoGrid;
    const log::StationStatus status =
        log_->book.statusOf(band_, log::callKeyOf(fields.callsign), square);
    return concat({"  ·  ", log_texts::statusOnBand(language_, status, band_)});
}

bool Form2::candidatesSettled() const {
    const bool logRead = logWatcher_->file().isEmpty() || (log_ && !logWatcher_->busy());
    const bool tableReady = !ownPlace_ || (paths_ && !pnlCandidates->model().sorting());
    return logRead && tableReady && !stationsWanted_;
}

} // namespace kelmora
