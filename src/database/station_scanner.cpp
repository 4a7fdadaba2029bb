// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/station_scanner.h"

#include "database/station_record.h"
#include "database/text_encoding.h"
#include "database/x86_simd.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#include <utility>

namespace kelmora {
namespace {

// The bytes that one word of marks covers, one a bit.
constexpr std::size_t kMaskBytes = 64;
// Lines handed out by one call of next(): enough to make the call's cost
// vanish, few enough to stay in the processor's nearest cache.
constexpr std::size_t kLinesPerCall = 1024;

// Marks, for `words` times 64 bytes from `from`, each line end (bit i of a
// word for byte i; the LF of a CR LF is no line end of its own) and each
// ";". The first byte is taken to follow no CR.
using Marker = void (*)(const char* from, std::size_t words, std::uint64_t* lineEnds,
                        std::uint64_t* separators);

// The CRs and LFs of 64 bytes, as bits.
struct Breaks {
    std::uint64_t crs;
    std::uint64_t lfs;
};

// A CR ends a line, and so does an LF unless a CR stands just before it.
std::uint64_t lineEnds(Breaks breaks, std::uint64_t& crBefore) {
    const std::uint64_t ends = breaks.crs | (breaks.lfs & ~(breaks.crs << 1 | crBefore));
    crBefore = breaks.crs >> 63;
    return ends;
}

#ifdef KELMORA_SEARCH_X86_SIMD

std::uint64_t equalBits16(__m128i bytes, char byte) {
    return static_cast<std::uint16_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(byte))));
}

// crBefore: whether the byte before `from` is a CR; updated for the next.
void markSse2(const char* from, std::size_t words, std::uint64_t* ends, std::uint64_t* separators,
              std::uint64_t& crBefore) {
    for (std::size_t word = 0; word < words; ++word, from += kMaskBytes) {
        Breaks breaks{0, 0};
        std::uint64_t wordSeparators = 0;
        for (unsigned part = 0; part < 4; ++part) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16 * part));
            breaks.crs |= equalBits16(bytes, '\r') << (16 * part);
            breaks.lfs |= equalBits16(bytes, '\n') << (16 * part);
            wordSeparators |= equalBits16(bytes, ';') << (16 * part);
        }
        ends[word] = lineEnds(breaks, crBefore);
        separators[word] = wordSeparators;
    }
}

void markSse2(const char* from, std::size_t words, std::uint64_t* ends, std::uint64_t* separators) {
    std::uint64_t crBefore = 0;
    markSse2(from, words, ends, separators, crBefore);
}

__attribute__((target("avx2"))) std::uint64_t equalBits64(__m256i low, __m256i high, char byte) {
    const __m256i wanted = _mm256_set1_epi8(byte);
    const auto lowBits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, wanted)));
    const auto highBits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, wanted)));
    return std::uint64_t{highBits} << 32 | lowBits;
}

__attribute__((target("avx2"))) void markWordAvx2(const char* from, std::uint64_t& ends,
                                                  std::uint64_t& separators,
                                                  std::uint64_t& crBefore) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 32));
    ends = lineEnds({equalBits64(low, high, '\r'), equalBits64(low, high, '\n')}, crBefore);
    separators = equalBits64(low, high, ';');
}

// Two words a round; an odd last word is marked by the SSE2 code, which so
// runs on every machine.
__attribute__((target("avx2"))) void markAvx2(const char* from, std::size_t words,
                                              std::uint64_t* ends, std::uint64_t* separators) {
    std::uint64_t crBefore = 0;
    std::size_t word = 0;
    for (; word + 2 <= words; word += 2, from += 2 * kMaskBytes) {
        markWordAvx2(from, ends[word], separators[word], crBefore);
        markWordAvx2(from + kMaskBytes, ends[word + 1], separators[word + 1], crBefore);
    }
    markSse2(from, words - word, ends + word, separators + word, crBefore);
}

Marker chooseMarker() {
    return __builtin_cpu_supports("avx2") ? markAvx2 : static_cast<Marker>(markSse2);
}

#else

