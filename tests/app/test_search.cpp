// SPDX-License-Identifier: GPL-3.0-or-later
#include "widget_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace kelmora;
using namespace kelmora::testing;

namespace {

const QByteArray kDatabase = "CALL;Bemerkung;LOCATOR;Aktivit\xe4ten;QQ0HEAD\r\n"
                             "QQ1ABC;sked;JO62QM;FSK441\r\n"
                             "QQ1ABCD;M\xdcLLER;JO62QN;JT44\r\n"
                             "QQ2XYZ;qq1abc;KO01AA;CW\r\n"
                             "QQ3QQ1;x;JO62QM;SSB\r\n"
                             "QQ4SZ;STRA\xdf"
                             "E 1;JN48AA;CW\r\n" // Windows-1252
                             "QQ5SZ;STRA\xc3\x9f"
                             "E 2;JN49AA;CW\r\n"                   // UTF-8
                             "QQ6MU;10 \xb5W A;JN58AA;EME\r\n"     // Windows-1252
                             "QQ7MU;10 \xc2\xb5W B;JN59AA;EME\r\n" // UTF-8
                             "QQ8YY;PL\x9fN;JN68AA;EME\r\n"        // Windows-1252
                             "QQ9PL;\xc5\x81\xc3\x93"
                             "D\xc5\xb9;KO02AA;EME"; // UTF-8

// Starts the window in the folder on the test database, the record of its
// first station on display.
std::unique_ptr<Form1> startOn(ScriptedMessages& messages, const QString& language,
                               const WorkingFolder& folder) {
    folder.write("ms1.txt", kDatabase);
    storeSetting(settings_store::kLanguage, language);
    storeSetting(settings_store::kDatabase, "ms1.txt");
    auto window = startWindow(messages);
    messages.clear();
    return window;
}

void search(QWidget& window, const QString& text) {
    control<QLineEdit>(window, "Text10")->setText(text);
    control<QPushButton>(window, "Command1")->click();
}

QString shownCall(const QWidget& window) {
    return text(window, "Text2");
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        clearSettings();
        folder_ = std::make_unique<WorkingFolder>();
    }
    void cleanup() { folder_.reset(); }

