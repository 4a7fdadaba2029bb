// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

// How the message texts are put together.
namespace kelmora {

// The lines of a message, joined by kLineBreak.
inline std::string joinLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (const std::string_view line : lines) {
        if (!std::exchange(first, false)) {
            text += kLineBreak;
        }
        text += line;
    }
    return text;
}

inline std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text += part;
    }
    return text;
}

// A whole number with its thousands grouped as the language writes them:
// "12.345" in German, "12,345" in English.
inline std::string groupedNumber(Language language, std::uint64_t number) {
    const std::string digits = std::to_string(number);
    const char separator = language == Language::German ? '.' : ',';
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += separator;
        }
        grouped += digits[i];
    }
    return grouped;
}

} // namespace kelmora
