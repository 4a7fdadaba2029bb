// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace kelmora {

// The file a name leads to, links followed: its device and inode on POSIX,
// its volume serial number and file ID on Windows. Two names with the same
// identity are one file, hard links of it included.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t fileHigh = 0;
    std::uint64_t fileLow = 0;

    bool operator==(const FileIdentity&) const = default;
};

// Finds the identity of the file at path. A name that leads to no file (a
// file still to be made, a dangling link) has none and is no failure.
// Returns why the file could not be looked at, if it could not.
FileError identifyFile(const std::filesystem::path& path, std::optional<FileIdentity>& identity);

} // namespace kelmora
