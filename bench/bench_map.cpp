// SPDX-License-Identifier: GPL-3.0-or-later
// Times the reading of a database's stations for the map against the search
// of the same file for a text it does not hold, the yardstick of a pass
// through the file, taking turns; times the window's projection of every
// station onto the map's plane against GeographicLib projecting each station
// exactly; and counts the memory the map keeps per station.
//
// Usage: bench_map [--once]
// With --once, the search and the reading run once each and nothing else
// is done: for counting their instructions, for example with
//   valgrind --tool=callgrind --toggle-collect='*searchForNothing*' bench_map --once
//   valgrind --tool=callgrind --toggle-collect='*readForMap*' bench_map --once
#include "bench_support.h"
#include "database/search_matcher.h"
#include "geo/azimuthal_map.h"
#include "geo/fast_projection.h"
#include "geo/locator.h"
#include "geo/map_stations.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

using namespace kelmora;
using namespace kelmora::bench;

constexpr int kRuns = 9;
constexpr std::uint64_t kStations = 1'000'000;
// Generated callsigns have two or three letters after the digit, so four
// never occur.
constexpr std::string_view kAbsentText = "QQ0ZZZZ";
constexpr double kReadGoal = 1.5;
constexpr double kBytesGoal = 32;
constexpr std::string_view kCentre = "JO62QM";

void searchForNothing(const std::filesystem::path& file) {
    const ScanOutcome outcome = scanForHits(file, SearchPattern::fromUtf8(kAbsentText),
                                            [](std::string_view) { return true; });
    if (outcome.end != ScanEnd::EndOfFile || outcome.hits != 0) {
        throw std::runtime_error("the search did not read " + file.string() + " to its end");
    }
}

// As the window reads it.
geo::MapStations readForMap(const std::filesystem::path& file) {
    geo::MapStations stations = geo::MapStations::read(file, true);
    if (stations.status() != geo::MapStations::Status::Read) {
        throw std::runtime_error("the map could not read the database");
    }
    return stations;
}

// The best and the middle of several runs, in seconds.
struct Times {
    std::vector<double> runs;

    double best() const { return *std::min_element(runs.begin(), runs.end()); }
    double median() const {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

struct ReadTimes {
    Times search;
    Times map;
};

ReadTimes compareReading(const std::filesystem::path& file) {
    ReadTimes times;
    // Taking turns keeps a passing load on the machine from favouring either side.
    for (int run = 0; run < kRuns; ++run) {
        times.search.runs.push_back(bestSeconds(1, [&] { searchForNothing(file); }));
        times.map.runs.push_back(bestSeconds(1, [&] { readForMap(file); }));
    }
    return times;
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

void printReading(const ReadTimes& times, const geo::MapStations& stations) {
    std::printf("stations for the map: %zu, %llu lines left out\n", stations.size(),
                static_cast<unsigned long long>(stations.linesLeftOut()));
    std::printf("  %d runs each, taking turns       best      median\n", kRuns);
    std::printf("  no-hit search \"%.*s\"      %8.2f ms %8.2f ms\n",
                static_cast<int>(kAbsentText.size()), kAbsentText.data(), times.search.best() * 1e3,
                times.search.median() * 1e3);
    std::printf("  map's reading                 %8.2f ms %8.2f ms\n", times.map.best() * 1e3,
                times.map.median() * 1e3);
    const double best = times.map.best() / times.search.best();
    std::printf("  ratio map/search best %.2f, median %.2f (goal <= %.1f): %s\n", best,
                times.map.median() / times.search.median(), kReadGoal, verdict(best <= kReadGoal));
}

// The places of the stations' locators, as the window projects them.
std::vector<geo::PlanePoint> projectFast(const geo::MapStations& stations,
                                         const geo::FastProjection& projection) {
    std::vector<geo::PlanePoint> places;
    places.reserve(stations.size());
    for (const geo::MapStation& station : stations.stations()) {
        places.push_back(projection.forward(station.locator().centre()));
    }
    return places;
}

// GeographicLib's exact projection of each station: the yardstick.
double projectExactly(const geo::MapStations& stations, const geo::AzimuthalMap& map) {
    double sum = 0;
    const double seconds = bestSeconds(1, [&] {
        for (const geo::MapStation& station : stations.stations()) {
            sum += map.forward(station.locator().centre()).x;
        }
    });
    if (sum != sum) {
        throw std::runtime_error("a station fell off the map");
    }
    return seconds;
}

// Returns the bytes the places take.
std::size_t printProjection(const geo::MapStations& stations) {
    const geo::FastProjection projection(*geo::locatorCentre(kCentre));
    std::size_t placeBytes = 0;
    const double fast = bestSeconds(3, [&] {
        placeBytes = projectFast(stations, projection).capacity() * sizeof(geo::PlanePoint);
    });
    const double exact = projectExactly(stations, projection.exact());
    const double count = static_cast<double>(stations.size());
    std::printf("projection of %zu stations centred on %.*s\n", stations.size(),
                static_cast<int>(kCentre.size()), kCentre.data());
    std::printf("  GeographicLib station by station %8.1f ms (%.3f us a station)\n", exact * 1e3,
                exact * 1e6 / count);
    std::printf("  the window's FastProjection      %8.1f ms (%.3f us a station)\n", fast * 1e3,
                fast * 1e6 / count);
    std::printf("  ratio FastProjection/GeographicLib %.3f (%.0f times as fast)\n", fast / exact,
                exact / fast);
    return placeBytes;
}

void printMemory(const geo::MapStations& stations, std::size_t placeBytes) {
    const double count = static_cast<double>(stations.size());
    const double stationBytes = static_cast<double>(stations.memoryBytes()) / count;
    const double planeBytes = static_cast<double>(placeBytes) / count;
    std::printf("memory per station: %.1f bytes read + %.1f bytes of places = %.1f bytes "
                "(goal <= %.0f): %s\n",
                stationBytes, planeBytes, stationBytes + planeBytes, kBytesGoal,
                verdict(stationBytes + planeBytes <= kBytesGoal));
}

} // namespace

int main(int argc, char** argv) {
    try {
        const ScratchFolder scratch;
        const std::filesystem::path file = scratch.path() / "ms_million.txt";
        generateDatabase(file, kStations);
        warmPageCache(file);
        if (argc > 1 && std::string_view(argv[1]) == "--once") {
            searchForNothing(file);
            readForMap(file);
            return 0;
        }
        std::printf("database: 1,000,000 stations, %.1f MiB\n",
                    static_cast<double>(std::filesystem::file_size(file)) / (1 << 20));
        const ReadTimes times = compareReading(file);
        const geo::MapStations stations = readForMap(file);
        printReading(times, stations);
        const std::size_t placeBytes = printProjection(stations);
        printMemory(stations, placeBytes);
        std::printf("peak resident memory: %.1f MiB\n", peakResidentMiB());
    } catch (const std::runtime_error& failure) {
        std::fprintf(stderr, "bench_map: %s\n", failure.what());
        return 1;
    }
    return 0;
}
