// SPDX-License-Identifier: GPL-3.0-or-later
// Updates a look-up list of 132,000 lines with a database of 20,000 stations
// by updateCall3List and by awk and sort doing the same merge, and compares
// the times; then updates it once more from that database written ten times
// over, which must not take more memory. Usage: bench_call3 [path of
// call3_list.awk], by default the one next to this source file.

#include "bench_support.h"
#include "export/call3_update.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kStations = 20'000;
constexpr std::size_t kListLines = 132'000;
constexpr int kRuns = 7;
constexpr double kRatioGoal = 0.2;
constexpr double kTimeGoalSeconds = 0.100;
constexpr const char* kDate = "2026-12-07";

// A list as WSJT-X's download looks: a version line, station lines in
// order, some marked EME or with a note and a date, and an end line; CR LF.
// Written as it is made, so that the benchmark's own memory stays flat.
class ListGenerator {
public:
    explicit ListGenerator(const fs::path& path) : out_(path, std::ios::binary) {
        out_ << "// Version: 2024-05-01\r\n// Calls and grids for the benchmark\r\n";
    }

    // The calls of one prefix in order, each taken with the given chance:
    // digit and three letters, and with withTwoLetters also two.
    void addCalls(const std::string& prefix, bool withTwoLetters, double chance) {
        std::bernoulli_distribution take(chance);
        for (char digit = '0'; digit <= '9'; ++digit) {
            for (char a = 'A'; a <= 'Z'; ++a) {
                for (char b = 'A'; b <= 'Z'; ++b) {
                    const std::string two = prefix + digit + a + b;
                    if (withTwoLetters && take(random_)) {
                        addLine(two);
                    }
                    for (char c = 'A'; c <= 'Z'; ++c) {
                        if (take(random_)) {
                            addLine(two + c);
                        }
                    }
                }
            }
        }
    }

    void finish() {
        out_ << "ZZZZZZ\r\n";
        if (!out_) {
            throw std::runtime_error("cannot write the list");
        }
    }

private:
    void addLine(const std::string& call) {
        if (lines_ >= kListLines - 3) {
            return;
        }
        ++lines_;
        out_ << call << ',' << grid();
        switch (random_() % 20) {
        case 0:
            out_ << ",EME,,\r\n";
            break;
        case 1:
            out_ << ",,QRV 2m MS," << 2000 + random_() % 25 << "-0" << 1 + random_() % 9 << "-1"
                 << random_() % 10 << "\r\n";
            break;
        default:
            out_ << ",,,\r\n";
        }
    }

    std::string grid() {
        std::string g;
        g += static_cast<char>('A' + random_() % 18);
        g += static_cast<char>('A' + random_() % 18);
        g += static_cast<char>('0' + random_() % 10);
        g += static_cast<char>('0' + random_() % 10);
        if (random_() % 4 != 0) {
            g += static_cast<char>('A' + random_() % 24);
            g += static_cast<char>('A' + random_() % 24);
        }
        return g;
    }

    std::ofstream out_;
    std::mt19937 random_{3};
    std::size_t lines_ = 0;
};

// The database's calls are QQ, a digit and two or three letters: the QQ
// lines meet about half of them.
void generateList(const fs::path& path) {
    ListGenerator list(path);
    for (const char* prefix : {"DL", "F", "G", "OH", "OK", "ON"}) {
        list.addCalls(prefix, false, 0.031);
    }
    list.addCalls("QQ", true, 0.5);
    for (const char* prefix : {"SM", "SP"}) {
        list.addCalls(prefix, false, 0.031);
    }
    list.finish();
}

// The database's station lines ten times over: nothing new for the list.
// Copied through the streams' buffers, which keeps memory flat.
void repeatStations(const fs::path& database, const fs::path& repeated) {
    std::ofstream out(repeated, std::ios::binary);
    for (int i = 0; i < 10; ++i) {
        std::ifstream in(database, std::ios::binary);
        std::string heading;
        std::getline(in, heading);
        if (i == 0) {
            out << heading << '\n';
        }
        out << in.rdbuf();
    }
}

// The best time of the update, each run from the original list, which is on
// disk first: what is still to be written would otherwise be flushed by the
// update's own syncs.
double bestUpdateSeconds(const fs::path& database, const fs::path& original, const fs::path& list,
                         kelmora::Call3Result& result) {
    double best = std::numeric_limits<double>::max();
    for (int run = 0; run < kRuns; ++run) {
        fs::copy_file(original, list, fs::copy_options::overwrite_existing);
        kelmora::bench::warmPageCache(database);
        ::sync();
        const auto start = std::chrono::steady_clock::now();
        result = kelmora::updateCall3List(database, list, true, {"ms195.txt", kDate});
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (result.status != kelmora::ExportResult::Status::Written) {
            throw std::runtime_error("update failed: " + result.failedFile.string());
        }
        best = std::min(best, took.count());
    }
    return best;
}

