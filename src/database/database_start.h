// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kelmora {

// What the opening of a database shows: its heading line and first station.
struct DatabaseStart {
    // The last of the leading lines whose upper-case text contains "CALL".
    std::optional<std::string> headingLine;
    // The first line without "CALL"; none when the file could not be read,
    // is empty, or holds heading lines only.
    std::optional<std::string> firstStation;
    // The file could be opened and was read without an error.
    bool readable = false;
};

// Reads the lines at the top of the file up to the first station line.
DatabaseStart readDatabaseStart(const std::filesystem::path& path);

bool isHeadingLine(std::string_view line);

} // namespace kelmora
