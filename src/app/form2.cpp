// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form2.h"

#include "app/busy_pointer.h"
#include "app/candidate_panel.h"
#include "app/database_folder.h"
#include "app/display_text.h"
#include "app/file_chooser.h"
#include "app/locator_dialog.h"
#include "app/map_widget.h"
#include "app/message_presenter.h"
#include "app/settings_store.h"
#include "app/window_icon.h"
#include "candidates/station_fields.h"
#include "database/ascii.h"
#include "database/line_reader.h"
#include "database/text_encoding.h"
#include "geo/great_circle.h"
#include "geo/locator.h"
#include "language/map_texts.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>

namespace kelmora {
namespace {

using namespace std::chrono_literals;

// Projection runs in slices of this length between the window's events.
constexpr auto kProjectionSlice = 25ms;
// A projection that takes longer shows what it has at this pace.
constexpr qint64 kGrowthPaceMs = 250;
// Before the window is first shown, this much of the projection is done.
constexpr auto kProjectionBeforeShowing = 60ms;
// The size the window first opens with where the screen has room for it,
// and the least width it takes beside the main window.
constexpr QSize kFirstSize(1280, 800);
constexpr int kLeastWidth = 480;
// Calls in a tool tip; more are counted.
constexpr std::size_t kCallsInToolTip = 12;
// Calls to choose from when several stations share a dot.
constexpr std::size_t kCallsInMenu = 30;
// Closer than this, a station is at the own locator: it has no heading.
constexpr double kSamePlaceKm = 0.5;
// Longer database fields are shortened in the line of text.
constexpr qsizetype kLongestShownField = 24;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Database bytes as shown, shortened where they are longer than a field of
// a station ought to be.
std::string shownField(std::string_view bytes, LineEncoding encoding) {
    QString text =
        displayText(ascii::trimBlanks(bytes.substr(0, 4 * kLongestShownField)), encoding);
    if (text.size() > kLongestShownField) {
        text = text.left(kLongestShownField - 1) + QStringLiteral("…");
    }
    return text.toStdString();
}

// A line that names the columns, rather than describing a station.
bool namesTheColumns(const StationColumns::Fields& fields) {
    return ascii::equalsIgnoringCase(ascii::trimBlanks(fields.callsign), "CALL") ||
           ascii::equalsIgnoringCase(ascii::trimBlanks(fields.locator), "LOCATOR");
}

// The first line of a database, where its headings are when it has them.
std::optional<std::string> firstLineOf(const std::filesystem::path& file) {
    LineReader reader{InputFile(file)};
    std::string_view first;
    if (!reader.next(first)) {
        return std::nullopt;
    }
    return std::string(first);
}

map_texts::PathFigures figuresOf(const geo::Paths& paths) {
    return {paths.shortPath.distanceKm, paths.shortPath.headingDegrees, paths.longPath.distanceKm,
            paths.longPath.headingDegrees};
}

} // namespace

Form2::Form2(MessagePresenter& presenter, FileChooser& chooser, Language language)
    : presenter_(presenter), chooser_(chooser), language_(language) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(makeWindowIcon());
    buildControls();
    const QByteArray geometry =
        QByteArray::fromBase64(settings_store::read(settings_store::kMapWindow).toLatin1());
    placeRemembered_ = !geometry.isEmpty() && restoreGeometry(geometry);
    if (!placeRemembered_) {
        resize(kFirstSize);
    }
    projector_.setInterval(0);
    connect(&projector_, &QTimer::timeout, this, &Form2::projectMore);
    centreOnOwnLocator();
    writeTexts();
    readLogFromSettings();
}

Form2::~Form2() = default;

