// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/grid_square.h"

#include "database/ascii.h"

#include <algorithm>

namespace kelmora::log {
namespace {

// Its place in the alphabet, from 0 for "A" or "a"; beyond 25 for any byte
// that is no letter.
unsigned letterIndex(char c) {
    return static_cast<unsigned char>((static_cast<unsigned char>(c) | 0x20) - 'a');
}

bool isLetterUpTo(char c, char last) {
    return letterIndex(c) <= static_cast<unsigned>(last - 'A');
}

// Field letters A-R, square digits, subsquare letters A-X, extended digits.
bool isLocatorText(std::string_view text) {
    if (text.size() != 4 && text.size() != 6 && text.size() != 8) {
        return false;
    }
    if (!isLetterUpTo(text[0], 'R') || !isLetterUpTo(text[1], 'R') || !ascii::isDigit(text[2]) ||
        !ascii::isDigit(text[3])) {
        return false;
    }
    if (text.size() >= 6 && (!isLetterUpTo(text[4], 'X') || !isLetterUpTo(text[5], 'X'))) {
        return false;
    }
    return text.size() < 8 || (ascii::isDigit(text[6]) && ascii::isDigit(text[7]));
}

} // namespace

GridIndex gridIndexOf(std::string_view locator) {
    locator = ascii::trimBlanks(locator);
    if (!isLocatorText(locator)) {
        return kNoGrid;
    }
    const auto longitudeField = static_cast<int>(letterIndex(locator[0]));
    const auto latitudeField = static_cast<int>(letterIndex(locator[1]));
    return static_cast<GridIndex>(
        ((longitudeField * 18 + latitudeField) * 10 + (locator[2] - '0')) * 10 +
        (locator[3] - '0'));
}

GridIndex gridIndexAt(double latitude, double longitude) {
    if (!(latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180)) {
        return kNoGrid;
    }
    // Squares are 2 degrees of longitude by 1 of latitude, 180 of each.
    const int column = std::min(static_cast<int>((longitude + 180) / 2), 179);
    const int row = std::min(static_cast<int>(latitude + 90), 179);
    return static_cast<GridIndex>(((column / 10 * 18 + row / 10) * 10 + column % 10) * 10 +
                                  row % 10);
}

std::string gridName(GridIndex grid) {
    if (grid >= kGridCount) {
        return {};
    }
    const int fields = grid / 100;
    return {static_cast<char>('A' + fields / 18), static_cast<char>('A' + fields % 18),
            static_cast<char>('0' + grid / 10 % 10), static_cast<char>('0' + grid % 10)};
}

} // namespace kelmora::log
