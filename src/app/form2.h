// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/background_work.h"
#include "candidates/square_outlines.h"
#include "candidates/station_keys.h"
#include "candidates/station_paths.h"
#include "database/station_columns.h"
#include "geo/lat_lon.h"
#include "geo/map_stations.h"
#include "language/captions.h"
#include "log/log_reading.h"

#include <QByteArray>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QStackedWidget;

namespace kelmora {

class CandidatePanel;
class FileChooser;
class LogWatcher;
class MapWidget;
class MessagePresenter;

// The map window: the database's stations on a great-circle map around the
// own locator, the station the main window shows marked on it, and where it
// lies in a line of text above. It follows the main window, which tells it
// what it opens and shows; a click on a station tells the main window which
// line to show. With the user's log it tells each station's status on the
// chosen band, on the map and in the table of candidates beside it, and
// reads the log again whenever it changes.
class Form2 final : public QWidget {
    Q_OBJECT

public:
    Form2(MessagePresenter& presenter, FileChooser& chooser, Language language);
    ~Form2() override;

    // The database the main window opened; none where it found none. Its
    // stations are read at once while the window is open, else when it opens.
    void openDatabase(const std::optional<std::filesystem::path>& file, bool hasHeadingLine);
    // The station line the main window shows now (empty for none).
    void showRecord(std::string_view line);
    void applyLanguage(Language language);
    // Takes the own locator from the settings again and centres the map on it.
    void centreOnOwnLocator();
    // Where the window first opens: beside the main window, as large as the
    // screen leaves room for, unless it remembers a place of its own.
    void placeBeside(const QWidget& mainWindow);

    // Takes the log from the settings again and reads it.
    void readLogFromSettings();

    MapWidget* map() const { return picMap; }
    CandidatePanel* candidates() const { return pnlCandidates; }
    // True when every station is on the map.
    bool mapComplete() const;
    // True when nothing of the log and the table is pending: the log is read,
    // the distances are known and the table is sorted.
    bool candidatesSettled() const;

signals:
    // A station chosen on the map: its whole line, to be shown.
    void stationChosen(const QByteArray& line);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void readStationsIfWanted();
    void startProjection();
    void projectMore();
    void describeShownRecord();
    void writeTexts();
    void askForOwnLocator();
    void chooseStation(std::size_t station);
    void showStation(std::size_t station);
    QString describeStation(std::size_t station) const;
    void savePicture();
    QImage titledPicture() const;

    // The log and the candidates (form2_log.cpp).
    void buildLogControls();
    void writeLogTexts();
    std::vector<std::string> tableHeadings() const;
    void startPaths();
    void takeLog(std::shared_ptr<const log::LogReading> reading);
    void chooseBand();
    void updateStatuses();
    void updateLogLayer();
    void updateStatistics();
    void describeLog();
    std::string statusOfShownRecord(const StationColumns::Fields& fields) const;

    MessagePresenter& presenter_;
    FileChooser& chooser_;
    Language language_;

    std::optional<geo::LatLon> ownPlace_;
    QString ownLocator_;
    std::optional<std::filesystem::path> database_;
    bool hasHeadingLine_ = false;
    bool placeRemembered_ = false;
    bool stationsWanted_ = false; // the database changed while the window was hidden
    std::shared_ptr<const geo::MapStations> stations_ = std::make_shared<const geo::MapStations>();
    StationColumns columns_{false};          // as the stations were read
    std::vector<std::string> headingFields_; // of the database's heading line, as shown
    std::string shownLine_;
    QTimer projector_;
    qint64 lastGrowth_ = 0;

    // The log against the stations: what the log is asked about each
    // station, how far and where each lies (worked out off the window's
    // thread), the log as last read and each station's status on the band.
    candidates::StationKeys keys_;
    std::shared_ptr<const candidates::StationPaths> paths_;
    std::optional<candidates::SquareOutlines> squares_; // around the own locator
    LogWatcher* logWatcher_ = nullptr;
    std::shared_ptr<const log::LogReading> log_;
    log::Band band_ = log::Band::TwoMetres;
    std::shared_ptr<const std::vector<log::StationStatus>> statuses_;
    BackgroundWork pathsWork_{this};

    // Controls: the line of text and the band chooser above the map, the
    // candidates beside it, and the log's status line below.
    QLabel* lblPath = nullptr;
    QLabel* lblBand = nullptr;
    QComboBox* cboBand = nullptr;
    QSplitter* splitter_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    CandidatePanel* pnlCandidates = nullptr;
    QLabel* lblLogStatus = nullptr;
    MapWidget* picMap = nullptr;
    QWidget* pagNoLocator = nullptr;
    QLabel* lblNoLocator = nullptr;
    QPushButton* cmdLocator = nullptr;
    QAction* mnuSavePicture = nullptr;
};

} // namespace kelmora
