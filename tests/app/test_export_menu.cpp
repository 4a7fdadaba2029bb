// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

using namespace kelmora;
using namespace kelmora::testing;

namespace {

const QByteArray kDatabase = "CALL;Bemerkung;LOCATOR;Aktivit\xe4ten\r\n"
                             "QQ1ABC;x;jo62qm;FSK441\r\n"
                             "QQ2ABC/P;x;JO01AA;FSK441\r\n"
                             "QQ3ABCDE;x; Jo50 ;CW\r\n"
                             "QQ4\xc4\xd6;x;;wsjt\r\n";
// A Windows-1252 callsign of five characters: two blanks, then six for the locator.
const QByteArray kUmlautLine = QByteArray("QQ4\xc4\xd6") + QByteArray(8, ' ') + "\r\n";
const QByteArray kAllList = "QQ1ABC JO62qm\r\nQQ3ABCDJO50  \r\n" + kUmlautLine;
const QByteArray kFskList = "QQ1ABC JO62qm\r\n" + kUmlautLine;
const QByteArray kOldList = "OLD    LIST  \r\n";

std::unique_ptr<Form1> startOn(ScriptedMessages& messages, const QString& language) {
    storeSetting(settings_store::kLanguage, language);
    storeSetting(settings_store::kDatabase, "ms1.txt");
    auto window = startWindow(messages);
    messages.clear();
    return window;
}

void trigger(const QWidget& window, const char* action) {
    control<QAction>(window, action)->trigger();
}

} // namespace

class ExportMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void writesTheListAndReportsCompletion_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("ending");
        QTest::newRow("all, en") << "en"
                                 << "mnuWSJTall" << kAllList << "for WSJT"
                                 << "Callsign.txt \r\ncomplete";
        QTest::newRow("all, de") << "de"
                                 << "mnuWSJTall" << kAllList << "für WSJT"
                                 << "Callsign.txt \r\nkomplett";
        QTest::newRow("fsk441, other code") << "fr"
                                            << "mnuFSK441Datei" << kFskList << ""
                                            << "Callsign.txt ";
    }
    void writesTheListAndReportsCompletion() {
        QFETCH(QString, language);
        QFETCH(QString, action);
        QFETCH(QByteArray, list);
        QFETCH(QString, title);
        QFETCH(QString, ending);
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        folder.write("CALLSIGN.TXT", kOldList);
        ScriptedMessages messages;
        auto window = startOn(messages, language);
        trigger(*window, action.toLatin1().constData());
        QCOMPARE(folder.read("CALLSIGN.TXT"), list);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, title);
        QCOMPARE(messages.last().text, inWorkingFolder(ending));
        QCOMPARE(messages.last().icon, QMessageBox::Information);
        QVERIFY(!messages.shown().last().busyPointer);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void nothingHappensWithoutADatabase_data() {
        QTest::addColumn<QString>("selection");
        QTest::newRow("empty") << "";
        QTest::newRow("missing file") << "ms9.txt";
    }
    void nothingHappensWithoutADatabase() {
        QFETCH(QString, selection);
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        folder.write("CALLSIGN.TXT", kOldList);
        ScriptedMessages messages;
        auto window = startOn(messages, "de");
        control<QComboBox>(*window, "Combo1")->setEditText(selection);
        trigger(*window, "mnuWSJTall");
        trigger(*window, "mnuFSK441Datei");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(folder.read("CALLSIGN.TXT"), kOldList);
    }

    void aTypedNameIsExportedWithTheHeadingStateOfTheLastOpenedDatabase() {
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        // Without a heading line of its own: its first line is still read as
        // headings, finds neither column, and every station gives blanks.
        folder.write("ms2.txt", "QQ7AAA;x;JO00AA\r\nQQ8BBB;x;jn11bb\r\n");
        ScriptedMessages messages;
        auto window = startOn(messages, "en");
        QCOMPARE(text(*window, "Label2"), QStringLiteral("CALL")); // ms1.txt has headings
        control<QComboBox>(*window, "Combo1")->setEditText("ms2.txt");
        trigger(*window, "mnuWSJTall");
        QCOMPARE(folder.read("CALLSIGN.TXT"), QByteArray(13, ' ') + "\r\n");
    }

    void aFailureSaysWhatFailedAndKeepsTheOldList_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("reason");
        QTest::newRow("de") << "de"
                            << "für WSJT"
                            << "Callsign.txt kann nicht geschrieben werden:"
                            << "Das ist ein Ordner, keine Datei";
        QTest::newRow("other code in English") << "XX"
                                               << "for WSJT"
                                               << "Callsign.txt cannot be written:"
                                               << "This is a folder, not a file";
    }
    void aFailureSaysWhatFailedAndKeepsTheOldList() {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, firstLine);
        QFETCH(QString, reason);
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        QVERIFY(QDir(folder.path()).mkdir("CALLSIGN.TXT"));
        ScriptedMessages messages;
        auto window = startOn(messages, language);
        trigger(*window, "mnuWSJTall");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().icon, QMessageBox::Critical);
        QCOMPARE(messages.last().title, title);
        const QStringList lines = messages.last().text.split("\r\n");
        QCOMPARE(lines.first(), firstLine);
        QCOMPARE(lines.at(1), inWorkingFolder("CALLSIGN.TXT"));
        QCOMPARE(lines.at(2), reason);
        QVERIFY(QFileInfo(folder.path() + "/CALLSIGN.TXT").isDir());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"ms1.txt"}));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void aNameThatMatchesOnlyAsAPatternIsReportedUnreadable() {
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        folder.write("CALLSIGN.TXT", kOldList);
        ScriptedMessages messages;
        auto window = startOn(messages, "en");
        control<QComboBox>(*window, "Combo1")->setEditText("ms*.txt");
        trigger(*window, "mnuWSJTall");
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.startsWith("The database file cannot be read:\r\n"));
        QCOMPARE(folder.read("CALLSIGN.TXT"), kOldList);
    }

    void theSubmenuIsDisabledWhileNoDatabaseIsSelected() {
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        ScriptedMessages messages;
        auto window = startOn(messages, "de");
        auto* tools = control<QMenu>(*window, "mnuExtr");
        auto* submenu = control<QMenu>(*window, "mnuWSJT");
        control<QComboBox>(*window, "Combo1")->setEditText("");
        emit tools->aboutToShow();
        QVERIFY(!submenu->isEnabled());
        control<QComboBox>(*window, "Combo1")->setEditText("ms1.txt");
        emit tools->aboutToShow();
        QVERIFY(submenu->isEnabled());
    }
};

KELMORA_WIDGET_TEST_MAIN(ExportMenuTest)
#include "test_export_menu.moc"
