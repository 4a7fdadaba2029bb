#include "database/search_matcher.h"

#include "database/line_reader.h"
#include "database/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELMORA_SEARCH_X86_SIMD 1
#include <immintrin.h>
#endif

namespace kelmora {

SearchPattern SearchPattern::fromUtf8(std::string_view text) {
    return {std::string(text), utf8ToWindows1252(text)};
}

bool SearchPattern::matches(std::string_view line) const {
    if (isValidUtf8(line)) {
        return line.find(utf8) != std::string_view::npos;
    }
    return windows1252.has_value() && line.find(*windows1252) != std::string_view::npos;
}

namespace {

bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

bool containsLineBreak(std::string_view text) {
    return std::any_of(text.begin(), text.end(), isLineBreak);
}

// Line breaks are looked for in growing windows: in a file with only one kind
// of line end, the search for the other kind must not run to the end of the
// block at every hit.
constexpr std::size_t kFirstBreakWindow = 256;
constexpr std::size_t kLastBreakWindow = 64 * 1024;

// The first CR or LF in [from, to), or `to`.
const char* findLineBreak(const char* from, const char* to) {
    std::size_t window = kFirstBreakWindow;
    while (from < to) {
        const std::size_t length = std::min(window, static_cast<std::size_t>(to - from));
        const auto* lf = static_cast<const char*>(std::memchr(from, '\n', length));
        const std::size_t crLength = lf != nullptr ? static_cast<std::size_t>(lf - from) : length;
        const auto* cr = static_cast<const char*>(std::memchr(from, '\r', crLength));
        if (cr != nullptr) {
            return cr;
        }
        if (lf != nullptr) {
            return lf;
        }
        from += length;
        window = std::min(window * 2, kLastBreakWindow);
    }
    return to;
}

// The last CR or LF in [from, to), or nullptr.
const char* findLastLineBreak(const char* from, const char* to) {
    std::size_t window = kFirstBreakWindow;
    while (from < to) {
        const std::size_t length = std::min(window, static_cast<std::size_t>(to - from));
        const char* start = to - length;
        const auto* lf = static_cast<const char*>(::memrchr(start, '\n', length));
        const char* crStart = lf != nullptr ? lf + 1 : start;
        const auto* cr = static_cast<const char*>(
            ::memrchr(crStart, '\r', static_cast<std::size_t>(to - crStart)));
        if (cr != nullptr) {
            return cr;
        }
        if (lf != nullptr) {
            return lf;
        }
        to = start;
        window = std::min(window * 2, kLastBreakWindow);
    }
    return nullptr;
}

// The first occurrence of a needle of two or more bytes that lies wholly in
// [from, to), or nullptr.
using PairFinder = const char* (*)(const char* from, const char* to, std::string_view needle);

const char* findPlain(const char* from, const char* to, std::string_view needle) {
    const std::string_view haystack(from, static_cast<std::size_t>(to - from));
    const std::size_t at = haystack.find(needle);
    return at == std::string_view::npos ? nullptr : from + at;
}

#ifdef KELMORA_SEARCH_X86_SIMD

// Both SIMD finders test many start positions at once for the needle's first
// and last byte; the bytes between are compared only where both are in place.
// In station data that pair is rare even when the first byte alone is common
// (every callsign starts with the same prefix letters).

// Compares the middle bytes at every start position set in the mask.
const char* verifyCandidates(const char* base, std::uint32_t mask, std::string_view needle) {
    while (mask != 0) {
        const char* at = base + std::countr_zero(mask);
        if (std::memcmp(at + 1, needle.data() + 1, needle.size() - 2) == 0) {
            return at;
        }
        mask &= mask - 1;
    }
    return nullptr;
}

const char* findPairSse2(const char* from, const char* to, std::string_view needle) {
    constexpr std::size_t kWidth = 16;
    const std::size_t lastOffset = needle.size() - 1;
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    const char* p = from;
    while (static_cast<std::size_t>(to - p) >= kWidth + lastOffset) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + lastOffset));
        const __m128i both =
            _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last));
        const auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(both));
        if (mask != 0) {
            if (const char* found = verifyCandidates(p, mask, needle)) {
                return found;
            }
        }
        p += kWidth;
    }
    return findPlain(p, to, needle);
}

