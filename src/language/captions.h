// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora {

// The two languages of the window. A language code selects one only when it
// is exactly "de" or "en"; any other code selects none, and then nothing that
// depends on the language is shown or written.
enum class Language { German, English };

constexpr bool german(Language language) {
    return language == Language::German;
}

std::optional<Language> languageFromCode(std::string_view code);

// Joins the lines of every multi-line message.
inline constexpr std::string_view kLineBreak = "\r\n";

enum class CaptionProperty { WindowTitle, Caption, ToolTip };

// One row of the caption table: what the window shows in each language.
// "&" marks the access key of a caption.
struct CaptionRow {
    std::string_view control;
    CaptionProperty property;
    std::string_view german;
    std::string_view english;

    std::string_view text(Language language) const {
        return language == Language::German ? german : english;
    }
};

// In the order in which the window writes them. The window title is the
// text of its row followed directly by the copyright line.
extern const std::array<CaptionRow, 27> kCaptionTable;

std::string windowTitle(Language language);

// The headings of fields 1 to 8 when the database has no heading line.
const std::array<std::string_view, 8>& defaultHeadings(Language language);

// A message box's title and text, in UTF-8.
struct MessageText {
    std::string title;
    std::string text;
};

// The notice for a database that does not exist; databasePath is the folder,
// the separator and the file name ("ms*.txt" when none was given).
MessageText missingDatabaseNotice(Language language, std::string_view databasePath);

// The question after a search hit whose callsign is not the search text.
MessageText searchGoOnQuestion(Language language);
// The message after a search without any hit.
MessageText searchNoHitMessage(Language language, std::string_view searchText);

// The message after the callsign list was written into the folder. For a
// language code that selects no language the title is empty and the text
// ends after the file name.
MessageText callsignListWrittenMessage(std::optional<Language> language, std::string_view folder);

// The messages when the list could not be made; nothing was changed. For a
// language code that selects no language they are in English.
MessageText databaseUnreadableMessage(std::optional<Language> language,
                                      std::string_view databaseFile, std::string_view reason);
MessageText callsignListNotWrittenMessage(std::optional<Language> language,
                                          std::string_view listFile, std::string_view reason);

// Why a file could not be read or written, in the program's own words; nothing
// for a failure that only the system's own text describes.
std::optional<std::string_view> fileFailureReason(Language language, FileFailure failure);

} // namespace kelmora
