// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/candidate_panel.h"

#include "app/busy_pointer.h"
#include "app/database_folder.h"
#include "app/failure_text.h"
#include "app/file_chooser.h"
#include "app/map_painter.h"
#include "app/message_presenter.h"
#include "candidates/table_text.h"
#include "language/log_texts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace kelmora {
namespace {

// The farthest a station can be: half the Earth's circumference, rounded up.
constexpr int kEarthsFarthestKm = 20100;
constexpr int kDistanceStep = 100;
// No column grows wider than about so many characters by itself.
constexpr int kWidestColumnCharacters = 28;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

const char* const kStatusBoxNames[] = {"chkNewGrid", "chkNewCall", "chkWorked", "chkConfirmed"};

} // namespace

CandidatePanel::CandidatePanel(MessagePresenter& presenter, FileChooser& chooser, QWidget* parent)
    : QWidget(parent), presenter_(presenter), chooser_(chooser) {
    setObjectName(QStringLiteral("pnlCandidates"));
    model_ = new CandidateModel(this);
    buildControls();
    takeFilter();
    writeTexts();
}

void CandidatePanel::buildControls() {
    auto* statuses = new QHBoxLayout;
    for (std::size_t i = 0; i < statusBoxes_.size(); ++i) {
        statusBoxes_[i] = new QCheckBox(this);
        statusBoxes_[i]->setObjectName(QLatin1String(kStatusBoxNames[i]));
        statusBoxes_[i]->setChecked(true);
        statusBoxes_[i]->setIcon(statusSymbol(kFilteredStatuses[i], font(), devicePixelRatioF()));
        connect(statusBoxes_[i], &QCheckBox::toggled, this, &CandidatePanel::takeFilter);
        statuses->addWidget(statusBoxes_[i]);
    }
    statuses->addStretch();

    const auto makeDistance = [this](const char* name, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(0, kEarthsFarthestKm);
        box->setSingleStep(kDistanceStep);
        box->setValue(value);
        box->setSuffix(QStringLiteral(" km"));
        box->setGroupSeparatorShown(true);
        // The table follows once a number is whole, not on every digit typed.
        box->setKeyboardTracking(false);
        connect(box, &QSpinBox::valueChanged, this, &CandidatePanel::takeFilter);
        return box;
    };
    lblFrom = new QLabel(this);
    lblFrom->setObjectName(QStringLiteral("lblFrom"));
    spnNearest = makeDistance("spnNearest", kNearestKm);
    lblFrom->setBuddy(spnNearest);
    lblTo = new QLabel(this);
    lblTo->setObjectName(QStringLiteral("lblTo"));
    spnFarthest = makeDistance("spnFarthest", kFarthestKm);
    lblTo->setBuddy(spnFarthest);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    auto* distances = new QHBoxLayout;
    distances->addWidget(lblFrom);
    distances->addWidget(spnNearest);
    distances->addWidget(lblTo);
    distances->addWidget(spnFarthest);
    distances->addStretch();
    distances->addWidget(lblCount);

    tblCandidates = new QTableView(this);
    tblCandidates->setObjectName(QStringLiteral("tblCandidates"));
    tblCandidates->setModel(model_);
    tblCandidates->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblCandidates->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblCandidates->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblCandidates->setWordWrap(false);
    tblCandidates->setAlternatingRowColors(true);
    tblCandidates->verticalHeader()->hide();
    // Rows of one height: the view need not ask a million rows for theirs.
    tblCandidates->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblCandidates->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    tblCandidates->horizontalHeader()->setSectionsMovable(true);
    tblCandidates->horizontalHeader()->setHighlightSections(false);
    tblCandidates->setSortingEnabled(true);
    tblCandidates->sortByColumn(CandidateModel::StatusColumn, Qt::AscendingOrder);
    connect(tblCandidates, &QTableView::clicked, this, &CandidatePanel::chooseRow);
    connect(tblCandidates, &QTableView::activated, this, &CandidatePanel::chooseRow);
    connect(model_, &CandidateModel::modelReset, this, &CandidatePanel::keepChosenSelected);
    connect(model_, &CandidateModel::rowsChanged, this, &CandidatePanel::updateCount);

    mnuCopyRows = new QAction(this);
    mnuCopyRows->setObjectName(QStringLiteral("mnuCopyRows"));
    mnuCopyRows->setShortcut(QKeySequence::Copy);
    mnuCopyRows->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(mnuCopyRows, &QAction::triggered, this, &CandidatePanel::copyRows);
    tblCandidates->addAction(mnuCopyRows);
    tblCandidates->setContextMenuPolicy(Qt::ActionsContextMenu);

    lblStatistics = new QLabel(this);
    lblStatistics->setObjectName(QStringLiteral("lblStatistics"));
    lblStatistics->setTextFormat(Qt::PlainText);
    lblStatistics->setWordWrap(true);
    lblStatistics->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdSaveTable = new QPushButton(this);
    cmdSaveTable->setObjectName(QStringLiteral("cmdSaveTable"));
    connect(cmdSaveTable, &QPushButton::clicked, this, &CandidatePanel::saveTable);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblStatistics, 1);
    bottom->addWidget(cmdSaveTable, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(statuses);
    layout->addLayout(distances);
    layout->addWidget(tblCandidates, 1);
    layout->addLayout(bottom);
}

