// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace kelmora {

// The new version of a file, written under a temporary name in the same
// folder and put in the old one's place only by commit(): until then the old
// file is untouched, and the temporary file goes with the object. A link at
// the path is followed and its target replaced. A folder, a device and a
// write-protected file are refused.
class ReplacementFile {
public:
    explicit ReplacementFile(std::filesystem::path path);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Each returns why it failed, if it did; after a failure the old file is
    // still as it was.
    FileError open();
    FileError write(std::string_view bytes);
    // Puts the whole new file on disk, then in the old one's place.
    FileError commit();

private:
    void discard();

    std::filesystem::path path_;
    std::filesystem::path target_; // path_ with links followed
    std::filesystem::path temporary_;
    std::intptr_t handle_ = kNoHandle; // of the temporary file

    static constexpr std::intptr_t kNoHandle = -1;
};

} // namespace kelmora
