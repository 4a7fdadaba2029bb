// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>

namespace kelmora::testing {

// How a file is held open by another program.
enum class Holding {
    // On Windows without letting anyone delete it (as WSJT may hold its
    // list), on POSIX under an exclusive lock (as a running export holds its
    // temporary file).
    Exclusively,
    // Read, letting others delete and replace it meanwhile, as editors,
    // "tail -f", Java and .NET readers, sync tools and this program's own
    // reader hold a file.
    SharingDelete,
};

// A file held open as another program holds it, for as long as the object
// lives.
class HeldFile {
public:
    explicit HeldFile(const std::filesystem::path& path, Holding holding = Holding::Exclusively);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

private:
    std::intptr_t handle_;
};

// Whether the system replaces a file that is held sharing delete, as POSIX
// does and Windows 10 does on NTFS (a rename with POSIX semantics); Wine and
// older file systems refuse it.
bool replacesFilesHeldSharingDelete();

// Marks a file hidden, or as a file of the system, where the system keeps
// such marks (Windows); on POSIX a leading dot in the name hides a file.
void markHidden(const std::filesystem::path& path);
void markSystem(const std::filesystem::path& path);

// Whether a file carries the archive mark, which Windows sets on a file that
// changed and backup programs clear; POSIX keeps no such mark.
bool isMarkedForArchiving(const std::filesystem::path& path);

} // namespace kelmora::testing
