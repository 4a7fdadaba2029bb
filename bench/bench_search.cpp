// SPDX-License-Identifier: GPL-3.0-or-later
// Times the database search against GNU grep on a generated database of a
// million stations, and shows that the scan's memory does not grow with the
// file. Usage: bench_search [--gigabyte]
#include "bench_support.h"
#include "database/search_matcher.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using namespace kelmora;
using namespace kelmora::bench;

constexpr int kRuns = 5;
// Generated callsigns have two or three letters after the digit, so four
// never occur.
constexpr std::string_view kAbsentText = "QQ0ZZZZ";
// One station in four lists this mode.
constexpr std::string_view kFrequentText = "FSK441";

std::uint64_t countHits(const std::filesystem::path& file, std::string_view text) {
    const ScanOutcome outcome =
        scanForHits(file, SearchPattern::fromUtf8(text), [](std::string_view) { return true; });
    if (outcome.end != ScanEnd::EndOfFile) {
        throw std::runtime_error("the scan did not reach the end of " + file.string());
    }
    return outcome.hits;
}

// grep leaves 1 when nothing matched; only 2 and above are failures. The
// count goes to a file: with its output on /dev/null, grep stops at the first
// match.
std::string grepCommand(const std::filesystem::path& file, std::string_view text) {
    const std::filesystem::path countFile = file.parent_path() / "grep-count.txt";
    return "grep -F -c " + shellQuote(std::string(text)) + " " + shellQuote(file.string()) + " >" +
           shellQuote(countFile.string()) + "; [ $? -le 1 ]";
}

// grep's count of matching lines, the heading included.
std::uint64_t grepCount(const std::filesystem::path& file, std::string_view text) {
    const std::string command =
        "grep -F -c " + shellQuote(std::string(text)) + " " + shellQuote(file.string());
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run " + command);
    }
    unsigned long long count = 0;
    const bool read = std::fscanf(pipe, "%llu", &count) == 1;
    ::pclose(pipe);
    if (!read) {
        throw std::runtime_error("no count from " + command);
    }
    return count;
}

struct Comparison {
    double oursSeconds;
    double grepSeconds;
    std::uint64_t oursHits;
};

Comparison compareWithGrep(const std::filesystem::path& file, std::string_view text) {
    const std::string command = grepCommand(file, text);
    Comparison result{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), 0};
    // Taking turns keeps a passing load on the machine from favouring either side.
    for (int run = 0; run < kRuns; ++run) {
        result.oursSeconds = std::min(
            result.oursSeconds, bestSeconds(1, [&] { result.oursHits = countHits(file, text); }));
        result.grepSeconds = std::min(result.grepSeconds, bestCommandSeconds(1, command));
    }
    return result;
}

void printComparison(const char* title, std::string_view text, const Comparison& c,
                     double shellSeconds, std::uint64_t bytes) {
    const double grepScan = c.grepSeconds - shellSeconds;
    std::printf("%s \"%.*s\": %llu hits\n", title, static_cast<int>(text.size()), text.data(),
                static_cast<unsigned long long>(c.oursHits));
    std::printf("  ours  %8.2f ms  (%6.0f MiB/s)\n", c.oursSeconds * 1e3,
                static_cast<double>(bytes) / c.oursSeconds / (1 << 20));
    std::printf("  grep  %8.2f ms  (%8.2f ms without the %.2f ms shell start)\n",
                c.grepSeconds * 1e3, grepScan * 1e3, shellSeconds * 1e3);
    std::printf("  ratio ours/grep %.2f  (%.2f against grep without the shell start)\n",
                c.oursSeconds / c.grepSeconds, c.oursSeconds / grepScan);
}

void checkCountAgainstGrep(const std::filesystem::path& file, std::string_view text,
                           std::uint64_t ours) {
    // grep also counts the heading line, which never holds these texts.
    const std::uint64_t theirs = grepCount(file, text);
    if (theirs != ours) {
        throw std::runtime_error("hit counts differ from grep: " + std::to_string(ours) +
                                 " against " + std::to_string(theirs));
    }
}

void runMillionStations(const ScratchFolder& scratch) {
    const std::filesystem::path file = scratch.path() / "ms_million.txt";
    generateDatabase(file, 1'000'000);
    const std::uint64_t bytes = std::filesystem::file_size(file);
    std::printf("database: 1,000,000 stations, %.1f MiB\n", static_cast<double>(bytes) / (1 << 20));
    warmPageCache(file);
    const double shellSeconds = bestCommandSeconds(kRuns, "true");

    const Comparison absent = compareWithGrep(file, kAbsentText);
    checkCountAgainstGrep(file, kAbsentText, absent.oursHits);
    printComparison("no hit", kAbsentText, absent, shellSeconds, bytes);
    std::printf("  goal ratio <= 1.0: %s\n",
                absent.oursSeconds <= absent.grepSeconds - shellSeconds ? "met" : "MISSED");

    const Comparison frequent = compareWithGrep(file, kFrequentText);
    checkCountAgainstGrep(file, kFrequentText, frequent.oursHits);
    printComparison("many hits", kFrequentText, frequent, shellSeconds, bytes);
}

void runGigabyte(const ScratchFolder& scratch) {
    const std::filesystem::path file = scratch.path() / "ms_gigabyte.txt";
    generateDatabase(file, 10'000'000);
    const std::uint64_t bytes = std::filesystem::file_size(file);
    std::uint64_t hits = 0;
    const double seconds = bestSeconds(1, [&] { hits = countHits(file, kFrequentText); });
    std::printf("database: 10,000,000 stations, %.1f MiB: \"%.*s\" %llu hits in %.0f ms\n",
                static_cast<double>(bytes) / (1 << 20), static_cast<int>(kFrequentText.size()),
                kFrequentText.data(), static_cast<unsigned long long>(hits), seconds * 1e3);
    std::filesystem::remove(file);
}

// Only the block buffer and the hit line are held, so the peak stays small
// whatever the size of the file.
void printPeakResident(const char* when) {
    const double peak = peakResidentMiB();
    std::printf("peak resident memory %s: %.1f MiB (goal < 32 MiB): %s\n", when, peak,
                peak < 32.0 ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    const bool gigabyte = argc > 1 && std::string_view(argv[1]) == "--gigabyte";
    if (argc > 2 || (argc == 2 && !gigabyte)) {
        std::fprintf(stderr, "usage: %s [--gigabyte]\n", argv[0]);
        return 2;
    }
    try {
        const ScratchFolder scratch;
        runMillionStations(scratch);
        printPeakResident("after the million stations");
        if (gigabyte) {
            runGigabyte(scratch);
            printPeakResident("after the gigabyte");
        }
    } catch (const std::runtime_error& failure) {
        std::fprintf(stderr, "bench_search: %s\n", failure.what());
        return 1;
    }
    return 0;
}
