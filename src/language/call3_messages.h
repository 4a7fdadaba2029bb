// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/lookup_list.h"
#include "language/captions.h"

#include <optional>
#include <string>
#include <string_view>

// The texts of the update of WSJT-X's look-up list: its save dialog and its
// messages, which name every file by its full path.
namespace kelmora::call3_messages {

std::string dialogTitle(Language language);
// The dialog's file types, in the form Qt's file dialog reads.
std::string fileFilters(Language language);

// The report: where the list went, where the previous one is kept (empty
// for a new list), and what became of the database's stations.
// backupFailure says why the previous list could not be kept, if it could not.
MessageText updated(Language language, std::string_view listFile, std::string_view backupName,
                    const LookupCounts& counts, std::optional<std::string_view> backupFailure);

// The failures; each leaves the list unchanged.
MessageText databaseUnreadable(Language language, std::string_view databaseFile,
                               std::string_view reason);
MessageText listNotUpdated(Language language, std::string_view file, std::string_view reason);
MessageText noLookupList(Language language, std::string_view file, const ListFault& fault);
// Two of the list, its backup and the database are one file.
MessageText sameFile(Language language, std::string_view file, std::string_view otherFile);

} // namespace kelmora::call3_messages
