// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/byte_search.h"

#include "database/x86_simd.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace kelmora {
namespace {

// Line breaks are looked for in growing windows: in a file with only one kind
// of line end, the search for the other kind must not run to the end of the
// block at every hit.
constexpr std::size_t kFirstBreakWindow = 256;
constexpr std::size_t kLastBreakWindow = 64 * 1024;

// The first occurrence of a needle of two or more bytes that lies wholly in
// [from, to), or nullptr.
using PairFinder = const char* (*)(const char* from, const char* to, std::string_view needle);

const char* findPlain(const char* from, const char* to, std::string_view needle) {
    const std::string_view haystack(from, static_cast<std::size_t>(to - from));
    const std::size_t at = haystack.find(needle);
    return at == std::string_view::npos ? nullptr : from + at;
}

#ifdef KELMORA_SEARCH_X86_SIMD

// Both SIMD finders test many start positions at once for the needle's first
// and last byte; the bytes between are compared only where both are in place.
// In station data that pair is rare even when the first byte alone is common
// (every callsign starts with the same prefix letters).

// Compares the middle bytes at every start position set in the mask.
const char* verifyCandidates(const char* base, std::uint32_t mask, std::string_view needle) {
    while (mask != 0) {
        const char* at = base + std::countr_zero(mask);
        if (std::memcmp(at + 1, needle.data() + 1, needle.size() - 2) == 0) {
            return at;
        }
        mask &= mask - 1;
    }
    return nullptr;
}

const char* findPairSse2(const char* from, const char* to, std::string_view needle) {
    constexpr std::size_t kWidth = 16;
    const std::size_t lastOffset = needle.size() - 1;
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    const char* p = from;
    while (static_cast<std::size_t>(to - p) >= kWidth + lastOffset) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + lastOffset));
        const __m128i both =
            _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last));
        const auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(both));
        if (mask != 0) {
            if (const char* found = verifyCandidates(p, mask, needle)) {
                return found;
            }
        }
        p += kWidth;
    }
    return findPlain(p, to, needle);
}

__attribute__((target("avx2"))) std::uint32_t pairMaskAvx2(const char* p, std::size_t lastOffset,
                                                           __m256i first, __m256i last) {
    const __m256i heads = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i tails = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + lastOffset));
    const __m256i both =
        _mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, last));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(both));
}

__attribute__((target("avx2"))) const char* findPairAvx2(const char* from, const char* to,
                                                         std::string_view needle) {
    constexpr std::size_t kWidth = 32;
    const std::size_t lastOffset = needle.size() - 1;
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i last = _mm256_set1_epi8(needle.back());
    const char* p = from;
    // Two vectors a round: a miss on both costs one branch.
    while (static_cast<std::size_t>(to - p) >= 2 * kWidth + lastOffset) {
        const std::uint32_t low = pairMaskAvx2(p, lastOffset, first, last);
        const std::uint32_t high = pairMaskAvx2(p + kWidth, lastOffset, first, last);
        if ((low | high) != 0) {
            if (const char* found = verifyCandidates(p, low, needle)) {
                return found;
            }
            if (const char* found = verifyCandidates(p + kWidth, high, needle)) {
                return found;
            }
        }
        p += 2 * kWidth;
    }
    return findPairSse2(p, to, needle);
}

PairFinder choosePairFinder() {
    return __builtin_cpu_supports("avx2") ? findPairAvx2 : findPairSse2;
}

#else

PairFinder choosePairFinder() {
    return findPlain;
}

#endif

// The last occurrence of the byte in [from, from + length), or nullptr.
const char* lastByte(const char* from, char byte, std::size_t length) {
#ifdef __GLIBC__
    return static_cast<const char*>(::memrchr(from, byte, length));
#else
    for (const char* p = from + length; p != from;) {
        if (*--p == byte) {
            return p;
        }
    }
    return nullptr;
#endif
}

} // namespace

const char* findLineBreak(const char* from, const char* to) {
    std::size_t window = kFirstBreakWindow;
    while (from < to) {
        const std::size_t length = std::min(window, static_cast<std::size_t>(to - from));
        const auto* lf = static_cast<const char*>(std::memchr(from, '\n', length));
        const std::size_t crLength = lf != nullptr ? static_cast<std::size_t>(lf - from) : length;
        const auto* cr = static_cast<const char*>(std::memchr(from, '\r', crLength));
        if (cr != nullptr) {
            return cr;
        }
        if (lf != nullptr) {
            return lf;
        }
        from += length;
        window = std::min(window * 2, kLastBreakWindow);
    }
    return to;
}

const char* findLastLineBreak(const char* from, const char* to) {
    std::size_t window = kFirstBreakWindow;
    while (from < to) {
        const std::size_t length = std::min(window, static_cast<std::size_t>(to - from));
        const char* start = to - length;
        const char* lf = lastByte(start, '\n', length);
        const char* crStart = lf != nullptr ? lf + 1 : start;
        const char* cr = lastByte(crStart, '\r', static_cast<std::size_t>(to - crStart));
        if (cr != nullptr) {
            return cr;
        }
        if (lf != nullptr) {
            return lf;
        }
        to = start;
        window = std::min(window * 2, kLastBreakWindow);
    }
    return nullptr;
}

const char* findBytes(const char* from, const char* to, std::string_view needle) {
    if (static_cast<std::size_t>(to - from) < needle.size()) {
        return nullptr;
    }
    if (needle.size() == 1) {
        return static_cast<const char*>(
            std::memchr(from, needle.front(), static_cast<std::size_t>(to - from)));
    }
    static const PairFinder pairFinder = choosePairFinder();
    return pairFinder(from, to, needle);
}

} // namespace kelmora
