// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelmora::log {

// The bands the user can look at, in the order the band chooser lists them,
// and all bands together.
enum class Band : std::uint8_t {
    TwoMetres,
    SixMetres,
    FourMetres,
    SeventyCentimetres,
    TwentyThreeCentimetres,
    All,
};
inline constexpr std::size_t kBandCount = 6;
inline constexpr std::array<Band, kBandCount> kBands = {
    Band::TwoMetres,
    Band::SixMetres,
    Band::FourMetres,
    Band::SeventyCentimetres,
    Band::TwentyThreeCentimetres,
    Band::All,
};

// One bit per band, for the bands a QSO or a call counts on.
using BandMask = std::uint8_t;
constexpr BandMask bandBit(Band band) {
    return static_cast<BandMask>(1u << static_cast<unsigned>(band));
}

// The band of a QSO as the log gives it: BAND (an ADIF band name in any
// case), or where BAND is missing or names no band, FREQ in MHz placed by
// the band edges. Nothing when the QSO was made on another band or the log
// says not where: it then counts for all bands only.
std::optional<Band> bandOfQso(std::string_view band, std::string_view frequencyMHz);

} // namespace kelmora::log
