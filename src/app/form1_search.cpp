// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/database_folder.h"
#include "app/display_text.h"
#include "app/form1.h"
#include "database/ascii.h"
#include "database/latin_case.h"
#include "database/search_matcher.h"
#include "database/station_record.h"
#include "database/text_encoding.h"

#include <QComboBox>
#include <QLineEdit>
#include <optional>
#include <string>

namespace kelmora {
namespace {

// Leading and trailing blanks go; other white space is part of the text.
QString trimBlanks(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string_view trimmed =
        ascii::trimBlanks({utf8.constData(), std::size_t(utf8.size())});
    return QString::fromUtf8(trimmed.data(), static_cast<qsizetype>(trimmed.size()));
}

// Upper case character by character, so that what was typed can still be
// found. A character of the Windows-1252 repertoire takes its upper case
// within that repertoire: µ, whose upper case is Greek, stays µ and so finds
// "µW" in single-byte and UTF-8 lines alike, while ÿ becomes Ÿ. Any other
// character takes its single upper-case form (ł becomes Ł). One without such a
// form (ß, ligatures, ŉ) stays as it is, so "straße" finds "STRAßE".
char32_t searchUpperCase(char32_t c) {
    return isWindows1252Character(c) ? toUpperLatin(c) : QChar::toUpper(c);
}

QString upperCaseEachCharacter(const QString& text) {
    QString upper;
    upper.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        upper.append(QChar::fromUcs4(searchUpperCase(c)));
    }
    return upper;
}

} // namespace

void Form1::Command1_Click() {
    const QString fileName = Combo1->currentText();
    if (!FileExists(fileName)) {
        return;
    }
    const QString searchText = upperCaseEachCharacter(trimBlanks(Text10->text()));
    if (searchText.isEmpty()) {
        Text10->setFocus();
        return;
    }
    const auto language = languageFromCode(uiLanguage_.toStdString());
    const QByteArray searchUtf8 = searchText.toUtf8();
    const std::string_view searchBytes(searchUtf8.constData(), searchUtf8.size());
    const SearchPattern pattern = SearchPattern::fromUtf8(searchBytes);

    const auto isTheCallsign = [&searchText](std::string_view line) {
        const StationRecord record = splitStationLine(line);
        return upperCaseEachCharacter(displayText(record.field(1), encodingOfLine(line))) ==
               searchText;
    };
    // Without a language no question pauses the run, so only the last hit
    // can ever be seen: it alone is shown, however many lines match.
    std::optional<std::string> lastUnshownHit;
    const auto onHit = [&](std::string_view line) {
        if (!language) {
            lastUnshownHit.emplace(line);
            return !isTheCallsign(line);
        }
        ShowRecord(line, false);
        if (isTheCallsign(line)) {
            return false; // the callsign itself: no need to look further
        }
        const auto answer = showMessage(QMessageBox::Critical, searchGoOnQuestion(*language),
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        return answer != QMessageBox::No;
    };
    // A name that matches only as a pattern cannot be opened: the scan then
    // fails at once and the run ends like one without a hit.
    const auto path = database_folder::fileToOpen(fileName);
    const ScanOutcome outcome =
        path ? scanForHits(*path, pattern, onHit) : ScanOutcome{ScanEnd::ReadFailed, 0};
    if (lastUnshownHit) {
        ShowRecord(*lastUnshownHit, false);
    }

    if (outcome.hits == 0 && language) {
        showMessage(QMessageBox::Information, searchNoHitMessage(*language, searchBytes));
    }
    Text10->setFocus();
}

void Form1::Text10_KeyPress(int keyCode) {
    if (keyCode == kEnterKey) {
        Command1_Click();
    }
}

void Form1::mnuSuch_Click() {
    Command1_Click();
    Text10->setFocus();
}

void Form1::Text2_Click() {
    returnFocusToSearchText();
}
void Form1::Text3_Click() {
    returnFocusToSearchText();
}
void Form1::Text4_Click() {
    returnFocusToSearchText();
}
void Form1::Text5_Click() {
    returnFocusToSearchText();
}
void Form1::Text6_Click() {
    returnFocusToSearchText();
}
void Form1::Text7_Click() {
    returnFocusToSearchText();
}
void Form1::Text8_Click() {
    returnFocusToSearchText();
}
void Form1::Text9_Click() {
    returnFocusToSearchText();
}

} // namespace kelmora
