// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "log/adif_reader.h"
#include "log/bands.h"
#include "log/call_key.h"
#include "log/grid_square.h"

#include <array>
#include <cstddef>

namespace kelmora::log {

// What one QSO of the log counts for: its call, the bands (its own and all
// bands), the squares it was made with and whether it is confirmed.
struct QsoFacts {
    CallKey call;
    BandMask bands = 0;
    bool confirmed = false;
    // GRIDSQUARE's square and those of VUCC_GRIDS (ADIF 3.1.4 lists
    // two or four); more are not taken.
    static constexpr std::size_t kMostGrids = 5;
    std::array<GridIndex, kMostGrids> grids{};
    std::size_t gridCount = 0;
};

QsoFacts factsOf(const AdifQso& qso);

// Whether a QSL_RCVD, LOTW_QSL_RCVD or EQSL_QSL_RCVD value says the QSO is
// confirmed: ADIF's "Y" (a card received, or the service confirms it) and
// the import-only "V" (verified: award credit granted for the confirmation),
// in either case.
bool saysConfirmed(std::string_view qslReceived);

} // namespace kelmora::log
