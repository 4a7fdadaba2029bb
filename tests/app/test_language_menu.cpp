// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translations.h"
#include "kelmora/version.h"
#include "language/captions.h"
#include "language/info_text.h"
#include "widget_test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

using namespace kelmora;
using namespace kelmora::testing;

namespace {

const QString kCopyright = QString::fromUtf8(version::kCopyright);

// What the window shows for one row of the caption table.
QString shownCaption(const QWidget& window, const CaptionRow& row) {
    const QString name = QString::fromLatin1(row.control.data(), row.control.size());
    if (row.property == CaptionProperty::WindowTitle) {
        return window.windowTitle();
    }
    QObject* target = window.findChild<QObject*>(name);
    if (row.property == CaptionProperty::ToolTip) {
        if (auto* action = qobject_cast<QAction*>(target)) {
            return action->toolTip();
        }
        return qobject_cast<QWidget*>(target)->toolTip();
    }
    if (auto* action = qobject_cast<QAction*>(target)) {
        return action->text();
    }
    if (auto* menu = qobject_cast<QMenu*>(target)) {
        return menu->title();
    }
    if (auto* label = qobject_cast<QLabel*>(target)) {
        return label->text();
    }
    return qobject_cast<QPushButton*>(target)->text();
}

void verifyCaptions(const QWidget& window, Language language) {
    for (const CaptionRow& row : kCaptionTable) {
        QString expected = QString::fromUtf8(row.text(language).data(), row.text(language).size());
        if (row.property == CaptionProperty::WindowTitle) {
            expected += kCopyright;
        }
        QCOMPARE(shownCaption(window, row), expected);
    }
    QCOMPARE(control<QMenu>(window, "mnuHelp")->title(), QStringLiteral(" &? "));
    QCOMPARE(control<QAction>(window, "mnuInfo")->text(), QStringLiteral("&Info"));
}

void openOptionsMenu(const QWidget& window) {
    emit control<QMenu>(window, "mnuOpt")->aboutToShow();
}

bool checked(const QWidget& window, const char* action) {
    return control<QAction>(window, action)->isChecked();
}

// A whole catalog of Qt's German texts where the program looks for one, or
// an empty name. qtbase_de.qm first: Debian's qt_de.qm only names the
// catalogs of the modules.
QString germanCatalog() {
    for (const QString& name : {QStringLiteral("qtbase_de.qm"), QStringLiteral("qt_de.qm")}) {
        for (const QString& folder : qtTranslationFolders()) {
            if (QFile::exists(QDir(folder).filePath(name))) {
                return QDir(folder).filePath(name);
            }
        }
    }
    return {};
}

const MessageRequest kQuestion{QMessageBox::Critical, QStringLiteral(" found"),
                               QStringLiteral("next ?"), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes};

} // namespace

class LanguageMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void captionsSwitchAtOnceInBothDirections() {
        WorkingFolder folder;
        ScriptedMessages messages;
        auto window = startWindow(messages);
        verifyCaptions(*window, Language::German);
        control<QAction>(*window, "mnuEnglisch")->trigger();
        verifyCaptions(*window, Language::English);
        QCOMPARE(headingTexts(*window), QStringList({"Call", "Remarks", "Locator", "Activity",
                                                     "RIG / QRG", "", "", "Last Updated:"}));
        control<QAction>(*window, "mnuDeutsch")->trigger();
        verifyCaptions(*window, Language::German);
        QCOMPARE(headingTexts(*window).at(3), QStringLiteral("Aktivitäten"));
        QCOMPARE(storedSetting(settings_store::kLanguage), std::nullopt); // stored only at closing
    }

    void theDatabaseHeadingsStayAcrossASwitch() {
        WorkingFolder folder;
        folder.write("ms1.txt", "CALL;Rem;LOC;Act;Rig;F6;F7;Date\r\nQQ1ABC;r;JO62\r\n");
        storeSetting(settings_store::kDatabase, "ms1.txt");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        control<QLineEdit>(*window, "Text10")->setText("typed");
        const QStringList fileHeadings = {"CALL", "Rem", "LOC", "Act", "Rig", "F6", "F7", "Date"};
        QCOMPARE(headingTexts(*window), fileHeadings);
        control<QAction>(*window, "mnuEnglisch")->trigger();
        QCOMPARE(headingTexts(*window), fileHeadings);
        QCOMPARE(text(*window, "Text2"), QStringLiteral("QQ1ABC"));
        QCOMPARE(text(*window, "Text10"), QStringLiteral("typed"));
        QCOMPARE(control<QLineEdit>(*window, "Text4")->accessibleName(), QStringLiteral("LOC"));
    }

    void checkMarksFollowTheLanguageWhenTheMenuOpens_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("german");
        QTest::addColumn<bool>("english");
        QTest::newRow("de") << "de" << true << false;
        QTest::newRow("en") << "en" << false << true;
        QTest::newRow("unknown") << "EN" << false << false;
    }
    void checkMarksFollowTheLanguageWhenTheMenuOpens() {
        QFETCH(QString, code);
        QFETCH(bool, german);
        QFETCH(bool, english);
        WorkingFolder folder;
        storeSetting(settings_store::kLanguage, code);
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QVERIFY(!checked(*window, "mnuDeutsch"));
        QVERIFY(!checked(*window, "mnuEnglisch"));
        openOptionsMenu(*window);
        QCOMPARE(checked(*window, "mnuDeutsch"), german);
        QCOMPARE(checked(*window, "mnuEnglisch"), english);
    }

    void aSwitchFromAnUnknownCodeMakesCaptionsAndCheckMarksFollow() {
        WorkingFolder folder;
        storeSetting(settings_store::kLanguage, "fr");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QCOMPARE(text(*window, "Label1"), QStringLiteral("Label1"));
        control<QAction>(*window, "mnuEnglisch")->trigger();
        verifyCaptions(*window, Language::English);
        openOptionsMenu(*window);
        QVERIFY(checked(*window, "mnuEnglisch"));
        QVERIFY(!checked(*window, "mnuDeutsch"));
        QVERIFY(window->close());
        QCOMPARE(storedSetting(settings_store::kLanguage), std::optional<QString>("en"));
    }

    void qtsOwnButtonsAndMenusFollowTheLanguage() {
        if (germanCatalog().isEmpty()) {
            QSKIP("Qt's German translations are not installed");
        }
        WorkingFolder folder;
        ScriptedMessages messages;
        auto window = startWindow(messages);
        const auto shownTexts = [&] {
            QStringList texts = showRealMessageBox(window.get(), kQuestion).buttonTexts;
            const std::unique_ptr<QMenu> menu(
                control<QLineEdit>(*window, "Text10")->createStandardContextMenu());
            texts << menu->actions().constFirst()->text();
            return texts;
        };
        const QStringList german = {"&Ja", "&Nein", "&Rückgängig\tStrg+Z"};
        const QStringList english = {"&Yes", "&No", "&Undo\tCtrl+Z"};
        QCOMPARE(shownTexts(), german);
        control<QAction>(*window, "mnuEnglisch")->trigger();
        QCOMPARE(shownTexts(), english);
        control<QAction>(*window, "mnuDeutsch")->trigger();
        QCOMPARE(shownTexts(), german);
    }

    // Qt's German texts come as qtbase_de.qm from Qt's installer or a Linux
    // distribution and as qt_de.qm from windeployqt; the folder beside the
    // program comes before Qt's own.
    void qtsGermanTextsAreFoundUnderEitherName_data() {
        QTest::addColumn<QStringList>("folders"); // the catalog's name in each, or none
        QTest::addColumn<QStringList>("buttons");
        const QStringList german = {"&Ja", "&Nein"};
        QTest::newRow("qt_de only") << QStringList{"qt_de.qm"} << german;
        QTest::newRow("qtbase_de only") << QStringList{"qtbase_de.qm"} << german;
        QTest::newRow("in the second folder") << QStringList{"", "qt_de.qm"} << german;
        QTest::newRow("none") << QStringList{"", "qt_en.qm"} << QStringList{"&Yes", "&No"};
    }
    void qtsGermanTextsAreFoundUnderEitherName() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, buttons);
        const QString catalog = germanCatalog();
        if (catalog.isEmpty()) {
            QSKIP("Qt's German translations are not installed");
        }
        const QTemporaryDir root;
        QStringList paths;
        for (const QString& name : folders) {
            paths << QDir(root.path()).filePath(QString::number(paths.size()));
            QVERIFY(QDir().mkpath(paths.last()));
            QVERIFY(name.isEmpty() || QFile::copy(catalog, QDir(paths.last()).filePath(name)));
        }
        QTranslator translator;
        QCOMPARE(loadQtTranslation(translator, QLocale(QLocale::German), paths),
                 buttons.first() == "&Ja");
        QCoreApplication::installTranslator(&translator);
        const QStringList shown = showRealMessageBox(nullptr, kQuestion).buttonTexts;
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(shown, buttons);
    }

    void infoShowsTheGermanText() {
        WorkingFolder folder;
        ScriptedMessages messages;
        auto window = startWindow(messages);
        messages.clear();
        control<QAction>(*window, "mnuInfo")->trigger();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral(" Info"));
        QCOMPARE(messages.last().icon, QMessageBox::Information);
        // The text itself is checked character for character with the captions.
        QCOMPARE(messages.last().text, QString::fromStdString(infoText(Language::German, "")));
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }

    void infoShowsTheEnglishTextWithTheFolderOfTheMoment() {
        WorkingFolder folder;
        storeSetting(settings_store::kLanguage, "en");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        QDir(folder.path()).mkdir("sub");
        QDir::setCurrent(folder.path() + "/sub");
        messages.clear();
        control<QAction>(*window, "mnuInfo")->trigger();
        QCOMPARE(messages.count(), 1);
        const QString shownFolder = QDir::toNativeSeparators(folder.path() + "/sub");
        const QString expected =
            QString::fromStdString(infoText(Language::English, shownFolder.toStdString()));
        QCOMPARE(messages.last().text, expected);
        QCOMPARE(messages.last().text.split("\r\n").at(4), shownFolder);
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }

    void infoForAnUnknownCodeShowsNothingButMovesTheFocus() {
        WorkingFolder folder;
        storeSetting(settings_store::kLanguage, "De");
        ScriptedMessages messages;
        auto window = startWindow(messages);
        control<QWidget>(*window, "Combo1")->setFocus();
        control<QAction>(*window, "mnuInfo")->trigger();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }
};

KELMORA_WIDGET_TEST_MAIN(LanguageMenuTest)
#include "test_language_menu.moc"
