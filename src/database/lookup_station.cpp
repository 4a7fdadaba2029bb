// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/lookup_station.h"

#include "database/ascii.h"
#include "database/x86_simd.h"

#include <array>
#include <cstring>

namespace kelmora {
namespace {

// What a byte may stand for in a callsign or a locator, looked up in a table:
// a million stations are checked while a large database is read.
enum CharacterClass : std::uint8_t {
    kCallCharacter = 1 << 0,   // an ASCII letter or digit
    kDigit = 1 << 1,           // 0-9
    kFieldLetter = 1 << 2,     // A-R in either case
    kSubsquareLetter = 1 << 3, // A-X in either case
};

constexpr std::array<std::uint8_t, 256> kClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (char c = '0'; c <= '9'; ++c) {
        classes[static_cast<unsigned char>(c)] = kCallCharacter | kDigit;
    }
    for (char c = 'A'; c <= 'Z'; ++c) {
        std::uint8_t letter = kCallCharacter;
        letter |= c <= 'R' ? kFieldLetter : 0;
        letter |= c <= 'X' ? kSubsquareLetter : 0;
        classes[static_cast<unsigned char>(c)] = letter;
        classes[static_cast<unsigned char>(ascii::toLower(c))] = letter;
    }
    return classes;
}();

std::uint8_t classOf(char c) {
    return kClasses[static_cast<unsigned char>(c)];
}

// Without the blanks at either end; most fields have none.
std::string_view withoutBlanks(std::string_view field) {
    if (!field.empty() && field.front() != ' ' && field.back() != ' ') {
        return field;
    }
    return ascii::trimBlanks(field);
}

bool isCall(std::string_view call) {
    if (call.size() < 3 || call.size() > LookupStation::kLongestCall) {
        return false;
    }
    std::uint8_t all = kCallCharacter;
    for (const char c : call) {
        all &= classOf(c);
    }
    // A line that starts so ends the list for older readers.
    return all != 0 && !ascii::equalsIgnoringCase(call.substr(0, 4), "ZZZZ");
}

// Field (A-R twice), square (two digits) and, for six characters, the
// subsquare (A-X twice), in either case.
bool isGrid(std::string_view grid) {
    if (grid.size() != 4 && grid.size() != 6) {
        return false;
    }
    const bool square = (classOf(grid[0]) & classOf(grid[1]) & kFieldLetter) != 0 &&
                        (classOf(grid[2]) & classOf(grid[3]) & kDigit) != 0;
    return square &&
           (grid.size() == 4 || (classOf(grid[4]) & classOf(grid[5]) & kSubsquareLetter) != 0);
}

#ifdef KELMORA_SEARCH_X86_SIMD

// The usual station's checks on 16 bytes at once. Comparisons are signed: a
// byte beyond ASCII is negative and in none of the ranges.
__m128i load16(std::string_view field) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(field.data()));
}

__m128i byteValue(int value) {
    return _mm_set1_epi8(static_cast<char>(value));
}

// Lanes whose bytes lie in [first, first + count).
__m128i inRange(__m128i bytes, char first, int count) {
    return _mm_cmplt_epi8(_mm_add_epi8(bytes, byteValue(0x80 - first)), byteValue(-0x80 + count));
}

// Bits for the first `length` lanes.
std::uint32_t firstLanes(std::size_t length) {
    return (std::uint32_t{1} << length) - 1;
}