void Form2::buildControls() {
    lblPath = new QLabel(this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setTextFormat(Qt::PlainText);
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);

    picMap = new MapWidget(this);
    picMap->setStationDescription([this](std::size_t station) { return describeStation(station); });
    connect(picMap, &MapWidget::stationClicked, this, &Form2::chooseStation);

    pagNoLocator = new QWidget(this);
    pagNoLocator->setObjectName(QStringLiteral("pagNoLocator"));
    lblNoLocator = new QLabel(pagNoLocator);
    lblNoLocator->setObjectName(QStringLiteral("lblNoLocator"));
    lblNoLocator->setWordWrap(true);
    lblNoLocator->setAlignment(Qt::AlignCenter);
    cmdLocator = new QPushButton(pagNoLocator);
    cmdLocator->setObjectName(QStringLiteral("cmdLocator"));
    connect(cmdLocator, &QPushButton::clicked, this, &Form2::askForOwnLocator);
    auto* noLocatorLayout = new QVBoxLayout(pagNoLocator);
    noLocatorLayout->addStretch();
    noLocatorLayout->addWidget(lblNoLocator);
    noLocatorLayout->addWidget(cmdLocator, 0, Qt::AlignCenter);
    noLocatorLayout->addStretch();

    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("stkMap"));
    stack_->addWidget(picMap);
    stack_->addWidget(pagNoLocator);

    mnuSavePicture = new QAction(this);
    mnuSavePicture->setObjectName(QStringLiteral("mnuSavePicture"));
    mnuSavePicture->setShortcut(QKeySequence::Save);
    mnuSavePicture->setShortcutContext(Qt::WindowShortcut);
    connect(mnuSavePicture, &QAction::triggered, this, &Form2::savePicture);
    addAction(mnuSavePicture);
    picMap->addAction(mnuSavePicture);
    picMap->setContextMenuPolicy(Qt::ActionsContextMenu);

    buildLogControls();
    auto* top = new QHBoxLayout;
    top->addWidget(lblPath, 1);
    top->addWidget(lblBand);
    top->addWidget(cboBand);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splCandidates"));
    splitter_->addWidget(stack_);
    splitter_->addWidget(pnlCandidates);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    // The map is what the window is for: it starts with the larger share.
    splitter_->setSizes({600, 400});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter_, 1);
    layout->addWidget(lblLogStatus);
}

void Form2::writeTexts() {
    setWindowTitle(fromUtf8(map_texts::windowTitle(language_)));
    lblNoLocator->setText(fromUtf8(map_texts::noOwnLocator(language_)));
    cmdLocator->setText(fromUtf8(map_texts::enterOwnLocator(language_)));
    mnuSavePicture->setText(fromUtf8(map_texts::savePicture(language_)));
    picMap->setLanguage(language_);
    writeLogTexts();
    describeShownRecord();
}

void Form2::applyLanguage(Language language) {
    language_ = language;
    writeTexts();
}

void Form2::centreOnOwnLocator() {
    const QByteArray stored = settings_store::read(settings_store::kOwnLocator).toUtf8();
    const std::string_view text(stored.constData(), static_cast<std::size_t>(stored.size()));
    const auto shown = geo::shownLocator(text);
    ownPlace_ = shown ? geo::locatorCentre(*shown) : std::nullopt;
    ownLocator_ = shown ? QString::fromStdString(*shown) : QString();
    projector_.stop();
    if (!ownPlace_) {
        // Nothing is drawn from a centre that is not the user's own, and
        // there are no distances for the table.
        picMap->setScene(nullptr);
        stack_->setCurrentWidget(pagNoLocator);
        squares_.reset();
    } else {
        picMap->setScene(std::make_unique<MapScene>(*ownPlace_, geo::Coastlines::builtIn()));
        stack_->setCurrentWidget(picMap);
        squares_.emplace(*ownPlace_);
        startProjection();
    }
    pnlCandidates->setVisible(ownPlace_.has_value());
    startPaths();
    updateLogLayer();
    updateStatistics();
    describeShownRecord();
}

void Form2::placeBeside(const QWidget& mainWindow) {
    if (placeRemembered_) {
        return;
    }
    const QRect frame = mainWindow.frameGeometry();
    const QRect screen = mainWindow.screen()->availableGeometry();
    // This window's frame will be like the main window's.
    const QSize decoration = frame.size() - mainWindow.size();
    const int room = screen.right() - frame.right() - decoration.width();
    const int width = std::clamp(room, kLeastWidth, kFirstSize.width());
    const int height = std::min(kFirstSize.height(), screen.height() - decoration.height());
    resize(width, height);
    const int left =
        room >= kLeastWidth ? frame.right() + 1 : screen.right() + 1 - width - decoration.width();
    move(left, frame.top());
}

