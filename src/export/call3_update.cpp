// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/call3_update.h"

#include "database/file_identity.h"
#include "database/input_file.h"
#include "database/line_reader.h"
#include "database/station_columns.h"
#include "export/replacement_file.h"

#include <optional>
#include <utility>

namespace kelmora {
namespace {

using Status = ExportResult::Status;

#ifdef _WIN32
constexpr LineEnd kSystemLineEnd = LineEnd::CrLf;
#else
constexpr LineEnd kSystemLineEnd = LineEnd::Lf;
#endif

Call3Result failure(Status status, const std::filesystem::path& file, const FileError& error) {
    Call3Result result;
    result.status = status;
    result.failedFile = file;
    result.error = error;
    return result;
}

Call3Result noLookupList(const std::filesystem::path& file, const ListFault& fault) {
    Call3Result result;
    result.status = Status::NoLookupList;
    result.failedFile = file;
    result.listFault = fault;
    return result;
}

Call3Result sameFile(const std::filesystem::path& file, const std::filesystem::path& other) {
    Call3Result result;
    result.status = Status::SameFile;
    result.failedFile = file;
    result.sameFileAs = other;
    return result;
}

bool isOneFile(const std::optional<FileIdentity>& a, const std::optional<FileIdentity>& b) {
    return a && b && *a == *b;
}

// Refuses files that are one, before anything is written: a backup that is
// the list would put the old list over the new one, a backup that is the
// database the old list over the database. A file that does not exist yet
// is none of the others.
std::optional<Call3Result> refuseOneFile(const std::filesystem::path& database,
                                         const std::filesystem::path& listPath, bool hadList) {
    std::optional<FileIdentity> databaseFile;
    std::optional<FileIdentity> listFile;
    if (const FileError error = identifyFile(database, databaseFile)) {
        return failure(Status::DatabaseUnreadable, database, error);
    }
    if (const FileError error = identifyFile(listPath, listFile)) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    if (isOneFile(listFile, databaseFile)) {
        return noLookupList(listPath, {ListFault::Kind::TheDatabase});
    }
    if (!hadList) {
        return std::nullopt; // no backup is made
    }
    const std::filesystem::path backupPath = call3BackupPath(listPath);
    std::optional<FileIdentity> backupFile;
    if (const FileError error = identifyFile(backupPath, backupFile)) {
        return failure(Status::ListNotWritable, backupPath, error);
    }
    if (isOneFile(backupFile, listFile)) {
        return sameFile(backupPath, listPath);
    }
    if (isOneFile(backupFile, databaseFile)) {
        return sameFile(backupPath, database);
    }
    return std::nullopt;
}

// The list as it is, or nothing for a list that does not exist yet.
struct OldList {
    bool exists = false;
    std::string bytes;
    FileError error;
    bool tooLarge = false;
};

OldList readOldList(const std::filesystem::path& path) {
    OldList list;
    InputFile file(path);
    if (!file.isOpen()) {
        if (file.error().failure != FileFailure::NotFound) {
            list.error = file.error();
        }
        return list;
    }
    list.exists = true;
    if (file.size() > LookupList::kLargestList) {
        list.tooLarge = true;
        return list;
    }
    list.bytes.resize(static_cast<std::size_t>(file.size()));
    const std::size_t got = file.read(list.bytes);
    if (file.error()) {
        list.error = file.error();
    }
    list.bytes.resize(got);
    return list;
}

// Feeds every station of the database to the list. Returns why the database
// could not be read, if it could not.
FileError mergeDatabase(LineReader& reader, bool hasHeadingLine, LookupList& list) {
    StationColumns columns(hasHeadingLine);
    std::string_view line;
    if (reader.next(line)) {
        columns.takeHeadingLine(line);
        while (reader.next(line)) {
            const StationColumns::Fields fields = columns.fieldsOf(line);
            LookupStation station;
            const auto verdict = LookupStation::check(fields.callsign, fields.locator, station);
            if (verdict == LookupStation::Verdict::Taken) {
                list.take(station);
            } else {
                list.leaveOut(verdict);
            }
        }
    }
    return reader.error();
}

FileError writeWhole(ReplacementFile& file, std::string_view bytes) {
    if (const FileError error = file.open()) {
        return error;
    }
    return file.write(bytes);
}

// Puts the new list in place and, where there was one, the old list beside
// it as its backup. Both are written whole before either is put in place,
// and the list goes first: a list that cannot be replaced leaves no backup.
Call3Result replaceWithBackup(const LookupList& list, const std::filesystem::path& listPath,
                              bool hadList, const Call3Source& source) {
    ReplacementFile newList(listPath);
    if (const FileError error = newList.open()) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    FileError writeError;
    const bool written =
        list.write(list.ownLine(source.databaseName, source.date), [&](std::string_view piece) {
            writeError = newList.write(piece);
            return !writeError;
        });
    if (!written) {
        return failure(Status::ListNotWritable, listPath, writeError);
    }
    std::optional<ReplacementFile> backup;
    const std::filesystem::path backupPath = call3BackupPath(listPath);
    if (hadList) {
        backup.emplace(backupPath);
        if (const FileError error = writeWhole(*backup, list.bytes())) {
            return failure(Status::ListNotWritable, backupPath, error);
        }
    }
    if (const FileError error = newList.commit()) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    Call3Result result;
    result.counts = list.counts();
    if (!backup) {
        return result;
    }
    result.backupFile = backupPath;
    if (const FileError error = backup->commit()) {
        // Puts the old list back, so that the failure changes nothing.
        ReplacementFile restored(listPath);
        if (!writeWhole(restored, list.bytes()) && !restored.commit()) {
            return failure(Status::ListNotWritable, backupPath, error);
        }
        result.backupError = error;
    }
    return result;
}

} // namespace

std::filesystem::path call3BackupPath(const std::filesystem::path& list) {
    std::filesystem::path name = list.stem();
    name += "_backup";
    name += list.extension();
    return list.parent_path() / name;
}

Call3Result updateCall3List(const std::filesystem::path& database,
                            const std::filesystem::path& listPath, bool hasHeadingLine,
                            const Call3Source& source) {
    // The database is opened first so that an unreadable one changes nothing.
    LineReader reader{InputFile(database)};
    if (!reader.isOpen()) {
        return failure(Status::DatabaseUnreadable, database, reader.error());
    }
    OldList old = readOldList(listPath);
    if (old.error) {
        return failure(Status::ListNotWritable, listPath, old.error);
    }
    const bool hadList = old.exists;
    if (old.tooLarge) {
        return noLookupList(listPath, {ListFault::Kind::TooLarge});
    }
    if (std::optional<Call3Result> refused = refuseOneFile(database, listPath, hadList)) {
        return std::move(*refused);
    }
    LookupList list(std::move(old.bytes), kSystemLineEnd);
    if (list.fault()) {
        return noLookupList(listPath, list.fault());
    }
    if (const FileError error = mergeDatabase(reader, hasHeadingLine, list)) {
        return failure(Status::DatabaseUnreadable, database, error);
    }
    list.finish();
    return replaceWithBackup(list, listPath, hadList, source);
}

} // namespace kelmora
