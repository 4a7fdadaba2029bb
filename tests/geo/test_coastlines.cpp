// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/coastlines.h"
#include "support/printing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace kelmora::geo {
namespace {

using kelmora::testing::PrintTo;

using Bytes = std::vector<unsigned char>;
// A place in the resource's units, 1e-4 degrees.
struct Units {
    std::int64_t latitude;
    std::int64_t longitude;
};
using Line = std::vector<Units>;

void appendNumber(Bytes& bytes, std::uint64_t n) {
    for (; n >= 0x80; n >>= 7) {
        bytes.push_back(static_cast<unsigned char>(n | 0x80));
    }
    bytes.push_back(static_cast<unsigned char>(n));
}

void appendChange(Bytes& bytes, std::int64_t change) {
    appendNumber(bytes, change < 0 ? std::uint64_t(-2 * change - 1) : std::uint64_t(2 * change));
}

// A resource as the build writes it, with the header's counts given.
Bytes resource(std::uint64_t lineCount, std::uint64_t pointCount, const std::vector<Line>& lines) {
    Bytes bytes{'K', 'M', 'C', 'L', 1};
    appendNumber(bytes, lineCount);
    appendNumber(bytes, pointCount);
    Units last{0, 0};
    for (const Line& line : lines) {
        appendNumber(bytes, line.size());
        for (const Units& place : line) {
            appendChange(bytes, place.latitude - last.latitude);
            appendChange(bytes, place.longitude - last.longitude);
            last = place;
        }
    }
    return bytes;
}

Bytes resource(const std::vector<Line>& lines) {
    std::uint64_t points = 0;
    for (const Line& line : lines) {
        points += line.size();
    }
    return resource(lines.size(), points, lines);
}

Bytes operator+(Bytes bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

const std::vector<Line> kTwoLines{{{515000, -1000}, {515100, 2500}, {514900, 2600}},
                                  {{-339000, 184000}, {-340000, 185000}}};

struct GoodCase {
    const char* name;
    std::vector<Line> lines;
};

class ReadsResource : public ::testing::TestWithParam<GoodCase> {};

TEST_P(ReadsResource, GivesItsLinesAndPlaces) {
    const std::optional<Coastlines> coasts = Coastlines::fromBytes(resource(GetParam().lines));
    ASSERT_TRUE(coasts);
    ASSERT_EQ(coasts->lineCount(), GetParam().lines.size());
    for (std::size_t i = 0; i < coasts->lineCount(); ++i) {
        const Line& expected = GetParam().lines[i];
        ASSERT_EQ(coasts->line(i).size(), expected.size()) << "line " << i;
        for (std::size_t j = 0; j < expected.size(); ++j) {
            EXPECT_DOUBLE_EQ(coasts->line(i)[j].latitude, expected[j].latitude / 1e4);
            EXPECT_DOUBLE_EQ(coasts->line(i)[j].longitude, expected[j].longitude / 1e4);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Resources, ReadsResource,
    ::testing::Values(GoodCase{"TwoLines", kTwoLines},
                      GoodCase{"PolesAndDateLine",
                               {{{900000, 1800000}, {-900000, -1800000}, {900000, -1800000}}}},
                      GoodCase{"NoLines", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    Bytes bytes;
};

class RefusesResource : public ::testing::TestWithParam<BadCase> {};

TEST_P(RefusesResource, GivesNothing) {
    EXPECT_FALSE(Coastlines::fromBytes(GetParam().bytes));
}

Bytes withByte(Bytes bytes, std::size_t index, unsigned char value) {
    bytes.at(index) = value;
    return bytes;
}

const Bytes kHeader{'K', 'M', 'C', 'L', 1};

INSTANTIATE_TEST_SUITE_P(
    Malformed, RefusesResource,
    ::testing::Values(BadCase{"Empty", {}},
                      BadCase{"OtherMagic", withByte(resource(kTwoLines), 0, 'X')},
                      BadCase{"OtherVersion", withByte(resource(kTwoLines), 4, 2)},
                      BadCase{"HeaderWithoutCounts", kHeader},
                      BadCase{"MoreLinesThanGiven", resource(3, 6, kTwoLines)},
                      BadCase{"FewerLinesThanGiven", resource(1, 3, kTwoLines)},
                      BadCase{"MorePointsThanTheLinesHold", resource(2, 6, kTwoLines)},
                      BadCase{"FewerPointsThanTheLinesHold", resource(2, 4, kTwoLines)},
                      BadCase{"PointsBeyondTheBytes", resource(1, 0xffffffff, {})},
                      BadCase{"LinesBeyondThePoints", resource(0xffffffff, 5, kTwoLines)},
                      BadCase{"LineOfOnePoint",
                              resource({{{0, 0}}, {{1, 1}, {2, 2}}, {{3, 3}, {4, 4}, {5, 5}}})},
                      BadCase{"BeyondTheNorthPole", resource({{{900001, 0}, {0, 0}}})},
                      BadCase{"BeyondTheSouthPole", resource({{{0, 0}, {-900001, 0}}})},
                      BadCase{"BeyondTheDateLineEast", resource({{{0, 1800001}, {0, 0}}})},
                      BadCase{"BeyondTheDateLineWest", resource({{{0, 0}, {0, -1800001}}})},
                      // One line of two places, the first change 2^32 + 2 (1 if cut to 32 bits).
                      BadCase{"ChangeBeyond32Bits",
                              kHeader + Bytes{1, 2, 2, 0x82, 0x80, 0x80, 0x80, 0x10, 0, 0, 0}},
                      BadCase{"NumberCutOff", kHeader + Bytes{0x80}},
                      BadCase{"BytesLeftOver", resource(kTwoLines) + Bytes{0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RefusesResource, CutAnywhere) {
    const Bytes whole = resource(kTwoLines);
    ASSERT_TRUE(Coastlines::fromBytes(whole));
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_FALSE(Coastlines::fromBytes(std::span(whole).first(size))) << size << " bytes";
    }
}

// Where a place lies from another, in km east and north on the plane that
// touches the Earth there: close enough within a few hundred km.
struct Km {
    double east;
    double north;
};

Km offsetKm(LatLon from, LatLon to) {
    constexpr double kKmPerDegree = 111.2;
    const double east = std::remainder(to.longitude - from.longitude, 360.0) *
                        std::cos(from.latitude * std::numbers::pi / 180);
    return {east * kKmPerDegree, (to.latitude - from.latitude) * kKmPerDegree};
}

// How far the origin lies from the stretch from a to b.
double stretchKm(Km a, Km b) {
    const Km d{b.east - a.east, b.north - a.north};
    const double squared = d.east * d.east + d.north * d.north;
    const double t =
        squared == 0 ? 0 : std::clamp(-(a.east * d.east + a.north * d.north) / squared, 0.0, 1.0);
    return std::hypot(a.east + t * d.east, a.north + t * d.north);
}

double nearestShoreKm(const Coastlines& coasts, LatLon place) {
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < coasts.lineCount(); ++i) {
        const auto line = coasts.line(i);
        for (std::size_t j = 1; j < line.size(); ++j) {
            nearest = std::min(nearest,
                               stretchKm(offsetKm(place, line[j - 1]), offsetKm(place, line[j])));
        }
    }
    return nearest;
}

TEST(BuiltInCoastlines, ReadAtLowResolution) {
    const Coastlines& coasts = Coastlines::builtIn();
    EXPECT_GT(coasts.lineCount(), 1000u);
    // Crude resolution has some 11,000 points, intermediate 390,000.
    EXPECT_GT(coasts.pointCount(), 50'000u);
    EXPECT_LT(coasts.pointCount(), 150'000u);
}

TEST(BuiltInCoastlines, LinesMakeNoJumps) {
    // GSHHG's low resolution keeps its points at most some 300 km apart; a
    // point decoded from the wrong start lies anywhere.
    const Coastlines& coasts = Coastlines::builtIn();
    double longest = 0;
    for (std::size_t i = 0; i < coasts.lineCount(); ++i) {
        const auto line = coasts.line(i);
        for (std::size_t j = 1; j < line.size(); ++j) {
            const Km step = offsetKm(line[j - 1], line[j]);
            longest = std::max(longest, std::hypot(step.east, step.north));
        }
    }
    EXPECT_LT(longest, 500.0);
}

struct KnownPlace {
    const char* name;
    LatLon place;
    bool onTheCoast; // a shore within 10 km, else none within 150 km
};

class BuiltInCoastlinesNear : public ::testing::TestWithParam<KnownPlace> {};

TEST_P(BuiltInCoastlinesNear, KnownPlaces) {
    const double km = nearestShoreKm(Coastlines::builtIn(), GetParam().place);
    if (GetParam().onTheCoast) {
        EXPECT_LT(km, 10.0);
    } else {
        EXPECT_GT(km, 150.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Places, BuiltInCoastlinesNear,
    ::testing::Values(KnownPlace{"Dover", {51.12, 1.33}, true},
                      KnownPlace{"CapePoint", {-34.36, 18.49}, true},
                      KnownPlace{"CapeHorn", {-55.98, -67.27}, true},
                      KnownPlace{"Honolulu", {21.30, -157.86}, true},
                      KnownPlace{"CapeDezhnevAtTheDateLine", {66.08, -169.65}, true},
                      KnownPlace{"TaveuniOnTheDateLine", {-16.85, 179.95}, true},
                      KnownPlace{"KarlstadAtLakeVanern", {59.38, 13.50}, true},
                      KnownPlace{"SiofokAtLakeBalaton", {46.91, 18.05}, true},
                      KnownPlace{"Krakow", {50.06, 19.94}, false},
                      KnownPlace{"MidAtlantic", {30.0, -40.0}, false},
                      KnownPlace{"SouthPole", {-90.0, 0.0}, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kelmora::geo
