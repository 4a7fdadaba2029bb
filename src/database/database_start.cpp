// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/database_start.h"

#include "database/ascii.h"
#include "database/line_reader.h"

namespace kelmora {

bool isHeadingLine(std::string_view line) {
    return ascii::containsIgnoringCase(line, "CALL");
}

DatabaseStart readDatabaseStart(const std::filesystem::path& path) {
    DatabaseStart start;
    LineReader reader{InputFile(path)};
    std::string_view line;
    while (reader.next(line)) {
        if (!isHeadingLine(line)) {
            start.firstStation.emplace(line);
            break;
        }
        start.headingLine.emplace(line);
    }
    start.readable = reader.isOpen() && !reader.failed();
    return start;
}

} // namespace kelmora
