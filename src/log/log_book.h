// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "log/bands.h"
#include "log/call_key.h"
#include "log/grid_square.h"
#include "log/qso_facts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelmora::log {

// Where a station of the database stands in the user's log on one band.
enum class StationStatus : std::uint8_t {
    NewGrid,   // no QSO in its square on the band, whatever its call
    NewCall,   // its square worked on the band, its call not
    Worked,    // a QSO with its call on the band, its square worked or unknown
    Confirmed, // a confirmed QSO with its call on the band, likewise
    NoLocator, // its locator is none, and its call was not worked on the band
};

// What the log says, per band: the squares worked and confirmed and the calls
// worked and confirmed. It holds two bytes per square and one entry per
// distinct call, whatever the size of the log.
class LogBook {
public:
    LogBook();

    void add(const QsoFacts& qso);
    // The same for many QSOs, faster: the places of all their calls in the
    // table are fetched together before the first is changed, instead of
    // waiting for each in turn.
    void add(std::span<const QsoFacts> qsos);

    bool gridWorked(Band band, GridIndex grid) const;
    bool gridConfirmed(Band band, GridIndex grid) const;
    std::size_t workedGridCount(Band band) const { return workedGrids_[index(band)]; }
    std::size_t confirmedGridCount(Band band) const { return confirmedGrids_[index(band)]; }

    bool callWorked(Band band, CallKey call) const {
        return (callBands(call).worked & bandBit(band)) != 0;
    }
    bool callConfirmed(Band band, CallKey call) const {
        return (callBands(call).confirmed & bandBit(band)) != 0;
    }
    std::size_t workedCallCount(Band band) const { return workedCalls_[index(band)]; }
    std::size_t confirmedCallCount(Band band) const { return confirmedCalls_[index(band)]; }
    // Distinct calls of the log, on any band.
    std::size_t callCount() const { return callsStored_; }

    // The square decides first, the call after it: new grid when the
    // station's square was not worked on the band, else new call when its
    // call was not, else confirmed or worked. So a station whose call was
    // worked from another square (before a move, or portable) is a new grid
    // when its own square is new: that square is what a sked is for. Without
    // a locator the call alone decides: confirmed, worked, else no locator.
    StationStatus statusOf(Band band, CallKey call, GridIndex grid) const;
    // The same for many stations at once: calls[i] and grids[i] are one
    // station, whose status goes to statuses[i]. All three of one size.
    void statusesOf(Band band, std::span<const CallKey> calls, std::span<const GridIndex> grids,
                    std::span<StationStatus> statuses) const;

private:
    struct CallSlot {
        std::uint64_t key = 0; // 0: empty
        BandMask worked = 0;
        BandMask confirmed = 0;
    };

    static std::size_t index(Band band) { return static_cast<std::size_t>(band); }
    static std::uint64_t storedKey(CallKey call) { return call.value == 0 ? 1 : call.value; }
    std::size_t firstSlotOf(std::uint64_t key) const {
        return static_cast<std::size_t>(key >> slotShift_);
    }
    std::size_t slotOf(std::uint64_t key) const;
    CallSlot callBands(CallKey call) const;
    void addCall(const QsoFacts& qso);
    void growCalls();
    void addGrid(GridIndex grid, const QsoFacts& qso);
    static void count(BandMask gained, std::array<std::size_t, kBandCount>& counts);

    // Per square the bands it was worked and confirmed on: a QSO changes
    // one byte of each.
    std::array<BandMask, kGridCount> workedGridBands_{};
    std::array<BandMask, kGridCount> confirmedGridBands_{};
    std::array<std::size_t, kBandCount> workedGrids_{};
    std::array<std::size_t, kBandCount> confirmedGrids_{};
    std::vector<CallSlot> callSlots_; // open addressing, a power of two, at most half full
    unsigned slotShift_ = 0;
    std::size_t callsStored_ = 0;
    std::array<std::size_t, kBandCount> workedCalls_{};
    std::array<std::size_t, kBandCount> confirmedCalls_{};
};

// The range of distances the user looks at, both ends included.
struct DistanceRange {
    float nearestKm = 500;
    float farthestKm = 2300;
};

// How many squares hold a station of the database within the range that no
// QSO on the band was made with: the new grids the database offers there.
// grids[i] and distancesKm[i] are one station; stations without a locator
// (kNoGrid) count for nothing.
std::size_t newGridsWithin(const LogBook& book, Band band, std::span<const GridIndex> grids,
                           std::span<const float> distancesKm, DistanceRange range);

} // namespace kelmora::log
