// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/candidate_model.h"

#include "candidates/field_ranks.h"
#include "language/log_texts.h"
#include "language/map_texts.h"

#include <cmath>
#include <unordered_map>

namespace kelmora {
namespace {

using candidates::SortKey;
using Keys = std::shared_ptr<const std::vector<SortKey>>;

// The rows whose other fields are kept: a few screens of them.
constexpr qsizetype kRowsKept = 2000;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

CandidateModel::CandidateModel(QObject* parent) : QAbstractTableModel(parent), fields_(kRowsKept) {}

CandidateModel::~CandidateModel() = default;

void CandidateModel::setDatabase(std::shared_ptr<const geo::MapStations> stations,
                                 std::optional<std::filesystem::path> file,
                                 const candidates::FieldLayout& layout,
                                 std::vector<std::string> headings) {
    keysWork_.cancel();
    textKeys_.clear();
    fields_.clear();
    const bool columnsChange = layout.otherFields().size() != layout_.otherFields().size();
    if (columnsChange) {
        beginResetModel();
    }
    stations_ = std::move(stations);
    file_ = std::move(file);
    layout_ = layout;
    headings_ = std::move(headings);
    paths_.reset();
    statuses_.reset();
    if (columnsChange) {
        rows_.clear();
        endResetModel();
    }
    refilter();
}

void CandidateModel::setHeadings(std::vector<std::string> headings) {
    headings_ = std::move(headings);
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void CandidateModel::setPaths(std::shared_ptr<const candidates::StationPaths> paths) {
    paths_ = std::move(paths);
    refilter();
}

void CandidateModel::setStatuses(std::shared_ptr<const std::vector<log::StationStatus>> statuses) {
    statuses_ = std::move(statuses);
    refilter();
}

void CandidateModel::setFilter(const candidates::CandidateFilter& filter) {
    filter_ = filter;
    refilter();
}

void CandidateModel::setLanguage(Language language) {
    language_ = language;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (!rows_.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
    }
}

std::optional<int> CandidateModel::rowOf(std::size_t station) const {
    const auto found = std::find(rows_.begin(), rows_.end(), station);
    if (found == rows_.end()) {
        return std::nullopt;
    }
    return static_cast<int>(found - rows_.begin());
}

// The rows that pass the filter, in the order of the table. A new set of
// rows is a new table for the view: what it had selected, it asks again for.
void CandidateModel::refilter() {
    std::vector<std::uint32_t> rows;
    if (paths_) {
        rows =
            candidates::stationsWithin(filter_, paths_->distancesKm,
                                       statuses_ ? std::span<const log::StationStatus>(*statuses_)
                                                 : std::span<const log::StationStatus>());
        if (keysReady(sortColumn_)) {
            reorder(rows);
        } else if (!keysWork_.pending() || keysColumn_ != sortColumn_) {
            requestKeys(sortColumn_);
        }
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    emit rowsChanged();
}

void CandidateModel::reorder(std::vector<std::uint32_t>& rows) const {
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    const auto order = [&](auto keyOf) { candidates::orderStations(rows, keyOf, descending); };
    switch (sortColumn_) {
    case LocatorColumn: {
        const auto all = stations_->stations();
        order([all](std::uint32_t s) { return candidates::locatorKey(all[s].locator()); });
        return;
    }
    case DistanceColumn: {
        const float* distances = paths_->distancesKm.data();
        order([distances](std::uint32_t s) { return candidates::floatKey(distances[s]); });
        return;
    }
    case HeadingColumn: {
        const float* headings = paths_->headings.data();
        order([headings](std::uint32_t s) { return candidates::floatKey(headings[s]); });
        return;
    }
    case StatusColumn: {
        const float* distances = paths_->distancesKm.data();
        if (!statuses_) {
            order([distances](std::uint32_t s) { return candidates::floatKey(distances[s]); });
            return;
        }
        const log::StationStatus* statuses = statuses_->data();
        order([distances, statuses](std::uint32_t s) {
            return candidates::statusKey(statuses[s], distances[s]);
        });
        return;
    }
    default: {
        const SortKey* keys = textKeys_.at(sortColumn_)->data();
        order([keys](std::uint32_t s) { return keys[s]; });
        return;
    }
    }
}

// A new order of the same rows: the view keeps what it had selected.
void CandidateModel::applyOrder() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> stations;
    std::unordered_map<std::uint32_t, int> newRows;
    for (const QModelIndex& index : before) {
        stations.push_back(rows_[static_cast<std::size_t>(index.row())]);
        newRows.emplace(stations.back(), -1);
    }
    reorder(rows_);
    if (!newRows.empty()) {
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            if (const auto found = newRows.find(rows_[row]); found != newRows.end()) {
                found->second = static_cast<int>(row);
            }
        }
    }
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.append(index(newRows.at(stations[static_cast<std::size_t>(i)]), before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CandidateModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    sortColumn_ = column;
    sortOrder_ = order;
    if (!keysReady(column)) {
        if (!keysWork_.pending() || keysColumn_ != column) {
            requestKeys(column);
        }
    } else if (paths_) {
        keysWork_.cancel(); // the keys of another column are no longer wanted
        applyOrder();
    }
    emit rowsChanged();
}

bool CandidateModel::keysReady(int column) const {
    return (column > CallColumn && column < kOwnColumns) || textKeys_.contains(column);
}

// The keys of a column of text, made off the window's thread: the calls
// from the map's stations, the other fields from the database file.
void CandidateModel::requestKeys(int column) {
    if (!stations_) {
        return;
    }
    std::function<Keys(std::stop_token)> work;
    const std::shared_ptr<const geo::MapStations> stations = stations_;
    if (column == CallColumn) {
        work = [stations](std::stop_token) {
            return std::make_shared<const std::vector<SortKey>>(candidates::callRanks(*stations));
        };
    } else {
        const std::size_t field =
            layout_.otherFields().at(static_cast<std::size_t>(column - kOwnColumns));
        const std::optional<std::filesystem::path> file = file_;
        work = [stations, file, field](std::stop_token stop) -> Keys {
            auto keys =
                file ? candidates::fieldRanks(InputFile(*file), *stations, field, std::move(stop))
                     : std::nullopt;
            // A database that can no longer be read leaves its rows in the
            // order of the file.
            return std::make_shared<const std::vector<SortKey>>(
                keys ? std::move(*keys) : std::vector<SortKey>(stations->size(), 0));
        };
    }
    keysColumn_ = column;
    keysWork_.start<Keys>(std::move(work), [this, column](Keys keys) {
        textKeys_[column] = std::move(keys);
        if (column == sortColumn_ && paths_) {
            applyOrder();
        }
        emit rowsChanged();
    });
}

int CandidateModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CandidateModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kOwnColumns + static_cast<int>(layout_.otherFields().size());
}

const std::vector<std::string>& CandidateModel::fieldsOf(std::size_t station) const {
    const auto key = static_cast<std::uint32_t>(station);
    if (const std::vector<std::string>* kept = fields_.object(key)) {
        return *kept;
    }
    auto fields = std::make_unique<std::vector<std::string>>(layout_.otherFields().size());
    const geo::MapStations::Line line = stations_->lineOf(station);
    // A line the file no longer holds shows empty fields; the map reads the
    // database anew when one of its stations is chosen.
    if (line.status == geo::MapStations::Line::Status::Read) {
        const std::vector<std::string> all = candidates::shownFields(line.text);
        for (std::size_t i = 0; i < fields->size(); ++i) {
            (*fields)[i] = all.at(layout_.otherFields()[i]);
        }
    }
    const std::vector<std::string>* shown = fields.get();
    fields_.insert(key, fields.release());
    return *shown;
}

std::string CandidateModel::cellText(std::size_t station, int column, bool plainNumbers) const {
    switch (column) {
    case CallColumn:
        return std::string(stations_->stations()[station].call());
    case LocatorColumn:
        return stations_->stations()[station].locator().text();
    case DistanceColumn: {
        const float km = paths_->distancesKm[station];
        return plainNumbers ? std::to_string(std::lround(km))
                            : map_texts::kilometres(language_, km);
    }
    case HeadingColumn: {
        const float heading = paths_->headings[station];
        return plainNumbers ? std::to_string(std::lround(heading) % 360)
                            : map_texts::degrees(heading);
    }
    case StatusColumn:
        return statuses_ ? log_texts::statusName(language_, (*statuses_)[station]) : std::string();
    default:
        return fieldsOf(station).at(static_cast<std::size_t>(column - kOwnColumns));
    }
}

QVariant CandidateModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return fromUtf8(cellText(stationAt(index.row()), index.column(), false));
    }
    if (role == Qt::TextAlignmentRole &&
        (index.column() == DistanceColumn || index.column() == HeadingColumn)) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    }
    return {};
}

std::string CandidateModel::headingOf(int column) const {
    const auto heading = [this](std::size_t field) {
        return field < headings_.size() ? headings_[field] : std::string();
    };
    switch (column) {
    case CallColumn:
        return heading(layout_.callField());
    case LocatorColumn:
        return heading(layout_.locatorField());
    case DistanceColumn:
        return log_texts::distanceHeading(language_);
    case HeadingColumn:
        return log_texts::headingHeading(language_);
    case StatusColumn:
        return log_texts::statusHeading(language_);
    default:
        return heading(layout_.otherFields().at(static_cast<std::size_t>(column - kOwnColumns)));
    }
}

QVariant CandidateModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return fromUtf8(headingOf(section));
}

std::vector<std::string> CandidateModel::exportHeadings() const {
    std::vector<std::string> headings;
    for (int column = 0; column < columnCount(); ++column) {
        headings.push_back(headingOf(column));
    }
    return headings;
}

std::vector<std::string> CandidateModel::exportCells(int row) const {
    std::vector<std::string> cells;
    for (int column = 0; column < columnCount(); ++column) {
        cells.push_back(cellText(stationAt(row), column, true));
    }
    return cells;
}

} // namespace kelmora
