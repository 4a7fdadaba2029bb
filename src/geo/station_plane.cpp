// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/station_plane.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <thread>

namespace kelmora::geo {
namespace {

// How many stations are placed between two looks at the stop token: about
// a millisecond's work.
constexpr std::size_t kStationsBetweenLooks = 1024;
// Fewer stations than this are not worth a thread of their own.
constexpr std::size_t kLeastStationsPerThread = 20'000;

// The places of the locators met last, so that a locator that many stations
// share is projected once: a few hundred kilobytes, whatever the number of
// stations. A locator pushed out by another is merely projected again.
class LocatorPlaces {
public:
    explicit LocatorPlaces(const AzimuthalMap& map) : map_(map), slots_(kSlots) {}

    PlanePoint placeOf(PackedLocator locator) {
        Slot& slot = slots_[slotOf(locator.code())];
        if (slot.code != locator.code()) {
            const PlaneKm point = map_.forward(locator.centre());
            slot = {locator.code(), {static_cast<float>(point.x), static_cast<float>(point.y)}};
        }
        return slot.point;
    }

private:
    static constexpr std::size_t kSlotBits = 15;
    static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
    // No packed locator uses the highest bits.
    static constexpr std::uint32_t kNoLocator = ~std::uint32_t{0};

    static std::size_t slotOf(std::uint32_t code) {
        // Fibonacci hashing: neighbouring subsquares spread over the slots.
        return static_cast<std::uint32_t>(code * 2654435769u) >> (32 - kSlotBits);
    }

    struct Slot {
        std::uint32_t code = kNoLocator;
        PlanePoint point;
    };
    const AzimuthalMap& map_;
    std::vector<Slot> slots_;
};

// Places one run of stations; false when stopped.
bool placeStations(std::span<const MapStation> stations, std::span<PlanePoint> points,
                   const AzimuthalMap& map, const std::stop_token& stop) {
    LocatorPlaces places(map);
    for (std::size_t i = 0; i < stations.size(); ++i) {
        if (i % kStationsBetweenLooks == 0 && stop.stop_requested()) {
            return false;
        }
        points[i] = places.placeOf(stations[i].locator());
    }
    return true;
}

std::size_t threadsFor(std::size_t stations) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(stations / kLeastStationsPerThread, 1, cores);
}

} // namespace

std::optional<std::vector<PlanePoint>>
projectStations(const MapStations& stations, const AzimuthalMap& map, std::stop_token stop) {
    const std::span<const MapStation> all = stations.stations();
    std::vector<PlanePoint> points(all.size());
    const std::size_t threads = threadsFor(all.size());
    const std::size_t share = (all.size() + threads - 1) / threads;
    // Each run goes to a thread of its own but the first, which this thread
    // takes; GeographicLib's projection only reads the map.
    std::vector<char> done(threads, 0);
    {
        std::vector<std::jthread> helpers;
        for (std::size_t part = 1; part < threads; ++part) {
            const std::size_t first = std::min(all.size(), part * share);
            const std::size_t count = std::min(share, all.size() - first);
            helpers.emplace_back([&, part, first, count] {
                done[part] = placeStations(all.subspan(first, count),
                                           std::span(points).subspan(first, count), map, stop);
            });
        }
        const std::size_t count = std::min(share, all.size());
        done[0] = placeStations(all.first(count), std::span(points).first(count), map, stop);
    }
    if (std::find(done.begin(), done.end(), 0) != done.end()) {
        return std::nullopt;
    }
    return points;
}

} // namespace kelmora::geo
