// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The candidates' table as text: rows copied to the clipboard, and the
// table saved as a CSV file. Cells come in as UTF-8.
namespace kelmora::candidates {

// One row of a CSV file (RFC 4180): cells separated by commas, a cell that
// holds a comma, a quote, a line break or blanks at either end in quotes
// (its quotes doubled), CR LF at the end.
std::string csvLine(std::span<const std::string> cells);

// One row for the clipboard: cells separated by tabs, a line feed at the
// end; tabs and line breaks within a cell become blanks, so that every
// spreadsheet takes it as one row.
std::string tabLine(std::span<const std::string> cells);

// Writes the headings and then every row as a CSV file in UTF-8, in place
// of the file at the path only once it is whole. Returns why it failed, if
// it did; the old file is then as it was.
FileError writeCsvFile(const std::filesystem::path& path, std::span<const std::string> headings,
                       std::size_t rows,
                       const std::function<std::vector<std::string>(std::size_t)>& cellsOfRow);

} // namespace kelmora::candidates
