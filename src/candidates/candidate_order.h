// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "geo/packed_locator.h"
#include "log/log_book.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kelmora::candidates {

inline constexpr std::size_t kStatusCount = 5;

// Which stations the table shows: those of the statuses ticked, within the
// range of distances (both ends included). Without a log the stations have
// no status, and the range alone decides.
struct CandidateFilter {
    std::array<bool, kStatusCount> statuses = {true, true, true, true, true};
    log::DistanceRange range;
};

// The stations (indexes) that pass the filter, in the order of the file.
// statuses is empty without a log, else one a station like distancesKm.
std::vector<std::uint32_t> stationsWithin(const CandidateFilter& filter,
                                          std::span<const float> distancesKm,
                                          std::span<const log::StationStatus> statuses);

// A sort key of 32 bits a station: the table is sorted by the keys of one
// column, ties in the order of the file, so that every sort is one of
// integers, whatever the column holds.
using SortKey = std::uint32_t;

// A distance or heading: the bits of a float that is not negative order
// like the float.
inline SortKey floatKey(float notNegative) {
    return std::bit_cast<SortKey>(std::max(notNegative, 0.0f));
}

// A locator as its text sorts: field, square, then subsquare, the square
// alone before its subsquares (JO62 < JO62AA < JO62AB < JO63).
SortKey locatorKey(geo::PackedLocator locator);

// New grid first, then new call, worked and confirmed; within each, the
// nearest first (to a tenth of a kilometre).
SortKey statusKey(log::StationStatus status, float distanceKm);

// The rank of each text among all of them (equal texts, equal ranks), as a
// sort key: texts compare by their bytes.
std::vector<SortKey> ranksOf(std::span<const std::string_view> texts);

// Sorts keys of 64 bits in ascending order (a radix sort: a million in a few
// milliseconds).
void sortKeyed(std::vector<std::uint64_t>& keys);

// Orders the stations by key(station), ascending or descending; stations of
// equal keys keep the order of the file either way.
template <typename KeyOf>
void orderStations(std::vector<std::uint32_t>& stations, KeyOf keyOf, bool descending) {
    std::vector<std::uint64_t> keyed(stations.size());
    const SortKey flip = descending ? ~SortKey{0} : 0;
    std::transform(stations.begin(), stations.end(), keyed.begin(), [&](std::uint32_t station) {
        return std::uint64_t{SortKey(keyOf(station) ^ flip)} << 32 | station;
    });
    sortKeyed(keyed);
    std::transform(keyed.begin(), keyed.end(), stations.begin(),
                   [](std::uint64_t key) { return static_cast<std::uint32_t>(key); });
}

} // namespace kelmora::candidates