std::uint64_t equalBits64(const char* from, char byte) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < kMaskBytes; ++i) {
        bits |= std::uint64_t{from[i] == byte} << i;
    }
    return bits;
}

void markPortable(const char* from, std::size_t words, std::uint64_t* ends,
                  std::uint64_t* separators) {
    std::uint64_t crBefore = 0;
    for (std::size_t word = 0; word < words; ++word, from += kMaskBytes) {
        ends[word] = lineEnds({equalBits64(from, '\r'), equalBits64(from, '\n')}, crBefore);
        separators[word] = equalBits64(from, ';');
    }
}

Marker chooseMarker() {
    return markPortable;
}

#endif

} // namespace

StationScanner::StationScanner(InputFile file, bool hasHeadingLine, std::size_t blockSize)
    : file_(std::move(file)), columns_(hasHeadingLine),
      blockSize_(std::max(blockSize, kSmallestBlockSize)), blockOffset_(file_.position()),
      atStart_(blockOffset_ == 0) {
    block_.resize(blockSize_ + kMaskBytes);
    lineEnds_.resize(blockSize_ / kMaskBytes + 2);
    separators_.resize(lineEnds_.size());
    lines_.resize(kLinesPerCall);
}

bool StationScanner::readFirstLine() {
    std::string_view line;
    const auto takeFirst = [this, &line](std::size_t, std::size_t begin, std::size_t end) {
        line = std::string_view(block_.data() + begin, end - begin);
    };
    while (forLines(1, takeFirst) == 0) {
        if (atEnd_ || !readMore()) {
            return false;
        }
    }
    takeColumns(line);
    return true;
}

void StationScanner::takeColumns(std::string_view firstLine) {
    columns_.takeHeadingLine(firstLine);
    const auto callsign = columns_.callsignField();
    const auto locator = columns_.locatorField();
    // Both columns known, and not one and the same.
    columnsKnown_ = callsign && locator && *callsign != *locator;
    if (columnsKnown_) {
        callsignField_ = *callsign;
        locatorField_ = *locator;
        firstField_ = std::min(callsignField_, locatorField_);
        secondField_ = std::max(callsignField_, locatorField_);
    }
}

// The two fields as splitFields finds them, quotes not yet taken off, where
// the separators that end the fields up to the farther column all lie in
// the line's first 64 bytes. False for any other line.
inline bool StationScanner::fieldsNearStart(std::size_t begin, std::size_t length,
                                            StationColumns::Fields& fields) const {
    const std::size_t word = begin / kMaskBytes;
    const std::size_t shift = begin % kMaskBytes;
    // The separators among the 64 bytes from the line's start, and none
    // beyond its end.
    std::uint64_t separators = separators_[word] >> shift | (separators_[word + 1] << 1)
                                                                << (kMaskBytes - 1 - shift);
    if (length < kMaskBytes) {
        separators &= (std::uint64_t{1} << length) - 1;
    }
    // Where the nearer column's field and the farther's start and stop; a
    // stop of 64 is a separator out of sight.
    std::size_t firstStart = 0;
    for (std::size_t field = 0; field < firstField_; ++field) {
        firstStart = static_cast<std::size_t>(std::countr_zero(separators)) + 1;
        separators &= separators - 1;
    }
    const auto firstStop = static_cast<std::size_t>(std::countr_zero(separators));
    std::size_t secondStart = firstStop + 1;
    separators &= separators - 1;
    for (std::size_t field = firstField_ + 1; field < secondField_; ++field) {
        secondStart = static_cast<std::size_t>(std::countr_zero(separators)) + 1;
        separators &= separators - 1;
    }
    const auto secondStop = static_cast<std::size_t>(std::countr_zero(separators));
    if (secondStop == kMaskBytes) {
        return false;
    }
    const char* text = block_.data() + begin;
    const std::string_view first(text + firstStart, firstStop - firstStart);
    const std::string_view second(text + secondStart, secondStop - secondStart);
    const bool callsignFirst = callsignField_ < locatorField_;
    fields = {callsignFirst ? first : second, callsignFirst ? second : first};
    return true;
}

