// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_error.h"

#include <windows.h>

namespace kelmora {
namespace {

// Not in every SDK's winerror.h (MinGW-w64's lacks it).
constexpr DWORD kDiskQuotaExceeded = 1295;

FileFailure failureOf(int code) {
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return FileFailure::NotFound;
    case ERROR_ACCESS_DENIED:
        return FileFailure::PermissionDenied;
    case ERROR_WRITE_PROTECT:
        return FileFailure::ReadOnlyFileSystem;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileFailure::NoSpace;
    case kDiskQuotaExceeded:
        return FileFailure::QuotaExceeded;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FileFailure::InUse;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return FileFailure::IoError;
    default:
        return FileFailure::Other;
    }
}

} // namespace

FileError fileErrorFromSystem(int systemCode) {
    return {failureOf(systemCode), systemCode};
}

// The system's text in the user's language, as UTF-8.
std::string systemErrorText(int systemCode) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(systemCode), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8;
    if (length > 0) {
        DWORD kept = length;
        while (kept > 0 && (text[kept - 1] == L'\r' || text[kept - 1] == L'\n' ||
                            text[kept - 1] == L' ' || text[kept - 1] == L'.')) {
            --kept; // the system ends its texts with a full stop and a line break
        }
        const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(kept), nullptr,
                                                0, nullptr, nullptr);
        utf8.resize(static_cast<std::size_t>(bytes));
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(kept), utf8.data(), bytes, nullptr,
                              nullptr);
    }
    ::LocalFree(text);
    return utf8.empty() ? "Windows error " + std::to_string(systemCode) : utf8;
}

} // namespace kelmora
