// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"
#include "export/callsign_list_formatter.h"

#include <cstdint>
#include <filesystem>

namespace kelmora {

struct ExportResult {
    enum class Status {
        Written,            // the list was replaced by the new one
        DatabaseUnreadable, // the database could not be opened or read; nothing changed
        ListNotWritable,    // the list could not be written; the old list is unchanged
        NoLookupList,       // the file to update is no look-up list; it is unchanged
        SameFile,           // two of the look-up list's files are one; every file unchanged
    };
    Status status = Status::Written;
    std::uint64_t stationsWritten = 0;
    // The file that failed and why, when not Written.
    std::filesystem::path failedFile;
    FileError error;
};

// Writes the list for the database to listPath. The new list goes to a
// temporary file in the same folder and replaces the old one only when every
// line is written and on disk; on any failure the old list stays as it was.
ExportResult writeCallsignList(const std::filesystem::path& database,
                               const std::filesystem::path& listPath, bool hasHeadingLine,
                               StationSelection selection);

} // namespace kelmora
