// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace kelmora {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F. The five bytes
// the code page leaves undefined map to the C1 control of the same number.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kWindows1252High[byte - 0x80];
    }
    return byte;
}

std::optional<unsigned char> codePointToWindows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<unsigned char>(c);
    }
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
        if (kWindows1252High[i] == c) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at the start of the bytes, 0 if invalid.
std::size_t validSequenceLength(const unsigned char* p, std::size_t available) {
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return available >= 2 && isContinuation(p[1]) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (available < 3 || !isContinuation(p[1]) || !isContinuation(p[2])) {
            return 0;
        }
        if (lead == 0xE0 && p[1] < 0xA0) {
            return 0; // overlong
        }
        if (lead == 0xED && p[1] >= 0xA0) {
            return 0; // surrogate
        }
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (available < 4 || !isContinuation(p[1]) || !isContinuation(p[2]) ||
            !isContinuation(p[3])) {
            return 0;
        }
        if (lead == 0xF0 && p[1] < 0x90) {
            return 0; // overlong
        }
        if (lead == 0xF4 && p[1] >= 0x90) {
            return 0; // beyond U+10FFFF
        }
        return 4;
    }
    return 0;
}

char32_t decodeValidSequence(const unsigned char* p, std::size_t length) {
    switch (length) {
    case 1:
        return p[0];
    case 2:
        return (char32_t{p[0] & 0x1Fu} << 6) | (p[1] & 0x3Fu);
    case 3:
        return (char32_t{p[0] & 0x0Fu} << 12) | (char32_t{p[1] & 0x3Fu} << 6) | (p[2] & 0x3Fu);
    default:
        return (char32_t{p[0] & 0x07u} << 18) | (char32_t{p[1] & 0x3Fu} << 12) |
               (char32_t{p[2] & 0x3Fu} << 6) | (p[3] & 0x3Fu);
    }
}

bool hasHighBit(std::uint64_t word) {
    return (word & 0x8080808080808080ULL) != 0;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t remaining = bytes.size();
    while (remaining > 0) {
        // Database lines are mostly ASCII: skip it eight bytes at a time.
        while (remaining >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (hasHighBit(word)) {
                break;
            }
            p += 8;
            remaining -= 8;
        }
        if (remaining == 0) {
            break;
        }
        const std::size_t length = validSequenceLength(p, remaining);
        if (length == 0) {
            return false;
        }
        p += length;
        remaining -= length;
    }
    return true;
}

LineEncoding encodingOfLine(std::string_view line) {
    return isValidUtf8(line) ? LineEncoding::Utf8 : LineEncoding::Windows1252;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        appendUtf8(out, windows1252ToCodePoint(static_cast<unsigned char>(byte)));
    }
    return out;
}

std::string toDisplayUtf8(std::string_view bytes, LineEncoding encoding) {
    return encoding == LineEncoding::Utf8 ? std::string(bytes) : windows1252ToUtf8(bytes);
}

std::optional<std::string> utf8ToWindows1252(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t remaining = utf8.size();
    std::string out;
    out.reserve(utf8.size());
    while (remaining > 0) {
        const std::size_t length = validSequenceLength(p, remaining);
        if (length == 0) {
            return std::nullopt;
        }
        const auto byte = codePointToWindows1252(decodeValidSequence(p, length));
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*byte));
        p += length;
        remaining -= length;
    }
    return out;
}

bool isWindows1252Character(char32_t c) {
    return codePointToWindows1252(c).has_value();
}

DecodedCharacter decodeCharacter(std::string_view bytes, LineEncoding encoding) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (encoding == LineEncoding::Windows1252) {
        return {windows1252ToCodePoint(p[0]), 1};
    }
    const std::size_t length = validSequenceLength(p, bytes.size());
    if (length == 0) {
        return {p[0], 1}; // not reached for a valid UTF-8 line; keeps the byte as it is
    }
    return {decodeValidSequence(p, length), length};
}

void appendCharacter(std::string& out, char32_t c, LineEncoding encoding) {
    if (encoding == LineEncoding::Utf8) {
        appendUtf8(out, c);
        return;
    }
    const auto byte = codePointToWindows1252(c);
    out.push_back(static_cast<char>(byte ? *byte : '?'));
}

} // namespace kelmora
