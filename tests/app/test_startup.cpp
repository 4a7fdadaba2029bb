// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/database_folder.h"
#include "support/held_file.h"
#include "widget_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace kelmora;
using namespace kelmora::testing;

namespace {

const QByteArray kHeading = "CALL;Bemerkung;LOCATOR;Aktivit\xe4ten;RIG / QRG;Name;Mail;Stand :\r\n";
const QByteArray kFirstStation = "QQ1ABC;sked;JO62QM;FSK441;IC-202;Otto;o@example.org;1.2.2026\r\n";
const QByteArray kSecondStation = "QQ2XYZ;;KO01AA;JT44;;;;3.4.2026\r\n";

QStringList listEntries(const QWidget& window) {
    auto* combo = control<QComboBox>(window, "Combo1");
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) {
        entries << combo->itemText(i);
    }
    return entries;
}

const QStringList kEmptyFields(8, QString());
const QStringList kGermanHeadings = {QStringLiteral("Call"),
                                     QStringLiteral("Bemerkung"),
                                     QStringLiteral("Locator"),
                                     QStringLiteral("Aktivitäten"),
                                     QStringLiteral("RIG / QRG"),
                                     QString(),
                                     QString(),
                                     QStringLiteral("Stand :")};
const QStringList kFileHeadings = {QStringLiteral("CALL"),      QStringLiteral("Bemerkung"),
                                   QStringLiteral("LOCATOR"),   QStringLiteral("Aktivitäten"),
                                   QStringLiteral("RIG / QRG"), QStringLiteral("Name"),
                                   QStringLiteral("Mail"),      QStringLiteral("Stand :")};
const QStringList kFirstStationFields = {
    QStringLiteral("QQ1ABC"),        QStringLiteral("sked"),    QStringLiteral("JO62QM"),
    QStringLiteral("FSK441"),        QStringLiteral("IC-202"),  QStringLiteral("Otto"),
    QStringLiteral("o@example.org"), QStringLiteral("1.2.2026")};

void chooseListEntry(QWidget& window, const QString& name) {
    auto* combo = control<QComboBox>(window, "Combo1");
    const int index = combo->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    combo->setCurrentIndex(index);
    emit combo->activated(index); // as the list does when the user picks an entry
}

