// SPDX-License-Identifier: GPL-3.0-or-later
// Input: a flag byte (bit 0: the database has a heading line; the others:
// how many bytes beyond the least the reader's blocks hold), then the
// database.
//
// The map's stations must be those of a plain model of the station lists'
// columns and rules, in the order of the file, each with the offset of its
// line, wherever the blocks end; every station's line must come back whole by
// that offset.

#include "geo/map_stations.h"

#include "fuzz_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::fuzz {
namespace {

struct ModelStation {
    std::string call;
    std::string locator;
    std::uint64_t offset;
    std::string_view line;
};

bool isAlphanumeric(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool inRange(char c, char first, char last) {
    return c >= first && c <= last;
}

std::string withoutBlanks(const std::string& field) {
    const std::size_t first = field.find_first_not_of(' ');
    return first == std::string::npos
               ? std::string()
               : field.substr(first, field.find_last_not_of(' ') - first + 1);
}

// Letters A-R twice, two digits, and for six characters letters A-X twice;
// "RR73" is a word of the digital modes. Upper case already.
bool isStationLocator(const std::string& locator) {
    if ((locator.size() != 4 && locator.size() != 6) || locator == "RR73") {
        return false;
    }
    bool valid = inRange(locator[0], 'A', 'R') && inRange(locator[1], 'A', 'R') &&
                 inRange(locator[2], '0', '9') && inRange(locator[3], '0', '9');
    if (locator.size() == 6) {
        valid = valid && inRange(locator[4], 'A', 'X') && inRange(locator[5], 'A', 'X');
    }
    return valid;
}

// A callsign of 3 to 12 letters and digits, without "/" anywhere in its
// field, not starting with ZZZZ.
bool isStationCall(const std::string& field, const std::string& call) {
    return field.find('/') == std::string::npos && call.size() >= 3 && call.size() <= 12 &&
           std::all_of(call.begin(), call.end(), isAlphanumeric) && !call.starts_with("ZZZZ");
}

struct Model {
    std::vector<ModelStation> stations;
    std::uint64_t leftOut = 0;
    geo::MapStations::Status status = geo::MapStations::Status::Read;
};

Model modelOf(std::string_view file, bool hasHeadingLine) {
    Model model;
    const std::vector<std::string_view> lines = referenceLines(file);
    if (lines.empty()) {
        return model;
    }
    const ReferenceColumns columns =
        hasHeadingLine ? ReferenceColumns::fromHeading(lines.front()) : ReferenceColumns{};
    if (columns.locator == 0) {
        model.status = geo::MapStations::Status::NoLocatorColumn;
        return model;
    }
    if (columns.callsign == 0) {
        model.status = geo::MapStations::Status::NoCallColumn;
        return model;
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto [callField, locatorField] = columns.fieldsOf(lines[i]);
        const std::string call = asciiUpper(withoutBlanks(callField));
        const std::string locator = asciiUpper(withoutBlanks(locatorField));
        if (isStationCall(callField, call) && isStationLocator(locator)) {
            const auto offset = static_cast<std::uint64_t>(lines[i].data() - file.data());
            model.stations.push_back({call, locator, offset, lines[i]});
        } else {
            ++model.leftOut;
        }
    }
    return model;
}

void checkStation(const geo::MapStations& stations, std::size_t i, const ModelStation& expected,
                  InputFile& file) {
    const geo::MapStation& station = stations.stations()[i];
    require(station.call() == expected.call, "a station's call differs from the model");
    require(station.locator().text() == expected.locator,
            "a station's locator differs from the model");
    require(station.lineOffset() == expected.offset, "a station's offset differs from the model");
    require(stations.stationAtOffset(expected.offset) == i, "a station is not found by its offset");
    const geo::MapStations::Line line = stations.lineOf(i, file);
    require(line.status == geo::MapStations::Line::Status::Read && line.text == expected.line,
            "a station's line does not come back by its offset");
    const std::vector<std::size_t> sharing = stations.stationsAt(station.locator());
    require(std::find(sharing.begin(), sharing.end(), i) != sharing.end(),
            "a station is missing among those at its locator");
}

} // namespace
} // namespace kelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmora;
    using namespace kelmora::fuzz;
    InputBytes input(data, size);
    const std::uint8_t flags = input.byte();
    const bool hasHeadingLine = (flags & 0x01) != 0;
    const std::size_t blockSize = StationScanner::kSmallestBlockSize + (flags >> 1);
    const std::string_view database = input.rest();

    const MemoryFile file(database);
    const geo::MapStations stations =
        geo::MapStations::read(file.open(), hasHeadingLine, blockSize);
    const Model model = modelOf(database, hasHeadingLine);
    require(stations.status() == model.status, "the status differs from the model");
    require(stations.size() == model.stations.size(), "the number of stations differs");
    require(stations.linesLeftOut() == model.leftOut, "the lines left out differ");
    InputFile again = file.open();
    for (std::size_t i = 0; i < model.stations.size(); ++i) {
        checkStation(stations, i, model.stations[i], again);
    }
    return 0;
}
