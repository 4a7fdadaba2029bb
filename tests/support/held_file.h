// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>

namespace kelmora::testing {

// A file held open as another program holds it, for as long as the object
// lives: on Windows without letting anyone delete it (as WSJT may hold its
// list), on POSIX under an exclusive lock (as a running export holds its
// temporary file).
class HeldFile {
public:
    explicit HeldFile(const std::filesystem::path& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

private:
    std::intptr_t handle_;
};

// Marks a file hidden, or as a file of the system, where the system keeps
// such marks (Windows); on POSIX a leading dot in the name hides a file.
void markHidden(const std::filesystem::path& path);
void markSystem(const std::filesystem::path& path);

} // namespace kelmora::testing
