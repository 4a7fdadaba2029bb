// SPDX-License-Identifier: GPL-3.0-or-later
// Input: a byte for the block size, a control byte (low four bits: stop after
// that many hits, 0 = never; bit 4: the file grows at every hit), a byte for
// the length of the search text, the search text, then the file.
//
// The block scanner must report the same hit lines in the same order as the
// plain way: every line after the first, read one at a time and tested with
// SearchPattern::matches.

#include "database/line_reader.h"
#include "database/search_matcher.h"
#include "fuzz_support.h"
#include "support/reference_search.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora::fuzz {
namespace {

struct SearchInput {
    std::size_t blockSize;
    std::uint64_t stopAfter; // 0: the handler never stops the scan
    bool growOnHit;
    std::string_view text;
    std::string_view file;
};

// Tiny blocks put block ends everywhere in a line; mid-sized ones give the
// vector search room; 255 tries the size the window uses.
std::size_t blockSizeOf(std::uint8_t choice) {
    if (choice < 128) {
        return 1 + choice;
    }
    if (choice < 255) {
        return 128 + (choice - 128) * 31u;
    }
    return kSearchBlockSize;
}

SearchInput parse(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    SearchInput parsed{};
    parsed.blockSize = blockSizeOf(input.byte());
    const std::uint8_t control = input.byte();
    parsed.stopAfter = control & 0x0F;
    parsed.growOnHit = (control & 0x10) != 0;
    parsed.text = input.take(input.byte() % 32);
    parsed.file = input.rest();
    return parsed;
}

std::vector<std::string> referenceHits(const MemoryFile& file, const SearchPattern& pattern) {
    LineReader reader(file.open(), 4096);
    std::vector<std::string> hits = testing::referenceHits(reader, pattern);
    require(!reader.failed(), "reading a memfd failed");
    return hits;
}

struct Scan {
    ScanOutcome outcome;
    std::vector<std::string> hits;
};

// A file that grows while it is searched: each hit appends a line that
// would be a hit too, which the scan must not see.
Scan scan(const MemoryFile& file, const SearchPattern& pattern, const SearchInput& input) {
    Scan result;
    const std::string grownLine = "\n" + std::string(input.text) + "\n";
    result.outcome = scanForHits(
        file.open(), pattern,
        [&](std::string_view line) {
            result.hits.emplace_back(line);
            if (input.growOnHit) {
                file.append(grownLine);
            }
            return input.stopAfter == 0 || result.hits.size() < input.stopAfter;
        },
        input.blockSize);
    return result;
}

void checkAgainstReference(const Scan& scan, const std::vector<std::string>& expected,
                           std::uint64_t stopAfter) {
    const bool stops = stopAfter != 0 && expected.size() >= stopAfter;
    const std::size_t count = stops ? stopAfter : expected.size();
    require(scan.outcome.end == (stops ? ScanEnd::Stopped : ScanEnd::EndOfFile),
            "the scan ended the wrong way");
    require(scan.outcome.hits == scan.hits.size(), "the hit count is not the handler's calls");
    require(scan.hits.size() == count, "number of hits differs from the reference");
    for (std::size_t i = 0; i < count; ++i) {
        require(scan.hits[i] == expected[i], "a hit line differs from the reference");
    }
}

} // namespace
} // namespace kelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmora::fuzz;
    const SearchInput input = parse(data, size);
    const kelmora::SearchPattern pattern = kelmora::SearchPattern::fromUtf8(input.text);
    const MemoryFile file(input.file);
    const std::vector<std::string> expected = referenceHits(file, pattern);
    checkAgainstReference(scan(file, pattern, input), expected, input.stopAfter);
    return 0;
}