std::string awkCommand(const std::string& program, const fs::path& database, const fs::path& list,
                       const fs::path& folder, const fs::path& output) {
    const auto q = [](const fs::path& path) { return kelmora::bench::shellQuote(path.string()); };
    const fs::path head = folder / "head";
    const fs::path tail = folder / "tail";
    const fs::path sorted = folder / "sorted";
    return "LC_ALL=C awk -v date=" + std::string(kDate) + " -v name=ms195.txt -v head=" + q(head) +
           " -v tail=" + q(tail) + " " + program + " " + q(database) + " " + q(list) +
           " | LC_ALL=C sort -s -t, -k1,1 > " + q(sorted) + " && cat " + q(head) + " " + q(sorted) +
           " " + q(tail) + " > " + q(output);
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::string program = kelmora::bench::awkProgram(argc, argv, "call3_list.awk");
        kelmora::bench::ScratchFolder folder;
        const fs::path database = folder.path() / "ms195.txt";
        const fs::path original = folder.path() / "original.txt";
        const fs::path ours = folder.path() / "CALL3.TXT";
        const fs::path theirs = folder.path() / "awk.txt";
        kelmora::bench::generateDatabase(database, kStations);
        generateList(original);
        std::printf("database: %ju stations; list: %zu lines, %.1f MiB\n",
                    static_cast<std::uintmax_t>(kStations), kListLines,
                    static_cast<double>(fs::file_size(original)) / (1024.0 * 1024.0));

        const double before = kelmora::bench::peakResidentMiB();
        kelmora::Call3Result result;
        const double oursSeconds = bestUpdateSeconds(database, original, ours, result);
        const double peak = kelmora::bench::peakResidentMiB();
        const std::string awk = awkCommand(program, database, original, folder.path(), theirs);
        const double awkSeconds = kelmora::bench::bestCommandSeconds(kRuns, awk);
        // The same job as ours: the previous list kept, both files on disk.
        const auto q = [](const fs::path& path) {
            return kelmora::bench::shellQuote(path.string());
        };
        const fs::path backup = folder.path() / "awk_backup.txt";
        const double durableSeconds = kelmora::bench::bestCommandSeconds(
            kRuns, awk + " && cp " + q(original) + " " + q(backup) + " && sync " + q(theirs) + " " +
                       q(backup));
        if (!kelmora::bench::sameBytes(ours, theirs)) {
            throw std::runtime_error("lists differ: " + ours.string() + " " + theirs.string());
        }
        const double ratio = oursSeconds / awkSeconds;
        std::printf("added %ju, changed %ju, unchanged %ju, left out %ju\n",
                    static_cast<std::uintmax_t>(result.counts.added),
                    static_cast<std::uintmax_t>(result.counts.changed),
                    static_cast<std::uintmax_t>(result.counts.unchanged),
                    static_cast<std::uintmax_t>(result.counts.leftOut()));
        std::printf("ours %5.1f ms (goal < %.0f ms) %s   awk+sort %5.1f ms   ours/awk+sort %.3f "
                    "(goal <= %.1f) %s\n",
                    oursSeconds * 1e3, kTimeGoalSeconds * 1e3,
                    oursSeconds < kTimeGoalSeconds ? "ok" : "MISSED", awkSeconds * 1e3, ratio,
                    kRatioGoal, ratio <= kRatioGoal ? "ok" : "MISSED");
        std::printf("awk+sort keeping the previous list and syncing both files: %5.1f ms   "
                    "ours/that %.3f\n",
                    durableSeconds * 1e3, oursSeconds / durableSeconds);

        const fs::path repeated = folder.path() / "ms196.txt";
        repeatStations(database, repeated);
        fs::copy_file(original, ours, fs::copy_options::overwrite_existing);
        if (kelmora::updateCall3List(repeated, ours, true, {"ms195.txt", kDate}).status !=
            kelmora::ExportResult::Status::Written) {
            throw std::runtime_error("update from the repeated database failed");
        }
        const double peakRepeated = kelmora::bench::peakResidentMiB();
        std::printf("peak RSS %.1f MiB before the updates, %.1f MiB after them, %.1f MiB after "
                    "one from the database ten times over (%.1f MiB)\n",
                    before, peak, peakRepeated,
                    static_cast<double>(fs::file_size(repeated)) / (1024.0 * 1024.0));
        return ratio <= kRatioGoal && oursSeconds < kTimeGoalSeconds ? 0 : 1;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "bench_call3: %s\n", error.what());
        return 2;
    }
}
