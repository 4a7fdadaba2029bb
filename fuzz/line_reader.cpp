// SPDX-License-Identifier: GPL-3.0-or-later
// Input: one byte for the block size, then the file.
//
// The reader runs with tiny blocks, so that CR LF pairs, the byte-order mark
// and long lines fall across block boundaries; its lines and their offsets
// must be those of the plain splitter, and every line must turn into valid UTF-8 for display.

#include "database/line_reader.h"

#include "database/text_encoding.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::fuzz {
namespace {

struct ReadLine {
    std::string text;
    std::uint64_t offset;
};

std::vector<ReadLine> readLines(const MemoryFile& file, std::size_t blockSize) {
    LineReader reader(file.open(), blockSize);
    std::vector<ReadLine> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.push_back({std::string(line), reader.lineOffset()});
    }
    require(!reader.failed(), "reading a memfd failed");
    return lines;
}

// Walking a line character by character and writing the characters back
// must give the line again, in either encoding.
void checkCharacterWalk(std::string_view line, LineEncoding encoding,
                        const std::optional<std::u32string>& codePoints) {
    std::string rebuilt;
    std::size_t offset = 0;
    std::size_t count = 0;
    while (offset < line.size()) {
        const DecodedCharacter character = decodeCharacter(line.substr(offset), encoding);
        require(character.length >= 1 && character.length <= line.size() - offset,
                "decodeCharacter gave a length outside the line");
        if (encoding == LineEncoding::Utf8) {
            require(count < codePoints->size() && character.codePoint == (*codePoints)[count],
                    "decodeCharacter differs from the reference decoder");
        }
        appendCharacter(rebuilt, character.codePoint, encoding);
        offset += character.length;
        ++count;
    }
    require(rebuilt == line, "decoded characters do not write back to the same bytes");
}

void checkWindows1252Display(std::string_view line, const std::string& display) {
    const auto codePoints = decodeUtf8(display);
    require(codePoints.has_value(), "windows1252ToUtf8 gave invalid UTF-8");
    require(codePoints->size() == line.size(), "windows1252ToUtf8 is not one character a byte");
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        require((*codePoints)[i] == windows1252CodePoint(byte),
                "windows1252ToUtf8 gave the wrong character for a byte");
    }
    require(utf8ToWindows1252(display) == std::string(line),
            "Windows-1252 text does not survive the way to UTF-8 and back");
}

void checkDisplay(std::string_view line) {
    const auto codePoints = decodeUtf8(line);
    require(isValidUtf8(line) == codePoints.has_value(), "isValidUtf8 disagrees with the decoder");
    const LineEncoding encoding = encodingOfLine(line);
    const std::string display = toDisplayUtf8(line, encoding);
    if (encoding == LineEncoding::Utf8) {
        require(display == line, "a UTF-8 line changed on its way to the screen");
        const auto narrowed = utf8ToWindows1252(line);
        if (narrowed) {
            require(windows1252ToUtf8(*narrowed) == line, "utf8ToWindows1252 lost characters");
        }
    } else {
        checkWindows1252Display(line, display);
    }
    checkCharacterWalk(line, encoding, codePoints);
}

} // namespace
} // namespace kelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmora::fuzz;
    InputBytes input(data, size);
    const std::size_t blockSize = 1 + input.byte() % 64;
    const std::string_view bytes = input.rest();

    const MemoryFile file(bytes);
    const std::vector<ReadLine> lines = readLines(file, blockSize);
    const std::vector<std::string_view> expected = referenceLines(bytes);
    require(lines.size() == expected.size(), "number of lines differs from the reference");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        require(lines[i].text == expected[i], "a line differs from the reference");
        require(lines[i].offset == static_cast<std::uint64_t>(expected[i].data() - bytes.data()),
                "a line's offset differs from the reference");
        checkDisplay(lines[i].text);
    }
    return 0;
}