__attribute__((target("avx2"))) std::uint32_t pairMaskAvx2(const char* p, std::size_t lastOffset,
                                                           __m256i first, __m256i last) {
    const __m256i heads = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i tails = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + lastOffset));
    const __m256i both =
        _mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, last));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(both));
}

__attribute__((target("avx2"))) const char* findPairAvx2(const char* from, const char* to,
                                                         std::string_view needle) {
    constexpr std::size_t kWidth = 32;
    const std::size_t lastOffset = needle.size() - 1;
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i last = _mm256_set1_epi8(needle.back());
    const char* p = from;
    // Two vectors a round: a miss on both costs one branch.
    while (static_cast<std::size_t>(to - p) >= 2 * kWidth + lastOffset) {
        const std::uint32_t low = pairMaskAvx2(p, lastOffset, first, last);
        const std::uint32_t high = pairMaskAvx2(p + kWidth, lastOffset, first, last);
        if ((low | high) != 0) {
            if (const char* found = verifyCandidates(p, low, needle)) {
                return found;
            }
            if (const char* found = verifyCandidates(p + kWidth, high, needle)) {
                return found;
            }
        }
        p += 2 * kWidth;
    }
    return findPairSse2(p, to, needle);
}

PairFinder choosePairFinder() {
    return __builtin_cpu_supports("avx2") ? findPairAvx2 : findPairSse2;
}

#else

PairFinder choosePairFinder() {
    return findPlain;
}

#endif

const char* findNeedle(const char* from, const char* to, std::string_view needle) {
    if (static_cast<std::size_t>(to - from) < needle.size()) {
        return nullptr;
    }
    if (needle.size() == 1) {
        return static_cast<const char*>(
            std::memchr(from, needle.front(), static_cast<std::size_t>(to - from)));
    }
    static const PairFinder pairFinder = choosePairFinder();
    return pairFinder(from, to, needle);
}

// One form of the search text, with the start of its next occurrence in the
// block cached, so that with two forms the one that occurs later is not
// searched again after every hit of the other.
struct Needle {
    std::string bytes;
    std::size_t next = kUnknown;

    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
};

// The needles worth searching for: a form with a line break can never lie
// inside a line, and equal forms are searched once.
std::vector<Needle> needlesOf(const SearchPattern& pattern) {
    std::vector<Needle> needles;
    const auto add = [&needles](const std::string& form) {
        if (containsLineBreak(form)) {
            return;
        }
        if (std::none_of(needles.begin(), needles.end(),
                         [&form](const Needle& n) { return n.bytes == form; })) {
            needles.push_back({form});
        }
    };
    add(pattern.utf8);
    if (pattern.windows1252) {
        add(*pattern.windows1252);
    }
    return needles;
}

// Finds hit lines without splitting the file into lines: the blocks are
// searched for the needles, and only around an occurrence are the line's
// start and end looked up. The block keeps the last needle length - 1 bytes
// of the one before, so an occurrence across a block boundary is seen whole.
class BlockScanner {
public:
    BlockScanner(InputFile& file, const SearchPattern& pattern, const HitHandler& onHit,
                 std::size_t blockSize)
        : file_(file), pattern_(pattern), onHit_(onHit), needles_(needlesOf(pattern)),
          blockSize_(std::max<std::size_t>(blockSize, 1)) {
        for (const Needle& needle : needles_) {
            overlap_ = std::max(overlap_, needle.bytes.size() - 1);
        }
        // Where both forms are one and the same bytes, every occurrence is a
        // hit whatever the line's encoding; otherwise the encoding decides.
        verifyEncoding_ = !(pattern.windows1252 && *pattern.windows1252 == pattern.utf8);
        buffer_.resize(overlap_ + blockSize_);
    }

