// SPDX-License-Identifier: GPL-3.0-or-later
#include "candidates/candidate_order.h"

#include <cassert>
#include <cmath>
#include <numeric>
#include <string>
#include <utility>

namespace kelmora::candidates {
namespace {

// Fewer keys than this are sorted by comparison.
constexpr std::size_t kLeastForRadix = 1024;
constexpr unsigned kDigitBits = 8;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr unsigned kDigits = 64 / kDigitBits;

// A tenth of a kilometre, up to beyond the antipode.
constexpr float kStatusDistanceSteps = 10;
constexpr SortKey kStatusDistanceMask = (SortKey{1} << 24) - 1;

} // namespace

std::vector<std::uint32_t> stationsWithin(const CandidateFilter& filter,
                                          std::span<const float> distancesKm,
                                          std::span<const log::StationStatus> statuses) {
    assert(statuses.empty() || statuses.size() == distancesKm.size());
    std::vector<std::uint32_t> within;
    for (std::size_t i = 0; i < distancesKm.size(); ++i) {
        const float distance = distancesKm[i];
        if (distance < filter.range.nearestKm || distance > filter.range.farthestKm) {
            continue;
        }
        if (!statuses.empty() && !filter.statuses[static_cast<std::size_t>(statuses[i])]) {
            continue;
        }
        within.push_back(static_cast<std::uint32_t>(i));
    }
    return within;
}

SortKey locatorKey(geo::PackedLocator locator) {
    const std::string text = locator.text();
    SortKey key = 0;
    const auto add = [&key](SortKey base, SortKey digit) { key = key * base + digit; };
    add(18, SortKey(text[0] - 'A'));
    add(18, SortKey(text[1] - 'A'));
    add(10, SortKey(text[2] - '0'));
    add(10, SortKey(text[3] - '0'));
    // A square alone takes 0, the subsquares A to X 1 to 24.
    const bool subsquare = text.size() >= 6;
    add(25, subsquare ? SortKey(text[4] - 'A' + 1) : 0);
    add(25, subsquare ? SortKey(text[5] - 'A' + 1) : 0);
    return key;
}

SortKey statusKey(log::StationStatus status, float distanceKm) {
    const auto steps = static_cast<SortKey>(std::min(
        std::lround(std::max(distanceKm, 0.0f) * kStatusDistanceSteps), long{kStatusDistanceMask}));
    return SortKey(static_cast<SortKey>(status) << 24 | steps);
}

std::vector<SortKey> ranksOf(std::span<const std::string_view> texts) {
    std::vector<std::uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [texts](std::uint32_t a, std::uint32_t b) { return texts[a] < texts[b]; });
    std::vector<SortKey> ranks(texts.size());
    SortKey rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && texts[order[i]] != texts[order[i - 1]]) {
            ++rank;
        }
        ranks[order[i]] = rank;
    }
    return ranks;
}

// Least significant digit first; a digit that all keys share is passed over,
// so the unused high bits of the station's index cost nothing.
void sortKeyed(std::vector<std::uint64_t>& keys) {
    if (keys.size() < kLeastForRadix) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    std::vector<std::array<std::size_t, kBuckets>> counts(kDigits);
    for (const std::uint64_t key : keys) {
        for (unsigned digit = 0; digit < kDigits; ++digit) {
            ++counts[digit][(key >> (digit * kDigitBits)) & (kBuckets - 1)];
        }
    }
    std::vector<std::uint64_t> other(keys.size());
    for (unsigned digit = 0; digit < kDigits; ++digit) {
        std::array<std::size_t, kBuckets>& count = counts[digit];
        if (std::find(count.begin(), count.end(), keys.size()) != count.end()) {
            continue; // every key has the same digit here
        }
        std::size_t start = 0;
        for (std::size_t& bucket : count) {
            start += std::exchange(bucket, start);
        }
        const unsigned shift = digit * kDigitBits;
        for (const std::uint64_t key : keys) {
            other[count[(key >> shift) & (kBuckets - 1)]++] = key;
        }
        keys.swap(other);
    }
}

} // namespace kelmora::candidates
