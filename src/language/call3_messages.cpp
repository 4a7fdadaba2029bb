// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/call3_messages.h"

#include "language/text_join.h"

namespace kelmora::call3_messages {
namespace {

std::string title(Language language) {
    return language == Language::German ? "für WSJT-X" : "for WSJT-X";
}

std::string count(std::uint64_t number) {
    return std::to_string(number);
}

std::string faultText(Language language, const ListFault& fault) {
    const bool german = language == Language::German;
    const std::string line = count(fault.line);
    switch (fault.kind) {
    case ListFault::Kind::NulByte:
        return german ? concat({"Zeile ", line, " enthält ein NUL-Byte: das ist kein Text."})
                      : concat({"Line ", line, " holds a NUL byte: this is no text."});
    case ListFault::Kind::LongLine:
        return german ? concat({"Zeile ", line, " ist länger als 64 KiB."})
                      : concat({"Line ", line, " is longer than 64 KiB."});
    case ListFault::Kind::TooLarge:
        return german ? "Die Datei ist größer als 256 MiB." : "The file is larger than 256 MiB.";
    case ListFault::Kind::TheDatabase:
        return german ? "Das ist die Datenbank selbst." : "This is the database itself.";
    case ListFault::Kind::StationDatabase:
        return german ? "Das ist eine Stations-Datenbank." : "This is a station database.";
    case ListFault::Kind::None:
        break;
    }
    return {};
}

} // namespace

std::string dialogTitle(Language language) {
    return language == Language::German ? "CALL3.TXT von WSJT-X aktualisieren"
                                        : "Update CALL3.TXT of WSJT-X";
}

std::string fileFilters(Language language) {
    return language == Language::German ? "Textdateien (*.txt *.TXT);;Alle Dateien (*)"
                                        : "Text files (*.txt *.TXT);;All files (*)";
}

namespace {

// The words of the report, line by line.
struct ReportWords {
    std::string_view updated;
    std::string_view keptAs;
    std::string_view keptAsEnd;
    std::string_view notKept;
    std::string_view added;
    std::string_view changed;
    std::string_view unchanged;
    std::string_view leftOut;
    std::string_view noLocator;
    std::string_view slash;
    std::string_view noCall;
    std::string_view duplicate;
};

constexpr ReportWords kGermanReport{
    "Für WSJT-X aktualisiert:",
    "Die bisherige Liste bleibt als ",
    " erhalten.",
    "Die bisherige Liste konnte nicht aufbewahrt werden: ",
    "Stationen hinzugefügt: ",
    "Locator geändert: ",
    "unverändert: ",
    "ausgelassen: ",
    "    ohne gültigen Locator: ",
    "    \"/\" im Rufzeichen: ",
    "    kein Rufzeichen aus 3 bis 12 Buchstaben und Ziffern: ",
    "    Rufzeichen doppelt: ",
};

constexpr ReportWords kEnglishReport{
    "Updated for WSJT-X:",
    "The previous list is kept as ",
    ".",
    "The previous list could not be kept: ",
    "Stations added: ",
    "Locators changed: ",
    "Unchanged: ",
    "Left out: ",
    "    no valid locator: ",
    "    \"/\" in the callsign: ",
    "    no callsign of 3 to 12 letters and digits: ",
    "    callsign more than once: ",
};

} // namespace

MessageText updated(Language language, std::string_view listFile, std::string_view backupName,
                    const LookupCounts& counts, std::optional<std::string_view> backupFailure) {
    const ReportWords& words = language == Language::German ? kGermanReport : kEnglishReport;
    std::string head = joinLines({words.updated, listFile});
    if (backupFailure) {
        head = joinLines({head, concat({words.notKept, *backupFailure})});
    } else if (!backupName.empty()) {
        head = joinLines({head, concat({words.keptAs, backupName, words.keptAsEnd})});
    }
    return {title(language), joinLines({head, "", concat({words.added, count(counts.added)}),
                                        concat({words.changed, count(counts.changed)}),
                                        concat({words.unchanged, count(counts.unchanged)}),
                                        concat({words.leftOut, count(counts.leftOut())}),
                                        concat({words.noLocator, count(counts.invalidLocator)}),
                                        concat({words.slash, count(counts.slashInCall)}),
                                        concat({words.noCall, count(counts.invalidCall)}),
                                        concat({words.duplicate, count(counts.duplicate)})})};
}

MessageText databaseUnreadable(Language language, std::string_view databaseFile,
                               std::string_view reason) {
    if (language == Language::German) {
        return {title(language),
                joinLines({"Die Datenbank-Datei kann nicht gelesen werden:", databaseFile, reason,
                           "Die Liste bleibt unverändert."})};
    }
    return {title(language), joinLines({"The database file cannot be read:", databaseFile, reason,
                                        "The list is left unchanged."})};
}

MessageText listNotUpdated(Language language, std::string_view file, std::string_view reason) {
    if (language == Language::German) {
        return {title(language),
                joinLines({"Die Liste kann nicht aktualisiert werden:", file, reason,
                           "Die Liste bleibt unverändert, keine Sicherung angelegt."})};
    }
    return {title(language), joinLines({"The list cannot be updated:", file, reason,
                                        "The list is left unchanged; no backup made."})};
}

MessageText noLookupList(Language language, std::string_view file, const ListFault& fault) {
    if (language == Language::German) {
        return {title(language),
                joinLines({"Diese Datei ist keine Rufzeichenliste:", file,
                           faultText(language, fault), "Sie bleibt unverändert."})};
    }
    return {title(language), joinLines({"This file is no look-up list:", file,
                                        faultText(language, fault), "It is left unchanged."})};
}

MessageText sameFile(Language language, std::string_view file, std::string_view otherFile) {
    if (language == Language::German) {
        return {title(language),
                joinLines({"Diese beiden Namen führen zu ein und derselben Datei:", file, otherFile,
                           "Liste, Sicherung und Datenbank müssen drei getrennte Dateien sein. "
                           "Alle Dateien bleiben unverändert."})};
    }
    return {title(language),
            joinLines({"These two names lead to one and the same file:", file, otherFile,
                       "The list, its backup and the database must be three separate files. "
                       "Every file is left unchanged."})};
}

} // namespace kelmora::call3_messages
