// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form2.h"
#include "app/locator_dialog.h"
#include "app/map_painter.h"
#include "app/map_widget.h"
#include "geo/great_circle.h"
#include "geo/locator.h"
#include "widget_test_support.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <cmath>
#include <functional>
#include <numbers>

using namespace kelmora;
using namespace kelmora::testing;

namespace {

const QString kOwnLocator = QStringLiteral("JO62QM");
const QByteArray kHeadings = "CALL;Bemerkung;LOCATOR;Aktivitäten;RIG / QRG;Name;E-Mail;Stand :\r\n";

// Stations all round the own locator, none nearer than 300 km to it or to
// each other, all within the 3,000 km the map opens with.
const QList<QByteArray> kStations = {
    "QQ1BCD;Sked;IO91WM;FSK441;IC-202;Berta;b@example.org;02.01.2026",
    "QQ2XYZ;Contest;KP20LE;CW MS;FT-847;Carl;c@example.org;15.11.2025",
    "QQ3AAA;Nachts;KO85TS;WSJT;IC-910;Emil;e@example.org;20.02.2026",
    "QQ4CC;Portabel;JN45NL;SSB MS;IC-275;Frieda;f@example.org;08.08.2025",
    "QQ5DD;Sommer;KM18UT;FSK441;TS-2000;Gustav;g@example.org;01.06.2026",
};

QByteArray database(const QList<QByteArray>& lines, const QByteArray& headings = kHeadings) {
    return headings + lines.join("\r\n") + "\r\n";
}

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

std::string_view view(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray locatorOf(const QByteArray& line) {
    return line.split(';').at(2);
}

// Runs what a modal dialog should meet as soon as it is open.
void whenDialogOpens(std::function<void(LocatorDialog&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<LocatorDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start(1);
}

void typeAndPressOk(LocatorDialog& dialog, const QString& text) {
    control<QLineEdit>(dialog, "txtLocator")->setText(text);
    control<QDialogButtonBox>(dialog, "cmdLocator")->button(QDialogButtonBox::Ok)->click();
}

constexpr double kRadians = std::numbers::pi / 180;

// The map's drawing at a fixed size, worked out from distance and heading
// alone: the own locator in the middle, the disc as large as the picture
// allows with room for the headings, 3,000 km from the middle to the rim.
struct Drawing {
    QSize size{800, 600};
    double pixelsPerKm = 0;
    QPointF centre;

    explicit Drawing(const QFont& font) {
        centre = QPointF(size.width() / 2.0, size.height() / 2.0);
        pixelsPerKm =
            (std::min(size.width(), size.height()) / 2.0 - MapPainter::rimRoom(font)) / 3000.0;
    }
    QPointF at(double distanceKm, double headingDegrees) const {
        return centre +
               QPointF(std::sin(headingDegrees * kRadians), -std::cos(headingDegrees * kRadians)) *
                   distanceKm * pixelsPerKm;
    }
    QPointF atLocator(const QByteArray& locator) const {
        const geo::Way way = geo::pathsBetween(*geo::locatorCentre(view(utf8(kOwnLocator))),
                                               *geo::locatorCentre(view(locator)))
                                 .shortPath;
        return at(way.distanceKm, way.headingDegrees);
    }
};

} // namespace

class MapWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        clearSettings();
        folder_ = std::make_unique<WorkingFolder>();
        folder_->write("ms1.txt", database(kStations));
        storeSetting(settings_store::kDatabase, "ms1.txt");
        storeSetting(settings_store::kOwnLocator, kOwnLocator);
    }
    void cleanup() {
        window_.reset();
        messages_.clear();
        folder_.reset();
    }

    // ---- The menus ------------------------------------------------------

    void theItemsStandInTheirMenus() {
        start();
        QVERIFY(control<QMenu>(*window_, "mnuOpt")
                    ->actions()
                    .contains(control<QAction>(*window_, "mnuLocator")));
        const QList<QAction*> tools = control<QMenu>(*window_, "mnuExtr")->actions();
        const qsizetype call3 = tools.indexOf(control<QAction>(*window_, "mnuCall3"));
        QCOMPARE(tools.indexOf(control<QAction>(*window_, "mnuKarte")), call3 + 1);
    }