    ScanOutcome run() {
        if (!readMore() || !skipHeading()) {
            return finish();
        }
        while (const auto candidate = nextCandidate()) {
            if (!handleCandidate(*candidate)) {
                return finish();
            }
        }
        return finish();
    }

private:
    // Appends the next block to the buffer; false on a read error.
    bool readMore() {
        const std::span<char> space(buffer_.data() + end_, buffer_.size() - end_);
        const std::size_t wanted = std::min(space.size(), blockSize_);
        const std::size_t got = file_.read(space.first(wanted));
        end_ += got;
        atEnd_ = got < wanted;
        for (Needle& needle : needles_) {
            needle.next = Needle::kUnknown;
        }
        if (file_.error()) {
            failed_ = true;
        }
        return !failed_;
    }

    // Moves on to the next block, keeping what an occurrence may still start
    // in. False at the end of the file and on a read error.
    bool nextBlock() {
        if (atEnd_) {
            return false;
        }
        const std::size_t keepFrom = std::max(pos_, end_ - std::min(end_, overlap_));
        noteLineBreaksBefore(keepFrom);
        std::memmove(buffer_.data(), buffer_.data() + keepFrom, end_ - keepFrom);
        bufferOffset_ += keepFrom;
        end_ -= keepFrom;
        pos_ = 0; // keepFrom is at or after the old position
        return readMore();
    }

    // Keeps lineStart_ true before bytes [0, keep) leave the buffer.
    void noteLineBreaksBefore(std::size_t keep) {
        if (const char* lastBreak = findLastLineBreak(buffer_.data(), buffer_.data() + keep)) {
            lineStart_ = std::max(lineStart_,
                                  bufferOffset_ +
                                      static_cast<std::uint64_t>(lastBreak - buffer_.data()) + 1);
        }
    }

    // The first line is the headings and is never searched.
    bool skipHeading() { return findLineEnd(0, 0).has_value(); }

    // Start of the next occurrence of any needle at or after pos_, reading on
    // as far as needed; nothing at the end of the file or on a read error.
    std::optional<std::size_t> nextCandidate() {
        for (;;) {
            std::size_t first = end_;
            for (Needle& needle : needles_) {
                if (needle.next == Needle::kUnknown || needle.next < pos_) {
                    needle.next = occurrenceFrom(pos_, needle.bytes);
                }
                first = std::min(first, needle.next);
            }
            if (first < end_) {
                return first;
            }
            if (!nextBlock()) {
                return std::nullopt;
            }
        }
    }

    std::size_t occurrenceFrom(std::size_t from, std::string_view needle) const {
        const char* found = findNeedle(buffer_.data() + from, buffer_.data() + end_, needle);
        return found != nullptr ? static_cast<std::size_t>(found - buffer_.data()) : end_;
    }

    // File offset where the line holding buffer position `at` begins.
    std::uint64_t lineBeginOf(std::size_t at) const {
        const char* lastBreak = findLastLineBreak(buffer_.data(), buffer_.data() + at);
        if (lastBreak == nullptr) {
            return lineStart_;
        }
        return bufferOffset_ + static_cast<std::uint64_t>(lastBreak - buffer_.data()) + 1;
    }

    // Finds the end of the line that begins at file offset lineBegin and
    // holds buffer position `from`, reading on past the block as long as the
    // line goes on. Leaves pos_ on the line end and returns its file offset;
    // nothing on a read error.
    std::optional<std::uint64_t> findLineEnd(std::size_t from, std::uint64_t lineBegin) {
        // No line break lies between lineBegin and the blocks dropped below.
        lineStart_ = std::max(lineStart_, lineBegin);
        for (;;) {
            const char* stop = findLineBreak(buffer_.data() + from, buffer_.data() + end_);
            pos_ = static_cast<std::size_t>(stop - buffer_.data());
            if (pos_ < end_ || atEnd_) {
                return bufferOffset_ + pos_;
            }
            bufferOffset_ += end_;
            end_ = 0;
            from = 0;
            if (!readMore()) {
                return std::nullopt;
            }
        }
    }