void typeIntoComboAndPressEnter(QWidget& window, const QString& name) {
    auto* combo = control<QComboBox>(window, "Combo1");
    combo->setFocus();
    combo->setEditText(name);
    QTest::keyClick(combo, Qt::Key_Return);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void firstRunShowsTheNoticeAndListsTheDatabases_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("de") << "de"
                            << "Hinweis"
                            << "Die Datenbank-Datei bitte in 'Datenbank'     \r\n"
                               "auswählen. Dazu muß sich eine Datenbank      \r\n"
                               "wie zbsp.  ms195.txt  von Harvend (User-Version)   \r\n"
                               "im gleichen Ordner befinden wie dieses Programm.  \r\n"
                               "%1";
        QTest::newRow("en") << "en"
                            << "Info"
                            << "Database not found.                       \r\n"
                               "%1 by Harvend (User-Version)\r\n"
                               "Please select database in this directory.  ";
    }
    void firstRunShowsTheNoticeAndListsTheDatabases() {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, expectedText);
        WorkingFolder folder;
        folder.write("ms196.txt", kHeading + kFirstStation);
        folder.write("ms195.txt", kHeading + kSecondStation);
        if (language != "de") {
            storeSetting(settings_store::kLanguage, language);
        }
        ScriptedMessages messages;
        auto window = startWindow(messages);

        QCOMPARE(listEntries(*window), QStringList({"ms195.txt", "ms196.txt"}));
        QCOMPARE(text(*window, "Combo1"), QString());
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, title);
        QCOMPARE(messages.last().text, expectedText.arg(inWorkingFolder("ms*.txt")));
        QCOMPARE(messages.last().icon, QMessageBox::Information);
        QCOMPARE(messages.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(fieldTexts(*window), kEmptyFields);
        QCOMPARE(focusedName(), QStringLiteral("Combo1"));
        QCOMPARE(text(*window, "Label1"),
                 language == "de" ? QStringLiteral("&Datenbank :") : QStringLiteral("&Database :"));
    }

    void unknownLanguageCodeKeepsTheDesignTextsAndShowsNoNotice_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("upper case") << "DE";
        QTest::newRow("other language") << "fr";
        QTest::newRow("empty") << "";
    }
    void unknownLanguageCodeKeepsTheDesignTextsAndShowsNoNotice() {
        QFETCH(QString, code);
        WorkingFolder folder;
        storeSetting(settings_store::kLanguage, code);
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(window->windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(text(*window, "Label1"), QStringLiteral("Label1"));
        QCOMPARE(text(*window, "Label2"), QStringLiteral("Label2"));
        QCOMPARE(control<QAction>(*window, "mnuEnglisch")->text(), QStringLiteral("&english"));
        QCOMPARE(control<QPushButton>(*window, "Command1")->text(), QStringLiteral("Command1"));
        QCOMPARE(control<QLineEdit>(*window, "Text10")->toolTip(), QStringLiteral("Searchtext"));
        QCOMPARE(focusedName(), QStringLiteral("Combo1"));
        QVERIFY(window->close());
        QCOMPARE(storedSetting(settings_store::kLanguage), code);
    }

    void savedDatabaseOpensAtOnce() {
        WorkingFolder folder;
        folder.write("ms195.txt", kHeading + kFirstStation + kSecondStation);
        storeSetting(settings_store::kDatabase, "ms195.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(text(*window, "Combo1"), QStringLiteral("ms195.txt"));
        QCOMPARE(headingTexts(*window), kFileHeadings);
        QCOMPARE(fieldTexts(*window), kFirstStationFields);
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
        QCOMPARE(text(*window, "Text10"), QString());
    }

    void aStartInTheRootFolderShowsTwoSeparators() {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent("/"));
        const QString root =
            QDir::toNativeSeparators(QDir::currentPath()); // "/", or "C:\\" on Windows
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QDir::setCurrent(previous);
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().text.endsWith("\r\n" + root + QDir::separator() + "ms*.txt"),
                 qPrintable(messages.last().text));
    }

    void deletedSavedDatabaseRestoresNothing() {
        WorkingFolder folder;
        storeSetting(settings_store::kDatabase, "ms195.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(text(*window, "Combo1"), QString());
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.endsWith(inWorkingFolder("ms*.txt")));
    }

    void headingLinesAtTheTop_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("shownHeading");
        QTest::addColumn<QString>("shownStation");
        QTest::addColumn<bool>("hasHeading");
        QTest::newRow("two headings: the second stays")
            << QByteArray("CALL;A\r\nCall;B\r\nQQ1ABC;x\r\n") << "Call"
            << "QQ1ABC" << true;
        QTest::newRow("a remark with 'call' counts as heading")
            << QByteArray("CALL;A\r\nQQ2ABC;please call me\r\nQQ3ABC;x\r\n") << "QQ2ABC"
            << "QQ3ABC" << true;
        QTest::newRow("no heading line: defaults, line 1 is the station")
            << QByteArray("QQ1ABC;x;JO62\r\nQQ2ABC;y\r\n") << "Call"
            << "QQ1ABC" << false;
        QTest::newRow("heading lines only") << QByteArray("CALL;X\r\nCALLS;Y") << "CALLS"
                                            << "" << true;
        QTest::newRow("empty file") << QByteArray() << "Call"
                                    << "" << false;
        QTest::newRow("NUL bytes") << QByteArray("CALL;\0A\r\nQQ\0;\0\0\0", 16) << "CALL"
                                   << QString(QChar(u'Q')) + "Q" + QChar(0) << true;
        QTest::newRow("LF only and no last line end") << QByteArray("CALL;A\nQQ1ABC;x") << "CALL"
                                                      << "QQ1ABC" << true;
    }
    void headingLinesAtTheTop() {
        QFETCH(QByteArray, content);
        QFETCH(QString, shownHeading);
        QFETCH(QString, shownStation);
        QFETCH(bool, hasHeading);
        WorkingFolder folder;
        folder.write("ms1.txt", content);
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(messages.count(), 0);
        // A known heading line shows instead of the default headings.
        QCOMPARE(headingTexts(*window) != kGermanHeadings, hasHeading);
        QCOMPARE(text(*window, "Label2"), shownHeading);
        QCOMPARE(text(*window, "Text2"), shownStation);
    }

    void choosingAnEntryOpensThatFile() {
        WorkingFolder folder;
        folder.write("ms1.txt", kHeading + kFirstStation);
        folder.write("ms2.txt", QByteArray("Call;Rem;Loc\r\nQQ9ZZ;r;JO00\r\n"));
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        control<QLineEdit>(*window, "Text10")->setText("typed");
        chooseListEntry(*window, "ms2.txt");
        QCOMPARE(text(*window, "Label2"), QStringLiteral("Call"));
        QCOMPARE(text(*window, "Label4"), QStringLiteral("Loc"));
        QCOMPARE(text(*window, "Text2"), QStringLiteral("QQ9ZZ"));
        QCOMPARE(text(*window, "Text10"), QString());
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
        QCOMPARE(messages.count(), 0);
    }

    void typingAMissingNameShowsTheNoticeAndKeepsTheHeadings() {
        WorkingFolder folder;
        folder.write("ms1.txt", kHeading + kFirstStation);
        storeSetting(settings_store::kDatabase, "ms1.txt");
        storeSetting(settings_store::kLanguage, "en");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        typeIntoComboAndPressEnter(*window, "ms9.txt");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.shown().last().focusedControl, QStringLiteral("Combo1"));
        QCOMPARE(messages.last().text.split("\r\n").at(1),
                 inWorkingFolder("ms9.txt") + " by Harvend (User-Version)");
        QCOMPARE(fieldTexts(*window), kEmptyFields);
        QCOMPARE(headingTexts(*window), kFileHeadings);
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }

    void typedNamesMatchRegardlessOfLetterCase() {
        WorkingFolder folder;
        folder.write("ms1.txt", kHeading + kFirstStation);
        ScriptedMessages messages;
        auto window = startWindow(messages);
        messages.clear();
        typeIntoComboAndPressEnter(*window, "MS1.TXT");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(text(*window, "Text2"), QStringLiteral("QQ1ABC"));
    }

    void aWildcardNameThatCannotBeOpenedReadsAsEmpty() {
        WorkingFolder folder;
        folder.write("ms1.txt", kHeading + kFirstStation);
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        typeIntoComboAndPressEnter(*window, "ms*.txt");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(fieldTexts(*window), kEmptyFields);
        QCOMPARE(headingTexts(*window), kGermanHeadings);
    }

    void emptyDatabaseChosenShowsDefaultHeadings() {
        WorkingFolder folder;
        folder.write("ms1.txt", kHeading + kFirstStation);
        folder.write("ms2.txt", QByteArray());
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        chooseListEntry(*window, "ms2.txt");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(fieldTexts(*window), kEmptyFields);
        QCOMPARE(headingTexts(*window), kGermanHeadings);
    }

    void listingTakesOrdinaryFilesOnlyInAnyLetterCase() {
        WorkingFolder folder;
        folder.write("ms1.txt", "CALL\r\n");
        folder.write("MS2.TXT", "CALL\r\n");
        folder.write("Ms3.Txt", "CALL\r\n");
        folder.write(".ms4.txt", "CALL\r\n");
        folder.write("ms5.txt.bak", "CALL\r\n");
        QDir(folder.path()).mkdir("ms6.txt");
        QVERIFY(QFile::link("nowhere.txt", folder.path() + "/ms7.txt"));
        QVERIFY(QFile::link("/dev/zero", folder.path() + "/ms8.txt"));
        QVERIFY(QFile::link("ms1.txt", folder.path() + "/ms9.txt"));
        ScriptedMessages messages;
        auto window = startWindow(messages);
#ifdef Q_OS_WIN
        // There QFile::link makes shortcut files, which are ordinary files.
        // Wine gives a name with a leading dot the hidden attribute.
        QCOMPARE(listEntries(*window),
                 QStringList({"ms1.txt", "MS2.TXT", "Ms3.Txt", "ms7.txt", "ms8.txt", "ms9.txt"}));
        for (const char* name : {"ms6.txt"}) {
#else
        QCOMPARE(listEntries(*window), QStringList({"ms1.txt", "MS2.TXT", "Ms3.Txt", "ms9.txt"}));
        for (const char* name : {"ms6.txt", "ms7.txt", "ms8.txt", ".ms4.txt"}) {
#endif
            QVERIFY2(!database_folder::anyFileMatches(name), name);
        }
        QVERIFY(database_folder::anyFileMatches("MS1.txt"));
        QVERIFY(database_folder::anyFileMatches("m?2.*"));
        QVERIFY(!database_folder::anyFileMatches(""));
        QVERIFY(!database_folder::anyFileMatches(" ?"));
    }

    // On Windows a file is hidden, or a file of the system, by its attributes.
    void hiddenAndSystemFilesAreNotListed() {
#ifndef Q_OS_WIN
        QSKIP("POSIX hides files by a leading dot only");
#endif
        WorkingFolder folder;
        folder.write("ms1.txt", "CALL\r\n");
        folder.write("ms2.txt", "CALL\r\n");
        folder.write("ms3.txt", "CALL\r\n");
        testing::markHidden(database_folder::toPath(folder.path() + "/ms2.txt"));
        testing::markSystem(database_folder::toPath(folder.path() + "/ms3.txt"));
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(listEntries(*window), QStringList({"ms1.txt"}));
        QVERIFY(!database_folder::anyFileMatches("ms3.txt"));
        QVERIFY(!database_folder::fileToOpen("ms3.txt"));
    }

    void fileOpenRestoresTheSavedNameAndKeepsTheRecord() {
        WorkingFolder folder;
        folder.write("ms1.txt", kHeading + kFirstStation);
        folder.write("ms2.txt", QByteArray("Call;Rem\r\nQQ9ZZ;r\r\n"));
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        chooseListEntry(*window, "ms2.txt");
        folder.write("ms3.txt", "CALL\r\n");
        control<QAction>(*window, "mnuOpen")->trigger();
        QCOMPARE(listEntries(*window), QStringList({"ms1.txt", "ms2.txt", "ms3.txt"}));
        QCOMPARE(text(*window, "Combo1"), QStringLiteral("ms1.txt"));
        QCOMPARE(text(*window, "Text2"), QStringLiteral("QQ9ZZ"));
        QCOMPARE(text(*window, "Label3"), QStringLiteral("Rem"));
        QCOMPARE(focusedName(), QStringLiteral("Combo1"));
    }

    void closingStoresDatabaseThenLanguage_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("typedName");
        QTest::newRow("german, missing name") << "de"
                                              << "ms9.txt";
        QTest::newRow("unknown code stored back") << "XX"
                                                  << "";
        QTest::newRow("blanks kept") << "en"
                                     << " ms 1.txt ";
    }
    void closingStoresDatabaseThenLanguage() {
        QFETCH(QString, language);
        QFETCH(QString, typedName);
        WorkingFolder folder;
        storeSetting(settings_store::kLanguage, language);
        ScriptedMessages messages;
        auto window = startWindow(messages);
        control<QComboBox>(*window, "Combo1")->setEditText(typedName);
        QVERIFY(window->close());
        QCOMPARE(storedSetting(settings_store::kDatabase), std::optional<QString>(typedName));
        QCOMPARE(storedSetting(settings_store::kLanguage), std::optional<QString>(language));
        const QStringList order = storedKeyOrder();
        QVERIFY(order.indexOf(settings_store::kDatabase.key) >= 0);
        QVERIFY(order.indexOf(settings_store::kDatabase.key) <
                order.indexOf(settings_store::kLanguage.key));
    }

    void fileExitClosesAndStores() {
        WorkingFolder folder;
        ScriptedMessages messages;
        auto window = startWindow(messages);
        control<QAction>(*window, "mnuEnde")->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(storedSetting(settings_store::kLanguage), std::optional<QString>("de"));
        QCOMPARE(storedSetting(settings_store::kDatabase), std::optional<QString>(""));
    }

    void germanAndWindows1252TextIsShownDecoded() {
        WorkingFolder folder;
        folder.write("ms1.txt", QByteArray("CALL;Bemerkung\r\nQQ1ABC;Gr\xfc\xdf"
                                           "e aus M\xfcnchen\r\n"));
        folder.write("ms2.txt", QByteArray("CALL;Bemerkung\r\nQQ1ABC;Grüße aus München\r\n"));
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(text(*window, "Text3"), QStringLiteral("Grüße aus München"));
        chooseListEntry(*window, "ms2.txt");
        QCOMPARE(text(*window, "Text3"), QStringLiteral("Grüße aus München"));
    }

    void aFieldLongerThanATextBoxShowsItsStart() {
        WorkingFolder folder;
        const QByteArray remark = QByteArray(100'000, 'x') + "END";
        folder.write("ms1.txt", "CALL;R\r\nQQ1ABC;" + remark + ";JO62\r\n");
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        const QString shown = text(*window, "Text3");
        QCOMPARE(shown.size(), control<QLineEdit>(*window, "Text3")->maxLength());
        QVERIFY(remark.startsWith(shown.toLatin1()));
        QCOMPARE(text(*window, "Text4"), QStringLiteral("JO62"));
    }

    void markupInHeadingsIsShownAsText() {
        WorkingFolder folder;
        folder.write("ms1.txt", QByteArray("<b>CALL</b>;<img src=x>\r\nQQ1ABC\r\n"));
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(control<QLabel>(*window, "Label2")->textFormat(), Qt::PlainText);
        QCOMPARE(text(*window, "Label2"), QStringLiteral("<b>CALL</b>"));
    }

    void unreadableDatabaseReadsAsEmpty() {
        WorkingFolder folder;
        folder.write("ms1.txt", kHeading + kFirstStation);
        QFile::setPermissions(folder.path() + "/ms1.txt", QFileDevice::Permissions());
        if (QFile probe(folder.path() + "/ms1.txt"); probe.open(QIODevice::ReadOnly)) {
            QSKIP("this user reads the file all the same (root; on Windows, everyone)");
        }
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(fieldTexts(*window), kEmptyFields);
    }

    void settingsThatCannotBeWrittenStillLetTheWindowClose() {
        WorkingFolder folder;
        ScriptedMessages messages;
        auto window = startWindow(messages);
        const UnwritableSettings unwritable;
        QTest::ignoreMessage(QtWarningMsg, "The settings could not be stored.");
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
    }
};

KELMORA_WIDGET_TEST_MAIN(StartupTest)
#include "test_startup.moc"
