// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace kelmora::log {

// Up to eight bytes of a short text as one number, the first byte lowest,
// the bytes beyond the text zero: calls, band names and the like are then
// compared and hashed without a loop over their bytes.
using TextWord = std::uint64_t;

constexpr TextWord wordOf(std::string_view text) {
    if (std::is_constant_evaluated() || std::endian::native != std::endian::little) {
        TextWord word = 0;
        for (std::size_t at = 0; at < text.size() && at < 8; ++at) {
            word |= TextWord{static_cast<unsigned char>(text[at])} << (8 * at);
        }
        return word;
    }
    // At most two loads, which overlap for four to seven bytes, and never
    // a byte beyond the text.
    const char* const bytes = text.data();
    const std::size_t size = text.size();
    if (size >= 8) {
        TextWord word = 0;
        std::memcpy(&word, bytes, 8);
        return word;
    }
    if (size >= 4) {
        std::uint32_t front = 0;
        std::uint32_t back = 0;
        std::memcpy(&front, bytes, 4);
        std::memcpy(&back, bytes + size - 4, 4);
        return front | TextWord{back} << (8 * (size - 4));
    }
    const auto byteAt = [bytes](std::size_t at) {
        return TextWord{static_cast<unsigned char>(bytes[at])} << (8 * at);
    };
    return size == 0 ? 0 : byteAt(0) | byteAt(size / 2) | byteAt(size - 1);
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
