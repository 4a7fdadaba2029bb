// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench_support.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <time.h>
#include <vector>

namespace kelmora::bench {
namespace {

const std::array<const char*, 12> kRemarks = {"Nur Sked \xfc"
                                              "ber Mail",
                                              "QRV MS-Saison",
                                              "sked via ON4KST",
                                              "10 W, Gr\xf6\xdf"
                                              "e egal",
                                              "Contest-Station",
                                              "\"looking, for skeds\"",
                                              "keine Bemerkung",
                                              "random ok",
                                              "Portabel im Sommer",
                                              "M\xfc"
                                              "nchen Umgebung",
                                              "CW und SSB",
                                              ""};
const std::array<const char*, 8> kActivities = {"FSK441 / JT6M",  "2m MS, FSK441", "CW MS",
                                                "WSJT all modes", "6m Es, JT44",   "SSB MS",
                                                "HSCW",           "2m / 70cm"};
const std::array<const char*, 6> kRigs = {"IC-202 / 144.370", "TS-2000 100W",     "FT-847 4x17el",
                                          "144.390",          "IC-910 + PA 600W", ""};

char letter(std::mt19937& random) {
    return static_cast<char>('A' + random() % 26);
}

std::string callsign(std::mt19937& random) {
    std::string call = "QQ";
    call += static_cast<char>('0' + random() % 10);
    for (unsigned i = 0, n = 2 + random() % 2; i < n; ++i) {
        call += letter(random);
    }
    if (random() % 40 == 0) {
        call += "/P";
    }
    return call;
}

std::string locator(std::mt19937& random) {
    std::string loc;
    loc += static_cast<char>('A' + random() % 18);
    loc += static_cast<char>('A' + random() % 18);
    loc += static_cast<char>('0' + random() % 10);
    loc += static_cast<char>('0' + random() % 10);
    loc += static_cast<char>('a' + random() % 24);
    loc += static_cast<char>('a' + random() % 24);
    return loc;
}

} // namespace

void generateDatabase(const std::filesystem::path& path, std::uint64_t stations) {
    std::mt19937 random(441);
    std::ofstream out(path, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out << "CALL;Bemerkung;LOCATOR;Aktivit\xe4ten;RIG / QRG;Name;E-Mail;Stand :\r\n";
    std::string line;
    for (std::uint64_t i = 0; i < stations; ++i) {
        line.clear();
        line += callsign(random);
        line += ';';
        line += kRemarks[random() % kRemarks.size()];
        line += ';';
        line += locator(random);
        line += ';';
        line += kActivities[random() % kActivities.size()];
        line += ';';
        line += kRigs[random() % kRigs.size()];
        line += ";Op ";
        line += letter(random);
        line += static_cast<char>('a' + random() % 26);
        line += static_cast<char>('a' + random() % 26);
        line += ";op";
        line += std::to_string(random() % 100000);
        line += "@example.org;";
        line += std::to_string(1 + random() % 28) + "." + std::to_string(1 + random() % 12) +
                ".2026\r\n";
        out << line;
    }
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

namespace {

struct LoggedBand {
    const char* name;
    const char* frequency;
};
const std::array<LoggedBand, 5> kLoggedBands = {LoggedBand{"2m", "144.360000"},
                                                {"2m", "144.150000"},
                                                {"6m", "50.230000"},
                                                {"70cm", "432.065000"},
                                                {"20m", "14.074000"}};
const std::array<const char*, 4> kLoggedModes = {"MSK144", "FSK441", "FT8", "JT65"};

void addField(std::string& record, std::string_view name, std::string_view value) {
    record += '<';
    record += name;
    record += ':';
    record += std::to_string(value.size());
    record += '>';
    record += value;
    record += ' ';
}

} // namespace

void generateAdifLog(const std::filesystem::path& path, std::uint64_t qsos,
                     std::uint32_t distinctCalls) {
    std::mt19937 random(144);
    std::vector<std::string> calls(distinctCalls);
    std::vector<std::string> grids(distinctCalls);
    for (std::uint32_t i = 0; i < distinctCalls; ++i) {
        calls[i] = callsign(random);
        grids[i] = locator(random).substr(0, 4);
    }
    std::ofstream out(path, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out << "WSJT-X ADIF Export<eoh>\n";
    std::string record;
    for (std::uint64_t i = 0; i < qsos; ++i) {
        const std::uint32_t station = static_cast<std::uint32_t>(random() % distinctCalls);
        const LoggedBand& band = kLoggedBands[random() % kLoggedBands.size()];
        char date[16];
        std::snprintf(date, sizeof date, "2026%02lu%02lu", 10 + random() % 3, 10 + random() % 18);
        char time[16];
        std::snprintf(time, sizeof time, "%06lu", 100000 + random() % 130000);
        record.clear();
        addField(record, "call", calls[station]);
        addField(record, "gridsquare", grids[station]);
        addField(record, "mode", kLoggedModes[random() % kLoggedModes.size()]);
        char report[8];
        std::snprintf(report, sizeof report, "-%02lu", random() % 20);
        addField(record, "rst_sent", report);
        std::snprintf(report, sizeof report, "-%02lu", random() % 20);
        addField(record, "rst_rcvd", report);
        addField(record, "qso_date", date);
        addField(record, "time_on", time);
        addField(record, "qso_date_off", date);
        addField(record, "time_off", time);
        addField(record, "band", band.name);
        addField(record, "freq", band.frequency);
        addField(record, "station_callsign", "QQ0AA");
        addField(record, "my_gridsquare", "JO62QM");
        if (random() % 3 == 0) {
            addField(record, "lotw_qsl_rcvd", "Y");
        }
        record += "<eor>\n";
        out << record;
    }
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

double bestSeconds(int runs, const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

namespace {

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

Timing timeOnce(const std::function<void()>& work) {
    const double cpuStart = threadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {took.count(), threadCpuSeconds() - cpuStart};
}

double bestCommandSeconds(int runs, const std::string& command) {
    return bestSeconds(runs, [&command] {
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("command failed: " + command);
        }
    });
}

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void warmPageCache(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
    }
}

bool sameBytes(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    std::array<char, 1 << 16> bufferA{};
    std::array<char, 1 << 16> bufferB{};
    while (first && second) {
        first.read(bufferA.data(), bufferA.size());
        second.read(bufferB.data(), bufferB.size());
        if (first.gcount() != second.gcount() ||
            !std::equal(bufferA.begin(), bufferA.begin() + first.gcount(), bufferB.begin())) {
            return false;
        }
    }
    return first.eof() && second.eof();
}

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string awkProgram(int argc, char** argv, const std::string& scriptName) {
    const std::filesystem::path script =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::path(__FILE__).parent_path() / scriptName;
    const std::filesystem::path columns = script.parent_path() / "database_columns.awk";
    for (const std::filesystem::path& file : {columns, script}) {
        if (!std::filesystem::is_regular_file(file)) {
            throw std::runtime_error("awk script not found: " + file.string());
        }
    }
    return "-f " + shellQuote(columns.string()) + " -f " + shellQuote(script.string());
}

} // namespace kelmora::bench
