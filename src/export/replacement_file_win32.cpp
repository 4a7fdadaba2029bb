// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_names.h"
#include "export/replacement_file.h"
#include "export/temporary_name.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

// On Windows an export holds its temporary file open without letting anyone
// delete it, and marks it hidden until it is in place; a hidden temporary
// file that can be deleted is a leftover. The file is put in place through
// its own handle, so that no other program (a virus scanner, an indexer) can
// open it in between. Wide paths in their long form throughout, so that any
// folder and name work at any length.
namespace kelmora {
namespace {

constexpr int kMaxNameAttempts = 100;
// Another program may hold the old list for a moment: the move is tried again
// for about a second before the list counts as in use.
constexpr int kMoveAttempts = 10;
constexpr DWORD kMovePauseMilliseconds = 100;

HANDLE nativeHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

FileError lastError() {
    return fileErrorFromSystem(static_cast<int>(::GetLastError()));
}

// The path with links followed, for a file that exists.
std::filesystem::path finalPath(HANDLE file, const std::filesystem::path& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            file, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
        if (length == 0) {
            return path;
        }
        if (length < buffer.size()) {
            return std::filesystem::path(std::wstring(buffer.data(), length));
        }
        buffer.resize(length + 1);
    }
}

// The file that replaces the one at the final path. The name is the one the
// program writes ("CALLSIGN.TXT"), whatever the old file's spelling; a link
// to a file of another name replaces that file under its own name.
std::filesystem::path nameAsWritten(const std::filesystem::path& final,
                                    const std::filesystem::path& written) {
    if (file_names::same(final.filename().native(), written.filename().native())) {
        return final.parent_path() / written.filename();
    }
    return final;
}

bool isReadOnly(const std::filesystem::path& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The file that really is replaced (a link is followed to its target), or why
// it cannot be replaced. The path is in its long form.
FileError findTarget(const std::filesystem::path& path, std::filesystem::path& target) {
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            target = path; // a new file
            return {};
        }
        return fileErrorFromSystem(static_cast<int>(error));
    }
    BY_HANDLE_FILE_INFORMATION information{};
    FileError error;
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        error = {FileFailure::NotOrdinaryFile}; // a device such as NUL or COM1
    } else if (!::GetFileInformationByHandle(file, &information)) {
        error = lastError();
    } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = {FileFailure::IsFolder};
    } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = {FileFailure::PermissionDenied}; // write-protected
    } else {
        target = nameAsWritten(finalPath(file, path), path);
    }
    ::CloseHandle(file);
    return error;
}

