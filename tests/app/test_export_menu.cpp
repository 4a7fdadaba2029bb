// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/database_folder.h"
#include "widget_test_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QTimer>
#include <filesystem>

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
// WSJT-X's look-up list before and after an update from kDatabase.
const QByteArray kOldLookupList = "// Version: 1\r\nQQ1ABC,IO91,EME,,\r\nZZZZ\r\n";
const QByteArray kNewLookupList = "// Version: 1\r\n// Kelmora-Database-Viewer update " +
                                  QDate::currentDate().toString(Qt::ISODate).toLatin1() +
                                  " from ms1.txt: 1 added, 1 changed\r\n"
                                  "QQ1ABC,JO62QM,EME,,\r\nQQ3ABCDE,JO50,,,\r\nZZZZ\r\n";

std::unique_ptr<Form1> startOn(ScriptedMessages& messages, const QString& language,
                               ScriptedFiles* files = nullptr) {
    storeSetting(settings_store::kLanguage, language);
    storeSetting(settings_store::kDatabase, "ms1.txt");
    auto window = startWindow(messages, files);
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

    void theListItemsAreDisabledWhileNoDatabaseIsSelected() {
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        ScriptedMessages messages;
        auto window = startOn(messages, "de");
        auto* tools = control<QMenu>(*window, "mnuExtr");
        auto* submenu = control<QMenu>(*window, "mnuWSJT");
        auto* lookupList = control<QAction>(*window, "mnuCall3");
        control<QComboBox>(*window, "Combo1")->setEditText("");
        emit tools->aboutToShow();
        QVERIFY(!submenu->isEnabled());
        QVERIFY(!lookupList->isEnabled());
        control<QComboBox>(*window, "Combo1")->setEditText("ms1.txt");
        emit tools->aboutToShow();
        QVERIFY(submenu->isEnabled());
        QVERIFY(lookupList->isEnabled());
    }

    void updatesTheLookupListAndReports_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("dialogTitle");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("report");
        const QString german = "Für WSJT-X aktualisiert:\r\n%1\r\n"
                               "Die bisherige Liste bleibt als CALL3_backup.TXT erhalten.\r\n\r\n"
                               "Stationen hinzugefügt: 1\r\nLocator geändert: 1\r\n"
                               "unverändert: 0\r\nausgelassen: 2\r\n"
                               "    ohne gültigen Locator: 0\r\n    \"/\" im Rufzeichen: 1\r\n"
                               "    kein Rufzeichen aus 3 bis 12 Buchstaben und Ziffern: 1\r\n"
                               "    Rufzeichen doppelt: 0";
        const QString english = "Updated for WSJT-X:\r\n%1\r\n"
                                "The previous list is kept as CALL3_backup.TXT.\r\n\r\n"
                                "Stations added: 1\r\nLocators changed: 1\r\n"
                                "Unchanged: 0\r\nLeft out: 2\r\n"
                                "    no valid locator: 0\r\n    \"/\" in the callsign: 1\r\n"
                                "    no callsign of 3 to 12 letters and digits: 1\r\n"
                                "    callsign more than once: 0";
        QTest::newRow("de") << "de"
                            << "CALL3.TXT von WSJT-X aktualisieren"
                            << "für WSJT-X" << german;
        QTest::newRow("en") << "en"
                            << "Update CALL3.TXT of WSJT-X"
                            << "for WSJT-X" << english;
        QTest::newRow("other code in English") << "x"
                                               << "Update CALL3.TXT of WSJT-X"
                                               << "for WSJT-X" << english;
    }
    void updatesTheLookupListAndReports() {
        QFETCH(QString, language);
        QFETCH(QString, dialogTitle);
        QFETCH(QString, title);
        QFETCH(QString, report);
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        folder.write("CALL3.TXT", kOldLookupList);
        ScriptedMessages messages;
        ScriptedFiles files;
        auto window = startOn(messages, language, &files);
        const QString list = folder.path() + "/CALL3.TXT";
        files.answerNext(list);
        trigger(*window, "mnuCall3");
        QCOMPARE(files.requests().size(), 1);
        QCOMPARE(files.requests().last().title, dialogTitle);
        QCOMPARE(folder.read("CALL3.TXT"), kNewLookupList);
        QCOMPARE(folder.read("CALL3_backup.TXT"), kOldLookupList);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().icon, QMessageBox::Information);
        QCOMPARE(messages.last().title, title);
        QCOMPARE(messages.last().text, report.arg(QDir::toNativeSeparators(list)));
        QVERIFY(!messages.shown().last().busyPointer);
        QCOMPARE(storedSetting(settings_store::kCall3List), std::optional<QString>(list));
    }

    // WSJT-X's own list where its data folder exists, else the working
    // folder's; then the last choice, which a cancel does not change.
    void theDialogStartsAtWsjtxsListThenAtTheLastChoice() {
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        ScriptedMessages messages;
        ScriptedFiles files;
        auto window = startOn(messages, "de", &files);
        const QString wsjtx =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/WSJT-X";
        QDir(wsjtx).removeRecursively();
        trigger(*window, "mnuCall3");
        QVERIFY(QDir().mkpath(wsjtx));
        trigger(*window, "mnuCall3");
        const QString chosen = folder.path() + "/sub/calls.txt";
        QVERIFY(QDir(folder.path()).mkdir("sub"));
        files.answerNext(chosen);
        trigger(*window, "mnuCall3");
        trigger(*window, "mnuCall3");
        QDir(wsjtx).removeRecursively();
        QCOMPARE(files.requests().size(), 4);
        QCOMPARE(files.requests().at(0).startFile, folder.path() + "/CALL3.TXT");
        QCOMPARE(files.requests().at(1).startFile, wsjtx + "/CALL3.TXT");
        QCOMPARE(files.requests().at(3).startFile, chosen);
        // A cancelled dialog writes nothing and shows nothing.
        QCOMPARE(messages.count(), 1);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"ms1.txt"}));
        QCOMPARE(QDir(folder.path() + "/sub").entryList(QDir::Files), QStringList({"calls.txt"}));
    }

    // The message's lines; %1 stands for the folder, with its separator.
    void aListThatCannotBeUpdatedStaysAsItWas_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<bool>("backupLinked"); // a hard link to the list
        QTest::addColumn<QStringList>("message");
        QTest::newRow("not text, de")
            << "de" << QByteArray("QQ1ABC,JO62,,,\nQQ2\0,JO01\n", 26) << false
            << QStringList{"Diese Datei ist keine Rufzeichenliste:", "%1CALL3.TXT",
                           "Zeile 2 enthält ein NUL-Byte: das ist kein Text.",
                           "Sie bleibt unverändert."};
        QTest::newRow("folder, en") << "en" << QByteArray() << false
                                    << QStringList{"The list cannot be updated:", "%1CALL3.TXT",
                                                   "This is a folder, not a file",
                                                   "The list is left unchanged; no backup made."};
        QTest::newRow("station database, en")
            << "en" << QByteArray("CALL;Bemerkung;LOCATOR\r\nQQ9X;x;JO01\r\n") << false
            << QStringList{"This file is no look-up list:", "%1CALL3.TXT",
                           "This is a station database.", "It is left unchanged."};
        QTest::newRow("backup linked to the list, de")
            << "de" << kOldLookupList << true
            << QStringList{"Diese beiden Namen führen zu ein und derselben Datei:",
                           "%1CALL3_backup.TXT", "%1CALL3.TXT",
                           "Liste, Sicherung und Datenbank müssen drei getrennte Dateien sein. "
                           "Alle Dateien bleiben unverändert."};
        QTest::newRow("backup linked to the list, en")
            << "en" << kOldLookupList << true
            << QStringList{"These two names lead to one and the same file:", "%1CALL3_backup.TXT",
                           "%1CALL3.TXT",
                           "The list, its backup and the database must be three separate files. "
                           "Every file is left unchanged."};
    }
    void aListThatCannotBeUpdatedStaysAsItWas() {
        QFETCH(QString, language);
        QFETCH(QByteArray, list);
        QFETCH(bool, backupLinked);
        QFETCH(QStringList, message);
        WorkingFolder folder;
        folder.write("ms1.txt", kDatabase);
        if (list.isEmpty()) {
            QVERIFY(QDir(folder.path()).mkdir("CALL3.TXT"));
        } else {
            folder.write("CALL3.TXT", list);
        }
        if (backupLinked) {
            std::filesystem::create_hard_link(
                database_folder::toPath(folder.path() + "/CALL3.TXT"),
                database_folder::toPath(folder.path() + "/CALL3_backup.TXT"));
        }
        ScriptedMessages messages;
        ScriptedFiles files;
        auto window = startOn(messages, language, &files);
        files.answerNext(folder.path() + "/CALL3.TXT");
        trigger(*window, "mnuCall3");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().icon, QMessageBox::Critical);
        QCOMPARE(messages.last().text.split("\r\n"),
                 message.replaceInStrings("%1", QDir::toNativeSeparators(folder.path() + "/")));
        QCOMPARE(folder.read("CALL3.TXT"), list);
        QCOMPARE(QFileInfo::exists(folder.path() + "/CALL3_backup.TXT"), backupLinked);
        if (backupLinked) {
            QCOMPARE(folder.read("CALL3_backup.TXT"), list);
        }
    }

    // Qt's own dialog, not the system's, so that it speaks the window's language.
    void theFileDialogIsQtsOwnInTheWindowsLanguage() {
        WorkingFolder folder;
        ScriptedMessages messages;
        auto window = startOn(messages, "de");
        const QString saveText = QCoreApplication::translate("QFileDialog", "&Save");
        QStringList buttonTexts;
        bool ownDialog = false;
        QString directory;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) {
                return;
            }
            closer.stop();
            ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
            directory = dialog->directory().path();
            for (const QAbstractButton* button :
                 dialog->findChild<QDialogButtonBox*>()->buttons()) {
                buttonTexts << button->text();
            }
            dialog->reject();
        });
        closer.start(1);
        const QString chosen = DialogFileChooser().chooseFileToSave(
            window.get(), {"Titel", folder.path() + "/CALL3.TXT", "Textdateien (*.txt)"});
        QVERIFY(chosen.isEmpty());
        QVERIFY(ownDialog);
        QCOMPARE(directory, folder.path());
        QVERIFY(buttonTexts.contains(saveText));
        if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm")) {
            QVERIFY(saveText != "&Save");
        }
    }
};

KELMORA_WIDGET_TEST_MAIN(ExportMenuTest)
#include "test_export_menu.moc"
