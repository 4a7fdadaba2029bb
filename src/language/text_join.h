// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"

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

} // namespace kelmora
