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

// The best: best time against best time, so that one slow round of the
// reference cannot flatter it. The median: of the ratios within each round.
Spread ratioOf(const std::vector<double>& numerators, const std::vector<double>& denominators) {
    std::vector<double> withinRounds;
    for (std::size_t i = 0; i < numerators.size(); ++i) {
        withinRounds.push_back(numerators[i] / denominators[i]);
    }
    return {spreadOf(numerators).best / spreadOf(denominators).best, spreadOf(withinRounds).median};
}

void printTimes(const char* what, const std::vector<double>& seconds) {
    const Spread spread = spreadOf(seconds);
    std::printf("    %-42s %8.2f ms %8.2f ms\n", what, spread.best * 1e3, spread.median * 1e3);
}

void printRatio(const char* what, const Spread& ratio) {
    std::printf("    %-42s %11.2f %11.2f\n", what, ratio.best, ratio.median);
}

struct Contender {
    const char* name;
    std::function<void()> work;
    std::vector<double> wallSeconds;
    std::vector<double> cpuSeconds;
};

// The ADIF reading first, then the reference, then the bytes alone.
Spread printClock(const char* clock, std::vector<double> Contender::*seconds,
                  const std::array<Contender, 3>& contenders) {
    std::printf("  %-44s %11s %11s\n", clock, "best", "median");
    for (const Contender& contender : contenders) {
        printTimes(contender.name, contender.*seconds);
    }
    const Spread toPlain = ratioOf(contenders[0].*seconds, contenders[1].*seconds);
    printRatio("ratio ADIF / LineReader", toPlain);
    printRatio("ratio ADIF / bytes alone (information)",
               ratioOf(contenders[0].*seconds, contenders[2].*seconds));
    return toPlain;
}

void compareReading(const fs::path& file) {
    warmPageCache(file);
    std::uint64_t qsos = 0;
    std::uint64_t lineBytes = 0;
    std::uint64_t fileBytes = 0;
    std::array<Contender, 3> contenders = {
        Contender{"read as ADIF (readLog, with its log book)",
                  [&] { qsos = readLogFile(file).qsosRead; },
                  {},
                  {}},
        Contender{
            "reference: LineReader, every line", [&] { lineBytes = plainRead(file); }, {}, {}},
        Contender{
            "bytes alone: InputFile, 256 KiB blocks", [&] { fileBytes = bytesOnly(file); }, {}, {}},
    };
    // Taking turns, each round in another order, keeps a passing load on the
    // shared machine from favouring one of them.
    for (int round = 0; round < kReadingRounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            Contender& contender =
                contenders[(turn + static_cast<std::size_t>(round)) % contenders.size()];
            const Timing timing = timeOnce(contender.work);
            contender.wallSeconds.push_back(timing.wallSeconds);
            contender.cpuSeconds.push_back(timing.cpuSeconds);
        }
    }
    if (qsos != kQsos || fileBytes != fs::file_size(file)) {
        throw std::runtime_error("the log gave " + std::to_string(qsos) + " QSOs");
    }
    std::printf("log: %llu QSOs, %.1f MiB (%llu bytes in lines), %d rounds, three ways in turn\n",
                static_cast<unsigned long long>(qsos),
                static_cast<double>(fs::file_size(file)) / (1 << 20),
                static_cast<unsigned long long>(lineBytes), kReadingRounds);
    const Spread wall = printClock("wall time", &Contender::wallSeconds, contenders);
    printClock("processor time of the reading thread", &Contender::cpuSeconds, contenders);
    std::printf("  (ratios: best time against best time; median of the ratios within rounds)\n");
    std::printf("  goal: ADIF / LineReader <= %.1f in wall time, median of the rounds: %s\n",
                kReadRatioGoal, wall.median <= kReadRatioGoal ? "met" : "MISSED");
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
