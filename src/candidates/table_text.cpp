// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/table_text.h"

#include "export/replacement_file.h"

namespace kelmora::candidates {
namespace {

// Rows are gathered into blocks of about this size before they are written.
constexpr std::size_t kWriteBlock = 256 * 1024;

bool needsQuotes(std::string_view cell) {
    return cell.find_first_of(",\"\r\n") != std::string_view::npos ||
           (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
}

void appendCsvCell(std::string& line, std::string_view cell) {
    if (!needsQuotes(cell)) {
        line += cell;
        return;
    }
    line += '"';
    for (const char c : cell) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

} // namespace

std::string csvLine(std::span<const std::string> cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        appendCsvCell(line, cells[i]);
    }
    line += "\r\n";
    return line;
}

std::string tabLine(std::span<const std::string> cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            line += '\t';
        }
        for (const char c : cells[i]) {
            line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
        }
    }
    line += '\n';
    return line;
}

FileError writeCsvFile(const std::filesystem::path& path, std::span<const std::string> headings,
                       std::size_t rows,
                       const std::function<std::vector<std::string>(std::size_t)>& cellsOfRow) {
    ReplacementFile file(path);
    if (const FileError error = file.open()) {
        return error;
    }
    std::string block = csvLine(headings);
    for (std::size_t row = 0; row < rows; ++row) {
        block += csvLine(cellsOfRow(row));
        if (block.size() >= kWriteBlock) {
            if (const FileError error = file.write(block)) {
                return error;
            }
            block.clear();
        }
    }
    if (const FileError error = file.write(block)) {
        return error;
    }
    return file.commit();
}

} // namespace kelmora::candidates