void Form2::openDatabase(const std::optional<std::filesystem::path>& file, bool hasHeadingLine) {
    database_ = file;
    hasHeadingLine_ = hasHeadingLine;
    stationsWanted_ = true;
    readStationsIfWanted();
}

void Form2::readStationsIfWanted() {
    if (!stationsWanted_ || !isVisible()) {
        return; // read when the window is shown
    }
    stationsWanted_ = false;
    {
        const BusyPointer busy;
        stations_ = std::make_shared<const geo::MapStations>(
            database_ ? geo::MapStations::read(*database_, hasHeadingLine_) : geo::MapStations());
        const std::optional<std::string> first = database_ ? firstLineOf(*database_) : std::nullopt;
        columns_ = StationColumns(database_ && hasHeadingLine_);
        headingFields_.clear();
        if (first) {
            columns_.takeHeadingLine(*first);
            if (hasHeadingLine_) {
                headingFields_ = candidates::shownFields(*first);
            }
        }
        keys_ = candidates::keysOf(*stations_);
    }
    pnlCandidates->model().setDatabase(stations_, database_, candidates::FieldLayout(columns_),
                                       tableHeadings());
    startProjection();
    startPaths();
    updateStatuses();
}

void Form2::startProjection() {
    MapScene* scene = picMap->scene();
    if (!scene) {
        return;
    }
    const std::shared_ptr<const geo::MapStations> stations = stations_;
    scene->setPlaces(stations->size(), [stations](std::size_t station) {
        return stations->stations()[station].locator().centre();
    });
    projectMore();
}

void Form2::projectMore() {
    MapScene* scene = picMap->scene();
    if (!scene) {
        projector_.stop();
        return;
    }
    const bool done =
        scene->projectPending(isVisible() ? kProjectionSlice : kProjectionBeforeShowing);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (done || now - lastGrowth_ >= kGrowthPaceMs) {
        lastGrowth_ = now;
        picMap->sceneGrew();
    }
    if (done) {
        projector_.stop();
    } else if (!projector_.isActive()) {
        projector_.start();
    }
}

bool Form2::mapComplete() const {
    return picMap->scene() && picMap->scene()->complete() && !stationsWanted_;
}

void Form2::showRecord(std::string_view line) {
    shownLine_.assign(line);
    describeShownRecord();
}

// The line of text and the mark for the record the main window shows.
void Form2::describeShownRecord() {
    picMap->setMarked(std::nullopt);
    const std::string_view line = shownLine_;
    if (line.empty()) {
        lblPath->setText(fromUtf8(map_texts::noStation(language_)));
        return;
    }
    const LineEncoding encoding = encodingOfLine(line);
    const StationColumns::Fields fields = columns_.fieldsOf(line);
    const std::string call = shownField(fields.callsign, encoding);
    std::string text;
    if (namesTheColumns(fields)) {
        text = map_texts::headingLine(language_);
    } else if (!columns_.hasLocatorColumn()) {
        text = map_texts::noLocatorColumn(language_, call);
    } else if (const auto locator = geo::shownLocator(ascii::trimBlanks(fields.locator));
               !locator) {
        text = map_texts::notAValidLocator(language_, call, shownField(fields.locator, encoding));
    } else if (!ownPlace_) {
        text = map_texts::stationWithoutOwnLocator(language_, call, *locator);
    } else {
        const geo::LatLon place = *geo::locatorCentre(*locator);
        const geo::Paths paths = geo::pathsBetween(*ownPlace_, place);
        text = paths.shortPath.distanceKm < kSamePlaceKm
                   ? map_texts::stationAtOwnLocator(language_, call, *locator)
                   : map_texts::stationPath(language_, call, *locator, figuresOf(paths));
        if (MapScene* scene = picMap->scene()) {
            picMap->setMarked(MarkedPlace{scene->project(place)});
        }
    }
    if (!namesTheColumns(fields)) {
        text += statusOfShownRecord(fields);
    }
    lblPath->setText(fromUtf8(text));
}

void Form2::askForOwnLocator() {
    if (askOwnLocator(this, presenter_, language_)) {
        centreOnOwnLocator();
    }
}

