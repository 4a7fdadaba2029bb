// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/candidate_model.h"
#include "language/captions.h"

#include <QWidget>
#include <array>
#include <cstddef>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

namespace kelmora {

class FileChooser;
class MessagePresenter;

// Beside the map: the candidates' table with its filter (statuses and a
// range of distances), the count of the stations shown, the statistics of
// the band, and the copying and saving of the table. A click on a row
// chooses that station.
class CandidatePanel final : public QWidget {
    Q_OBJECT

public:
    CandidatePanel(MessagePresenter& presenter, FileChooser& chooser, QWidget* parent = nullptr);

    CandidateModel& model() { return *model_; }
    void setLanguage(Language language);
    void setStatistics(const QString& text);
    // Where the save dialog starts.
    void setSaveStartFile(const QString& file) { saveStartFile_ = file; }
    // Selects the station's row where the table shows it, and scrolls to it.
    void selectStation(std::size_t station);

    // The range of distances the filter opens with.
    static constexpr int kNearestKm = 500;
    static constexpr int kFarthestKm = 2300;

signals:
    void stationChosen(std::size_t station);
    void filterChanged();

private:
    void buildControls();
    void writeTexts();
    void takeFilter();
    void updateCount();
    void keepChosenSelected();
    void widenColumns();
    void chooseRow(const QModelIndex& index);
    void copyRows();
    void saveTable();

    MessagePresenter& presenter_;
    FileChooser& chooser_;
    Language language_ = Language::English;
    CandidateModel* model_ = nullptr;
    QString saveStartFile_;
    std::optional<std::size_t> chosen_;

    // The statuses a station of the map can have: it always has a locator.
    static constexpr std::array<log::StationStatus, 4> kFilteredStatuses = {
        log::StationStatus::NewGrid, log::StationStatus::NewCall, log::StationStatus::Worked,
        log::StationStatus::Confirmed};
    std::array<QCheckBox*, 4> statusBoxes_{};
    QLabel* lblFrom = nullptr;
    QSpinBox* spnNearest = nullptr;
    QLabel* lblTo = nullptr;
    QSpinBox* spnFarthest = nullptr;
    QLabel* lblCount = nullptr;
    QTableView* tblCandidates = nullptr;
    QLabel* lblStatistics = nullptr;
    QPushButton* cmdSaveTable = nullptr;
    QAction* mnuCopyRows = nullptr;
};

} // namespace kelmora
