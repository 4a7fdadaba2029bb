// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/lat_lon.h"
#include "geo/locator_cell.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora::geo {

// A locator of 4 or 6 characters (as the stations of a database carry them)
// in 32 bits, so that a million stations keep their places in little memory.
// Equal locators pack to equal values, whatever their letter case.
class PackedLocator {
public:
    PackedLocator() = default;

    // Nothing for a text that is no locator of 4 or 6 characters.
    static std::optional<PackedLocator> pack(std::string_view locator);
    // The same for a locator that the station lists took (LookupStation::grid:
    // 4 or 6 valid characters in upper case), without checking it again:
    // nothing only for "RR73". Inline: a million stations are packed while a
    // large database is read.
    static std::optional<PackedLocator> packTaken(std::string_view grid) {
        auto column = static_cast<std::uint32_t>((grid[0] - 'A') * 10 + (grid[2] - '0'));
        auto row = static_cast<std::uint32_t>((grid[1] - 'A') * 10 + (grid[3] - '0'));
        column *= kSubsquaresAcross;
        row *= kSubsquaresAcross;
        if (grid.size() == 4) {
            if (grid == kMessageWord) {
                return std::nullopt;
            }
            return PackedLocator(kSquareBit | column << kColumnShift | row);
        }
        column += static_cast<std::uint32_t>(grid[4] - 'A');
        row += static_cast<std::uint32_t>(grid[5] - 'A');
        return PackedLocator(column << kColumnShift | row);
    }

    // The locator as it is shown, letters in upper case.
    std::string text() const;
    // The centre of its square or subsquare.
    LatLon centre() const;
    bool isSquare() const { return (code_ & kSquareBit) != 0; }
    std::uint32_t code() const { return code_; }
    // The code's bits above these are always clear.
    static constexpr unsigned kBitsUsed = 27;

    auto operator<=>(const PackedLocator&) const = default;

private:
    // Bits 0-12: the row counted in subsquares from the south pole, 13-25:
    // the column counted in subsquares from 180 degrees west, 26: set for a
    // 4-character locator (row and column then name its square's first
    // subsquare).
    static constexpr std::uint32_t kSquareBit = std::uint32_t{1} << 26;
    static constexpr unsigned kColumnShift = 13;
    // Subsquares to a square, along a column or a row.
    static constexpr std::uint32_t kSubsquaresAcross = 24;
    friend class MapStation;
    explicit PackedLocator(std::uint32_t code) : code_(code) {}
    LocatorCell cell() const;
    std::uint32_t code_ = 0;
};

} // namespace kelmora::geo
