// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace kelmora::log {

// A callsign reduced once to 64 bits, so that a million stations are looked
// up in the log without handling their text again. The call is taken in
// upper case without the blanks around it; "DL1ABC" and "dl1abc" give one
// key, "DL1ABC/P" another. Two different calls share a key with a chance of
// about 2^-64 a pair: for a million stations against a log of a hundred
// thousand calls, about one in two hundred million.
struct CallKey {
    std::uint64_t value = 0;
    bool operator==(const CallKey&) const = default;
};

CallKey callKeyOf(std::string_view call);

} // namespace kelmora::log