void CandidatePanel::writeTexts() {
    for (std::size_t i = 0; i < statusBoxes_.size(); ++i) {
        statusBoxes_[i]->setText(fromUtf8(log_texts::statusName(language_, kFilteredStatuses[i])));
    }
    lblFrom->setText(fromUtf8(log_texts::distanceFrom(language_)));
    lblTo->setText(fromUtf8(log_texts::distanceTo(language_)));
    const QLocale locale(language_ == Language::German ? QLocale::German : QLocale::English);
    spnNearest->setLocale(locale);
    spnFarthest->setLocale(locale);
    mnuCopyRows->setText(fromUtf8(log_texts::copyRows(language_)));
    cmdSaveTable->setText(fromUtf8(log_texts::saveTable(language_)));
    updateCount();
}

void CandidatePanel::setLanguage(Language language) {
    language_ = language;
    model_->setLanguage(language);
    writeTexts();
    widenColumns();
}

void CandidatePanel::setStatistics(const QString& text) {
    lblStatistics->setText(text);
}

void CandidatePanel::takeFilter() {
    candidates::CandidateFilter filter;
    for (std::size_t i = 0; i < statusBoxes_.size(); ++i) {
        filter.statuses[static_cast<std::size_t>(kFilteredStatuses[i])] =
            statusBoxes_[i]->isChecked();
    }
    filter.range = {float(spnNearest->value()), float(spnFarthest->value())};
    model_->setFilter(filter);
    emit filterChanged();
}

void CandidatePanel::updateCount() {
    for (QCheckBox* box : statusBoxes_) {
        box->setEnabled(model_->hasStatuses());
    }
    cmdSaveTable->setEnabled(model_->rowCount() > 0);
    if (model_->stationCount() > 0 && !model_->hasPaths()) {
        lblCount->setText(fromUtf8(log_texts::workingOutDistances(language_)));
    } else if (model_->sorting()) {
        lblCount->setText(fromUtf8(log_texts::sortingTable(language_)));
    } else {
        lblCount->setText(fromUtf8(log_texts::stationsShown(
            language_, std::uint64_t(model_->rowCount()), model_->stationCount())));
    }
}

void CandidatePanel::selectStation(std::size_t station) {
    const auto row = model_->rowOf(station);
    if (!row) {
        tblCandidates->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(*row, 0);
    tblCandidates->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
    tblCandidates->scrollTo(index);
}

// New rows are a new table for the view: the station last chosen is
// selected again where it is still shown.
void CandidatePanel::keepChosenSelected() {
    widenColumns();
    if (chosen_) {
        selectStation(*chosen_);
    }
}

// A column grows to what its rows in sight need (the view measures those
// only), up to a width that leaves room for the others; it never shrinks,
// so that a width the user gave it stays until its rows need more.
void CandidatePanel::widenColumns() {
    QHeaderView* header = tblCandidates->horizontalHeader();
    const int widest = fontMetrics().averageCharWidth() * kWidestColumnCharacters;
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int before = header->sectionSize(column);
        tblCandidates->resizeColumnToContents(column);
        header->resizeSection(column,
                              std::max(before, std::min(widest, header->sectionSize(column))));
    }
}

void CandidatePanel::chooseRow(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    chosen_ = model_->stationAt(index.row());
    emit stationChosen(*chosen_);
}

// The selected rows in the order of the table, as a spreadsheet takes them.
void CandidatePanel::copyRows() {
    QModelIndexList selected = tblCandidates->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::string text;
    for (const QModelIndex& index : selected) {
        text += candidates::tabLine(model_->exportCells(index.row()));
    }
    if (!text.empty()) {
        QApplication::clipboard()->setText(fromUtf8(text));
    }
}

void CandidatePanel::saveTable() {
    QString file = chooser_.chooseFileToSave(
        this, {fromUtf8(log_texts::saveDialogTitle(language_)), saveStartFile_,
               fromUtf8(log_texts::tableFilters(language_)), true, QStringLiteral("csv")});
    if (file.isEmpty()) {
        return;
    }
    if (!file.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        file += QStringLiteral(".csv");
    }
    FileError error;
    {
        const BusyPointer busy;
        error = candidates::writeCsvFile(database_folder::toPath(file), model_->exportHeadings(),
                                         std::size_t(model_->rowCount()), [this](std::size_t row) {
                                             return model_->exportCells(static_cast<int>(row));
                                         });
    }
    if (error) {
        const MessageText message =
            log_texts::tableNotSaved(language_, QDir::toNativeSeparators(file).toStdString(),
                                     failure_text::reason(language_, error));
        presenter_.present(this, {QMessageBox::Critical, fromUtf8(message.title),
                                  fromUtf8(message.text), QMessageBox::Ok, QMessageBox::Ok});
    }
}

} // namespace kelmora
