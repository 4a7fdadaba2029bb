// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelmora {

// The database files are German single-byte text, but files saved by newer
// editors are UTF-8. Each line is taken as UTF-8 when it is valid UTF-8 and
// as Windows-1252 otherwise; a line is never re-encoded on its way to a file.
enum class LineEncoding { Utf8, Windows1252 };

// The UTF-8 byte-order mark that some editors put at the start of a file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool isValidUtf8(std::string_view bytes);
LineEncoding encodingOfLine(std::string_view line);

// Text for the screen: the bytes decoded by the line's encoding, as UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);
std::string toDisplayUtf8(std::string_view bytes, LineEncoding encoding);

// The Windows-1252 form of a UTF-8 text, or nothing when a character of it
// has no Windows-1252 byte (such a text cannot occur in a Windows-1252 line).
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);

// Whether Windows-1252 has a byte for the character.
bool isWindows1252Character(char32_t c);

// One character of a line: its code point and how many bytes it takes. In a
// UTF-8 line a character is one code point, in a Windows-1252 line one byte.
struct DecodedCharacter {
    char32_t codePoint;
    std::size_t length;
};

// The first character of non-empty bytes of a line of that encoding.
DecodedCharacter decodeCharacter(std::string_view bytes, LineEncoding encoding);

// Appends a character in the encoding; it must be one the encoding can hold.
void appendCharacter(std::string& out, char32_t c, LineEncoding encoding);

} // namespace kelmora
