// SPDX-License-Identifier: GPL-3.0-or-later
// Exports a generated database of a million stations with writeCallsignList
// and with an awk program doing the same formatting, and compares the times.
// Usage: bench_export [path of callsign_list.awk], by default the one next to
// this source file.

#include "bench_support.h"
#include "export/callsign_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;
using kelmora::StationSelection;

constexpr std::uint64_t kStations = 1'000'000;
constexpr int kRuns = 3;
constexpr double kRatioGoal = 0.5;
constexpr double kMemoryGoalMiB = 32.0;

void exportOurs(const fs::path& database, const fs::path& list, StationSelection selection) {
    const kelmora::ExportResult result =
        kelmora::writeCallsignList(database, list, true, selection);
    if (result.status != kelmora::ExportResult::Status::Written) {
        throw std::runtime_error("export failed: " + result.failedFile.string() + ": " +
                                 kelmora::systemErrorText(result.error.systemCode));
    }
}

std::string awkCommand(const std::string& program, const char* mode, const fs::path& database,
                       const fs::path& list) {
    using kelmora::bench::shellQuote;
    return "LC_ALL=C awk -v mode=" + std::string(mode) + " " + program + " " +
           shellQuote(database) + " > " + shellQuote(list);
}

struct Mode {
    const char* label;
    const char* awkMode;
    StationSelection selection;
};

// Returns the ratio ours/awk.
double compare(const Mode& mode, const std::string& program, const fs::path& database,
               const fs::path& folder) {
    const fs::path ours = folder / "CALLSIGN.TXT";
    const fs::path theirs = folder / "awk.txt";
    const std::string command = awkCommand(program, mode.awkMode, database, theirs);

    const double oursSeconds =
        kelmora::bench::bestSeconds(kRuns, [&] { exportOurs(database, ours, mode.selection); });
    const double awkSeconds = kelmora::bench::bestCommandSeconds(kRuns, command);
    if (!kelmora::bench::sameBytes(ours, theirs)) {
        throw std::runtime_error(std::string("lists differ for mode ") + mode.label + ": " +
                                 ours.string() + " " + theirs.string());
    }
    const double ratio = oursSeconds / awkSeconds;
    std::printf("%-11s ours %7.3f s   awk %7.3f s   ours/awk %.3f (goal <= %.1f) %s  %ju bytes\n",
                mode.label, oursSeconds, awkSeconds, ratio, kRatioGoal,
                ratio <= kRatioGoal ? "ok" : "MISSED",
                static_cast<std::uintmax_t>(fs::file_size(ours)));
    return ratio;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::string program = kelmora::bench::awkProgram(argc, argv, "callsign_list.awk");
        kelmora::bench::ScratchFolder folder;
        const fs::path database = folder.path() / "ms195.txt";
        kelmora::bench::generateDatabase(database, kStations);
        kelmora::bench::warmPageCache(database);
        std::printf("database: %ju stations, %.1f MiB\n", static_cast<std::uintmax_t>(kStations),
                    static_cast<double>(fs::file_size(database)) / (1024.0 * 1024.0));

        bool goalsMet = true;
        for (const Mode& mode : {Mode{"All", "all", StationSelection::All},
                                 Mode{"Fsk441Only", "fsk441", StationSelection::Fsk441Only}}) {
            goalsMet = compare(mode, program, database, folder.path()) <= kRatioGoal && goalsMet;
        }
        const double peak = kelmora::bench::peakResidentMiB();
        std::printf("peak RSS    %.1f MiB (goal < %.0f MiB) %s\n", peak, kMemoryGoalMiB,
                    peak < kMemoryGoalMiB ? "ok" : "MISSED");
        return goalsMet && peak < kMemoryGoalMiB ? 0 : 1;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "bench_export: %s\n", error.what());
        return 2;
    }
}
