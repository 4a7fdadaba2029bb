// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/lookup_list.h"

#include "database/ascii.h"
#include "database/station_columns.h"
#include "database/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace kelmora {
namespace {

constexpr std::string_view kCommentStart = "//";
constexpr std::string_view kVersionStart = "// Version";
constexpr std::string_view kEndStart = "ZZZZ";
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

std::uint64_t lineNumberAt(std::string_view text, std::size_t position) {
    return 1 + static_cast<std::uint64_t>(std::count(text.begin(), text.begin() + position, '\n'));
}

// No line end may come into the list by a name.
std::string printable(std::string_view text) {
    std::string result(text);
    std::replace_if(
        result.begin(), result.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
    return result;
}

// FNV-1a: callsigns are short, and any spread will do for a table of them.
std::uint32_t hashOf(std::string_view key) {
    std::uint32_t hash = 2166136261u;
    for (const char c : key) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

// The second field of a line whose key is keyLength long; empty when the
// line has no comma.
std::string_view gridField(std::string_view line, std::size_t keyLength) {
    if (keyLength >= line.size()) {
        return {};
    }
    const std::string_view rest = line.substr(keyLength + 1);
    return rest.substr(0, rest.find(','));
}

// Whether a comma follows the field, which views the line's bytes.
bool commaFollows(std::string_view field, std::string_view line) {
    return field.data() + field.size() < line.data() + line.size();
}

std::string_view firstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// Gathers the new list into pieces of about a megabyte for the writer. A
// long stretch of the old list goes to the writer as it is, uncopied.
class Pieces {
public:
    Pieces(std::string_view lineEnd, const std::function<bool(std::string_view)>& write)
        : lineEnd_(lineEnd), write_(write) {
        piece_.reserve(kPieceSize + LookupList::kLongestLine + 64);
    }

    std::string_view lineEnd() const { return lineEnd_; }

    // A line of the given parts and the line end.
    template <typename... Parts> void line(const Parts&... parts) {
        (piece_.append(parts), ...);
        piece_.append(lineEnd_);
        sendWhenFull();
    }

    // A line whose second field becomes grid; every other field stays, and a
    // comma follows the locator, which older readers need behind one of four.
    void changedLine(std::string_view text, std::size_t keyLength, std::string_view grid) {
        const std::size_t gridEnd =
            keyLength < text.size() ? text.find(',', keyLength + 1) : std::string_view::npos;
        line(text.substr(0, keyLength), ",", grid,
             gridEnd == std::string_view::npos ? std::string_view(",") : text.substr(gridEnd));
    }

    // Bytes that are whole lines already.
    void bytes(std::string_view bytes) {
        if (bytes.size() < kPieceSize / 16) {
            piece_.append(bytes);
            sendWhenFull();
            return;
        }
        send();
        written_ = written_ && write_(bytes);
    }

    bool finish() {
        send();
        return written_;
    }

private:
    void sendWhenFull() {
        if (piece_.size() >= kPieceSize) {
            send();
        }
    }

    void send() {
        if (!piece_.empty()) {
            written_ = written_ && write_(piece_);
            piece_.clear();
        }
    }

    std::string_view lineEnd_;
    const std::function<bool(std::string_view)>& write_;
    std::string piece_;
    bool written_ = true;
};

} // namespace

LookupList::LookupList(std::string bytes, LineEnd newLineEnd)
    : bytes_(std::move(bytes)), lineEnd_(newLineEnd) {
    if (bytes_.size() > kLargestList) {
        fault_ = {ListFault::Kind::TooLarge};
        return;
    }
    std::string_view text = bytes_;
    if (text.starts_with(kUtf8ByteOrderMark)) {
        byteOrderMark_ = true;
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
        fault_ = {ListFault::Kind::NulByte,
                  lineNumberAt(
                      text, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()))};
        return;
    }
    // Another database of the folder, chosen in the same dialog as the list.
    // A comment line is none, whatever it says: an update writes one first.
    if (const std::string_view first = firstLine(text);
        !first.starts_with(kCommentStart) && isStationHeadingLine(first)) {
        fault_ = {ListFault::Kind::StationDatabase};
        return;
    }
    if (const std::size_t firstLf = text.find('\n'); firstLf != std::string_view::npos) {
        lineEnd_ = firstLf > 0 && text[firstLf - 1] == '\r' ? LineEnd::CrLf : LineEnd::Lf;
    }
    stations_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    splitLines(text);
    if (!fault_) {
        sortStationLines();
        buildKeyIndex();
    }
}

// Lines end at LF; the CRs before it belong to the line end, whichever the
// file's own is, so that a stray CR LF in an LF list is not kept twice and a
// line written anew never ends in a CR that the next update would drop.
void LookupList::splitLines(std::string_view text) {
    std::uint64_t number = 0;
    const char* position = text.data();
    const char* const end = position + text.size();
    while (position != end) {
        ++number;
        const char* const start = position;
        const auto* lf = static_cast<const char*>(
            std::memchr(start, '\n', static_cast<std::size_t>(end - start)));
        const char* lineEnd = lf ? lf : end;
        position = lf ? lf + 1 : end;
        while (lineEnd != start && lineEnd[-1] == '\r') {
            --lineEnd;
        }
        const std::string_view line(start, static_cast<std::size_t>(lineEnd - start));
        if (line.size() > kLongestLine) {
            fault_ = {ListFault::Kind::LongLine, number};
            return;
        }
        addLine(line);
    }
}

void LookupList::addLine(std::string_view line) {
    if (line.starts_with(kCommentStart)) {
        if (line.starts_with(kOwnLinePrefix)) {
            return; // an earlier update's: this one writes its own
        }
        if (!versionLine_ && line.starts_with(kVersionStart)) {
            versionLine_ = comments_.size();
        }
        comments_.push_back(line);
    } else if (line.starts_with(kEndStart)) {
        endLines_.push_back(line);
    } else {
        const std::size_t comma = line.find(',');
        // Offsets fit: the list is at most kLargestList.
        stations_.push_back({static_cast<std::uint32_t>(line.data() - bytes_.data()),
                             static_cast<std::uint32_t>(line.size()),
                             static_cast<std::uint32_t>(std::min(comma, line.size())), kUntouched});
    }
}

// Most lists come sorted; stable, so that lines with the same call keep
// their order.
void LookupList::sortStationLines() {
    const auto byKey = [this](const StationLine& a, const StationLine& b) {
        return key(a) < key(b);
    };
    if (!std::is_sorted(stations_.begin(), stations_.end(), byKey)) {
        std::stable_sort(stations_.begin(), stations_.end(), byKey);
    }
}

void LookupList::buildKeyIndex() {
    keyIndex_.assign(std::bit_ceil(2 * stations_.size() + 2), 0);
    const std::size_t mask = keyIndex_.size() - 1;
    for (std::size_t i = 0; i < stations_.size(); ++i) {
        if (i > 0 && key(stations_[i]) == key(stations_[i - 1])) {
            continue; // the table leads to the first of them
        }
        std::size_t slot = hashOf(key(stations_[i])) & mask;
        while (keyIndex_[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        keyIndex_[slot] = static_cast<std::uint32_t>(i + 1);
    }
}

std::optional<std::size_t> LookupList::findCall(std::string_view call) const {
    const std::size_t mask = keyIndex_.size() - 1;
    for (std::size_t slot = hashOf(call) & mask; keyIndex_[slot] != 0; slot = (slot + 1) & mask) {
        const std::size_t line = keyIndex_[slot] - 1;
        if (key(stations_[line]) == call) {
            return line;
        }
    }
    return std::nullopt;
}

void LookupList::take(const LookupStation& station) {
    const std::optional<std::size_t> first = findCall(station.call());
    if (!first) {
        if (addedCalls_.contains(station.call())) {
            ++counts_.duplicate;
            return;
        }
        added_.push_back(station); // a deque: the views of the others stay
        addedCalls_.insert(added_.back().call());
        return;
    }
    if (stations_[*first].change != kUntouched) {
        ++counts_.duplicate;
        return;
    }
    bool rewritten = false;
    bool moved = false;
    // A call that stands in the list more than once gets the locator in each line.
    for (std::size_t i = *first; i < stations_.size() && key(stations_[i]) == station.call(); ++i) {
        StationLine& line = stations_[i];
        const std::string_view grid = gridField(text(line), line.keyLength);
        // Kept as it is only with the comma that a rewritten line gets.
        if (grid == station.grid() && commaFollows(grid, text(line))) {
            line.change = kKept;
            continue;
        }
        line.change = static_cast<std::uint32_t>(newGrids_.size());
        rewritten = true;
        moved = moved || !ascii::equalsIgnoringCase(grid, station.grid());
    }
    if (rewritten) {
        newGrids_.push_back(station);
    }
    ++(moved ? counts_.changed : counts_.unchanged);
}

void LookupList::leaveOut(LookupStation::Verdict verdict) {
    switch (verdict) {
    case LookupStation::Verdict::SlashInCall:
        ++counts_.slashInCall;
        break;
    case LookupStation::Verdict::InvalidCall:
        ++counts_.invalidCall;
        break;
    case LookupStation::Verdict::InvalidLocator:
        ++counts_.invalidLocator;
        break;
    case LookupStation::Verdict::Taken:
        break;
    }
}

void LookupList::finish() {
    addedCalls_.clear(); // its views would not survive the sort
    std::sort(added_.begin(), added_.end(),
              [](const LookupStation& a, const LookupStation& b) { return a.call() < b.call(); });
    counts_.added = added_.size();
}

std::string LookupList::ownLine(std::string_view databaseName, std::string_view date) const {
    return std::string(kOwnLinePrefix) + printable(date) + " from " + printable(databaseName) +
           ": " + std::to_string(counts_.added) + " added, " + std::to_string(counts_.changed) +
           " changed";
}

bool LookupList::write(std::string_view ownLine,
                       const std::function<bool(std::string_view piece)>& write) const {
    Pieces out(lineEnd_ == LineEnd::CrLf ? "\r\n" : "\n", write);
    if (byteOrderMark_) {
        out.bytes(kUtf8ByteOrderMark);
    }
    if (!versionLine_) {
        out.line(ownLine);
    }
    for (std::size_t i = 0; i < comments_.size(); ++i) {
        out.line(comments_[i]);
        if (versionLine_ == i) {
            out.line(ownLine);
        }
    }
    // Untouched lines that stood together in the old list, each with the
    // list's line end, go out as that stretch of it.
    std::size_t runStart = 0;
    std::size_t runEnd = 0;
    const auto endRun = [&] {
        out.bytes(std::string_view(bytes_).substr(runStart, runEnd - runStart));
        runStart = runEnd;
    };
    // Two sorted runs whose keys never meet: every added call was missing.
    auto added = added_.begin();
    for (const StationLine& line : stations_) {
        for (; added != added_.end() && added->call() < key(line); ++added) {
            endRun();
            out.line(added->call(), ",", added->grid(), ",,,");
        }
        const std::size_t end = line.start + line.length;
        const bool untouched = line.change == kUntouched || line.change == kKept;
        if (untouched && bytes_.compare(end, out.lineEnd().size(), out.lineEnd()) == 0) {
            if (line.start != runEnd) {
                endRun();
                runStart = line.start;
            }
            runEnd = end + out.lineEnd().size();
            continue;
        }
        endRun();
        if (untouched) {
            out.line(text(line));
        } else {
            out.changedLine(text(line), line.keyLength, newGrids_[line.change].grid());
        }
    }
    endRun();
    for (; added != added_.end(); ++added) {
        out.line(added->call(), ",", added->grid(), ",,,");
    }
    for (const std::string_view line : endLines_) {
        out.line(line);
    }
    return out.finish();
}

} // namespace kelmora
