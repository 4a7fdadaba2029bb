// SPDX-License-Identifier: GPL-3.0-or-later
// Times the reading of an ADIF log of 100,000 QSOs against a plain read of
// the same file, and the statuses of the million stations of the benchmark
// database against that log; shows that a log ten times longer with the same
// calls keeps the same peak memory. Usage: bench_log
#include "bench_support.h"
#include "database/line_reader.h"
#include "database/station_columns.h"
#include "log/log_book.h"
#include "log/log_reading.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

using namespace kelmora;
using namespace kelmora::bench;
namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr std::uint64_t kQsos = 100'000;
constexpr std::uint32_t kDistinctCalls = 20'000;
constexpr double kReadRatioGoal = 2.0;
constexpr double kStatusGoalSeconds = 0.100;

// The reference: the file read line by line by the program's LineReader, as
// the program reads a database without looking into its lines.
std::uint64_t plainRead(const fs::path& file) {
    LineReader reader{InputFile(file)};
    std::string_view line;
    std::uint64_t bytes = 0;
    while (reader.next(line)) {
        bytes += line.size();
    }
    return bytes;
}

log::LogReading readLogFile(const fs::path& file) {
    log::LogReading reading = log::readLog(InputFile(file));
    if (!reading.opened || reading.error) {
        throw std::runtime_error("cannot read the log " + file.string());
    }
    return reading;
}

void compareReading(const fs::path& file) {
    warmPageCache(file);
    double ours = std::numeric_limits<double>::max();
    double plain = std::numeric_limits<double>::max();
    std::uint64_t qsos = 0;
    std::uint64_t bytes = 0;
    // Taking turns keeps a passing load on the machine from favouring either side.
    for (int run = 0; run < kRuns; ++run) {
        ours = std::min(ours, bestSeconds(1, [&] { qsos = readLogFile(file).qsosRead; }));
        plain = std::min(plain, bestSeconds(1, [&] { bytes = plainRead(file); }));
    }
    if (qsos != kQsos) {
        throw std::runtime_error("the log gave " + std::to_string(qsos) + " QSOs");
    }
    const double ratio = ours / plain;
    std::printf("log: %llu QSOs, %.1f MiB\n", static_cast<unsigned long long>(qsos),
                static_cast<double>(fs::file_size(file)) / (1 << 20));
    std::printf("  read as ADIF          %8.2f ms\n", ours * 1e3);
    std::printf("  plain read (lines)    %8.2f ms  (%llu bytes in lines)\n", plain * 1e3,
                static_cast<unsigned long long>(bytes));
    std::printf("  ratio ADIF/plain %.2f (goal <= %.1f): %s\n", ratio, kReadRatioGoal,
                ratio <= kReadRatioGoal ? "met" : "MISSED");
}

// The calls and squares of the database's stations, each taken once.
struct Stations {
    std::vector<log::CallKey> calls;
    std::vector<log::GridIndex> grids;
};

Stations readStations(const fs::path& database) {
    LineReader reader{InputFile(database)};
    StationColumns columns(true);
    std::string_view line;
    if (!reader.next(line)) {
        throw std::runtime_error("empty database");
    }
    columns.takeHeadingLine(line);
    Stations stations;
    while (reader.next(line)) {
        const StationColumns::Fields fields = columns.fieldsOf(line);
        stations.calls.push_back(log::callKeyOf(fields.callsign));
        stations.grids.push_back(log::gridIndexOf(fields.locator));
    }
    return stations;
}

void timeStatuses(const log::LogBook& book, const Stations& stations) {
    std::vector<log::StationStatus> statuses(stations.calls.size());
    const double seconds = bestSeconds(kRuns, [&] {
        book.statusesOf(log::Band::TwoMetres, stations.calls, stations.grids, statuses);
    });
    std::array<std::size_t, 5> counts{};
    for (const log::StationStatus status : statuses) {
        ++counts[static_cast<std::size_t>(status)];
    }
    std::printf("statuses of %zu stations on 2 m: %.2f ms (goal <= %.0f ms): %s\n", statuses.size(),
                seconds * 1e3, kStatusGoalSeconds * 1e3,
                seconds <= kStatusGoalSeconds ? "met" : "MISSED");
    std::printf("  new grid %zu, new call %zu, worked %zu, confirmed %zu, no locator %zu\n",
                counts[0], counts[1], counts[2], counts[3], counts[4]);
    std::printf("  grids worked %zu, confirmed %zu; calls worked %zu of %zu in the log\n",
                book.workedGridCount(log::Band::TwoMetres),
                book.confirmedGridCount(log::Band::TwoMetres),
                book.workedCallCount(log::Band::TwoMetres), book.callCount());
}

double printPeak(const char* when) {
    const double peak = peakResidentMiB();
    std::printf("peak resident memory %s: %.1f MiB\n", when, peak);
    return peak;
}

} // namespace

int main() {
    try {
        const ScratchFolder scratch;
        const fs::path log = scratch.path() / "wsjtx_log.adi";
        const fs::path longLog = scratch.path() / "long_log.adi";
        generateAdifLog(log, kQsos, kDistinctCalls);
        generateAdifLog(longLog, 10 * kQsos, kDistinctCalls);

        compareReading(log);
        const double shortPeak = printPeak("after reading the log");
        const log::LogReading longReading = readLogFile(longLog);
        std::printf("log ten times longer: %llu QSOs, %.1f MiB, %zu calls as before\n",
                    static_cast<unsigned long long>(longReading.qsosRead),
                    static_cast<double>(fs::file_size(longLog)) / (1 << 20),
                    longReading.book.callCount());
        const double longPeak = printPeak("after reading it");
        std::printf("  peak grew by %.1f MiB (goal: none beyond 1 MiB): %s\n", longPeak - shortPeak,
                    longPeak - shortPeak <= 1.0 ? "met" : "MISSED");
        fs::remove(longLog);

        const fs::path database = scratch.path() / "ms_million.txt";
        generateDatabase(database, 1'000'000);
        const Stations stations = readStations(database);
        timeStatuses(readLogFile(log).book, stations);
    } catch (const std::runtime_error& failure) {
        std::fprintf(stderr, "bench_log: %s\n", failure.what());
        return 1;
    }
    return 0;
}