// The call in upper case, NUL bytes after it; false unless all of the
// field's bytes are ASCII letters and digits and it is neither too short nor
// too long nor the end mark.
bool isPlainCall(std::string_view field, __m128i& upper) {
    if (field.size() < 3 || field.size() > LookupStation::kLongestCall) {
        return false;
    }
    const __m128i bytes = load16(field);
    const __m128i letter = inRange(_mm_or_si128(bytes, byteValue(0x20)), 'a', 26);
    const __m128i alphanumeric = _mm_or_si128(letter, inRange(bytes, '0', 10));
    const std::uint32_t wanted = firstLanes(field.size());
    if ((static_cast<std::uint32_t>(_mm_movemask_epi8(alphanumeric)) & wanted) != wanted) {
        return false;
    }
    const __m128i lanes = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i inField = _mm_cmpgt_epi8(byteValue(static_cast<int>(field.size())), lanes);
    upper = _mm_and_si128(_mm_andnot_si128(_mm_and_si128(letter, byteValue(0x20)), bytes), inField);
    // A call of three has a NUL byte fourth.
    const __m128i endMark = _mm_cmpeq_epi8(upper, byteValue('Z'));
    return (_mm_movemask_epi8(endMark) & 0xF) != 0xF;
}

// The locator in upper case; false unless the field is a locator of 4 or 6
// characters without blanks.
bool isPlainGrid(std::string_view field, __m128i& upper) {
    if (field.size() != 4 && field.size() != 6) {
        return false;
    }
    // Letters are folded to upper case where letters belong; whatever else
    // is folded so lands outside the letters' ranges.
    const __m128i folded =
        _mm_and_si128(load16(field), _mm_setr_epi8(-0x21, -0x21, -1, -1, -0x21, -0x21, 0, 0, 0, 0,
                                                   0, 0, 0, 0, 0, 0));
    const __m128i first = _mm_setr_epi8('A', 'A', '0', '0', 'A', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m128i last = _mm_setr_epi8('R', 'R', '9', '9', 'X', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m128i outside =
        _mm_or_si128(_mm_cmplt_epi8(folded, first), _mm_cmpgt_epi8(folded, last));
    upper = folded;
    return (static_cast<std::uint32_t>(_mm_movemask_epi8(outside)) & firstLanes(field.size())) == 0;
}

#endif

} // namespace

bool LookupStation::takePlain(std::string_view callsign, std::string_view locator,
                              LookupStation& station) {
#ifdef KELMORA_SEARCH_X86_SIMD
    __m128i call;
    __m128i grid;
    if (!isPlainCall(callsign, call) || !isPlainGrid(locator, grid)) {
        return false;
    }
    std::array<char, 16> bytes;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes.data()), call);
    std::memcpy(station.call_.data(), bytes.data(), kLongestCall);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes.data()), grid);
    std::memcpy(station.grid_.data(), bytes.data(), kLongestGrid);
    station.callLength_ = static_cast<std::uint8_t>(callsign.size());
    station.gridLength_ = static_cast<std::uint8_t>(locator.size());
    return true;
#else
    // Where no quote is to be taken off, the fields are as check takes them.
    const auto unquoted = [](std::string_view field) {
        return field.empty() || (field.front() != '"' && field.back() != '"');
    };
    return unquoted(callsign) && unquoted(locator) &&
           check(callsign, locator, station) == Verdict::Taken;
#endif
}

LookupStation::Verdict LookupStation::check(std::string_view callsign, std::string_view locator,
                                            LookupStation& station) {
    // The "/" rule of the callsign list goes first, on the field as it
    // stands; a call of letters and digits between blanks has no "/".
    const std::string_view call = withoutBlanks(callsign);
    if (!isCall(call)) {
        return callsign.find('/') != std::string_view::npos ? Verdict::SlashInCall
                                                            : Verdict::InvalidCall;
    }
    const std::string_view grid = withoutBlanks(locator);
    if (!isGrid(grid)) {
        return Verdict::InvalidLocator;
    }
    station.call_ = {};
    for (std::size_t i = 0; i < call.size(); ++i) {
        station.call_[i] = ascii::toUpper(call[i]);
    }
    for (std::size_t i = 0; i < grid.size(); ++i) {
        station.grid_[i] = ascii::toUpper(grid[i]);
    }
    station.callLength_ = static_cast<std::uint8_t>(call.size());
    station.gridLength_ = static_cast<std::uint8_t>(grid.size());
    return Verdict::Taken;
}

} // namespace kelmora
