// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/callsign_list.h"

#include "database/line_reader.h"
#include "export/callsign_list_formatter.h"
#include "export/replacement_file.h"

namespace kelmora {
namespace {

// The list is written in pieces of this size.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;

ExportResult failure(ExportResult::Status status, const std::filesystem::path& file,
                     const FileError& error) {
    ExportResult result;
    result.status = status;
    result.failedFile = file;
    result.error = error;
    return result;
}

} // namespace

ExportResult writeCallsignList(const std::filesystem::path& database,
                               const std::filesystem::path& listPath, bool hasHeadingLine,
                               StationSelection selection) {
    using Status = ExportResult::Status;
    // The database is opened first so that an unreadable one changes nothing.
    LineReader reader{InputFile(database)};
    if (!reader.isOpen()) {
        return failure(Status::DatabaseUnreadable, database, reader.error());
    }
    ReplacementFile list(listPath);
    if (const FileError error = list.open()) {
        return failure(Status::ListNotWritable, listPath, error);
    }

    CallsignListFormatter formatter(hasHeadingLine, selection);
    std::string buffer;
    buffer.reserve(kFlushSize + 64);
    std::string_view line;
    while (reader.next(line)) {
        formatter.addLine(line, buffer);
        if (buffer.size() >= kFlushSize) {
            if (const FileError error = list.write(buffer)) {
                return failure(Status::ListNotWritable, listPath, error);
            }
            buffer.clear();
        }
    }
    if (reader.failed()) {
        return failure(Status::DatabaseUnreadable, database, reader.error());
    }
    if (const FileError error = list.write(buffer)) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    if (const FileError error = list.commit()) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    ExportResult result;
    result.stationsWritten = formatter.stationsWritten();
    return result;
}

} // namespace kelmora
