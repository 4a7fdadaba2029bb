// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/square_outlines.h"

#include <cmath>

namespace kelmora::candidates {
namespace {

constexpr int kColumns = 181; // corners from 180 degrees west to 180 east
constexpr int kRows = 181;    // corners from the south pole to the north pole
// Two corners of one square farther apart than this on the plane lie on
// both sides of the tear at the antipode, as the map's lines do.
constexpr float kTearKm = 2000;

} // namespace

SquareOutlines::SquareOutlines(geo::LatLon centre)
    : map_(centre), corners_(kColumns * kRows), projected_(kColumns * kRows, false) {}

geo::PlanePoint SquareOutlines::corner(int column, int row) {
    const auto at = static_cast<std::size_t>(column * kRows + row);
    if (!projected_[at]) {
        const geo::PlaneKm point = map_.forward({row - 90.0, column * 2 - 180.0});
        corners_[at] = {static_cast<float>(point.x), static_cast<float>(point.y)};
        projected_[at] = true;
    }
    return corners_[at];
}

std::optional<SquareOutlines::Outline> SquareOutlines::outlineOf(log::GridIndex square) {
    if (square >= log::kGridCount) {
        return std::nullopt;
    }
    // The index counts the longitude field, the latitude field, then the
    // square's longitude digit and latitude digit.
    const int fields = square / 100;
    const int column = fields / 18 * 10 + square / 10 % 10;
    const int row = fields % 18 * 10 + square % 10;
    const Outline outline = {corner(column, row), corner(column + 1, row),
                             corner(column + 1, row + 1), corner(column, row + 1)};
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const geo::PlanePoint a = outline[i];
        const geo::PlanePoint b = outline[(i + 1) % outline.size()];
        if (std::hypot(a.x - b.x, a.y - b.y) > kTearKm) {
            return std::nullopt;
        }
    }
    return outline;
}

} // namespace kelmora::candidates
