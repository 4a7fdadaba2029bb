// SPDX-License-Identifier: GPL-3.0-or-later
#include "kelmora/version.h"
#include "language/captions.h"
#include "language/info_text.h"
#include "support/printing.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace kelmora {
namespace {

using testing::PrintTo;

TEST(LanguageFromCode, OnlyTheExactCodesSelectALanguage) {
    EXPECT_EQ(languageFromCode("de"), Language::German);
    EXPECT_EQ(languageFromCode("en"), Language::English);
    for (const char* other : {"DE", "En", "fr", "", " de", "de "}) {
        EXPECT_FALSE(languageFromCode(other).has_value()) << '"' << other << '"';
    }
}

// The row of the table for a control's caption or tool tip.
const CaptionRow& row(std::string_view control,
                      CaptionProperty property = CaptionProperty::Caption) {
    const auto found =
        std::find_if(kCaptionTable.begin(), kCaptionTable.end(), [&](const CaptionRow& candidate) {
            return candidate.control == control && candidate.property == property;
        });
    if (found == kCaptionTable.end()) {
        throw std::out_of_range("no caption row for " + std::string(control));
    }
    return *found;
}

TEST(CaptionTable, RowsThatAreEasyToGetWrong) {
    EXPECT_EQ(row("Label10").german, "Such&text    :");
    EXPECT_EQ(row("Label10").english, "Search&text  :");
    EXPECT_EQ(row("Label10").german.size(), 14U);
    EXPECT_EQ(row("Label10").english.size(), 14U);
    EXPECT_EQ(row("Label1").german, "&Datenbank :");
    EXPECT_EQ(row("mnuWSJT").english, "for &WSJT:create Callsign.txt");
    EXPECT_EQ(row("mnuSuch").german, row("Command1").german);
    EXPECT_EQ(row("mnuSuch").english, row("Command1").english);
    EXPECT_EQ(row("mnuDeutsch").english, "&german");
    EXPECT_EQ(row("mnuEnglisch").german, "&englisch");
    EXPECT_EQ(row("Command1", CaptionProperty::ToolTip).english, "go search");
}

TEST(CaptionTable, ToolTipsCarryNoAccessKeyMark) {
    for (const CaptionRow& row : kCaptionTable) {
        if (row.property == CaptionProperty::ToolTip) {
            EXPECT_EQ(row.german.find('&'), std::string_view::npos) << row.control;
            EXPECT_EQ(row.english.find('&'), std::string_view::npos) << row.control;
        }
    }
}

TEST(WindowTitle, StartsWithABlankAndEndsWithTheCopyrightLine) {
    EXPECT_EQ(windowTitle(Language::German),
              std::string(" Kelmora-Datenbank-Viewer ") + version::kCopyright);
    EXPECT_EQ(windowTitle(Language::English),
              std::string(" Kelmora-Database-Viewer ") + version::kCopyright);
}

TEST(DefaultHeadings, SixthAndSeventhAreEmpty) {
    for (const Language language : {Language::German, Language::English}) {
        EXPECT_EQ(defaultHeadings(language)[5], "");
        EXPECT_EQ(defaultHeadings(language)[6], "");
    }
    EXPECT_EQ(defaultHeadings(Language::German)[7], "Stand :");
    EXPECT_EQ(defaultHeadings(Language::English)[7], "Last Updated:");
    EXPECT_EQ(defaultHeadings(Language::German)[3], "Aktivitäten");
}

struct MessageCase {
    const char* name;
    MessageText message;
    std::string title;
    std::string text;
};

class Messages : public ::testing::TestWithParam<MessageCase> {};

// The folder and the file name are joined with the system's separator.
const std::string kSep(1, static_cast<char>(std::filesystem::path::preferred_separator));

TEST_P(Messages, MatchCharacterForCharacter) {
    EXPECT_EQ(GetParam().message.title, GetParam().title);
    EXPECT_EQ(GetParam().message.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    AllTexts, Messages,
    ::testing::Values(
        MessageCase{"NoticeGerman", missingDatabaseNotice(Language::German, "/home/qq/ms*.txt"),
                    "Hinweis",
                    "Die Datenbank-Datei bitte in 'Datenbank'     \r\n"
                    "auswählen. Dazu muß sich eine Datenbank      \r\n"
                    "wie zbsp.  ms195.txt  von Harvend (User-Version)   \r\n"
                    "im gleichen Ordner befinden wie dieses Programm.  \r\n"
                    "/home/qq/ms*.txt"},
        MessageCase{"NoticeEnglish", missingDatabaseNotice(Language::English, "/x/ms1.txt"), "Info",
                    "Database not found.                       \r\n"
                    "/x/ms1.txt by Harvend (User-Version)\r\n"
                    "Please select database in this directory.  "},
        MessageCase{"QuestionGerman", searchGoOnQuestion(Language::German), " Suche erfolgreich",
                    "Weiter suchen ?"},
        MessageCase{"QuestionEnglish", searchGoOnQuestion(Language::English), " found", "next ?"},
        MessageCase{"NoHitGerman", searchNoHitMessage(Language::German, "ABC"), " Suche erfolglos",
                    "Keine Daten zu      \r\nABC\r\nvorhanden !"},
        MessageCase{"NoHitEnglish", searchNoHitMessage(Language::English, "ABC"), " not found",
                    "ABC\r\n"},
        MessageCase{"ListWrittenEnglish", callsignListWrittenMessage(Language::English, "/w"),
                    "for WSJT", "/w" + kSep + "Callsign.txt \r\ncomplete"},
        MessageCase{"ListWrittenGerman", callsignListWrittenMessage(Language::German, "/w"),
                    "für WSJT", "/w" + kSep + "Callsign.txt \r\nkomplett"},
        MessageCase{"ListWrittenOtherCode", callsignListWrittenMessage(std::nullopt, "/w"), "",
                    "/w" + kSep + "Callsign.txt "},
        MessageCase{"ListWrittenInRootShowsTwoSeparators",
                    callsignListWrittenMessage(Language::English, "/"), "for WSJT",
                    "/" + kSep + "Callsign.txt \r\ncomplete"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailureMessages, NameTheFileInTheLanguageAndFallBackToEnglish) {
    const MessageText german =
        callsignListNotWrittenMessage(Language::German, "/w/CALLSIGN.TXT", "Is a directory");
    EXPECT_EQ(german.title, "für WSJT");
    EXPECT_NE(german.text.find("/w/CALLSIGN.TXT"), std::string::npos);
    EXPECT_NE(german.text.find("geschrieben"), std::string::npos);
    const MessageText other =
        databaseUnreadableMessage(std::nullopt, "/w/ms1.txt", "Permission denied");
    EXPECT_EQ(other.title, "for WSJT");
    EXPECT_NE(other.text.find("/w/ms1.txt"), std::string::npos);
    EXPECT_NE(other.text.find("Permission denied"), std::string::npos);
}

TEST(InfoText, GermanHasEightLinesWithTheirBlanks) {
    const std::string expected = std::string("Kelmora-Datenbank-Viewer V 1.0.3 ") +
                                 version::kCopyright +
                                 "  \r\n"
                                 "für die  Kelmora-Datenbank  von Harvend  (User-Version) .   \r\n"
                                 "\r\n"
                                 "Die  Datenbank  muß sich im gleichen  Ordner  befinden    \r\n"
                                 "wie  dieses  Programm.  \r\n"
                                 "\r\n"
                                 "Es kann nach dem Rufzeichen, Locator, Band o.ä.\r\n"
                                 "gesucht werden.";
    EXPECT_EQ(infoText(Language::German, "/ignored"), expected);
}

TEST(InfoText, EnglishHasSevenLinesWithTheFolderOnLineFive) {
    const std::string expected = std::string("Kelmora-Database-Viewer V 1.0.3 ") +
                                 version::kCopyright +
                                 "  \r\n"
                                 "for the  Kelmora-Database  by Harvend  (User-Version) .   \r\n"
                                 "\r\n"
                                 "Please select database in this directory:               \r\n"
                                 "/home/qq/ms\r\n"
                                 "\r\n"
                                 "Search : Call, Locator, QRG .....";
    EXPECT_EQ(infoText(Language::English, "/home/qq/ms"), expected);
}

TEST(VersionText, NumbersAreNeverPadded) {
    EXPECT_EQ(versionText(), "1.0.3");
}

} // namespace
} // namespace kelmora
