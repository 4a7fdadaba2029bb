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

MessageText updated(Language language, std::string_view listFile, std::string_view backupName,
                    const LookupCounts& counts, std::optional<std::string_view> backupFailure) {
    const bool german = language == Language::German;
    std::string backupLine;
    if (backupFailure) {
        backupLine =
            german
                ? concat({"Die bisherige Liste konnte nicht aufbewahrt werden: ", *backupFailure})
                : concat({"The previous list could not be kept: ", *backupFailure});
    } else if (!backupName.empty()) {
        backupLine = german ? concat({"Die bisherige Liste bleibt als ", backupName, " erhalten."})
                            : concat({"The previous list is kept as ", backupName, "."});
    }
    const std::string head = german ? joinLines({"Für WSJT-X aktualisiert:", listFile})
                                    : joinLines({"Updated for WSJT-X:", listFile});
    const std::string start = backupLine.empty() ? head : joinLines({head, backupLine});
    if (german) {
        return {title(language),
                joinLines({start, "", concat({"Stationen hinzugefügt: ", count(counts.added)}),
                           concat({"Locator geändert: ", count(counts.changed)}),
                           concat({"unverändert: ", count(counts.unchanged)}),
                           concat({"ausgelassen: ", count(counts.leftOut())}),
                           concat({"    ohne gültigen Locator: ", count(counts.invalidLocator)}),
                           concat({"    \"/\" im Rufzeichen: ", count(counts.slashInCall)}),
                           concat({"    kein Rufzeichen aus 3 bis 12 Buchstaben und Ziffern: ",
                                   count(counts.invalidCall)}),
                           concat({"    Rufzeichen doppelt: ", count(counts.duplicate)})})};
    }
    return {title(language),
            joinLines({start, "", concat({"Stations added: ", count(counts.added)}),
                       concat({"Locators changed: ", count(counts.changed)}),
                       concat({"Unchanged: ", count(counts.unchanged)}),
                       concat({"Left out: ", count(counts.leftOut())}),
                       concat({"    no valid locator: ", count(counts.invalidLocator)}),
                       concat({"    \"/\" in the callsign: ", count(counts.slashInCall)}),
                       concat({"    no callsign of 3 to 12 letters and digits: ",
                               count(counts.invalidCall)}),
                       concat({"    callsign more than once: ", count(counts.duplicate)})})};
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

} // namespace kelmora::call3_messages