inline void StationScanner::takeLine(std::size_t begin, std::size_t end, Line& line) const {
    line.offset = blockOffset_ + begin;
    line.verdict = LookupStation::Verdict::Taken;
    const std::size_t length = end - begin;
    StationColumns::Fields fields;
    if (columnsKnown_ && fieldsNearStart(begin, length, fields) &&
        LookupStation::takePlain(fields.callsign, fields.locator, line.station)) {
        return;
    }
    fields = columns_.fieldsOf(std::string_view(block_.data() + begin, length));
    line.verdict = LookupStation::check(fields.callsign, fields.locator, line.station);
}

std::span<const StationScanner::Line> StationScanner::next() {
    for (;;) {
        Line* const lines = lines_.data();
        const std::size_t count = forLines(
            kLinesPerCall, [this, lines](std::size_t line, std::size_t begin, std::size_t end) {
                takeLine(begin, end, lines[line]);
            });
        if (count != 0 || atEnd_) {
            return std::span(lines_).first(count);
        }
        if (!readMore()) {
            return {};
        }
    }
}

// Calls take(line, begin, end) for each whole line that the block holds from
// pos_ on, counting them from 0, at most `most` of them, and moves pos_ past
// them; returns their number.
template <typename Take> std::size_t StationScanner::forLines(std::size_t most, Take take) {
    if (pos_ >= end_) {
        return 0;
    }
    const char* block = block_.data();
    const std::uint64_t* lineEnds = lineEnds_.data();
    // A line end at the block's last byte may be the CR of a CR LF whose LF
    // comes with the next block: that line waits for it.
    const std::size_t lastEnd = atEnd_ ? end_ : end_ - 1;
    std::size_t pos = pos_;
    std::size_t word = pos / kMaskBytes;
    std::uint64_t ends = lineEnds[word] & (~std::uint64_t{0} << (pos % kMaskBytes));
    std::size_t count = 0;
    while (count < most) {
        while (ends == 0) {
            ends = lineEnds[++word]; // the mark at end_ ends the search
        }
        const std::size_t stop =
            word * kMaskBytes + static_cast<std::size_t>(std::countr_zero(ends));
        if (stop >= lastEnd) {
            if (stop == end_ && atEnd_ && pos < end_) {
                take(count++, pos, end_); // the last line, without a line end
                pos = end_;
            }
            break;
        }
        ends &= ends - 1;
        take(count++, pos, stop);
        // The block ends in a NUL byte, so the byte after the last is no LF.
        pos = stop + 1 + static_cast<std::size_t>(block[stop] == '\r' && block[stop + 1] == '\n');
    }
    pos_ = pos;
    return count;
}

// Keeps the bytes from pos_ on at the start of the block and reads on after
// them; false when reading failed.
bool StationScanner::readMore() {
    const std::size_t kept = end_ - pos_;
    if (kept > blockSize_ / 2) {
        // A long line: the block grows, so that each read brings many bytes.
        blockSize_ *= 2;
        block_.resize(blockSize_ + kMaskBytes);
        lineEnds_.resize(blockSize_ / kMaskBytes + 2);
        separators_.resize(lineEnds_.size());
    }
    std::memmove(block_.data(), block_.data() + pos_, kept);
    blockOffset_ += pos_;
    pos_ = 0;
    const std::size_t wanted = blockSize_ - kept;
    const std::size_t got = file_.read(std::span(block_.data() + kept, wanted));
    end_ = kept + got;
    block_[end_] = '\0';
    atEnd_ = got < wanted;
    if (std::exchange(atStart_, false) &&
        std::string_view(block_.data(), end_).starts_with(kUtf8ByteOrderMark)) {
        pos_ = kUtf8ByteOrderMark.size();
    }
    markBlock();
    return !failed();
}

// Marks the block's bytes up to end_ and beyond, to the end of that word;
// what lies beyond is never looked at, as the mark at end_ comes first.
void StationScanner::markBlock() {
    static const Marker mark = chooseMarker();
    const std::size_t last = end_ / kMaskBytes;
    mark(block_.data(), last + 1, lineEnds_.data(), separators_.data());
    lineEnds_[last] |= std::uint64_t{1} << end_ % kMaskBytes;
}

} // namespace kelmora
