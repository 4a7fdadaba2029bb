// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/input_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora {

// The search text in the two encodings a database line can have. A line that
// is valid UTF-8 is searched for the UTF-8 form, any other line for the
// Windows-1252 form; a text with a character that Windows-1252 lacks cannot
// occur in a Windows-1252 line.
struct SearchPattern {
    std::string utf8;
    std::optional<std::string> windows1252;

    // From the search text as the user typed it, already trimmed and upper-cased.
    static SearchPattern fromUtf8(std::string_view text);

    // Whether one line (without its line end) contains the text, compared
    // byte for byte in the line's own encoding.
    bool matches(std::string_view line) const;
};

enum class ScanEnd {
    EndOfFile,  // every line was looked at
    Stopped,    // the hit handler asked to stop
    ReadFailed, // the file could not be opened, or reading failed part-way
};

struct ScanOutcome {
    ScanEnd end = ScanEnd::EndOfFile;
    std::uint64_t hits = 0;
};

// Called with each hit line, without its line end; returns true to go on.
using HitHandler = std::function<bool(std::string_view line)>;

// Scans the file from the top for lines that contain the pattern. The first
// line (the headings) is never searched. Lines are the same as LineReader's:
// they end at CR LF, LF or a lone CR. The file is searched in large blocks;
// only a hit line is ever copied out, so memory stays flat whatever the size
// of the file. An empty pattern makes every line after the first a hit.
ScanOutcome scanForHits(InputFile file, const SearchPattern& pattern, const HitHandler& onHit);
ScanOutcome scanForHits(const std::filesystem::path& path, const SearchPattern& pattern,
                        const HitHandler& onHit);

// The bytes read at a time. Small blocks bring the block boundaries within
// reach of small files; any size of at least one byte gives the same hits.
inline constexpr std::size_t kSearchBlockSize = 1024 * 1024;
ScanOutcome scanForHits(InputFile file, const SearchPattern& pattern, const HitHandler& onHit,
                        std::size_t blockSize);

} // namespace kelmora
