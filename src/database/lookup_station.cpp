// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/lookup_station.h"

#include "database/ascii.h"

namespace kelmora {
namespace {

constexpr bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// An upper-case letter no later than last in the alphabet.
constexpr bool isLetterUpTo(char c, char last) {
    const char upper = ascii::toUpper(c);
    return upper >= 'A' && upper <= last;
}

bool isCall(std::string_view call) {
    if (call.size() < 3 || call.size() > LookupStation::kLongestCall) {
        return false;
    }
    for (const char c : call) {
        if (!isLetter(c) && !isDigit(c)) {
            return false;
        }
    }
    // A line that starts so ends the list for older readers.
    return !ascii::equalsIgnoringCase(call.substr(0, 4), "ZZZZ");
}

// Field (A-R twice), square (two digits) and, for six characters, the
// subsquare (A-X twice), in either case.
bool isGrid(std::string_view grid) {
    if (grid.size() != 4 && grid.size() != 6) {
        return false;
    }
    if (!isLetterUpTo(grid[0], 'R') || !isLetterUpTo(grid[1], 'R') || !isDigit(grid[2]) ||
        !isDigit(grid[3])) {
        return false;
    }
    return grid.size() == 4 || (isLetterUpTo(grid[4], 'X') && isLetterUpTo(grid[5], 'X'));
}

} // namespace

LookupStation::Verdict LookupStation::check(std::string_view callsign, std::string_view locator,
                                            LookupStation& station) {
    // The "/" rule of the callsign list, on the field as it stands.
    if (callsign.find('/') != std::string_view::npos) {
        return Verdict::SlashInCall;
    }
    const std::string_view call = ascii::trimBlanks(callsign);
    if (!isCall(call)) {
        return Verdict::InvalidCall;
    }
    const std::string_view grid = ascii::trimBlanks(locator);
    if (!isGrid(grid)) {
        return Verdict::InvalidLocator;
    }
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
