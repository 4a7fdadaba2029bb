// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelmora::log {

// A Maidenhead square (the first four characters of a locator, JO62) as a
// small number: 18 x 18 fields of 10 x 10 squares give 0 .. 32399, so the
// squares of a band fit in a bit set of 4 KiB.
using GridIndex = std::uint16_t;
inline constexpr std::size_t kGridCount = 18 * 18 * 10 * 10;
inline constexpr GridIndex kNoGrid = 0xFFFF;

// The square of a locator of 4, 6 or 8 characters (letters in either case,
// blanks around it ignored); kNoGrid for any other text, a 2-character field
// among them: it names no square.
GridIndex gridIndexOf(std::string_view locator);

// The square that holds a place given in degrees (latitude -90 to 90,
// longitude -180 to 180; 90 and 180 belong to the last row and column), for
// stations whose locator is kept as a place, such as a square's centre.
GridIndex gridIndexAt(double latitude, double longitude);

// The square's four characters, upper case ("JO62").
std::string gridName(GridIndex grid);

// Calls the function with the square of every locator in a comma-separated
// list (VUCC_GRIDS: "JO62,JO63"); entries that are no locator are passed over.
template <typename Function> void forEachListedGrid(std::string_view list, Function function) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const GridIndex grid = gridIndexOf(list.substr(0, comma));
        if (grid != kNoGrid) {
            function(grid);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
}

} // namespace kelmora::log
