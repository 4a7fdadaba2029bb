// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/qso_facts.h"

#include "database/ascii.h"

#include <algorithm>

namespace kelmora::log {
namespace {

void addGrid(QsoFacts& facts, GridIndex grid) {
    const auto taken = facts.grids.begin() + static_cast<std::ptrdiff_t>(facts.gridCount);
    if (facts.gridCount < QsoFacts::kMostGrids &&
        std::find(facts.grids.begin(), taken, grid) == taken) {
        facts.grids[facts.gridCount++] = grid;
    }
}

} // namespace

bool saysConfirmed(std::string_view qslReceived) {
    qslReceived = ascii::trimBlanks(qslReceived);
    const char lower = static_cast<char>(qslReceived.empty() ? 0 : qslReceived.front() | 0x20);
    return qslReceived.size() == 1 && (lower == 'y' || lower == 'v');
}

QsoFacts factsOf(const AdifQso& qso) {
    QsoFacts facts;
    facts.call = callKeyOf(qso.call);
    facts.bands = bandBit(Band::All);
    if (const std::optional<Band> band = bandOfQso(qso.band, qso.frequency)) {
        facts.bands |= bandBit(*band);
    }
    facts.confirmed = saysConfirmed(qso.qslReceived) || saysConfirmed(qso.lotwQslReceived) ||
                      saysConfirmed(qso.eqslQslReceived);
    if (const GridIndex grid = gridIndexOf(qso.gridSquare); grid != kNoGrid) {
        addGrid(facts, grid);
    }
    forEachListedGrid(qso.vuccGrids, [&facts](GridIndex grid) { addGrid(facts, grid); });
    return facts;
}

} // namespace kelmora::log
