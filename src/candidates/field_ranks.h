// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "candidates/candidate_order.h"
#include "database/input_file.h"
#include "geo/map_stations.h"

#include <cstddef>
#include <optional>
#include <stop_token>
#include <vector>

namespace kelmora::candidates {

// The sort keys of one of the eight fields (0 to 7) for every station of the
// map: the field's sorting text, ranked. The map keeps no field but the call
// and the locator, so the database is read once more, from the front, each
// station's line found by its offset; a line that is no longer where it was
// (the file changed since) sorts as an empty field. Memory while it runs:
// the texts of that one field. Meant for a thread of its own, which may end
// it early through stop; nothing then, nor when the file cannot be read.
std::optional<std::vector<SortKey>> fieldRanks(InputFile database, const geo::MapStations& stations,
                                               std::size_t field, std::stop_token stop = {});

// The calls' sort keys.
std::vector<SortKey> callRanks(const geo::MapStations& stations);

} // namespace kelmora::candidates
