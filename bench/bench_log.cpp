// SPDX-License-Identifier: GPL-3.0-or-later
// Times the reading of an ADIF log of 100,000 QSOs against a plain read of
// the same file by LineReader (and, for information, against reading its
// bytes alone), and the statuses of the million stations of the benchmark
// database against that log; shows that a log ten times longer with the same
// calls keeps the same peak memory. Usage: bench_log
#include "bench_support.h"
#include "database/line_reader.h"
#include "database/station_columns.h"
#include "log/adif_reader.h"
#include "log/log_book.h"
#include "log/log_reading.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

using namespace kelmora;
using namespace kelmora::bench;
namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr int kReadingRounds = 15;
constexpr std::uint64_t kQsos = 100'000;
constexpr std::uint32_t kDistinctCalls = 20'000;
constexpr double kReadRatioGoal = 2.0;
constexpr double kStatusGoalSeconds = 0.100;

// The reference, a plain read of the same file: every line of it taken by
// the program's LineReader, as the program reads a database without looking
// into its lines.
std::uint64_t plainRead(const fs::path& file) {
    LineReader reader{InputFile(file)};
    std::string_view line;
    std::uint64_t bytes = 0;
    while (reader.next(line)) {
        bytes += line.size();
    }
    return bytes;
}

// For information: the file's bytes alone, read through InputFile in the
// reader's block size and not looked at.
std::uint64_t bytesOnly(const fs::path& file) {
    InputFile input(file);
    std::vector<char> block(log::AdifReader::kDefaultBlockSize);
    std::uint64_t bytes = 0;
    while (const std::size_t got = input.read(block)) {
        bytes += got;
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

struct Spread {
    double best = 0;
    double median = 0;
};

Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2]};
}

std::vector<double> ratios(const std::vector<double>& numerators,
                           const std::vector<double>& denominators) {
    std::vector<double> result;
    for (std::size_t i = 0; i < numerators.size(); ++i) {
        result.push_back(numerators[i] / denominators[i]);
    }
    return result;
}

void printTimes(const char* what, const std::vector<double>& seconds) {
    const Spread spread = spreadOf(seconds);
    std::printf("  %-40s %8.2f ms %8.2f ms\n", what, spread.best * 1e3, spread.median * 1e3);
}

void compareReading(const fs::path& file) {
    warmPageCache(file);
    std::vector<double> ours;
    std::vector<double> plain;
    std::vector<double> bytes;
    std::uint64_t qsos = 0;
    std::uint64_t lineBytes = 0;
    std::uint64_t fileBytes = 0;
    const std::array<std::function<void()>, 3> contenders = {
        [&] { ours.push_back(bestSeconds(1, [&] { qsos = readLogFile(file).qsosRead; })); },
        [&] { plain.push_back(bestSeconds(1, [&] { lineBytes = plainRead(file); })); },
        [&] { bytes.push_back(bestSeconds(1, [&] { fileBytes = bytesOnly(file); })); },
    };
    // Taking turns, each round in another order, keeps a passing load on the
    // shared machine from favouring one of them; each ratio is taken within
    // its round.
    for (int round = 0; round < kReadingRounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            contenders[(turn + static_cast<std::size_t>(round)) % contenders.size()]();
        }
    }
    if (qsos != kQsos || fileBytes != fs::file_size(file)) {
        throw std::runtime_error("the log gave " + std::to_string(qsos) + " QSOs");
    }
    std::printf("log: %llu QSOs, %.1f MiB, read %d rounds, three ways in turn\n",
                static_cast<unsigned long long>(qsos),
                static_cast<double>(fs::file_size(file)) / (1 << 20), kReadingRounds);
    std::printf("  %-40s %11s %11s\n", "", "best", "median");
    printTimes("read as ADIF (readLog, with its log book)", ours);
    printTimes("reference: LineReader, every line", plain);
    std::printf("    (%llu bytes in lines)\n", static_cast<unsigned long long>(lineBytes));
    printTimes("bytes alone: InputFile, 256 KiB blocks", bytes);
    const Spread toPlain = spreadOf(ratios(ours, plain));
    const Spread toBytes = spreadOf(ratios(ours, bytes));
    std::printf("  %-40s %11.2f %11.2f\n", "ratio ADIF / LineReader", toPlain.best, toPlain.median);
    std::printf("  %-40s %11.2f %11.2f\n", "ratio ADIF / bytes alone (information)", toBytes.best,
                toBytes.median);
    std::printf("  goal: ADIF / LineReader <= %.1f, median of the rounds: %s\n", kReadRatioGoal,
                toPlain.median <= kReadRatioGoal ? "met" : "MISSED");
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
