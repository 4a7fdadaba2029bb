// SPDX-License-Identifier: GPL-3.0-or-later
// Input: a flag byte (bit 0: the database has a heading line; bit 1: FSK441
// stations only; bits 2 to 4 all set: also write the list to a file), then
// the database.
//
// The formatter, fed the database line by line, must write what a plain
// model of the list rules writes; now and then the whole list is also
// written to a file, which must hold the same bytes.

#include "export/callsign_list.h"

#include "database/line_reader.h"
#include "fuzz_support.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmora::fuzz {
namespace {

char windows1252Byte(char32_t c) {
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (windows1252CodePoint(static_cast<unsigned char>(byte)) == c) {
            return static_cast<char>(byte);
        }
    }
    fail("case mapping left the Windows-1252 repertoire");
}

// The letter pairs of the Windows-1252 repertoire, spelled out rather than
// computed from ranges as the core does; every other character has no case.
constexpr std::u32string_view kLowerLetters =
    U"abcdefghijklmnopqrstuvwxyzàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿšœž";
constexpr std::u32string_view kUpperLetters =
    U"ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŸŠŒŽ";

char32_t swapCase(char32_t c, std::u32string_view from, std::u32string_view to) {
    const std::size_t at = from.find(c);
    return at == std::u32string_view::npos ? c : to[at];
}

char32_t upper(char32_t c) {
    return swapCase(c, kLowerLetters, kUpperLetters);
}

char32_t lower(char32_t c) {
    return swapCase(c, kUpperLetters, kLowerLetters);
}

// Text as characters: code points of a valid UTF-8 line, else one a byte.
struct Text {
    std::u32string characters;
    bool utf8 = true;

    static Text of(std::string_view bytes, bool utf8) {
        if (utf8) {
            std::optional<std::u32string> characters = decodeUtf8(bytes);
            require(characters.has_value(), "a field of a UTF-8 line is not UTF-8");
            return {std::move(*characters), true};
        }
        Text text{{}, false};
        for (const char byte : bytes) {
            text.characters.push_back(windows1252CodePoint(static_cast<unsigned char>(byte)));
        }
        return text;
    }

    std::string bytes() const {
        if (utf8) {
            return encodeUtf8(characters);
        }
        std::string out;
        for (const char32_t c : characters) {
            out += windows1252Byte(c);
        }
        return out;
    }
};

bool isUtf8Line(std::string_view line) {
    return decodeUtf8(line).has_value();
}

std::string leftJustified(Text text, std::size_t width) {
    text.characters.resize(std::min(text.characters.size(), width));
    return text.bytes() + std::string(width - text.characters.size(), ' ');
}

std::string formatLocator(Text locator) {
    for (char32_t& c : locator.characters) {
        c = lower(c);
    }
    std::u32string& characters = locator.characters;
    while (!characters.empty() && characters.front() == U' ') {
        characters.erase(characters.begin());
    }
    while (!characters.empty() && characters.back() == U' ') {
        characters.pop_back();
    }
    for (std::size_t i = 0; i < characters.size() && i < 2; ++i) {
        characters[i] = upper(characters[i]);
    }
    return leftJustified(locator, 6);
}

bool mentionsDigitalMode(std::string_view line) {
    std::u32string text = Text::of(line, isUtf8Line(line)).characters;
    for (char32_t& c : text) {
        c = upper(c);
    }
    return text.find(U"FSK441") != std::u32string::npos ||
           text.find(U"JT44") != std::u32string::npos || text.find(U"WSJT") != std::u32string::npos;
}

// The list rules as the export runs them: columns found from the heading
// line, each station line split as far as the farther of the two columns, and
// a column that no heading names left empty.
class ReferenceList {
public:
    ReferenceList(bool hasHeadingLine, bool fsk441Only)
        : hasHeadingLine_(hasHeadingLine), fsk441Only_(fsk441Only) {}

    void addLine(std::string_view line) {
        if (!headingSeen_) {
            headingSeen_ = true;
            takeHeading(line);
        } else {
            addStation(line);
        }
    }

    const std::string& list() const { return list_; }
    std::uint64_t stations() const { return stations_; }

private:
    void takeHeading(std::string_view line) {
        if (hasHeadingLine_) {
            columns_ = ReferenceColumns::fromHeading(line);
        }
    }

    void addStation(std::string_view line) {
        const auto [callsign, locator] = columns_.fieldsOf(line);
        if (callsign.find('/') != std::string::npos) {
            return;
        }
        if (fsk441Only_ && !mentionsDigitalMode(line)) {
            return;
        }
        const bool utf8 = isUtf8Line(line);
        list_ += leftJustified(Text::of(callsign, utf8), 7);
        list_ += formatLocator(Text::of(locator, utf8));
        list_ += "\r\n";
        ++stations_;
    }

    bool hasHeadingLine_;
    bool fsk441Only_;
    bool headingSeen_ = false;
    ReferenceColumns columns_;
    std::string list_;
    std::uint64_t stations_ = 0;
};

void checkWrittenList(std::string_view database, bool hasHeadingLine, StationSelection selection,
                      const CallsignListFormatter& formatter, const std::string& list) {
    // A folder for one written list, removed with the object.
    const testing::TempFolder folder;
    const std::filesystem::path databasePath = folder.write("ms1.txt", database);
    const std::filesystem::path listPath = folder.path() / "CALLSIGN.TXT";
    const ExportResult result =
        writeCallsignList(databasePath, listPath, hasHeadingLine, selection);
    require(result.status == ExportResult::Status::Written, "the list was not written");
    require(result.stationsWritten == formatter.stationsWritten(),
            "the writer counts other stations than the formatter");
    require(testing::readFile(listPath) == list, "the list file differs from the formatted list");
}

} // namespace
} // namespace kelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmora;
    using namespace kelmora::fuzz;
    InputBytes input(data, size);
    const std::uint8_t flags = input.byte();
    const bool hasHeadingLine = (flags & 0x01) != 0;
    const bool fsk441Only = (flags & 0x02) != 0;
    const bool writeFile = (flags & 0x1C) == 0x1C;
    const std::string_view database = input.rest();

    const StationSelection selection =
        fsk441Only ? StationSelection::Fsk441Only : StationSelection::All;
    CallsignListFormatter formatter(hasHeadingLine, selection);
    ReferenceList reference(hasHeadingLine, fsk441Only);
    std::string list;
    const MemoryFile file(database);
    LineReader reader(file.open(), 4096);
    std::string_view line;
    while (reader.next(line)) {
        formatter.addLine(line, list);
        reference.addLine(line);
    }
    require(list == reference.list(), "the list differs from the model");
    require(formatter.stationsWritten() == reference.stations(), "the station count differs");
    if (writeFile) {
        checkWrittenList(database, hasHeadingLine, selection, formatter, list);
    }
    return 0;
}
