// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"
#include "language/captions.h"

#include <filesystem>
#include <optional>
#include <string>

// How the messages about files name the file and the failure.
namespace kelmora::failure_text {

// The file's full path with the system's own separators, in UTF-8.
std::string fileName(const std::filesystem::path& path);

// The program's own words for the failure, else the system's text for its
// code. For a language code that selects no language, in English.
std::string reason(std::optional<Language> language, const FileError& error);

} // namespace kelmora::failure_text
