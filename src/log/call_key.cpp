// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/call_key.h"

#include "database/ascii.h"
#include "log/text_word.h"

#include <array>
#include <cstddef>

namespace kelmora::log {
namespace {

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ull;

// The finaliser of SplitMix64: every input bit reaches every output bit.
constexpr std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

// The key's first value, from the call's length; worked out beforehand for
// the lengths calls have.
constexpr std::uint64_t seedOf(std::size_t size) {
    return mix(kGolden + size);
}
constexpr std::size_t kSeededSizes = 32;
constexpr auto kSeeds = [] {
    std::array<std::uint64_t, kSeededSizes> seeds{};
    for (std::size_t size = 0; size < kSeededSizes; ++size) {
        seeds[size] = seedOf(size);
    }
    return seeds;
}();

} // namespace

CallKey callKeyOf(std::string_view call) {
    call = ascii::trimBlanks(call);
    const std::size_t size = call.size();
    // Eight bytes a round; most calls take one.
    if (size - 1 < 8) {
        return {mix(kSeeds[size] ^ upperCased(wordOf(call))) + kGolden};
    }
    std::uint64_t key = size < kSeededSizes ? kSeeds[size] : seedOf(size);
    for (std::size_t at = 0; at < size; at += 8) {
        key = mix(key ^ upperCased(wordOf(call.substr(at)))) + kGolden;
    }
    return {key};
}

} // namespace kelmora::log
