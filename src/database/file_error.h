// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kelmora {

// Why an operation on a file failed: the reasons the program explains in its
// own words, and Other for everything else, which only the system's own code
// and text describe.
enum class FileFailure {
    None,
    NotFound,
    IsFolder,
    NotOrdinaryFile, // a device, a pipe or another special file
    PermissionDenied,
    ReadOnlyFileSystem,
    NoSpace,
    QuotaExceeded,
    InUse, // held by another program
    IoError,
    Other,
};

struct FileError {
    FileFailure failure = FileFailure::None;
    // The system's code (errno, or the Windows error code); 0 where the
    // program found the failure itself.
    int systemCode = 0;

    explicit operator bool() const { return failure != FileFailure::None; }
    bool operator==(const FileError&) const = default;
};

// The failure that a code of the system stands for.
FileError fileErrorFromSystem(int systemCode);

// The system's own description of one of its codes.
std::string systemErrorText(int systemCode);

} // namespace kelmora
