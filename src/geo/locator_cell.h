// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/lat_lon.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora::geo {

// A locator's area as numbers: its column counted from 180 degrees west and
// its row counted from the south pole, both in areas of the locator's own
// size. Each length divides the world into as many columns as rows: 180 of
// squares (4 characters), 4320 of subsquares (6), 43200 of extended squares
// (8); a column is twice as wide in degrees as a row is high.
struct LocatorCell {
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    std::size_t length = 0;
};

// The one square that the digital modes' "RR73" (roger, best regards) would
// name: a word of a message, never a station's place.
inline constexpr std::string_view kMessageWord = "RR73";

// The columns (and rows) of the world for a locator length of 4, 6 or 8.
std::uint32_t cellsAcross(std::size_t length);

// Nothing for a text that is no locator (see isLocator).
std::optional<LocatorCell> cellOf(std::string_view locator);
// The locator in upper case.
std::string textOf(LocatorCell cell);
LatLon centreOf(LocatorCell cell);
// The cell of the given length that holds the place; a longitude outside
// -180..180 is taken round the Earth, a latitude beyond a pole as the pole.
LocatorCell cellAt(LatLon place, std::size_t length);

} // namespace kelmora::geo
