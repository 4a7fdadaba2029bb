// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <string_view>

// Byte-wise helpers for the ASCII part of database text. Every other byte is
// left as it is, so they work alike on Windows-1252 and UTF-8 lines: no byte
// outside ASCII changes its case into an ASCII letter, or from one.
namespace kelmora::ascii {

constexpr char toUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char toLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr bool isAscii(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Without the leading and trailing blanks; other white space stays.
constexpr std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// Whether the text, upper-cased, equals a keyword given in upper case.
constexpr bool equalsIgnoringCase(std::string_view text, std::string_view upperKeyword) {
    return std::equal(text.begin(), text.end(), upperKeyword.begin(), upperKeyword.end(),
                      [](char a, char b) { return toUpper(a) == b; });
}

// Whether the text, upper-cased, contains a keyword given in upper case.
constexpr bool containsIgnoringCase(std::string_view text, std::string_view upperKeyword) {
    if (upperKeyword.empty()) {
        return true;
    }
    if (upperKeyword.size() > text.size()) {
        return false;
    }
    const std::size_t last = text.size() - upperKeyword.size();
    for (std::size_t at = 0; at <= last; ++at) {
        // Most positions fail on their first byte; only the others are compared.
        if (toUpper(text[at]) == upperKeyword.front() &&
            equalsIgnoringCase(text.substr(at, upperKeyword.size()), upperKeyword)) {
            return true;
        }
    }
    return false;
}

} // namespace kelmora::ascii