    void aSecondCallRaisesTheOneMapWindow() {
        start();
        openMap();
        Form2* first = shownMapWindow();
        control<QAction>(*window_, "mnuKarte")->trigger();
        QCOMPARE(shownMapWindow(), first);
        int shown = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            shown += qobject_cast<Form2*>(widget) && widget->isVisible() ? 1 : 0;
        }
        QCOMPARE(shown, 1);
        QVERIFY(!first->isModal());
    }

    void theMapsTextsFollowTheLanguageSwitch() {
        start();
        openMap();
        QCOMPARE(shownMapWindow()->windowTitle(), QStringLiteral("Karte der Stationen"));
        control<QAction>(*window_, "mnuEnglisch")->trigger();
        QCOMPARE(shownMapWindow()->windowTitle(), QStringLiteral("Map of the stations"));
        QVERIFY(pathText().startsWith(QStringLiteral("QQ1BCD  IO91WM:  ")));
        QVERIFY(pathText().contains(QStringLiteral(" km, heading ")));
        QCOMPARE(control<QAction>(*shownMapWindow(), "mnuSavePicture")->text(),
                 QStringLiteral("&Save picture..."));
    }

    // ---- The own locator ------------------------------------------------

    void theDialogRefusesWhatIsNoLocator_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("three characters") << "JO6";
        QTest::newRow("five characters") << "JO62Q";
        QTest::newRow("field letter beyond R") << "SS00";
        QTest::newRow("letter where a digit belongs") << "JO6Z";
        QTest::newRow("digit where a letter belongs") << "J062QM";
        QTest::newRow("subsquare letter beyond X") << "JO62QY";
        QTest::newRow("a word of the digital modes") << "RR73";
        QTest::newRow("blank") << "   ";
        QTest::newRow("very long") << QString(300, QLatin1Char('A'));
    }
    void theDialogRefusesWhatIsNoLocator() {
        QFETCH(QString, typed);
        openSettings()->remove(settings_store::keyInSection(settings_store::kOwnLocator));
        start();
        bool stillOpen = false;
        whenDialogOpens([&](LocatorDialog& dialog) {
            typeAndPressOk(dialog, typed);
            stillOpen = dialog.isVisible();
            dialog.reject();
        });
        control<QAction>(*window_, "mnuLocator")->trigger();
        QVERIFY(stillOpen); // the text can be put right
        QCOMPARE(messages_.count(), 1);
        QCOMPARE(messages_.last().title, QStringLiteral("Eigener Locator"));
        QVERIFY(messages_.last().text.contains(QStringLiteral("4, 6 oder 8 Zeichen")));
        QCOMPARE(messages_.last().icon, QMessageBox::Critical);
        QCOMPARE(storedSetting(settings_store::kOwnLocator), std::nullopt);
    }

    void theDialogStoresTheLocatorInUpperCase_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("six, lower case") << "jo62qm"
                                         << "JO62QM";
        QTest::newRow("four, blanks around") << " io91 "
                                             << "IO91";
        QTest::newRow("eight") << "Jo62qM15"
                               << "JO62QM15";
    }
    void theDialogStoresTheLocatorInUpperCase() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        start();
        QString shown;
        whenDialogOpens([&](LocatorDialog& dialog) {
            QCOMPARE(control<QLineEdit>(dialog, "txtLocator")->text(), kOwnLocator);
            QTest::keyClicks(control<QLineEdit>(dialog, "txtLocator"), typed.trimmed());
            shown = control<QLineEdit>(dialog, "txtLocator")->text();
            typeAndPressOk(dialog, typed);
        });
        control<QAction>(*window_, "mnuLocator")->trigger();
        QCOMPARE(messages_.count(), 0);
        QCOMPARE(shown, stored); // typed over the selected old locator, in upper case
        QCOMPARE(storedSetting(settings_store::kOwnLocator), std::optional<QString>(stored));
    }

    void withoutOwnLocatorTheWindowSaysSoAndOffersTheDialog() {
        clearSettings();
        storeSetting(settings_store::kDatabase, "ms1.txt");
        start();
        openMap();
        Form2* map = shownMapWindow();
        QCOMPARE(control<QStackedWidget>(*map, "stkMap")->currentWidget()->objectName(),
                 QStringLiteral("pagNoLocator"));
        QVERIFY(map->map()->scene() == nullptr); // nothing drawn from a guessed centre
        QVERIFY(control<QLabel>(*map, "lblNoLocator")->text().contains("eigenen Locator"));
        whenDialogOpens([](LocatorDialog& dialog) { typeAndPressOk(dialog, "JO62QM"); });
        control<QPushButton>(*map, "cmdLocator")->click();
        QVERIFY(map->map()->scene() != nullptr);
        QTRY_VERIFY(map->mapComplete());
        QVERIFY(map->map()->marked().has_value());
    }

    void anOwnLocatorChangedInTheMenuRecentresTheMap() {
        start();
        openMap();
        whenDialogOpens([](LocatorDialog& dialog) { typeAndPressOk(dialog, "IO91WM"); });
        control<QAction>(*window_, "mnuLocator")->trigger();
        QTRY_VERIFY(shownMapWindow()->mapComplete());
        // The shown station is now at the own locator's very centre.
        QCOMPARE(pathText(), QStringLiteral("QQ1BCD  IO91WM:  am eigenen Locator"));
    }

    // ---- The drawing ----------------------------------------------------

    void theOwnLocatorIsInTheMiddleAndEveryStationWhereItLies() {
        Form2 map(messages_, files_, Language::German);
        openAlone(map);
        const Drawing drawing(map.map()->font());
        const QImage image =
            map.map()->picture(drawing.size, 1.0).convertToFormat(QImage::Format_RGB32);
        QVERIFY(colourNear(image, drawing.centre, map_colours::kCentre, 40));
        for (const QByteArray& station : kStations) {
            QVERIFY2(
                colourNear(image, drawing.atLocator(locatorOf(station)), map_colours::kStation),
                station.constData());
        }
        // Nothing else is a station's dot: an empty database draws none.
        map.openDatabase(std::nullopt, false);
        QTRY_VERIFY(map.mapComplete());
        const QImage empty =
            map.map()->picture(drawing.size, 1.0).convertToFormat(QImage::Format_RGB32);
        for (const QByteArray& station : kStations) {
            QVERIFY(
                !colourNear(empty, drawing.atLocator(locatorOf(station)), map_colours::kStation));
        }
    }

    void theThousandKilometreRingLiesAtItsRadius() {
        Form2 map(messages_, files_, Language::German);
        openAlone(map);
        const Drawing drawing(map.map()->font());
        const QImage image =
            map.map()->picture(drawing.size, 1.0).convertToFormat(QImage::Format_RGB32);
        const auto ringHits = [&](double km) {
            int hits = 0;
            for (int heading = 0; heading < 360; heading += 2) {
                hits += colourNear(image, drawing.at(km, heading), map_colours::kRing, 24) ? 1 : 0;
            }
            return hits;
        };
        // The ring is dashed: it shows at a third to two thirds of the headings,
        // as the platform's painting lays out its dashes.
        QVERIFY2(ringHits(1000) > 45, qPrintable(QString::number(ringHits(1000))));
        // Between the rings there is none.
        QVERIFY2(ringHits(1120) < 10, qPrintable(QString::number(ringHits(1120))));
        QVERIFY2(ringHits(880) < 10, qPrintable(QString::number(ringHits(880))));
    }

    void aClickOnADotShowsThatStationInTheMainWindow() {
        start();
        openMap();
        MapWidget* map = shownMapWindow()->map();
        const QByteArray station = kStations.at(2);
        const geo::PlanePoint place =
            map->scene()->project(*geo::locatorCentre(view(locatorOf(station))));
        const PixelPoint pixel = map->pixelOf(place);
        QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(int(pixel.x), int(pixel.y)));
        QCOMPARE(fieldTexts(*window_), QStringList({"QQ3AAA", "Nachts", "KO85TS", "WSJT", "IC-910",
                                                    "Emil", "e@example.org", "20.02.2026"}));
        QVERIFY(pathText().startsWith(QStringLiteral("QQ3AAA  KO85TS:  ")));
        QVERIFY(map->marked().has_value());
        QCOMPARE(headingTexts(*window_).at(2), QStringLiteral("LOCATOR")); // headings unchanged
        // A search hit is marked alike.
        control<QLineEdit>(*window_, "Text10")->setText("QQ5DD");
        QTest::keyClick(control<QLineEdit>(*window_, "Text10"), Qt::Key_Return);
        QVERIFY(pathText().startsWith(QStringLiteral("QQ5DD  KM18UT:  ")));
    }

    // ---- The line of text -----------------------------------------------

    void theLineOfTextSaysWhereTheShownStationLies_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("marked");
        const auto invalid = [](const char* field) {
            return QStringLiteral("QQ1ABC:  „%1“ ist kein gültiger Locator, also keine Entfernung "
                                  "und Richtung")
                .arg(QString::fromUtf8(field));
        };
        QTest::newRow("a locator") << QByteArray("QQ1ABC;r;IO91WM") << QString() << true;
        QTest::newRow("in lower case") << QByteArray("QQ1ABC;r;io91wm") << QString() << true;
        QTest::newRow("four characters") << QByteArray("QQ1ABC;r;IO91") << QString() << true;
        QTest::newRow("wrong length")
            << QByteArray("QQ1ABC;r;JO62QMX") << invalid("JO62QMX") << false;
        QTest::newRow("field beyond R") << QByteArray("QQ1ABC;r;SS00") << invalid("SS00") << false;
        QTest::newRow("letter for a digit")
            << QByteArray("QQ1ABC;r;JO6Z") << invalid("JO6Z") << false;
        QTest::newRow("digit for a letter")
            << QByteArray("QQ1ABC;r;1O62") << invalid("1O62") << false;
        QTest::newRow("RR73") << QByteArray("QQ1ABC;r;RR73") << invalid("RR73") << false;
        QTest::newRow("blank field")
            << QByteArray("QQ1ABC;r;   ;x")
            << QStringLiteral("QQ1ABC:  kein Locator angegeben, also keine Entfernung und Richtung")
            << false;
        QTest::newRow("very long field") << QByteArray("QQ1ABC;r;") + QByteArray(5000, 'A')
                                         << invalid("AAAAAAAAAAAAAAAAAAAAAAA…") << false;
        QTest::newRow("the heading line")
            << kHeadings.chopped(2)
            << QStringLiteral("Das ist die Überschriftenzeile der Datenbank, keine Station.")
            << false;
        QTest::newRow("no station")
            << QByteArray() << QStringLiteral("Keine Station angezeigt.") << false;
    }
    void theLineOfTextSaysWhereTheShownStationLies() {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QFETCH(bool, marked);
        Form2 map(messages_, files_, Language::German);
        openAlone(map);
        map.showRecord(view(line));
        if (text.isEmpty()) {
            QVERIFY(pathText(map).startsWith(QStringLiteral("QQ1ABC  ") +
                                             QString::fromLatin1(locatorOf(line)).toUpper() +
                                             QStringLiteral(":  ")));
            QVERIFY(pathText(map).contains(QStringLiteral("langer Weg")));
        } else {
            QCOMPARE(pathText(map), text);
        }
        QCOMPARE(map.map()->marked().has_value(), marked);
    }

    void aDatabaseWithoutLocatorColumnMarksNothing() {
        folder_->write("ms2.txt", database(kStations, "CALL;Bemerkung;LOC;A;B;C;D;E\r\n"));
        Form2 map(messages_, files_, Language::English);
        map.openDatabase(std::filesystem::path("ms2.txt"), true);
        map.show();
        QTRY_VERIFY(map.mapComplete());
        map.showRecord(view(kStations.first()));
        QCOMPARE(pathText(map),
                 QStringLiteral("QQ1BCD:  the database has no LOCATOR column, so no distance "
                                "and heading"));
        QVERIFY(!map.map()->marked());
        QVERIFY(map.map()->scene()->projectedPlaces().empty());
    }

    void theExactPathFiguresAreShown() {
        Form2 map(messages_, files_, Language::English);
        openAlone(map);
        map.showRecord("QQ1ABC;r;KO85TS");
        const geo::Paths paths =
            geo::pathsBetween(*geo::locatorCentre("JO62QM"), *geo::locatorCentre("KO85TS"));
        const auto km = [](double value) {
            return QLocale(QLocale::English).toString(qint64(std::llround(value))) + " km";
        };
        QCOMPARE(pathText(map), QStringLiteral("QQ1ABC  KO85TS:  %1, heading %2°   (long path: "
                                               "%3°, %4)")
                                    .arg(km(paths.shortPath.distanceKm))
                                    .arg(std::lround(paths.shortPath.headingDegrees))
                                    .arg(std::lround(paths.longPath.headingDegrees))
                                    .arg(km(paths.longPath.distanceKm)));
    }

    // ---- The picture and the window's place ----------------------------

    void savesWhatIsShownAsAPicture() {
        start();
        openMap();
        const QString file = QDir(folder_->path()).filePath("karte.png");
        files_.answerNext(file);
        control<QAction>(*shownMapWindow(), "mnuSavePicture")->trigger();
        QCOMPARE(files_.requests().last().title, QStringLiteral("Karte als Bild speichern"));
        QVERIFY(files_.requests().last().confirmOverwrite);
        const QImage saved(file);
        QVERIFY(!saved.isNull());
        const QSize map = shownMapWindow()->map()->size() * shownMapWindow()->devicePixelRatioF();
        QCOMPARE(saved.width(), map.width());
        QVERIFY(saved.height() > map.height()); // the title line above the map

        files_.answerNext(QDir(folder_->path()).filePath("no-such-folder/karte.png"));
        control<QAction>(*shownMapWindow(), "mnuSavePicture")->trigger();
        QCOMPARE(messages_.count(), 1);
        QVERIFY(messages_.last().text.startsWith("Das Bild kann nicht gespeichert werden:"));
    }

    void theWindowRemembersItsSizeAndPlace() {
        start();
        openMap();
        shownMapWindow()->setGeometry(QRect(700, 80, 640, 520));
        const QRect before = shownMapWindow()->geometry();
        shownMapWindow()->close();
        QVERIFY(storedSetting(settings_store::kMapWindow).has_value());
        QTRY_VERIFY(shownMapWindow() == nullptr);
        openMap();
        QCOMPARE(shownMapWindow()->geometry(), before);
    }

private:
    void start() { window_ = startWindow(messages_, &files_); }

    void openMap() {
        control<QAction>(*window_, "mnuKarte")->trigger();
        QVERIFY(shownMapWindow());
        QVERIFY(QTest::qWaitForWindowExposed(shownMapWindow()));
        // Without an own locator there is no map to wait for.
        QTRY_VERIFY(!shownMapWindow()->map()->scene() || shownMapWindow()->mapComplete());
    }

    void openAlone(Form2& map) {
        map.openDatabase(std::filesystem::path("ms1.txt"), true);
        map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        QTRY_VERIFY(map.mapComplete());
    }

    QString pathText(const Form2& map) const { return control<QLabel>(map, "lblPath")->text(); }
    QString pathText() const { return pathText(*shownMapWindow()); }

    ScriptedMessages messages_;
    ScriptedFiles files_;
    std::unique_ptr<WorkingFolder> folder_;
    std::unique_ptr<Form1> window_;
};

KELMORA_WIDGET_TEST_MAIN(MapWindowTest)
#include "test_map_window.moc"
