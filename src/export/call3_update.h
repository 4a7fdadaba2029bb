// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"
#include "export/callsign_list.h"
#include "export/lookup_list.h"

#include <filesystem>
#include <string>

namespace kelmora {

// What the comment line of an update records.
struct Call3Source {
    std::string databaseName; // UTF-8
    std::string date;         // such as 2026-12-07
};

struct Call3Result {
    // Written, DatabaseUnreadable, ListNotWritable (the list or its backup
    // could not be read or written), NoLookupList (see listFault) or SameFile
    // (the backup is the list or the database: failedFile and sameFileAs lead
    // to one file); on every failure the list is unchanged and no backup made.
    ExportResult::Status status = ExportResult::Status::Written;
    LookupCounts counts;
    std::filesystem::path failedFile;
    FileError error;
    ListFault listFault;
    std::filesystem::path sameFileAs;
    // The previous list's copy; empty for a new list.
    std::filesystem::path backupFile;
    // Only after a failure that could not be undone: the list is updated,
    // but its previous version could not be kept.
    FileError backupError;
};

// Where the previous version of a list is kept: CALL3.TXT gives
// CALL3_backup.TXT, a name of this program's own (WSJT-X keeps CALL3.OLD).
std::filesystem::path call3BackupPath(const std::filesystem::path& list);

// Merges the stations of the database into WSJT-X's look-up list at listPath,
// which is made when it does not exist. The new list and the copy of the old
// one replace their files as the callsign list does (temporary file, on disk
// first, then put in place); the list is read whole, the database a line at
// a time. The list, its backup and the database must be three files, links
// followed: otherwise nothing is written.
Call3Result updateCall3List(const std::filesystem::path& database,
                            const std::filesystem::path& listPath, bool hasHeadingLine,
                            const Call3Source& source);

} // namespace kelmora
