// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelmora::log {

// Up to eight bytes of a short text as one number, the first byte lowest,
// the bytes beyond the text zero: calls, band names and the like are then
// compared and hashed without a loop over their bytes.
using TextWord = std::uint64_t;

constexpr TextWord wordOf(std::string_view text) {
    TextWord word = 0;
    for (std::size_t at = 0; at < text.size() && at < 8; ++at) {
        word |= TextWord{static_cast<unsigned char>(text[at])} << (8 * at);
    }
    return word;
}

// The word with the letters a-z in upper case and every other byte as it
// is, all eight at once: a byte below 0x80 whose low seven bits lie from
// "a" to "z" loses 0x20.
constexpr TextWord upperCased(TextWord word) {
    constexpr TextWord kOnes = 0x0101010101010101ull;
    constexpr TextWord kTops = 0x8080808080808080ull;
    const TextWord low = word & ~kTops;
    const TextWord fromA = low + kOnes * (0x80 - 'a');       // top bit set from "a" on
    const TextWord beyondZ = low + kOnes * (0x80 - 'z' - 1); // top bit set beyond "z"
    const TextWord lowerCase = fromA & ~beyondZ & ~word & kTops;
    return word - (lowerCase >> 2);
}

static_assert(upperCased(wordOf("az{`AZ@_")) == wordOf("AZ{`AZ@_"));
static_assert(upperCased(wordOf("\xE4\xC4\xFA")) == wordOf("\xE4\xC4\xFA"));

} // namespace kelmora::log
