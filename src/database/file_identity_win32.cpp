// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_identity.h"
#include "database/file_names.h"

#include <cstring>
#include <windows.h>

namespace kelmora {
namespace {

// The 128-bit file ID of ReFS and NTFS (Windows 8 and later), which an
// NTFS volume fills with the 64-bit file index of the older call.
bool readFileId(HANDLE file, FileIdentity& identity) {
    FILE_ID_INFO information{};
    if (!::GetFileInformationByHandleEx(file, FileIdInfo, &information, sizeof information)) {
        return false;
    }
    static_assert(sizeof information.FileId.Identifier == 16);
    identity.volume = information.VolumeSerialNumber;
    std::memcpy(&identity.fileLow, information.FileId.Identifier, 8);
    std::memcpy(&identity.fileHigh, information.FileId.Identifier + 8, 8);
    return true;
}

// Where the file system knows no 128-bit ID (FAT, some network shares).
bool readFileIndex(HANDLE file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information)) {
        return false;
    }
    identity.volume = information.dwVolumeSerialNumber;
    identity.fileHigh = 0;
    identity.fileLow =
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    return true;
}

} // namespace

FileError identifyFile(const std::filesystem::path& path, std::optional<FileIdentity>& identity) {
    identity.reset();
    // Attributes only, which no other program's sharing mode refuses; a
    // folder opens only with backup semantics. Links are followed.
    const HANDLE file = ::CreateFileW(file_names::longForm(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const FileError error = fileErrorFromSystem(static_cast<int>(::GetLastError()));
        return error.failure == FileFailure::NotFound ? FileError{} : error;
    }
    FileIdentity found;
    FileError error;
    if (readFileId(file, found) || readFileIndex(file, found)) {
        identity = found;
    } else {
        error = fileErrorFromSystem(static_cast<int>(::GetLastError()));
    }
    ::CloseHandle(file);
    return error;
}

} // namespace kelmora
