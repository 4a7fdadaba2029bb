// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/lookup_station.h"

#include "database/ascii.h"

#include <array>

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

} // namespace

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
