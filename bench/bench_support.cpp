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
#include <sys/resource.h>
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
