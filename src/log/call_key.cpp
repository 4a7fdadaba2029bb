// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/call_key.h"

#include "database/ascii.h"
#include "log/text_word.h"

#include <cstddef>

namespace kelmora::log {
namespace {

// The finaliser of SplitMix64: every input bit reaches every output bit.
constexpr std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

} // namespace

CallKey callKeyOf(std::string_view call) {
    call = ascii::trimBlanks(call);
    std::uint64_t key = mix(0x9E3779B97F4A7C15ull + call.size());
    // Eight bytes at a time, so that calls of up to eight characters take a
    // single round.
    for (std::size_t at = 0; at < call.size(); at += 8) {
        key = mix(key ^ upperCased(wordOf(call.substr(at)))) + 0x9E3779B97F4A7C15ull;
    }
    return {key};
}

} // namespace kelmora::log
