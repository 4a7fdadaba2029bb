// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/packed_locator.h"

#include "geo/locator_cell.h"

namespace kelmora::geo {
namespace {

constexpr std::size_t kSquareLength = 4;
constexpr std::size_t kSubsquareLength = 6;
constexpr unsigned kColumnShift = 13;
constexpr std::uint32_t kRowMask = (std::uint32_t{1} << kColumnShift) - 1;
// Subsquares to a square, along a column or a row.
constexpr std::uint32_t kSubsquaresAcross = 24;

LocatorCell unpacked(std::uint32_t columnAndRow, bool square) {
    const std::uint32_t column = columnAndRow >> kColumnShift;
    const std::uint32_t row = columnAndRow & kRowMask;
    if (square) {
        return {column / kSubsquaresAcross, row / kSubsquaresAcross, kSquareLength};
    }
    return {column, row, kSubsquareLength};
}

} // namespace

std::optional<PackedLocator> PackedLocator::pack(std::string_view locator) {
    auto cell = cellOf(locator);
    if (!cell || cell->length > kSubsquareLength) {
        return std::nullopt;
    }
    std::uint32_t flags = 0;
    if (cell->length == kSquareLength) {
        cell->column *= kSubsquaresAcross;
        cell->row *= kSubsquaresAcross;
        flags = kSquareBit;
    }
    return PackedLocator(flags | (cell->column << kColumnShift) | cell->row);
}

std::string PackedLocator::text() const {
    return textOf(unpacked(code_ & ~kSquareBit, isSquare()));
}

LatLon PackedLocator::centre() const {
    return centreOf(unpacked(code_ & ~kSquareBit, isSquare()));
}

} // namespace kelmora::geo
