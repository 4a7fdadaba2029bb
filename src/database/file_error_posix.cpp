// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_error.h"

#include <cerrno>
#include <cstring>

namespace kelmora {
namespace {

FileFailure failureOf(int code) {
    switch (code) {
    case ENOENT:
        return FileFailure::NotFound;
    case EISDIR:
        return FileFailure::IsFolder;
    case EACCES:
    case EPERM:
        return FileFailure::PermissionDenied;
    case EROFS:
        return FileFailure::ReadOnlyFileSystem;
    case ENOSPC:
        return FileFailure::NoSpace;
    case EDQUOT:
        return FileFailure::QuotaExceeded;
    case ETXTBSY:
    case EBUSY:
        return FileFailure::InUse;
    case EIO:
        return FileFailure::IoError;
    default:
        return FileFailure::Other;
    }
}

} // namespace

FileError fileErrorFromSystem(int systemCode) {
    return {failureOf(systemCode), systemCode};
}

std::string systemErrorText(int systemCode) {
    return std::strerror(systemCode);
}

} // namespace kelmora