    // Looks at the whole line around an occurrence; false when the scan ends.
    bool handleCandidate(std::size_t at) {
        const std::uint64_t lineBegin = lineBeginOf(at);
        const std::optional<std::uint64_t> lineEnd = findLineEnd(at, lineBegin);
        if (!lineEnd) {
            return false;
        }
        const std::optional<std::string_view> line = fetchLine(lineBegin, *lineEnd);
        if (!line) {
            return false;
        }
        if (verifyEncoding_ && !pattern_.matches(*line)) {
            return true;
        }
        ++hits_;
        if (!onHit_(*line)) {
            stopped_ = true;
            return false;
        }
        return true;
    }

    // The line's bytes: in the buffer when they are all still there, else
    // read again from the file.
    std::optional<std::string_view> fetchLine(std::uint64_t begin, std::uint64_t end) {
        if (begin >= bufferOffset_) {
            return std::string_view(buffer_.data() + (begin - bufferOffset_),
                                    static_cast<std::size_t>(end - begin));
        }
        lineCopy_.resize(static_cast<std::size_t>(end - begin));
        if (file_.readAt(begin, lineCopy_) != lineCopy_.size()) {
            // A read error, or the file shrank since these bytes were read.
            failed_ = true;
            return std::nullopt;
        }
        return std::string_view(lineCopy_);
    }

    ScanOutcome finish() const {
        if (failed_ || file_.error()) {
            return {ScanEnd::ReadFailed, hits_};
        }
        return {stopped_ ? ScanEnd::Stopped : ScanEnd::EndOfFile, hits_};
    }

    InputFile& file_;
    const SearchPattern& pattern_;
    const HitHandler& onHit_;
    std::vector<Needle> needles_;
    std::size_t blockSize_;
    std::size_t overlap_ = 0;
    bool verifyEncoding_ = true;

    std::vector<char> buffer_;
    std::uint64_t bufferOffset_ = 0; // file offset of buffer_[0]
    std::size_t end_ = 0;            // bytes of the file in the buffer
    std::size_t pos_ = 0;            // occurrences are looked for from here on
    // File offset just after the last line break before buffer_[0] (0 if
    // none): where a line begins that starts before the buffer.
    std::uint64_t lineStart_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool stopped_ = false;
    std::uint64_t hits_ = 0;
    std::string lineCopy_;
};

// Every line after the first is a hit, so the lines are simply read in turn.
ScanOutcome scanEveryLine(InputFile file, const HitHandler& onHit) {
    LineReader reader(std::move(file));
    ScanOutcome outcome;
    std::string_view line;
    if (reader.next(line)) {
        while (reader.next(line)) {
            ++outcome.hits;
            if (!onHit(line)) {
                outcome.end = ScanEnd::Stopped;
                return outcome;
            }
        }
    }
    if (reader.failed()) {
        outcome.end = ScanEnd::ReadFailed;
    }
    return outcome;
}

} // namespace

ScanOutcome scanForHits(InputFile file, const SearchPattern& pattern, const HitHandler& onHit,
                        std::size_t blockSize) {
    if (!file.isOpen()) {
        return {ScanEnd::ReadFailed, 0};
    }
    if (pattern.utf8.empty()) {
        return scanEveryLine(std::move(file), onHit);
    }
    return BlockScanner(file, pattern, onHit, blockSize).run();
}

ScanOutcome scanForHits(InputFile file, const SearchPattern& pattern, const HitHandler& onHit) {
    return scanForHits(std::move(file), pattern, onHit, kSearchBlockSize);
}

ScanOutcome scanForHits(const std::filesystem::path& path, const SearchPattern& pattern,
                        const HitHandler& onHit) {
    return scanForHits(InputFile(path), pattern, onHit, kSearchBlockSize);
}

} // namespace kelmora
