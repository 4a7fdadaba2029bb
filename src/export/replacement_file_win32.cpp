// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/replacement_file.h"
#include "export/temporary_name.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

// On Windows an export holds its temporary file open without letting anyone
// delete it, and marks it hidden; a hidden temporary file that can be deleted
// is a leftover. Wide paths throughout, so that any folder and name work.
namespace kelmora {
namespace {

constexpr int kMaxNameAttempts = 100;

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

// The file that really is replaced (a link is followed to its target), or why
// it cannot be replaced.
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
        target = finalPath(file, path);
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

// Whether another program holds the file open without letting it be deleted,
// as WSJT may hold its list: then it cannot be replaced either.
bool isHeldElsewhere(const std::filesystem::path& file) {
    const HANDLE probe =
        ::CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    }
    ::CloseHandle(probe);
    return false;
}

} // namespace

FileError ReplacementFile::open() {
    if (const FileError error = findTarget(path_, target_)) {
        return error;
    }
    removeLeftovers(target_);
    std::minstd_rand random = temporary_name::randomNames();
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        std::filesystem::path candidate = temporary_name::next(target_, random);
        // No sharing at all: no cleaner of another export can delete it.
        const HANDLE file = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_HIDDEN, nullptr);
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
    if (!::FlushFileBuffers(nativeHandle(handle_))) {
        return lastError();
    }
    // The list itself is not hidden. The attribute goes while the file is
    // still held, so that from now on no cleaner takes it for a leftover.
    FILE_BASIC_INFO attributes{};
    attributes.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(nativeHandle(handle_), FileBasicInfo, &attributes,
                                      sizeof attributes)) {
        return lastError();
    }
    if (!::CloseHandle(nativeHandle(std::exchange(handle_, kNoHandle)))) {
        return lastError();
    }
    if (isHeldElsewhere(target_)) {
        return {FileFailure::InUse};
    }
    if (!::MoveFileExW(temporary_.c_str(), target_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        // Denied over an existing file that is neither a folder nor write
        // protected: another program holds it.
        const bool held = error == ERROR_ACCESS_DENIED &&
                          ::GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES;
        return held ? FileError{FileFailure::InUse, static_cast<int>(error)}
                    : fileErrorFromSystem(static_cast<int>(error));
    }
    temporary_.clear();
    return {};
}

void ReplacementFile::discard() {
    if (handle_ != kNoHandle) {
        ::CloseHandle(nativeHandle(std::exchange(handle_, kNoHandle)));
    }
    if (!temporary_.empty()) {
        ::SetFileAttributesW(temporary_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temporary_.c_str());
        temporary_.clear();
    }
}

} // namespace kelmora
