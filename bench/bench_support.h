// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kelmora::bench {

// Writes a database of fictitious stations: a heading line, then one station
// per line in the usual eight fields, CR LF line ends, Windows-1252 remarks.
// About 100 bytes a station. Streams with a small buffer.
void generateDatabase(const std::filesystem::path& path, std::uint64_t stations);

// Writes an ADIF log of fictitious QSOs as WSJT-X writes its log: a header,
// then one record a line, about 280 bytes a QSO. The calls are drawn from
// `distinctCalls` calls shaped like the generated database's, so a longer
// log of the same seed holds the same calls and squares.
void generateAdifLog(const std::filesystem::path& path, std::uint64_t qsos,
                     std::uint32_t distinctCalls);

// Seconds of wall time the function takes, best of `runs`.
double bestSeconds(int runs, const std::function<void()>& work);

// One run of the function: its wall time, and the processor time of the
// calling thread (which the machine's other work does not add to).
struct Timing {
    double wallSeconds = 0;
    double cpuSeconds = 0;
};
Timing timeOnce(const std::function<void()>& work);

// Runs a shell command and returns its wall time in seconds (best of runs);
// aborts the benchmark when the command fails.
double bestCommandSeconds(int runs, const std::string& command);

// Peak resident memory of this process so far, in MiB.
double peakResidentMiB();

// Reads the whole file once so that every contender finds it in the page cache.
void warmPageCache(const std::filesystem::path& path);

// Whether two files hold the same bytes. Streams both, so that the check
// itself keeps memory flat.
bool sameBytes(const std::filesystem::path& a, const std::filesystem::path& b);

// A folder for the benchmark's files, removed when the object goes.
using ScratchFolder = testing::TempFolder;

std::string shellQuote(const std::string& text);

// The awk program of a benchmark's yardstick as awk's arguments, quoted for
// the shell: the column rules that the yardsticks share
// (database_columns.awk), then the script named on the command line, else the
// one of that name beside the benchmarks' sources. Throws std::runtime_error
// when a file is missing.
std::string awkProgram(int argc, char** argv, const std::string& scriptName);

} // namespace kelmora::bench
