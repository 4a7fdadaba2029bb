// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/background_work.h"
#include "candidates/candidate_order.h"
#include "candidates/station_fields.h"
#include "candidates/station_paths.h"
#include "geo/map_stations.h"
#include "language/captions.h"
#include "log/log_book.h"

#include <QAbstractTableModel>
#include <QCache>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelmora {

// The candidates' table: one row a station of the map that passes the
// filter, with its call, locator, distance, heading, status and the other
// fields of its line. A row is a station's index and nothing more; the
// numbers come from the map's stations and their paths, the other fields
// from the database file by the line's offset when a row is shown (the most
// recent kept), so that a million stations cost a few bytes a row. Sorting
// is by a key of 32 bits a station for every column: computed on the spot
// for numbers, and for texts made once, off the window's thread, when the
// table is first sorted by that column.
class CandidateModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column : int { CallColumn, LocatorColumn, DistanceColumn, HeadingColumn, StatusColumn };
    static constexpr int kOwnColumns = 5;

    explicit CandidateModel(QObject* parent = nullptr);
    ~CandidateModel() override;

    // The database as the map read it: its stations, its file, where its
    // fields are, and the eight headings as the main window shows them.
    void setDatabase(std::shared_ptr<const geo::MapStations> stations,
                     std::optional<std::filesystem::path> file,
                     const candidates::FieldLayout& layout, std::vector<std::string> headings);
    void setHeadings(std::vector<std::string> headings);
    // The stations' distances and headings; none while they are worked out.
    void setPaths(std::shared_ptr<const candidates::StationPaths> paths);
    // The stations' statuses on the band; none without a log.
    void setStatuses(std::shared_ptr<const std::vector<log::StationStatus>> statuses);
    void setFilter(const candidates::CandidateFilter& filter);
    const candidates::CandidateFilter& filter() const { return filter_; }
    void setLanguage(Language language);

    // All stations of the map, and whether their paths are known.
    std::size_t stationCount() const { return stations_ ? stations_->size() : 0; }
    bool hasPaths() const { return paths_ != nullptr; }
    bool hasStatuses() const { return statuses_ != nullptr; }
    // Whether the rows wait for the sort keys of a column of text.
    bool sorting() const { return keysWork_.pending(); }
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    std::size_t stationAt(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    std::optional<int> rowOf(std::size_t station) const;

    // The table as text, for copying and saving: the column headings, and a
    // row's cells with its distance and heading as plain whole numbers.
    std::vector<std::string> exportHeadings() const;
    std::vector<std::string> exportCells(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // The rows shown, their order or the work on them changed.
    void rowsChanged();

private:
    void refilter();
    void reorder(std::vector<std::uint32_t>& rows) const;
    void applyOrder();
    bool keysReady(int column) const;
    void requestKeys(int column);
    std::string headingOf(int column) const;
    std::string cellText(std::size_t station, int column, bool plainNumbers) const;
    const std::vector<std::string>& fieldsOf(std::size_t station) const;

    std::shared_ptr<const geo::MapStations> stations_;
    std::optional<std::filesystem::path> file_;
    candidates::FieldLayout layout_;
    std::vector<std::string> headings_;
    std::shared_ptr<const candidates::StationPaths> paths_;
    std::shared_ptr<const std::vector<log::StationStatus>> statuses_;
    candidates::CandidateFilter filter_;
    Language language_ = Language::English;
    int sortColumn_ = StatusColumn;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<std::uint32_t> rows_;
    // The sort keys of the columns of text, by column, made when first needed.
    std::map<int, std::shared_ptr<const std::vector<candidates::SortKey>>> textKeys_;
    int keysColumn_ = -1; // whose keys are being made
    // The other fields of the rows shown last, by station.
    mutable QCache<std::uint32_t, std::vector<std::string>> fields_;
    BackgroundWork keysWork_{this};
};

} // namespace kelmora
