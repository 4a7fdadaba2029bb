// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_book.h"

#include <bit>
#include <bitset>
#include <cassert>

namespace kelmora::log {
namespace {

constexpr std::size_t kFirstSlotCount = 1024;

// Asks for memory to be fetched into the cache while other work goes on.
void fetchSoon(const void* at) {
#if defined(__GNUC__)
    __builtin_prefetch(at);
#else
    (void)at;
#endif
}

} // namespace

LogBook::LogBook()
    : callSlots_(kFirstSlotCount), slotShift_(64 - std::countr_zero(kFirstSlotCount)) {}

bool LogBook::gridWorked(Band band, GridIndex grid) const {
    return grid < kGridCount && (workedGridBands_[grid] & bandBit(band)) != 0;
}

bool LogBook::gridConfirmed(Band band, GridIndex grid) const {
    return grid < kGridCount && (confirmedGridBands_[grid] & bandBit(band)) != 0;
}

// Call keys are evenly spread already: their top bits choose the slot.
std::size_t LogBook::slotOf(std::uint64_t key) const {
    const std::size_t mask = callSlots_.size() - 1;
    std::size_t slot = firstSlotOf(key);
    while (callSlots_[slot].key != key && callSlots_[slot].key != 0) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

LogBook::CallSlot LogBook::callBands(CallKey call) const {
    return callSlots_[slotOf(storedKey(call))];
}

void LogBook::growCalls() {
    std::vector<CallSlot> old(callSlots_.size() * 2);
    old.swap(callSlots_);
    --slotShift_;
    for (const CallSlot& slot : old) {
        if (slot.key != 0) {
            callSlots_[slotOf(slot.key)] = slot;
        }
    }
}

void LogBook::count(BandMask gained, std::array<std::size_t, kBandCount>& counts) {
    for (; gained != 0; gained &= static_cast<BandMask>(gained - 1)) {
        ++counts[static_cast<std::size_t>(std::countr_zero(gained))];
    }
}

void LogBook::addCall(const QsoFacts& qso) {
    if (2 * (callsStored_ + 1) > callSlots_.size()) {
        growCalls();
    }
    const std::uint64_t key = storedKey(qso.call);
    CallSlot& slot = callSlots_[slotOf(key)];
    if (slot.key == 0) {
        slot.key = key;
        ++callsStored_;
    }
    count(static_cast<BandMask>(qso.bands & ~slot.worked), workedCalls_);
    slot.worked |= qso.bands;
    if (qso.confirmed) {
        count(static_cast<BandMask>(qso.bands & ~slot.confirmed), confirmedCalls_);
        slot.confirmed |= qso.bands;
    }
}

void LogBook::addGrid(GridIndex grid, const QsoFacts& qso) {
    BandMask& worked = workedGridBands_[grid];
    count(static_cast<BandMask>(qso.bands & ~worked), workedGrids_);
    worked |= qso.bands;
    if (qso.confirmed) {
        BandMask& confirmed = confirmedGridBands_[grid];
        count(static_cast<BandMask>(qso.bands & ~confirmed), confirmedGrids_);
        confirmed |= qso.bands;
    }
}

void LogBook::add(const QsoFacts& qso) {
    addCall(qso);
    for (std::size_t i = 0; i < qso.gridCount; ++i) {
        addGrid(qso.grids[i], qso);
    }
}

void LogBook::add(std::span<const QsoFacts> qsos) {
    while (2 * (callsStored_ + qsos.size()) > callSlots_.size()) {
        growCalls();
    }
    for (const QsoFacts& qso : qsos) {
        fetchSoon(&callSlots_[firstSlotOf(storedKey(qso.call))]);
    }
    for (const QsoFacts& qso : qsos) {
        add(qso);
    }
}

StationStatus LogBook::statusOf(Band band, CallKey call, GridIndex grid) const {
    const bool located = grid < kGridCount;
    if (located && (workedGridBands_[grid] & bandBit(band)) == 0) {
        return StationStatus::NewGrid;
    }
    const CallSlot slot = callBands(call);
    const BandMask bit = bandBit(band);
    if ((slot.confirmed & bit) != 0) {
        return StationStatus::Confirmed;
    }
    if ((slot.worked & bit) != 0) {
        return StationStatus::Worked;
    }
    return located ? StationStatus::NewCall : StationStatus::NoLocator;
}

void LogBook::statusesOf(Band band, std::span<const CallKey> calls,
                         std::span<const GridIndex> grids,
                         std::span<StationStatus> statuses) const {
    assert(calls.size() == grids.size() && grids.size() == statuses.size());
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        statuses[i] = statusOf(band, calls[i], grids[i]);
    }
}

std::size_t newGridsWithin(const LogBook& book, Band band, std::span<const GridIndex> grids,
                           std::span<const float> distancesKm, DistanceRange range) {
    assert(grids.size() == distancesKm.size());
    std::bitset<kGridCount> counted;
    std::size_t count = 0;
    for (std::size_t i = 0; i < grids.size(); ++i) {
        const GridIndex grid = grids[i];
        if (grid >= kGridCount || counted[grid] || distancesKm[i] < range.nearestKm ||
            distancesKm[i] > range.farthestKm || book.gridWorked(band, grid)) {
            continue;
        }
        counted.set(grid);
        ++count;
    }
    return count;
}

} // namespace kelmora::log