// The stations at the dot's locator, all in one tool tip.
QString Form2::describeStation(std::size_t station) const {
    const geo::PackedLocator locator = stations_->stations()[station].locator();
    const std::vector<std::size_t> here = stations_->stationsAt(locator);
    std::vector<std::string> calls;
    for (std::size_t i = 0; i < here.size() && i < kCallsInToolTip; ++i) {
        calls.emplace_back(stations_->stations()[here[i]].call());
    }
    const geo::Paths paths = geo::pathsBetween(*ownPlace_, locator.centre());
    return fromUtf8(map_texts::dotToolTip(language_, locator.text(), paths.shortPath.distanceKm,
                                          paths.shortPath.headingDegrees, calls,
                                          here.size() - calls.size()));
}

// A station alone at its locator is shown at once; of several, the user
// picks one.
void Form2::chooseStation(std::size_t station) {
    std::vector<std::size_t> here = stations_->stationsAt(stations_->stations()[station].locator());
    if (here.size() > 1) {
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("mnuStationsHere"));
        for (std::size_t i = 0; i < here.size() && i < kCallsInMenu; ++i) {
            const std::string_view call = stations_->stations()[here[i]].call();
            menu.addAction(QString::fromLatin1(call.data(), qsizetype(call.size())))
                ->setData(qulonglong(here[i]));
        }
        const QAction* picked = menu.exec(QCursor::pos());
        if (!picked) {
            return;
        }
        station = picked->data().toULongLong();
    }
    showStation(station);
}

// Shows the station in the main window, which then marks it here.
void Form2::showStation(std::size_t station) {
    const geo::MapStations::Line line = stations_->lineOf(station);
    if (line.status == geo::MapStations::Line::Status::Read) {
        emit stationChosen(QByteArray::fromStdString(line.text));
        return;
    }
    // The file changed since it was read: what the map shows is read anew.
    stationsWanted_ = true;
    readStationsIfWanted();
}

QImage Form2::titledPicture() const {
    const QImage map = picMap->picture(picMap->size(), devicePixelRatioF());
    const QFontMetrics metrics(font());
    const int titleHeight = metrics.height() * 2;
    QImage picture(map.width(), map.height() + int(titleHeight * map.devicePixelRatio()),
                   QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(map.devicePixelRatio());
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setFont(font());
    const QString database =
        database_ ? database_folder::fromPath(database_->filename()) : QStringLiteral("-");
    painter.drawText(QRect(0, 0, picMap->width(), titleHeight), Qt::AlignCenter,
                     fromUtf8(map_texts::pictureTitle(language_, ownLocator_.toStdString(),
                                                      database.toStdString())));
    painter.drawImage(QPointF(0, titleHeight), map);
    return picture;
}

void Form2::savePicture() {
    if (!picMap->scene()) {
        return;
    }
    const QString start = QDir::current().filePath(
        (database_ ? QFileInfo(database_folder::fromPath(*database_)).completeBaseName()
                   : QStringLiteral("map")) +
        QLatin1Char('_') + ownLocator_ + QStringLiteral(".png"));
    QString file = chooser_.chooseFileToSave(
        this, {fromUtf8(map_texts::saveDialogTitle(language_)), start,
               fromUtf8(map_texts::pictureFilters(language_)), true, QStringLiteral("png")});
    if (file.isEmpty()) {
        return;
    }
    if (!file.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        file += QStringLiteral(".png");
    }
    if (!titledPicture().save(file, "PNG")) {
        const MessageText message =
            map_texts::pictureNotSaved(language_, QDir::toNativeSeparators(file).toStdString());
        presenter_.present(this, {QMessageBox::Critical, fromUtf8(message.title),
                                  fromUtf8(message.text), QMessageBox::Ok, QMessageBox::Ok});
    }
}

void Form2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    readStationsIfWanted();
}

void Form2::closeEvent(QCloseEvent* event) {
    if (!settings_store::write(settings_store::kMapWindow,
                               QString::fromLatin1(saveGeometry().toBase64()))) {
        qWarning("The settings could not be stored.");
    }
    QWidget::closeEvent(event);
}

} // namespace kelmora
