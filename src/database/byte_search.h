// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// Searches in large stretches of database bytes, as fast as the processor
// allows; the ranges are [from, to).
namespace kelmora {

// The first occurrence of the needle that lies wholly in the range, or nullptr.
const char* findBytes(const char* from, const char* to, std::string_view needle);

// The first CR or LF in the range, or `to`.
const char* findLineBreak(const char* from, const char* to);

// The last CR or LF in the range, or nullptr.
const char* findLastLineBreak(const char* from, const char* to);

} // namespace kelmora
