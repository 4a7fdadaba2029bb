// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/field_ranks.h"

#include "candidates/station_fields.h"
#include "database/line_reader.h"

#include <string>
#include <string_view>

namespace kelmora::candidates {
namespace {

// How many lines are read between two looks at the stop token.
constexpr std::size_t kLinesBetweenLooks = 4096;

} // namespace

std::optional<std::vector<SortKey>> fieldRanks(InputFile database, const geo::MapStations& stations,
                                               std::size_t field, std::stop_token stop) {
    const auto all = stations.stations();
    // The texts one after the other, and where each station's starts.
    std::string texts;
    std::vector<std::size_t> starts(all.size() + 1, 0);
    LineReader reader(std::move(database));
    std::string_view line;
    std::size_t station = 0;
    std::size_t lines = 0;
    while (station < all.size() && reader.next(line)) {
        if (++lines % kLinesBetweenLooks == 0 && stop.stop_requested()) {
            return std::nullopt;
        }
        // Lines that are no station of the map lie between those that are.
        while (station < all.size() && all[station].lineOffset() < reader.lineOffset()) {
            starts[++station] = texts.size();
        }
        if (station < all.size() && all[station].lineOffset() == reader.lineOffset()) {
            texts += sortingText(shownField(line, field));
            starts[++station] = texts.size();
        }
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    while (station < all.size()) {
        starts[++station] = texts.size();
    }
    std::vector<std::string_view> views(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        views[i] = std::string_view(texts).substr(starts[i], starts[i + 1] - starts[i]);
    }
    return ranksOf(views);
}

std::vector<SortKey> callRanks(const geo::MapStations& stations) {
    std::vector<std::string_view> calls;
    calls.reserve(stations.size());
    for (const geo::MapStation& station : stations.stations()) {
        calls.push_back(station.call());
    }
    return ranksOf(calls);
}

} // namespace kelmora::candidates