    void eachHitAsksWhetherToGoOn_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("question");
        QTest::newRow("de") << "de"
                            << " Suche erfolgreich"
                            << "Weiter suchen ?";
        QTest::newRow("en") << "en"
                            << " found"
                            << "next ?";
    }
    void eachHitAsksWhetherToGoOn() {
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QString, question);
        ScriptedMessages messages;
        auto window = startOn(messages, language, *folder_);
        search(*window, "  jo62q ");
        // Three hits, each followed by the question; Yes after the last ends quietly.
        QCOMPARE(messages.count(), 3);
        for (const auto& shown : messages.shown()) {
            QCOMPARE(shown.request.title, title);
            QCOMPARE(shown.request.text, question);
            QCOMPARE(shown.request.icon, QMessageBox::Critical);
            QCOMPARE(shown.request.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(shown.request.defaultButton, QMessageBox::Yes);
        }
        QCOMPARE(shownCall(*window), QStringLiteral("QQ3QQ1"));
        QCOMPARE(text(*window, "Text10"), QStringLiteral("  jo62q "));
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }

    void noEndsTheRunWithThatHitShownAndARunStartsAgainAtTheTop() {
        ScriptedMessages messages;
        auto window = startOn(messages, "de", *folder_);
        messages.answerNext(QMessageBox::Yes);
        messages.answerNext(QMessageBox::No);
        search(*window, "JO62Q");
        QCOMPARE(messages.count(), 2);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ1ABCD"));
        messages.clear();
        messages.answerNext(QMessageBox::No);
        search(*window, "JO62Q");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ1ABC"));
    }

    void aCharacterWithoutASingleUpperCaseFormStays() {
        ScriptedMessages messages;
        auto window = startOn(messages, "de", *folder_);
        messages.answerNext(QMessageBox::Yes);
        messages.answerNext(QMessageBox::No);
        search(*window, QStringLiteral("straße"));
        QCOMPARE(messages.count(), 2);
        QCOMPARE(text(*window, "Text3"), QStringLiteral("STRAßE 2"));
        messages.clear();
        messages.answerNext(QMessageBox::No);
        search(*window, QStringLiteral("straße"));
        QCOMPARE(text(*window, "Text3"), QStringLiteral("STRAßE 1"));
    }

    // Upper case stays within what the line's encoding can hold: a
    // Windows-1252 character takes its Windows-1252 upper case, if any.
    void theTypedTextIsFoundInItsUpperCase_data() {
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("found");
        QTest::newRow("micro sign, Windows-1252") << "µw a"
                                                  << "10 µW A";
        QTest::newRow("micro sign, UTF-8") << "µw b"
                                           << "10 µW B";
        QTest::newRow("y with diaeresis") << "plÿn"
                                          << "PLŸN";
        QTest::newRow("Polish, UTF-8") << "łódź"
                                       << "ŁÓDŹ";
    }
    void theTypedTextIsFoundInItsUpperCase() {
        QFETCH(QString, searchText);
        QFETCH(QString, found);
        ScriptedMessages messages;
        auto window = startOn(messages, "en", *folder_);
        search(*window, searchText);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral(" found"));
        QCOMPARE(text(*window, "Text3"), found);
    }

    void enterOnTheFocusedButtonSearches() {
        ScriptedMessages messages;
        auto window = startOn(messages, "en", *folder_);
        control<QLineEdit>(*window, "Text10")->setText("qq2xyz");
        auto* button = control<QPushButton>(*window, "Command1");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ2XYZ"));
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }

    void anExactCallsignEndsTheRunWithoutAQuestion() {
        ScriptedMessages messages;
        auto window = startOn(messages, "en", *folder_);
        search(*window, "qq1abc");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ1ABC"));
        QCOMPARE(text(*window, "Text4"), QStringLiteral("JO62QM"));
    }

    void noHitMessages_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("de") << "de"
                            << " vwq "
                            << " Suche erfolglos"
                            << "Keine Daten zu      \r\nVWQ\r\nvorhanden !";
        QTest::newRow("en") << "en"
                            << "vwq"
                            << " not found"
                            << "VWQ\r\n";
        QTest::newRow("only in the heading line") << "en"
                                                  << "qq0head"
                                                  << " not found"
                                                  << "QQ0HEAD\r\n";
        QTest::newRow("lower-case data is not found by letters")
            << "en"
            << "qq1abc;ko01"
            << " not found"
            << "QQ1ABC;KO01\r\n"; // "qq1abc;KO01" in the file
        QTest::newRow("shown as searched") << "de"
                                           << "µw x"
                                           << " Suche erfolglos"
                                           << "Keine Daten zu      \r\nµW X\r\nvorhanden !";
        QTest::newRow("inner blanks count") << "de"
                                            << "JO62 QM"
                                            << " Suche erfolglos"
                                            << "Keine Daten zu      \r\nJO62 QM\r\nvorhanden !";
    }
    void noHitMessages() {
        QFETCH(QString, language);
        QFETCH(QString, searchText);
        QFETCH(QString, title);
        QFETCH(QString, message);
        ScriptedMessages messages;
        auto window = startOn(messages, language, *folder_);
        const QString before = shownCall(*window);
        search(*window, searchText);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, title);
        QCOMPARE(messages.last().text, message);
        QCOMPARE(messages.last().icon, QMessageBox::Information);
        QCOMPARE(messages.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(shownCall(*window), before);
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }

    void aSeparatorInTheSearchTextMatchesAcrossFields() {
        ScriptedMessages messages;
        auto window = startOn(messages, "de", *folder_);
        messages.answerNext(QMessageBox::No);
        search(*window, "62qn;jt");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ1ABCD"));
    }

    void aGermanSearchTextFindsWindows1252Data() {
        ScriptedMessages messages;
        auto window = startOn(messages, "de", *folder_);
        messages.answerNext(QMessageBox::No);
        search(*window, "müller");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(text(*window, "Text3"), QStringLiteral("MÜLLER"));
    }

    void anUnknownLanguageShowsEveryHitWithoutAnyBox() {
        ScriptedMessages messages;
        auto window = startOn(messages, "En", *folder_);
        search(*window, "JO62Q");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ3QQ1"));
        // The exact callsign still ends the run: QQ1ABCD after it is not reached.
        search(*window, "qq1abc");
        QCOMPARE(shownCall(*window), QStringLiteral("QQ1ABC"));
        search(*window, "nothing");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ1ABC"));
    }

    void nothingHappensWithoutASearchTextOrDatabase_data() {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("searchText");
        QTest::newRow("blank search text") << "ms1.txt"
                                           << "   ";
        QTest::newRow("empty database box") << ""
                                            << "QQ1ABC";
        QTest::newRow("missing database") << "ms9.txt"
                                          << "QQ1ABC";
    }
    void nothingHappensWithoutASearchTextOrDatabase() {
        QFETCH(QString, database);
        QFETCH(QString, searchText);
        ScriptedMessages messages;
        auto window = startOn(messages, "de", *folder_);
        control<QComboBox>(*window, "Combo1")->setEditText(database);
        control<QWidget>(*window, "Combo1")->setFocus();
        search(*window, searchText);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ1ABC"));
        // From the menu the focus always ends in the search box.
        control<QWidget>(*window, "Combo1")->setFocus();
        control<QAction>(*window, "mnuSuch")->trigger();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
    }

    void enterInTheSearchBoxSearchesAsTheButtonDoes() {
        ScriptedMessages messages;
        auto window = startOn(messages, "en", *folder_);
        auto* box = control<QLineEdit>(*window, "Text10");
        box->setFocus();
        QTest::keyClicks(box, "qq2xyz");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ2XYZ"));
        QCOMPARE(box->text(), QStringLiteral("qq2xyz"));
    }

    void aClickIntoAFieldBoxSendsTheFocusBack() {
        ScriptedMessages messages;
        auto window = startOn(messages, "de", *folder_);
        for (int i = 2; i <= 9; ++i) {
            auto* box = control<QLineEdit>(*window, QStringLiteral("Text%1").arg(i).toLatin1());
            QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(focusedName(), QStringLiteral("Text10"));
        }
    }

    void theSearchUsesTheFileUnderItsRealLetterCase() {
        ScriptedMessages messages;
        auto window = startOn(messages, "de", *folder_);
        control<QComboBox>(*window, "Combo1")->setEditText("MS1.TXT");
        search(*window, "qq2xyz");
        QCOMPARE(messages.count(), 0);
        QCOMPARE(shownCall(*window), QStringLiteral("QQ2XYZ"));
    }

    void aNameThatMatchesOnlyAsAPatternEndsWithTheNoHitMessage() {
        ScriptedMessages messages;
        auto window = startOn(messages, "en", *folder_);
        control<QComboBox>(*window, "Combo1")->setEditText("ms?.txt");
        search(*window, "qq2xyz");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().title, QStringLiteral(" not found"));
    }

private:
    std::unique_ptr<WorkingFolder> folder_;
};

KELMORA_WIDGET_TEST_MAIN(SearchTest)
#include "test_search.moc"
