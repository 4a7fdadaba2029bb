// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/lat_lon.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora::geo {

// A Maidenhead locator of 4, 6 or 8 characters: field (A-R twice), square
// (two digits), subsquare (A-X twice), extended square (two digits); letters
// in either case, nothing around them. "RR73" is none: in the digital modes
// it is a word of the message (roger, best regards), not a place.
bool isLocator(std::string_view text);

// The locator as it is shown: letters in upper case (JO62qm gives JO62QM).
// Nothing for a text that is no locator.
std::optional<std::string> shownLocator(std::string_view text);

// The centre of the locator's square, subsquare or extended square; nothing
// for a text that is no locator.
std::optional<LatLon> locatorCentre(std::string_view locator);

// The locator of the given length (4, 6 or 8) whose area holds the place.
// Latitude 90 and longitude 180 belong to the last row and column; a
// longitude beyond 180 degrees east or west is taken round the Earth. Empty
// for any other length.
std::string locatorAt(LatLon place, std::size_t length);

} // namespace kelmora::geo
