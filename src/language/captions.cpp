// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/captions.h"

#include "kelmora/version.h"
#include "language/text_join.h"

#include <filesystem>

namespace kelmora {
namespace {

using enum CaptionProperty;

const std::string kSeparator(1, std::filesystem::path::preferred_separator);

} // namespace

std::optional<Language> languageFromCode(std::string_view code) {
    if (code == "de") {
        return Language::German;
    }
    if (code == "en") {
        return Language::English;
    }
    return std::nullopt;
}

const std::array<CaptionRow, 27> kCaptionTable = {{
    {"Form1", WindowTitle, " Kelmora-Datenbank-Viewer ", " Kelmora-Database-Viewer "},
    {"mnuDat", Caption, "&Datei", "&File"},
    {"mnuOpt", Caption, "&Optionen", "&Options"},
    {"mnuOpen", Caption, "&Öffnen", "&Open"},
    {"mnuSuch", Caption, "&Suchen", "&Search"},
    {"mnuEnde", Caption, "&Beenden", "&Exit"},
    {"mnuSprache", Caption, "&Sprache", "&Language"},
    {"mnuDeutsch", Caption, "&deutsch", "&german"},
    {"mnuEnglisch", Caption, "&englisch", "&english"},
    {"mnuExtr", Caption, "&Extras", "&Tools"},
    {"mnuWSJT", Caption, "für &WSJT:Callsign.txt generieren", "for &WSJT:create Callsign.txt"},
    {"mnuWSJTall", Caption, "&alle", "&all"},
    {"mnuFSK441Datei", Caption, "&nur FSK441", "&only FSK441"},
    {"Label1", Caption, "&Datenbank :", "&Database :"},
    {"Label10", Caption, "Such&text    :", "Search&text  :"},
    {"Command1", Caption, "&Suchen", "&Search"},
    {"Command1", ToolTip, "Suchen starten", "go search"},
    {"Text10", ToolTip, "Suchtext eingeben", "set searchtext"},
    {"Combo1", ToolTip, "Kelmora-Datenbank auswählen", "select Kelmora-Database"},
    {"mnuCall3", Caption, "für WSJT-&X: CALL3.TXT aktualisieren...",
     "for WSJT-&X: update CALL3.TXT..."},
    {"mnuCall3", ToolTip,
     "Die Stationen der Datenbank in die Rufzeichenliste von WSJT-X übernehmen",
     "Bring the stations of the database into the look-up list of WSJT-X"},
    {"mnuLocator", Caption, "&Eigener Locator...", "&Own locator..."},
    {"mnuLocator", ToolTip,
     "Den eigenen Maidenhead-Locator eingeben: Mitte der Karte, Ausgangspunkt von Entfernung und "
     "Richtung",
     "Enter your own Maidenhead locator: the centre of the map, where distances and headings "
     "start"},
    {"mnuLog", Caption, "&Logbuch (ADIF)...", "Lo&g (ADIF)..."},
    {"mnuLog", ToolTip,
     "Das eigene Logbuch (ADIF, etwa wsjtx_log.adi von WSJT-X) wählen: Karte und Tabelle zeigen, "
     "welche Stationen ein neues Mittelfeld oder Rufzeichen wären",
     "Choose your log (ADIF, such as wsjtx_log.adi of WSJT-X): the map and the table show which "
     "stations would be a new grid or a new call"},
    {"mnuKarte", Caption, "&Karte", "&Map"},
    {"mnuKarte", ToolTip,
     "Die Stationen der Datenbank auf einer Großkreiskarte um den eigenen Locator",
     "The stations of the database on a great-circle map around your own locator"},
}};

std::string windowTitle(Language language) {
    return concat({kCaptionTable.front().text(language), version::kCopyright});
}

const std::array<std::string_view, 8>& defaultHeadings(Language language) {
    static constexpr std::array<std::string_view, 8> german = {
        "Call", "Bemerkung", "Locator", "Aktivitäten", "RIG / QRG", "", "", "Stand :"};
    static constexpr std::array<std::string_view, 8> english = {
        "Call", "Remarks", "Locator", "Activity", "RIG / QRG", "", "", "Last Updated:"};
    return language == Language::German ? german : english;
}

MessageText missingDatabaseNotice(Language language, std::string_view databasePath) {
    if (language == Language::German) {
        return {"Hinweis",
                joinLines({"Die Datenbank-Datei bitte in 'Datenbank'     ",
                           "auswählen. Dazu muß sich eine Datenbank      ",
                           "wie zbsp.  ms195.txt  von Harvend (User-Version)   ",
                           "im gleichen Ordner befinden wie dieses Programm.  ", databasePath})};
    }
    const std::string pathLine = concat({databasePath, " by Harvend (User-Version)"});
    return {"Info", joinLines({"Database not found.                       ", pathLine,
                               "Please select database in this directory.  "})};
}

MessageText searchGoOnQuestion(Language language) {
    if (language == Language::German) {
        return {" Suche erfolgreich", "Weiter suchen ?"};
    }
    return {" found", "next ?"};
}

MessageText searchNoHitMessage(Language language, std::string_view searchText) {
    if (language == Language::German) {
        return {" Suche erfolglos", joinLines({"Keine Daten zu      ", searchText, "vorhanden !"})};
    }
    return {" not found", concat({searchText, kLineBreak})};
}

MessageText callsignListWrittenMessage(std::optional<Language> language, std::string_view folder) {
    const std::string fileLine = concat({folder, kSeparator, "Callsign.txt "});
    if (language == Language::English) {
        return {"for WSJT", joinLines({fileLine, "complete"})};
    }
    if (language == Language::German) {
        return {"für WSJT", joinLines({fileLine, "komplett"})};
    }
    return {"", fileLine};
}

MessageText databaseUnreadableMessage(std::optional<Language> language,
                                      std::string_view databaseFile, std::string_view reason) {
    if (language == Language::German) {
        return {"für WSJT", joinLines({"Die Datenbank-Datei kann nicht gelesen werden:",
                                       databaseFile, reason, "Callsign.txt bleibt unverändert."})};
    }
    return {"for WSJT", joinLines({"The database file cannot be read:", databaseFile, reason,
                                   "Callsign.txt is left unchanged."})};
}

MessageText callsignListNotWrittenMessage(std::optional<Language> language,
                                          std::string_view listFile, std::string_view reason) {
    if (language == Language::German) {
        return {"für WSJT", joinLines({"Callsign.txt kann nicht geschrieben werden:", listFile,
                                       reason, "Die bisherige Datei bleibt unverändert."})};
    }
    return {"for WSJT", joinLines({"Callsign.txt cannot be written:", listFile, reason,
                                   "The previous file is left unchanged."})};
}

std::optional<std::string_view> fileFailureReason(Language language, FileFailure failure) {
    const bool german = language == Language::German;
    switch (failure) {
    case FileFailure::NotFound:
        return german ? "Datei oder Ordner nicht gefunden" : "File or folder not found";
    case FileFailure::IsFolder:
        return german ? "Das ist ein Ordner, keine Datei" : "This is a folder, not a file";
    case FileFailure::NotOrdinaryFile:
        return german ? "Das ist keine gewöhnliche Datei" : "This is not an ordinary file";
    case FileFailure::PermissionDenied:
        return german ? "Zugriff verweigert (schreibgeschützt oder keine Berechtigung)"
                      : "Access denied (write-protected or no permission)";
    case FileFailure::ReadOnlyFileSystem:
        return german ? "Das Laufwerk ist schreibgeschützt" : "The drive is read-only";
    case FileFailure::NoSpace:
        return german ? "Kein Platz mehr auf dem Laufwerk" : "No space left on the drive";
    case FileFailure::QuotaExceeded:
        return german ? "Das Speicherkontingent ist aufgebraucht" : "The disk quota is used up";
    case FileFailure::InUse:
        return german ? "Die Datei wird von einem anderen Programm benutzt"
                      : "The file is in use by another program";
    case FileFailure::IoError:
        return german ? "Lese- oder Schreibfehler des Laufwerks"
                      : "The drive failed to read or write";
    case FileFailure::None:
    case FileFailure::Other:
        break;
    }
    return std::nullopt;
}

} // namespace kelmora
