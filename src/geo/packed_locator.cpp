// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/packed_locator.h"

namespace kelmora::geo {
namespace {

constexpr std::size_t kSquareLength = 4;
constexpr std::size_t kSubsquareLength = 6;

} // namespace

LocatorCell PackedLocator::cell() const {
    const std::uint32_t column = (code_ & ~kSquareBit) >> kColumnShift;
    const std::uint32_t row = code_ & ((std::uint32_t{1} << kColumnShift) - 1);
    if (isSquare()) {
        return {column / kSubsquaresAcross, row / kSubsquaresAcross, kSquareLength};
    }
    return {column, row, kSubsquareLength};
}

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
    return textOf(cell());
}

LatLon PackedLocator::centre() const {
    return centreOf(cell());
}

} // namespace kelmora::geo
