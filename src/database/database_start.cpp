#include "database/database_start.h"

#include "database/line_reader.h"
#include "database/text_encoding.h"

namespace kelmora {

bool isHeadingLine(std::string_view line) {
    return containsIgnoringAsciiCase(line, "CALL");
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
