// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/bands.h"

#include "database/ascii.h"
#include "log/text_word.h"

#include <charconv>
#include <cmath>

namespace kelmora::log {
namespace {

// What BAND or FREQ says.
enum class BandVerdict { OneOfOurs, AnotherBand, Unknown };
struct BandReading {
    BandVerdict verdict = BandVerdict::Unknown;
    Band band = Band::All; // for OneOfOurs
};

struct BandEdges {
    std::string_view name; // upper case, as ADIF's Band enumeration spells it
    double lowestMHz;
    double highestMHz;
    std::optional<Band> ours;
};

// ADIF's Band enumeration with its lower and upper limits in MHz, both
// belonging to the band. 4 m starts at 69.9 MHz, where IARU Region 1's band
// plan puts it (ADIF: 70 MHz); the five bands of this program are looked up
// first, so 69.9 MHz itself is 4 m and not the top of 5 m.
constexpr std::array kBandTable = {
    BandEdges{"2M", 144, 148, Band::TwoMetres},
    BandEdges{"6M", 50, 54, Band::SixMetres},
    BandEdges{"4M", 69.9, 71, Band::FourMetres},
    BandEdges{"70CM", 420, 450, Band::SeventyCentimetres},
    BandEdges{"23CM", 1240, 1300, Band::TwentyThreeCentimetres},
    BandEdges{"2190M", 0.1357, 0.1378, std::nullopt},
    BandEdges{"630M", 0.472, 0.479, std::nullopt},
    BandEdges{"560M", 0.501, 0.504, std::nullopt},
    BandEdges{"160M", 1.8, 2.0, std::nullopt},
    BandEdges{"80M", 3.5, 4.0, std::nullopt},
    BandEdges{"60M", 5.06, 5.45, std::nullopt},
    BandEdges{"40M", 7.0, 7.3, std::nullopt},
    BandEdges{"30M", 10.1, 10.15, std::nullopt},
    BandEdges{"20M", 14.0, 14.35, std::nullopt},
    BandEdges{"17M", 18.068, 18.168, std::nullopt},
    BandEdges{"15M", 21.0, 21.45, std::nullopt},
    BandEdges{"12M", 24.89, 24.99, std::nullopt},
    BandEdges{"10M", 28.0, 29.7, std::nullopt},
    BandEdges{"8M", 40, 45, std::nullopt},
    BandEdges{"5M", 54.000001, 69.9, std::nullopt},
    BandEdges{"1.25M", 222, 225, std::nullopt},
    BandEdges{"33CM", 902, 928, std::nullopt},
    BandEdges{"13CM", 2300, 2450, std::nullopt},
    BandEdges{"9CM", 3300, 3500, std::nullopt},
    BandEdges{"6CM", 5650, 5925, std::nullopt},
    BandEdges{"3CM", 10000, 10500, std::nullopt},
    BandEdges{"1.25CM", 24000, 24250, std::nullopt},
    BandEdges{"6MM", 47000, 47200, std::nullopt},
    BandEdges{"4MM", 75500, 81000, std::nullopt},
    BandEdges{"2.5MM", 119980, 123000, std::nullopt},
    BandEdges{"2MM", 134000, 149000, std::nullopt},
    BandEdges{"1MM", 241000, 250000, std::nullopt},
    BandEdges{"SUBMM", 300000, 7500000, std::nullopt},
};

BandReading readingOf(const BandEdges& edges) {
    return edges.ours ? BandReading{BandVerdict::OneOfOurs, *edges.ours}
                      : BandReading{BandVerdict::AnotherBand, Band::All};
}

// An ADIF Number: digits with at most one decimal point, no sign, no
// exponent; nothing for any other text.
std::optional<double> positiveNumber(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The names as words, found by the log's band in upper case through a
// small table of open addressing: one comparison, rarely two.
constexpr std::size_t kLongestBandName = 8;
constexpr std::size_t kBandSlots = 128;
constexpr std::size_t slotOfBand(TextWord word) {
    return static_cast<std::size_t>((word * 0x9E3779B97F4A7C15ull) >> 57);
}

constexpr auto kBandWords = [] {
    std::array<TextWord, kBandTable.size()> words{};
    for (std::size_t i = 0; i < kBandTable.size(); ++i) {
        words[i] = kBandTable[i].name.size() <= kLongestBandName ? wordOf(kBandTable[i].name)
                                                                 : throw "a band name too long";
    }
    return words;
}();

constexpr auto kBandsByWord = [] {
    static_assert(kBandTable.size() <= kBandSlots / 2);
    std::array<std::int8_t, kBandSlots> slots{};
    slots.fill(-1);
    for (std::size_t i = 0; i < kBandTable.size(); ++i) {
        std::size_t slot = slotOfBand(kBandWords[i]);
        while (slots[slot] >= 0) {
            slot = (slot + 1) % kBandSlots;
        }
        slots[slot] = static_cast<std::int8_t>(i);
    }
    return slots;
}();

BandReading readBandName(std::string_view band) {
    band = ascii::trimBlanks(band);
    if (band.size() > kLongestBandName) {
        return {};
    }
    const TextWord word = upperCased(wordOf(band));
    for (std::size_t slot = slotOfBand(word); kBandsByWord[slot] >= 0;
         slot = (slot + 1) % kBandSlots) {
        const auto i = static_cast<std::size_t>(kBandsByWord[slot]);
        if (word == kBandWords[i] && band.size() == kBandTable[i].name.size()) {
            return readingOf(kBandTable[i]);
        }
    }
    return {};
}

// Kept out of bandOfQso(), which mostly finds BAND and should not pay for
// reading numbers.
[[gnu::noinline]] BandReading readFrequency(std::string_view frequencyMHz) {
    const std::optional<double> mhz = positiveNumber(ascii::trimBlanks(frequencyMHz));
    if (!mhz) {
        return {};
    }
    for (const BandEdges& edges : kBandTable) {
        if (*mhz >= edges.lowestMHz && *mhz <= edges.highestMHz) {
            return readingOf(edges);
        }
    }
    return {};
}

} // namespace

std::optional<Band> bandOfQso(std::string_view band, std::string_view frequencyMHz) {
    BandReading reading = readBandName(band);
    if (reading.verdict == BandVerdict::Unknown) {
        reading = readFrequency(frequencyMHz);
    }
    if (reading.verdict == BandVerdict::OneOfOurs) {
        return reading.band;
    }
    return std::nullopt;
}

} // namespace kelmora::log
