// SPDX-License-Identifier: GPL-3.0-or-later
// Times the reading of a database's stations for the map against the search
// of the same file for a text it does not hold, the yardstick of a pass
// through the file, taking turns; counts the memory the map keeps per
// station; and times the projection of every station onto the map's plane
// against GeographicLib projecting each station in turn on one core.
//
// Usage: bench_map [--once]
// With --once, the search and the reading run once each and nothing else
// is done: for counting their instructions, for example with
//   valgrind --tool=callgrind --toggle-collect='*searchForNothing*' bench_map --once
//   valgrind --tool=callgrind --toggle-collect='*readForMap*' bench_map --once
#include "bench_support.h"
#include "database/search_matcher.h"
#include "geo/azimuthal_map.h"
#include "geo/locator.h"
#include "geo/map_stations.h"
#include "geo/station_plane.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <thread>
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

void printMemory(const geo::MapStations& stations, std::size_t pointBytes) {
    const double count = static_cast<double>(stations.size());
    const double stationBytes = static_cast<double>(stations.memoryBytes()) / count;
    const double planeBytes = static_cast<double>(pointBytes) / count;
    std::printf("memory per station: %.1f bytes read + %.1f bytes of places = %.1f bytes "
                "(goal <= %.0f): %s\n",
                stationBytes, planeBytes, stationBytes + planeBytes, kBytesGoal,
                verdict(stationBytes + planeBytes <= kBytesGoal));
    std::printf("  while projecting, a few hundred KiB a thread for the places of recent "
                "locators, whatever the number of stations\n");
}

// GeographicLib's projection of every station, one by one: the yardstick
// of the projection by locator.
double projectEachStation(const geo::MapStations& stations, const geo::AzimuthalMap& map) {
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

std::size_t distinctLocators(const geo::MapStations& stations) {
    std::vector<std::uint32_t> codes;
    codes.reserve(stations.size());
    for (const geo::MapStation& station : stations.stations()) {
        codes.push_back(station.locator().code());
    }
    std::sort(codes.begin(), codes.end());
    return static_cast<std::size_t>(std::unique(codes.begin(), codes.end()) - codes.begin());
}

std::size_t printProjection(const geo::MapStations& stations, double searchSeconds) {
    const geo::AzimuthalMap map(*geo::locatorCentre(kCentre));
    std::size_t pointBytes = 0;
    const double byLocator = bestSeconds(3, [&] {
        const auto points = geo::projectStations(stations, map);
        pointBytes = points->capacity() * sizeof(geo::PlanePoint);
    });
    const double eachStation = projectEachStation(stations, map);
    const std::size_t locators = distinctLocators(stations);
    std::printf("projection centred on %.*s: %zu stations at %zu locators\n",
                static_cast<int>(kCentre.size()), kCentre.data(), stations.size(), locators);
    std::printf("  GeographicLib station by station %8.1f ms (%.2f us a station)\n",
                eachStation * 1e3, eachStation * 1e6 / static_cast<double>(stations.size()));
    std::printf("  projectStations on %u cores      %8.1f ms (%.2f us a locator)\n",
                std::thread::hardware_concurrency(), byLocator * 1e3,
                byLocator * 1e6 / static_cast<double>(locators));
    std::printf("  ratio projectStations/station by station %.2f, projectStations/no-hit search "
                "%.1f\n",
                byLocator / eachStation, byLocator / searchSeconds);
    return pointBytes;
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
        const std::size_t pointBytes = printProjection(stations, times.search.best());
        printMemory(stations, pointBytes);
        std::printf("peak resident memory: %.1f MiB\n", peakResidentMiB());
    } catch (const std::runtime_error& failure) {
        std::fprintf(stderr, "bench_map: %s\n", failure.what());
        return 1;
    }
    return 0;
}
