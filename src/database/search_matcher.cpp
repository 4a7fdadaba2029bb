// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/search_matcher.h"

#include "database/byte_search.h"
#include "database/line_reader.h"
#include "database/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

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
// start and end looked up.
//
// Where the scanner stands, at every step:
// - buffer_[0, end_) holds the bytes of the file from offset bufferOffset_ on;
//   buffer_[0] is the byte at file offset bufferOffset_.
// - pos_ <= end_. Every occurrence that starts before pos_ has been dealt with;
//   the next is looked for from pos_ on. After a hit, pos_ is on its line end.
// - lineStart_ is the file offset just after the last line break before
//   buffer_[0] (0 when there is none): where a line begins that started
//   before the buffer. It is brought up to date before bytes leave the buffer.
// - overlap_ is the longest needle's length - 1. When the next block is read,
//   the last overlap_ bytes stay in front of it (or all from pos_ on, if
//   fewer), so an occurrence across a block boundary is seen whole.
// - atEnd_: the last read brought fewer bytes than asked for, so the buffer
//   ends where the file ended when it was opened.
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
        const char* found = findBytes(buffer_.data() + from, buffer_.data() + end_, needle);
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
    std::uint64_t bufferOffset_ = 0;
    std::size_t end_ = 0;
    std::size_t pos_ = 0;
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
