// SPDX-License-Identifier: GPL-3.0-or-later
// Input: a flag byte (bit 0: a new list gets CR LF), two bytes for the
// length of the stations (low byte first), the stations ("call;locator" a
// line, checked as the database's fields are), then the old list.
//
// The merge of arbitrary stations into arbitrary list bytes must keep every
// line of the old list, each with the database's locator where the database
// has its call, and bring in nothing but the calls the list lacks and its own
// comment line. A second update with the same stations must change nothing
// but that line and count no change.

#include "export/lookup_list.h"

#include "fuzz_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::fuzz {
namespace {

constexpr std::string_view kDatabaseName = "ms195.txt";

struct Stations {
    std::vector<LookupStation> taken; // in the database's order, duplicates too
    std::uint64_t leftOut = 0;
};

Stations checkStations(std::string_view text) {
    Stations stations;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t separator = line.find(';');
        const std::string_view locator =
            separator == std::string_view::npos ? std::string_view() : line.substr(separator + 1);
        LookupStation station;
        if (LookupStation::check(line.substr(0, separator), locator, station) ==
            LookupStation::Verdict::Taken) {
            stations.taken.push_back(station);
        } else {
            ++stations.leftOut;
        }
    }
    return stations;
}

struct Update {
    std::string list;
    std::string ownLine;
    LookupCounts counts;
};

// Nothing where the bytes are no look-up list.
std::optional<Update> update(std::string bytes, LineEnd newLineEnd, const Stations& stations,
                             std::string_view date) {
    LookupList list(std::move(bytes), newLineEnd);
    if (list.fault()) {
        return std::nullopt;
    }
    for (const LookupStation& station : stations.taken) {
        list.take(station);
    }
    for (std::uint64_t i = 0; i < stations.leftOut; ++i) {
        list.leaveOut(LookupStation::Verdict::InvalidCall);
    }
    list.finish();
    Update result{{}, list.ownLine(kDatabaseName, date), list.counts()};
    const bool written = list.write(result.ownLine, [&result](std::string_view piece) {
        result.list.append(piece);
        return true;
    });
    require(written, "the list was not handed over whole");
    return result;
}

// The lines of a list as a reader takes them: after a byte-order mark, up to
// each LF, without the CRs before it; a last line may lack its end.
std::vector<std::string_view> linesOf(std::string_view list) {
    if (list.starts_with(kByteOrderMark)) {
        list.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::string_view> lines;
    while (!list.empty()) {
        const std::size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
        while (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

bool isStationLine(std::string_view line) {
    return !line.starts_with("//") && !line.starts_with("ZZZZ");
}

// The line with its second field made the locator, every other field kept,
// and a comma after the locator.
std::string withGrid(std::string_view line, std::string_view grid) {
    const std::size_t comma = line.find(',');
    const std::string_view key = line.substr(0, comma);
    std::string_view after = ",";
    if (comma != std::string_view::npos) {
        const std::size_t gridEnd = line.find(',', comma + 1);
        if (gridEnd != std::string_view::npos) {
            after = line.substr(gridEnd);
        }
    }
    return std::string(key) + "," + std::string(grid) + std::string(after);
}

// The lines the new list must hold, in any order: the old ones, those of a
// call the database has with its locator, the calls the list lacks, and the
// update's own line instead of an earlier one.
std::multiset<std::string> expectedLines(std::string_view oldList, const Stations& stations,
                                         std::string_view ownLine, std::uint64_t& added) {
    std::map<std::string, std::string, std::less<>> grids; // the first station of a call
    for (const LookupStation& station : stations.taken) {
        grids.try_emplace(std::string(station.call()), station.grid());
    }
    std::multiset<std::string> lines{std::string(ownLine)};
    std::set<std::string, std::less<>> calls;
    for (const std::string_view line : linesOf(oldList)) {
        if (line.starts_with(LookupList::kOwnLinePrefix)) {
            continue;
        }
        const std::string_view key = line.substr(0, line.find(','));
        const auto grid = grids.find(key);
        if (isStationLine(line) && grid != grids.end()) {
            calls.emplace(key);
            lines.insert(withGrid(line, grid->second));
        } else {
            lines.emplace(line);
        }
    }
    added = 0;
    for (const auto& [call, grid] : grids) {
        if (!calls.contains(call)) {
            lines.insert(call + "," + grid + ",,,");
            ++added;
        }
    }
    return lines;
}

// Every line of the new list ends with the list's line end, and only there.
void checkLineEnds(std::string_view list) {
    std::string_view text = list;
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    require(text.ends_with('\n'), "the new list's last line has no line end");
    const std::size_t firstLf = text.find('\n');
    const bool crLf = firstLf > 0 && text[firstLf - 1] == '\r';
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', lf + 1)) {
        require((lf > 0 && text[lf - 1] == '\r') == crLf, "the new list mixes line ends");
        require(!crLf || lf < 2 || text[lf - 2] != '\r', "a line of the new list ends in CR");
    }
}

void checkFirstUpdate(std::string_view oldList, const Stations& stations, const Update& first) {
    require(first.list.starts_with(kByteOrderMark) == oldList.starts_with(kByteOrderMark),
            "the byte-order mark came or went");
    checkLineEnds(first.list);
    std::uint64_t added = 0;
    const std::multiset<std::string> expected =
        expectedLines(oldList, stations, first.ownLine, added);
    const std::vector<std::string_view> written = linesOf(first.list);
    require(std::multiset<std::string>(written.begin(), written.end()) == expected,
            "a line was lost, changed or came from nowhere");
    require(first.counts.added == added, "the added calls are miscounted");
}

void checkSecondUpdate(const Stations& stations, LineEnd newLineEnd, const Update& first) {
    const std::optional<Update> second = update(first.list, newLineEnd, stations, "2027-01-31");
    require(second.has_value(), "the updated list is refused");
    require(second->counts.added == 0 && second->counts.changed == 0,
            "a second update counts a change");
    require(second->counts.leftOut() == first.counts.leftOut(),
            "a second update leaves out other stations");
    std::string expected = first.list;
    const std::size_t at = expected.find(first.ownLine);
    require(at != std::string::npos, "the own line is missing");
    expected.replace(at, first.ownLine.size(), second->ownLine);
    require(second->list == expected, "a second update changed more than its own line");
}

} // namespace
} // namespace kelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmora;
    using namespace kelmora::fuzz;
    InputBytes input(data, size);
    const LineEnd newLineEnd = (input.byte() & 0x01) != 0 ? LineEnd::CrLf : LineEnd::Lf;
    const std::size_t stationBytes = input.byte() | (std::size_t{input.byte()} << 8);
    const Stations stations = checkStations(input.take(stationBytes));
    const std::string_view oldList = input.rest();

    const std::optional<Update> first =
        update(std::string(oldList), newLineEnd, stations, "2026-12-07");
    if (!first) {
        return 0;
    }
    checkFirstUpdate(oldList, stations, *first);
    checkSecondUpdate(stations, newLineEnd, *first);
    return 0;
}
