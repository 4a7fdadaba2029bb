// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelmora {

// A station as WSJT-X's look-up list holds it: the callsign, 3 to 12 ASCII
// letters and digits, and a Maidenhead locator of 4 or 6 characters, both in
// upper case.
class LookupStation {
public:
    static constexpr std::size_t kLongestCall = 12;
    static constexpr std::size_t kLongestGrid = 6;

    std::string_view call() const { return {call_.data(), callLength_}; }
    // The call followed by NUL bytes.
    const std::array<char, kLongestCall>& paddedCall() const { return call_; }
    std::string_view grid() const { return {grid_.data(), gridLength_}; }

    // Why a station of the database stays out of the list, or Taken.
    enum class Verdict { Taken, SlashInCall, InvalidCall, InvalidLocator };

    // Checks a station's fields as the database holds them (quotes removed)
    // and, when it is taken, fills station with their upper-case forms.
    static Verdict check(std::string_view callsign, std::string_view locator,
                         LookupStation& station);
    // Takes the usual station at one go: fields without quotes or blanks, a
    // callsign of letters and digits and a valid locator. False for every
    // other station, whose verdict check then gives. The bytes of each field
    // must be readable kReadableAfterStart bytes from its start, beyond its
    // end (as in StationScanner's blocks).
    static constexpr std::size_t kReadableAfterStart = 16;
    static bool takePlain(std::string_view callsign, std::string_view locator,
                          LookupStation& station);

private:
    std::array<char, kLongestCall> call_{};
    std::array<char, kLongestGrid> grid_{};
    std::uint8_t callLength_ = 0;
    std::uint8_t gridLength_ = 0;
};

} // namespace kelmora
