// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/locator.h"

#include "database/ascii.h"
#include "geo/locator_cell.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelmora::geo {
namespace {

// Each pair of characters names a column and a row within the area of the
// pair before it: the field (18 letters A-R), the square (10 digits), the
// subsquare (24 letters A-X), the extended square (10 digits).
struct Division {
    std::uint32_t count;
    char first;
};
constexpr std::array<Division, 4> kDivisions = {{{18, 'A'}, {10, '0'}, {24, 'A'}, {10, '0'}}};

std::optional<std::uint32_t> valueOf(char c, const Division& division) {
    const int value = ascii::toUpper(c) - division.first;
    if (value < 0 || value >= static_cast<int>(division.count)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

bool isLocatorLength(std::size_t length) {
    return length == 4 || length == 6 || length == 8;
}

double wrappedLongitude(double longitude) {
    if (!std::isfinite(longitude)) {
        return 0;
    }
    if (longitude < -180 || longitude > 180) {
        longitude = std::fmod(longitude + 180, 360);
        longitude += longitude < 0 ? 180 : -180;
    }
    return longitude;
}

// Which of cells equal parts of span holds the point fromStart; the end of
// the span belongs to the last part.
std::uint32_t cellIndex(double fromStart, double span, std::uint32_t cells) {
    const double index = std::floor(fromStart * cells / span);
    return static_cast<std::uint32_t>(std::clamp(index, 0.0, static_cast<double>(cells - 1)));
}

} // namespace

std::uint32_t cellsAcross(std::size_t length) {
    std::uint32_t cells = 1;
    for (std::size_t pair = 0; pair < length / 2 && pair < kDivisions.size(); ++pair) {
        cells *= kDivisions[pair].count;
    }
    return cells;
}

std::optional<LocatorCell> cellOf(std::string_view locator) {
    if (!isLocatorLength(locator.size()) || ascii::equalsIgnoringCase(locator, kMessageWord)) {
        return std::nullopt;
    }
    LocatorCell cell{0, 0, locator.size()};
    for (std::size_t pair = 0; pair < locator.size() / 2; ++pair) {
        const auto column = valueOf(locator[2 * pair], kDivisions[pair]);
        const auto row = valueOf(locator[2 * pair + 1], kDivisions[pair]);
        if (!column || !row) {
            return std::nullopt;
        }
        cell.column = cell.column * kDivisions[pair].count + *column;
        cell.row = cell.row * kDivisions[pair].count + *row;
    }
    return cell;
}

std::string textOf(LocatorCell cell) {
    std::string text(cell.length, ' ');
    for (std::size_t pair = cell.length / 2; pair-- > 0;) {
        const Division& division = kDivisions[pair];
        text[2 * pair] = static_cast<char>(division.first + cell.column % division.count);
        text[2 * pair + 1] = static_cast<char>(division.first + cell.row % division.count);
        cell.column /= division.count;
        cell.row /= division.count;
    }
    return text;
}

LatLon centreOf(LocatorCell cell) {
    const double cells = cellsAcross(cell.length);
    return {-90 + (cell.row + 0.5) * 180 / cells, -180 + (cell.column + 0.5) * 360 / cells};
}

LocatorCell cellAt(LatLon place, std::size_t length) {
    const std::uint32_t cells = cellsAcross(length);
    const double latitude = std::isfinite(place.latitude) ? place.latitude : 0;
    return {cellIndex(wrappedLongitude(place.longitude) + 180, 360, cells),
            cellIndex(latitude + 90, 180, cells), length};
}

bool isLocator(std::string_view text) {
    return cellOf(text).has_value();
}

std::optional<std::string> shownLocator(std::string_view text) {
    const auto cell = cellOf(text);
    return cell ? std::optional(textOf(*cell)) : std::nullopt;
}

std::optional<LatLon> locatorCentre(std::string_view locator) {
    const auto cell = cellOf(locator);
    return cell ? std::optional(centreOf(*cell)) : std::nullopt;
}

std::string locatorAt(LatLon place, std::size_t length) {
    return isLocatorLength(length) ? textOf(cellAt(place, length)) : std::string();
}

} // namespace kelmora::geo
