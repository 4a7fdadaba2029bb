// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/station_columns.h"
#include "geo/lat_lon.h"
#include "geo/map_stations.h"
#include "language/captions.h"

#include <QByteArray>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class QAction;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace kelmora {

class FileChooser;
class MapWidget;
class MessagePresenter;

// The map window: the database's stations on a great-circle map around the
// own locator, the station the main window shows marked on it, and where it
// lies in a line of text above. It follows the main window, which tells it
// what it opens and shows; a click on a station tells the main window which
// line to show.
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

    MapWidget* map() const { return picMap; }
    // True when every station is on the map.
    bool mapComplete() const;

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
    QString describeStation(std::size_t station) const;
    void savePicture();
    QImage titledPicture() const;

    MessagePresenter& presenter_;
    FileChooser& chooser_;
    Language language_;

    std::optional<geo::LatLon> ownPlace_;
    QString ownLocator_;
    std::optional<std::filesystem::path> database_;
    bool hasHeadingLine_ = false;
    bool placeRemembered_ = false;
    bool stationsWanted_ = false; // the database changed while the window was hidden
    geo::MapStations stations_;
    StationColumns columns_{false}; // as the stations were read
    std::string shownLine_;
    QTimer projector_;
    qint64 lastGrowth_ = 0;

    // Controls. Room is left beside lblPath for a band chooser, beside the map
    // for a table of candidates, and below for a status line.
    QLabel* lblPath = nullptr;
    QStackedWidget* stack_ = nullptr;
    MapWidget* picMap = nullptr;
    QWidget* pagNoLocator = nullptr;
    QLabel* lblNoLocator = nullptr;
    QPushButton* cmdLocator = nullptr;
    QAction* mnuSavePicture = nullptr;
};

} // namespace kelmora