// The hidden temporary files of exports of the target that died before they
// could remove them; one that an export still holds cannot be deleted.
void removeLeftovers(const std::filesystem::path& target) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(temporary_name::pattern(target).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const bool hiddenFile = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0 &&
                                (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (hiddenFile && temporary_name::isOf(found.cFileName, target)) {
            ::DeleteFileW((target.parent_path() / found.cFileName).c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Why the file does not open for deletion, or ERROR_SUCCESS:
// ERROR_SHARING_VIOLATION where another program holds it without letting it
// be deleted (as WSJT may hold its list), ERROR_ACCESS_DENIED where the user
// may not delete it.
DWORD deletionRefusal(const std::filesystem::path& file) {
    const HANDLE probe =
        ::CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return ::GetLastError();
    }
    ::CloseHandle(probe);
    return ERROR_SUCCESS;
}

// Held so by another program, the file cannot be replaced either.
bool isHeldElsewhere(const std::filesystem::path& file) {
    return deletionRefusal(file) == ERROR_SHARING_VIOLATION;
}

bool mayBeReplaced(const std::filesystem::path& file) {
    return !isReadOnly(file) && deletionRefusal(file) == ERROR_SUCCESS;
}

// FileRenameInfoEx, which MinGW's header hides behind a version test that
// never holds.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

// Gives the open file the target's name, replacing the target. The target is
// named by its full path: a bare name is taken as relative to the working
// folder by Wine. Flags (for kFileRenameInfoEx) and ReplaceIfExists (for
// FileRenameInfo) share their place.
bool renameWith(HANDLE file, const std::filesystem::path& target, FILE_INFO_BY_HANDLE_CLASS kind,
                DWORD flags) {
    const std::wstring& name = target.native();
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->Flags = flags;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, name.data(), rename->FileNameLength);
    return ::SetFileInformationByHandle(file, kind, rename, static_cast<DWORD>(buffer.size()));
}

// Where the system or the file system does not know the rename with POSIX
// semantics: Windows before 10 1607, FAT, network shares, Wine.
bool refusesPosixRename(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION;
}

// The rename with POSIX semantics replaces a file that others hold open with
// shared delete (editors, "tail -f", Java and .NET readers, sync tools), as
// POSIX does; they keep reading the old file. The classic rename refuses to
// replace any file open elsewhere, with "access denied", as it refuses one
// the user may not replace: a file the user may replace is in use then.
FileError renameTo(HANDLE file, const std::filesystem::path& target) {
    if (renameWith(file, target, kFileRenameInfoEx,
                   FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS)) {
        return {};
    }
    DWORD error = ::GetLastError();
    if (refusesPosixRename(error)) {
        if (renameWith(file, target, FileRenameInfo, TRUE)) {
            return {};
        }
        error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED && mayBeReplaced(target)) {
            return {FileFailure::InUse, static_cast<int>(error)};
        }
    }
    if (error == ERROR_ACCESS_DENIED && isHeldElsewhere(target)) {
        return {FileFailure::InUse, static_cast<int>(error)};
    }
    return fileErrorFromSystem(static_cast<int>(error));
}

// One attempt to put the file in the target's place.
FileError replaceTarget(HANDLE file, const std::filesystem::path& target) {
    if (isHeldElsewhere(target)) {
        return {FileFailure::InUse};
    }
    // Write-protected since it was opened: Wine would replace it all the same.
    if (isReadOnly(target)) {
        return {FileFailure::PermissionDenied};
    }
    return renameTo(file, target);
}

FileError setAttributes(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO information{};
    information.FileAttributes = attributes;
    if (!::SetFileInformationByHandle(file, FileBasicInfo, &information, sizeof information)) {
        return lastError();
    }
    return {};
}

// In place, the file is the list: not hidden, and marked as changed for
// backup programs that go by the archive mark. It is shown only for the
// moment of each attempt, so that an export killed meanwhile leaves a file
// that is still known as its leftover.
FileError moveIntoPlace(HANDLE file, const std::filesystem::path& target) {
    for (int attempt = 1;; ++attempt) {
        if (const FileError error = setAttributes(file, FILE_ATTRIBUTE_ARCHIVE)) {
            return error;
        }
        const FileError error = replaceTarget(file, target);
        if (!error) {
            return {};
        }
        setAttributes(file, FILE_ATTRIBUTE_HIDDEN);
        if (error.failure != FileFailure::InUse || attempt == kMoveAttempts) {
            return error;
        }
        ::Sleep(kMovePauseMilliseconds);
    }
}

} // namespace

FileError ReplacementFile::open() {
    if (const FileError error = findTarget(file_names::longForm(path_), target_)) {
        return error;
    }
    removeLeftovers(target_);
    std::minstd_rand random = temporary_name::randomNames();
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        std::filesystem::path candidate = temporary_name::next(target_, random);
        // No sharing at all: no cleaner of another export can delete it, and
        // nobody can open it before it is in place.
        const HANDLE file = ::CreateFileW(candidate.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(file);
            temporary_ = std::move(candidate);
            return {};
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return lastError();
        }
    }
    return fileErrorFromSystem(ERROR_FILE_EXISTS);
}

FileError ReplacementFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(nativeHandle(handle_), bytes.data(), asked, &written, nullptr)) {
            return lastError();
        }
        bytes.remove_prefix(written);
    }
    return {};
}

FileError ReplacementFile::commit() {
    const HANDLE file = nativeHandle(handle_);
    if (!::FlushFileBuffers(file)) {
        return lastError();
    }
    if (const FileError error = moveIntoPlace(file, target_)) {
        return error;
    }
    temporary_.clear();
    // In place by now, so a failure from here on cannot be reported as "old
    // file unchanged" and is let pass.
    ::FlushFileBuffers(file);
    ::CloseHandle(nativeHandle(std::exchange(handle_, kNoHandle)));
    return {};
}

void ReplacementFile::discard() {
    if (handle_ == kNoHandle) {
        return;
    }
    // Deleted through the handle that still holds it, so that nothing can
    // come between.
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    const bool deleting = !temporary_.empty() &&
                          ::SetFileInformationByHandle(nativeHandle(handle_), FileDispositionInfo,
                                                       &disposition, sizeof disposition);
    ::CloseHandle(nativeHandle(std::exchange(handle_, kNoHandle)));
    if (!temporary_.empty() && !deleting) {
        ::SetFileAttributesW(temporary_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temporary_.c_str());
    }
    temporary_.clear();
}

} // namespace kelmora
