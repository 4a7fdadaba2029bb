// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/line_reader.h"
#include "database/search_matcher.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelmora::testing {

// The plain way to search, against which the block scanner is checked: every
// line after the first, one at a time.
inline std::vector<std::string> referenceHits(LineReader& reader, const SearchPattern& pattern) {
    std::vector<std::string> hits;
    std::string_view line;
    if (!reader.next(line)) {
        return hits;
    }
    while (reader.next(line)) {
        if (pattern.matches(line)) {
            hits.emplace_back(line);
        }
    }
    return hits;
}

} // namespace kelmora::testing
