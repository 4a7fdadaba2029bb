// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/candidate_model.h"
#include "app/candidate_panel.h"
#include "app/form2.h"
#include "app/map_painter.h"
#include "app/map_widget.h"
#include "geo/locator.h"
#include "widget_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <cmath>

using namespace kelmora;
using namespace kelmora::testing;

namespace {

// Distances and headings from JO62QM, and what the log below says on 2 m:
//   QQ1AAA  IO91WM   931 km  268°  worked
//   QQ2BBB  KO11AA   620 km  102°  confirmed
//   QQ3CCC  IO91VL   939 km  268°  new call
//   QQ4DDD  KP20LE  1111 km   35°  new grid
//   QQ5EEE  JN47AA   722 km  214°  new grid (on 6 m worked)
//   QQ6FFF  JO50AB   358 km  222°  new grid, nearer than the filter opens with
//   QQ7GGG  RR73                   no locator: not on the map
//   QQ8HHH  IN78SE  1353 km  256°  new grid
// The remarks are Windows-1252, one with a comma, one in lower case.
const QByteArray kDatabase =
    "CALL;Bemerkung;LOCATOR;Aktivit\xE4ten;RIG / QRG;Name;E-Mail;Stand :\r\n"
    "QQ1AAA;Sked per Mail;IO91WM;FSK441;IC-202;Anna;a@example.org;01.01.2026\r\n"
    "QQ2BBB;\"Contest, Multi-Op\";KO11AA;MSK144;FT-847;Bernd;b@example.org;02.01.2026\r\n"
    "QQ3CCC;nachts;IO91VL;JT6M;TS-2000;Clara;c@example.org;03.01.2026\r\n"
    "QQ4DDD;Gr\xFC\xDF"
    "e;KP20LE;WSJT;IC-910;Dieter;d@example.org;04.01.2026\r\n"
    "QQ5EEE;Portabel;JN47AA;CW MS;IC-275;Emil;e@example.org;05.01.2026\r\n"
    "QQ6FFF;Mast;JO50AB;SSB MS;IC-9700;Frieda;f@example.org;06.01.2026\r\n"
    "QQ7GGG;ohne;RR73;FSK441;FT-736;Gustav;g@example.org;07.01.2026\r\n"
    "QQ8HHH;Anf\xE4nger;IN78SE;MSK144;IC-706;Hanna;h@example.org;08.01.2026\r\n";

// Four QSOs and a record without a call, which is skipped.
const QByteArray kLog = "Test log<eoh>\n"
                        "<call:6>QQ1AAA <gridsquare:6>IO91WM <band:2>2m <mode:6>MSK144 <eor>\n"
                        "<call:6>QQ2BBB <gridsquare:4>KO11 <band:2>2m <lotw_qsl_rcvd:1>Y <eor>\n"
                        "<call:6>QQ5EEE <gridsquare:4>JN47 <freq:6>50.200 <eor>\n"
                        "<call:6>QQ7GGG <band:4>70cm <eor>\n"
                        "<gridsquare:4>JO01 <band:2>2m <eor>\n";

const QStringList kDefaultOrder = {"QQ5EEE", "QQ4DDD", "QQ8HHH", "QQ3CCC", "QQ1AAA", "QQ2BBB"};

QString logFile() {
    return QDir::current().filePath("wsjtx_log.adi");
}

QStringList columnTexts(const QTableView& table, int column) {
    QStringList texts;
    for (int row = 0; row < table.model()->rowCount(); ++row) {
        texts << table.model()->index(row, column).data().toString();
    }
    return texts;
}

} // namespace

class LogWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        clearSettings();
        folder_ = std::make_unique<WorkingFolder>();
        folder_->write("ms1.txt", kDatabase);
        folder_->write("wsjtx_log.adi", kLog);
        storeSetting(settings_store::kDatabase, "ms1.txt");
        storeSetting(settings_store::kOwnLocator, "JO62QM");
        storeSetting(settings_store::kLogFile, logFile());
    }
    void cleanup() {
        window_.reset();
        messages_.clear();
        folder_.reset();
    }

    // ---- The menu and the remembered file ------------------------------

    void theItemStandsAfterTheOwnLocator() {
        start("de");
        const QList<QAction*> options = control<QMenu>(*window_, "mnuOpt")->actions();
        QCOMPARE(options.indexOf(control<QAction>(*window_, "mnuLog")),
                 options.indexOf(control<QAction>(*window_, "mnuLocator")) + 1);
    }

    // WSJT-X's own log where its data folder exists, else the working
    // folder's; then the last choice, which a cancel does not change.
    void theDialogStartsAtWsjtxsLogThenAtTheLastChoice_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filters");
        QTest::newRow("de") << "de"
                            << "Logbuch (ADIF) wählen"
                            << "ADIF-Logbücher (*.adi *.ADI);;Alle Dateien (*)";
        QTest::newRow("en") << "en"
                            << "Choose the log (ADIF)"
                            << "ADIF logs (*.adi *.ADI);;All files (*)";
    }
    void theDialogStartsAtWsjtxsLogThenAtTheLastChoice() {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, filters);
        openSettings()->remove(settings_store::keyInSection(settings_store::kLogFile));
        ScriptedFiles files;
        storeSetting(settings_store::kLanguage, language);
        window_ = startWindow(messages_, &files);
        const QString wsjtx =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/WSJT-X";
        QDir(wsjtx).removeRecursively();
        trigger("mnuLog");
        QVERIFY(QDir().mkpath(wsjtx));
        trigger("mnuLog");
        QDir(wsjtx).removeRecursively();
        QCOMPARE(shownMapWindow(), nullptr); // cancelled: nothing opens
        files.answerNext(logFile());
        trigger("mnuLog");
        trigger("mnuLog");
        QCOMPARE(files.openRequests().size(), 4);
        QCOMPARE(files.openRequests().at(0).startFile, folder_->path() + "/wsjtx_log.adi");
        QCOMPARE(files.openRequests().at(1).startFile, wsjtx + "/wsjtx_log.adi");
        QCOMPARE(files.openRequests().at(3).startFile, logFile());
        QCOMPARE(files.openRequests().at(0).title, title);
        QCOMPARE(files.openRequests().at(0).filters, filters);
        QCOMPARE(storedSetting(settings_store::kLogFile), std::optional<QString>(logFile()));
        // The chosen log shows in the map window, which opened for it.
        QVERIFY(shownMapWindow());
        waitUntilSettled();
        QCOMPARE(calls(), kDefaultOrder);
        window_.reset();
    }

    void theStatusLineSaysHowTheLogWasRead_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("log"); // none: the file does not exist
        QTest::addColumn<QString>("status"); // %1: the log's path
        QTest::newRow("read, de") << "de" << kLog
                                  << "%1:  4 QSOs gelesen, 1 Datensatz übersprungen";
        QTest::newRow("read, en") << "en" << kLog << "%1:  4 QSOs read, 1 record skipped";
        QTest::newRow("one QSO") << "en" << QByteArray("<call:4>QQ1A<eor><eor><call:1><eor>")
                                 << "%1:  1 QSO read, 2 records skipped";
        QTest::newRow("missing, de")
            << "de" << QByteArray()
            << "%1 kann nicht gelesen werden: Datei oder Ordner nicht gefunden";
        QTest::newRow("missing, en")
            << "en" << QByteArray() << "%1 cannot be read: File or folder not found";
    }
    void theStatusLineSaysHowTheLogWasRead() {
        QFETCH(QString, language);
        QFETCH(QByteArray, log);
        QFETCH(QString, status);
        QFile::remove(logFile());
        if (!log.isNull()) {
            folder_->write("wsjtx_log.adi", log);
        }
        startWithMap(language);
        QCOMPARE(logStatus(), status.arg(QDir::toNativeSeparators(logFile())));
    }

    void withoutALogTheMapAndTableShowNoStatus() {
        openSettings()->remove(settings_store::keyInSection(settings_store::kLogFile));
        startWithMap("de");
        QCOMPARE(logStatus(), "Kein Logbuch gewählt (Optionen > Logbuch (ADIF)...)");
        QVERIFY(!map()->map()->logLayer().statuses);
        QCOMPARE(columnTexts(table(), CandidateModel::StatusColumn), QStringList(6, QString()));
        QVERIFY(!control<QCheckBox>(*map(), "chkNewGrid")->isEnabled());
        QCOMPARE(text(*map(), "lblStatistics"), QString());
    }

    // ---- Statuses ---------------------------------------------------------

    // As the table shows it, and as the line of text above the map shows
    // the station on display in the main window.
    void eachStationsStatusOnTheBand_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("band"); // the chooser's entry
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("status"); // in the table; empty where it is not there
        QTest::addColumn<QString>("shown");  // after the line of text
        QTest::newRow("worked") << "de" << 0 << "QQ1AAA"
                                << "Gearbeitet"
                                << "Gearbeitet auf 2 m";
        QTest::newRow("confirmed by LoTW") << "de" << 0 << "QQ2BBB"
                                           << "Bestätigt"
                                           << "Bestätigt auf 2 m";
        QTest::newRow("new call in a worked square") << "de" << 0 << "QQ3CCC"
                                                     << "Neues Rufzeichen"
                                                     << "Neues Rufzeichen auf 2 m";
        QTest::newRow("new grid") << "de" << 0 << "QQ4DDD"
                                  << "Neues Mittelfeld"
                                  << "Neues Mittelfeld auf 2 m";
        QTest::newRow("worked on 6 m only, on 2 m") << "de" << 0 << "QQ5EEE"
                                                    << "Neues Mittelfeld"
                                                    << "Neues Mittelfeld auf 2 m";
        QTest::newRow("worked on 6 m only, on 6 m") << "de" << 1 << "QQ5EEE"
                                                    << "Gearbeitet"
                                                    << "Gearbeitet auf 6 m";
        QTest::newRow("worked on 6 m only, on all bands") << "de" << 5 << "QQ5EEE"
                                                          << "Gearbeitet"
                                                          << "Gearbeitet auf allen Bändern";
        QTest::newRow("confirmed on 2 m, on 70 cm") << "de" << 3 << "QQ2BBB"
                                                    << "Neues Mittelfeld"
                                                    << "Neues Mittelfeld auf 70 cm";
        QTest::newRow("no locator") << "de" << 0 << "QQ7GGG" << QString() << "Kein Locator auf 2 m";
        QTest::newRow("no locator, worked on 70 cm")
            << "de" << 3 << "QQ7GGG" << QString() << "Gearbeitet auf 70 cm";
        QTest::newRow("confirmed, en") << "en" << 0 << "QQ2BBB"
                                       << "Confirmed"
                                       << "Confirmed on 2 m";
        QTest::newRow("new call, all bands, en") << "en" << 5 << "QQ3CCC"
                                                 << "New call"
                                                 << "New call on all bands";
        QTest::newRow("no locator, en")
            << "en" << 4 << "QQ7GGG" << QString() << "No locator on 23 cm";
    }
    void eachStationsStatusOnTheBand() {
        QFETCH(QString, language);
        QFETCH(int, band);
        QFETCH(QString, call);
        QFETCH(QString, status);
        QFETCH(QString, shown);
        startWithMap(language);
        control<QComboBox>(*map(), "cboBand")->setCurrentIndex(band);
        control<QSpinBox>(*map(), "spnNearest")->setValue(0);
        const qsizetype row = calls().indexOf(call);
        QCOMPARE(row >= 0 ? columnTexts(table(), CandidateModel::StatusColumn).at(row) : QString(),
                 status);
        showInMainWindow(call);
        QVERIFY2(pathText().startsWith(call), qPrintable(pathText()));
        QVERIFY2(pathText().endsWith("  ·  " + shown), qPrintable(pathText()));
    }

    // The log is read again when WSJT-X appends to it, and when another
    // program writes a new file in its place.
    void aQsoLoggedMeanwhileChangesTheStatus_data() {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("appended") << false;
        QTest::newRow("replaced") << true;
    }
    void aQsoLoggedMeanwhileChangesTheStatus() {
        QFETCH(bool, replaced);
        startWithMap("de");
        showInMainWindow("QQ4DDD");
        QCOMPARE(columnTexts(table(), CandidateModel::StatusColumn).at(1), "Neues Mittelfeld");
        const QByteArray qso = "<call:6>QQ4DDD <gridsquare:4>KP20 <band:2>2m <eor>\n";
        if (replaced) {
            folder_->write("new.adi", kLog + qso);
            QVERIFY(QFile::remove(logFile()));
            QVERIFY(QFile::rename(QDir::current().filePath("new.adi"), logFile()));
        } else {
            QFile file(logFile());
            QVERIFY(file.open(QIODevice::Append));
            file.write(qso);
        }
        QTRY_VERIFY(logStatus().endsWith(":  5 QSOs gelesen, 1 Datensatz übersprungen"));
        QTRY_VERIFY(map()->candidatesSettled());
        const qsizetype row = calls().indexOf("QQ4DDD");
        QCOMPARE(columnTexts(table(), CandidateModel::StatusColumn).at(row), "Gearbeitet");
        QVERIFY(pathText().endsWith("  ·  Gearbeitet auf 2 m"));
        // And once more, for a file that is watched anew after it was replaced.
        QFile file(logFile());
        QVERIFY(file.open(QIODevice::Append));
        file.write("<call:6>QQ8HHH <gridsquare:4>IN78 <band:2>2m <qsl_rcvd:1>Y <eor>\n");
        file.close();
        QTRY_VERIFY(logStatus().endsWith(":  6 QSOs gelesen, 1 Datensatz übersprungen"));
        QTRY_VERIFY(map()->candidatesSettled());
        QCOMPARE(columnTexts(table(), CandidateModel::StatusColumn).at(calls().indexOf("QQ8HHH")),
                 "Bestätigt");
    }

    void theMapMarksEachStatusInItsColour() {
        startWithMap("de");
        map()->showRecord({}); // no station marked over the others
        MapWidget* picMap = map()->map();
        const QSize size(800, 600);
        const QImage image = picMap->picture(size, 1.0).convertToFormat(QImage::Format_RGB32);
        // Whether the colour is near so many pixels right of the station.
        const auto marked = [&](const char* locator, int right, QRgb colour) {
            MapView view = picMap->view();
            view.setArea(size.width(), size.height(), MapPainter::rimRoom(picMap->font()));
            const PixelPoint pixel =
                view.toPixel(picMap->scene()->project(*geo::locatorCentre(locator)));
            return colourNear(image, QPointF(pixel.x + right, pixel.y), colour);
        };
        QVERIFY(marked("KP20LE", 0, map_colours::kNewGrid));
        QVERIFY(marked("KO11AA", 0, map_colours::kConfirmed));
        // A new call's square is hollow: the worked station beside it shows within.
        const int dot = int(std::lround(MapPainter::dotSize(picMap->font())));
        QVERIFY(marked("IO91VL", dot + 1, map_colours::kNewCall));
        QVERIFY(marked("IO91WM", 0, map_colours::kWorked));
        QVERIFY(!marked("IO91WM", 0, map_colours::kNewCall));
        // The worked squares are shaded on the band: IO91 and KO11 on 2 m.
        const LogLayer& layer = picMap->logLayer();
        QCOMPARE(layer.workedSquares.size(), std::size_t(1));
        QCOMPARE(layer.confirmedSquares.size(), std::size_t(1));
        control<QComboBox>(*map(), "cboBand")->setCurrentIndex(1);
        QCOMPARE(picMap->logLayer().workedSquares.size(), std::size_t(1)); // JN47 on 6 m
        QCOMPARE(picMap->logLayer().confirmedSquares.size(), std::size_t(0));
    }

    // ---- The table --------------------------------------------------------

    void sortsByEveryColumn_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("order");
        const QStringList byCall = {"QQ1AAA", "QQ2BBB", "QQ3CCC", "QQ4DDD", "QQ5EEE", "QQ8HHH"};
        const QStringList byDistance = {"QQ2BBB", "QQ5EEE", "QQ1AAA", "QQ3CCC", "QQ4DDD", "QQ8HHH"};
        QStringList reversed = byDistance;
        std::reverse(reversed.begin(), reversed.end());
        QTest::newRow("call") << 0 << false << byCall;
        QTest::newRow("call, descending")
            << 0 << true << QStringList{"QQ8HHH", "QQ5EEE", "QQ4DDD", "QQ3CCC", "QQ2BBB", "QQ1AAA"};
        QTest::newRow("locator") << 1 << false << QStringList{"QQ8HHH", "QQ3CCC", "QQ1AAA",
                                                              "QQ5EEE", "QQ2BBB", "QQ4DDD"};
        QTest::newRow("distance") << 2 << false << byDistance;
        QTest::newRow("distance, descending") << 2 << true << reversed;
        QTest::newRow("heading") << 3 << false << QStringList{"QQ4DDD", "QQ2BBB", "QQ5EEE",
                                                              "QQ8HHH", "QQ3CCC", "QQ1AAA"};
        QTest::newRow("status") << 4 << false << kDefaultOrder;
        QTest::newRow("status, descending")
            << 4 << true << QStringList{"QQ2BBB", "QQ1AAA", "QQ3CCC", "QQ8HHH", "QQ4DDD", "QQ5EEE"};
        // Remarks in upper case, decoded: ANFÄNGER, CONTEST, GRÜßE, NACHTS, ...
        QTest::newRow("remarks") << 5 << false << QStringList{"QQ8HHH", "QQ2BBB", "QQ4DDD",
                                                              "QQ3CCC", "QQ5EEE", "QQ1AAA"};
        QTest::newRow("name, descending")
            << 8 << true << QStringList{"QQ8HHH", "QQ5EEE", "QQ4DDD", "QQ3CCC", "QQ2BBB", "QQ1AAA"};
    }
    void sortsByEveryColumn() {
        QFETCH(int, column);
        QFETCH(bool, descending);
        QFETCH(QStringList, order);
        startWithMap("de");
        table().sortByColumn(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        QTRY_VERIFY(!model().sorting());
        QCOMPARE(calls(), order);
    }

    // The database's headings name the columns beside the table's own.
    void theColumnsAreTheDatabasesHeadings() {
        startWithMap("de");
        QStringList headings;
        for (int column = 0; column < model().columnCount(); ++column) {
            headings << model().headerData(column, Qt::Horizontal).toString();
        }
        QCOMPARE(headings,
                 QStringList({"CALL", "LOCATOR", "Entfernung", "Richtung", "Status", "Bemerkung",
                              "Aktivitäten", "RIG / QRG", "Name", "E-Mail", "Stand :"}));
        QCOMPARE(model().index(1, 5).data().toString(), "Grüße"); // QQ4DDD, decoded
        QCOMPARE(model().index(1, 2).data().toString(), "1.111 km");
        QCOMPARE(model().index(1, 3).data().toString(), "35°");
    }

    void filtersByStatusAndDistance() {
        startWithMap("de");
        QCOMPARE(control<QSpinBox>(*map(), "spnNearest")->value(), 500);
        QCOMPARE(control<QSpinBox>(*map(), "spnFarthest")->value(), 2300);
        QCOMPARE(text(*map(), "lblCount"), "6 von 7 Stationen");
        QCOMPARE(text(*map(), "lblStatistics"),
                 "2 m:  2 Mittelfelder gearbeitet, 1 bestätigt;  die Datenbank bietet 3 neue in "
                 "500–2.300 km");
        control<QCheckBox>(*map(), "chkWorked")->setChecked(false);
        control<QCheckBox>(*map(), "chkConfirmed")->setChecked(false);
        QCOMPARE(calls(), QStringList({"QQ5EEE", "QQ4DDD", "QQ8HHH", "QQ3CCC"}));
        control<QCheckBox>(*map(), "chkNewCall")->setChecked(false);
        control<QSpinBox>(*map(), "spnNearest")->setValue(0);
        QCOMPARE(calls(), QStringList({"QQ6FFF", "QQ5EEE", "QQ4DDD", "QQ8HHH"}));
        control<QSpinBox>(*map(), "spnFarthest")->setValue(1200);
        QCOMPARE(calls(), QStringList({"QQ6FFF", "QQ5EEE", "QQ4DDD"}));
        QCOMPARE(text(*map(), "lblCount"), "3 von 7 Stationen");
        QCOMPARE(text(*map(), "lblStatistics"),
                 "2 m:  2 Mittelfelder gearbeitet, 1 bestätigt;  die Datenbank bietet 3 neue in "
                 "0–1.200 km");
    }

    void aClickOnARowShowsTheStationInTheMainWindowAndMarksIt() {
        startWithMap("de");
        const qsizetype row = calls().indexOf("QQ8HHH");
        const QRect cell = table().visualRect(model().index(int(row), 0));
        QTest::mouseClick(table().viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(fieldTexts(*window_),
                 QStringList({"QQ8HHH", "Anfänger", "IN78SE", "MSK144", "IC-706", "Hanna",
                              "h@example.org", "08.01.2026"}));
        QVERIFY2(pathText().startsWith("QQ8HHH  IN78SE:  1.353 km, Richtung 256°"),
                 qPrintable(pathText()));
        QVERIFY(map()->map()->marked().has_value());
        QVERIFY(table().selectionModel()->isRowSelected(int(row), {}));
        // The row stays selected when the table is sorted anew.
        table().sortByColumn(CandidateModel::CallColumn, Qt::AscendingOrder);
        QTRY_VERIFY(!model().sorting());
        QVERIFY(table().selectionModel()->isRowSelected(int(calls().indexOf("QQ8HHH")), {}));
    }

    void copiesRowsAndSavesTheTable_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("failure");
        QTest::newRow("de")
            << "de"
            << "QQ5EEE\tJN47AA\t722\t214\tNeues Mittelfeld\tPortabel\tCW "
               "MS\tIC-275\tEmil\te@example.org\t05.01.2026\n"
               "QQ3CCC\tIO91VL\t939\t268\tNeues Rufzeichen\tnachts\tJT6M\tTS-2000\tClara\tc@"
               "example.org\t03.01.2026\n"
            << QByteArray("CALL,LOCATOR,Entfernung,Richtung,Status,Bemerkung,Aktivitäten,RIG / "
                          "QRG,Name,E-Mail,Stand :\r\n"
                          "QQ5EEE,JN47AA,722,214,Neues Mittelfeld,Portabel,CW "
                          "MS,IC-275,Emil,e@example.org,05.01.2026\r\n"
                          "QQ4DDD,KP20LE,1111,35,Neues "
                          "Mittelfeld,Grüße,WSJT,IC-910,Dieter,d@example.org,04.01.2026\r\n")
            << "Die Tabelle kann nicht gespeichert werden:";
        QTest::newRow("en")
            << "en"
            << "QQ5EEE\tJN47AA\t722\t214\tNew "
               "grid\tPortabel\tCW MS\tIC-275\tEmil\te@example.org\t05.01.2026\n"
               "QQ3CCC\tIO91VL\t939\t268\tNew "
               "call\tnachts\tJT6M\tTS-2000\tClara\tc@example.org\t03.01.2026\n"
            << QByteArray("CALL,LOCATOR,Distance,Heading,Status,Bemerkung,Aktivitäten,RIG / "
                          "QRG,Name,E-Mail,Stand :\r\n"
                          "QQ5EEE,JN47AA,722,214,New grid,Portabel,CW "
                          "MS,IC-275,Emil,e@example.org,05.01.2026\r\n"
                          "QQ4DDD,KP20LE,1111,35,New grid,Grüße,WSJT,IC-910,Dieter,d@example."
                          "org,04.01.2026\r\n")
            << "The table cannot be saved:";
    }
    void copiesRowsAndSavesTheTable() {
        QFETCH(QString, language);
        QFETCH(QString, copied);
        QFETCH(QByteArray, csv);
        QFETCH(QString, failure);
        startWithMap(language);
        // Rows 0 and 3, copied in the order of the table.
        table().selectionModel()->select(model().index(3, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        table().selectionModel()->select(model().index(0, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        table().setFocus();
        QTest::keySequence(&table(), QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), copied);

        control<QSpinBox>(*map(), "spnFarthest")->setValue(1200);
        control<QCheckBox>(*map(), "chkNewCall")->setChecked(false);
        control<QCheckBox>(*map(), "chkWorked")->setChecked(false);
        control<QCheckBox>(*map(), "chkConfirmed")->setChecked(false);
        const QString file = QDir(folder_->path()).filePath("candidates");
        files_.answerNext(file);
        control<QPushButton>(*map(), "cmdSaveTable")->click();
        QVERIFY(files_.requests().last().confirmOverwrite);
        QCOMPARE(files_.requests().last().startFile, QDir::current().filePath("ms1_JO62QM_2m.csv"));
        QCOMPARE(folder_->read("candidates.csv"), csv); // UTF-8, its suffix added
        QCOMPARE(messages_.count(), 0);

        files_.answerNext(QDir(folder_->path()).filePath("no-such-folder/t.csv"));
        control<QPushButton>(*map(), "cmdSaveTable")->click();
        QCOMPARE(messages_.count(), 1);
        QVERIFY(messages_.last().text.startsWith(failure));
        QCOMPARE(messages_.last().icon, QMessageBox::Critical);
    }

    void theTextsFollowTheLanguageSwitch() {
        startWithMap("de");
        showInMainWindow("QQ4DDD");
        control<QAction>(*window_, "mnuEnglisch")->trigger();
        QCOMPARE(control<QComboBox>(*map(), "cboBand")->itemText(5), "all bands");
        QCOMPARE(model().headerData(2, Qt::Horizontal).toString(), "Distance");
        QCOMPARE(columnTexts(table(), CandidateModel::StatusColumn).at(1), "New grid");
        QCOMPARE(model().index(1, 2).data().toString(), "1,111 km");
        QCOMPARE(control<QCheckBox>(*map(), "chkNewCall")->text(), "New call");
        QCOMPARE(text(*map(), "lblCount"), "6 of 7 stations");
        QVERIFY(logStatus().endsWith(":  4 QSOs read, 1 record skipped"));
        QVERIFY(pathText().endsWith("  ·  New grid on 2 m"));
        QVERIFY(text(*map(), "lblStatistics").startsWith("2 m:  2 grids worked, 1 confirmed;"));
    }

private:
    void start(const QString& language) {
        storeSetting(settings_store::kLanguage, language);
        window_ = startWindow(messages_, &files_);
    }

    void startWithMap(const QString& language) {
        start(language);
        trigger("mnuKarte");
        QVERIFY(QTest::qWaitForWindowExposed(map()));
        waitUntilSettled();
    }

    void waitUntilSettled() { QTRY_VERIFY(map()->mapComplete() && map()->candidatesSettled()); }

    void trigger(const char* item) { control<QAction>(*window_, item)->trigger(); }

    void showInMainWindow(const QString& call) {
        auto* search = control<QLineEdit>(*window_, "Text10");
        search->setText(call);
        QTest::keyClick(search, Qt::Key_Return);
    }

    Form2* map() const { return shownMapWindow(); }
    QTableView& table() const { return *control<QTableView>(*map(), "tblCandidates"); }
    CandidateModel& model() const { return map()->candidates()->model(); }
    QStringList calls() const { return columnTexts(table(), CandidateModel::CallColumn); }
    QString pathText() const { return text(*map(), "lblPath"); }
    QString logStatus() const { return text(*map(), "lblLogStatus"); }

    ScriptedMessages messages_;
    ScriptedFiles files_;
    std::unique_ptr<WorkingFolder> folder_;
    std::unique_ptr<Form1> window_;
};

KELMORA_WIDGET_TEST_MAIN(LogWindowTest)
#include "test_log_window.moc"
