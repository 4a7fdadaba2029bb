// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/lookup_list.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kelmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
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

struct KeyLess {
    template <typename A, typename B> bool operator()(const A& a, const B& b) const {
        return keyOf(a) < keyOf(b);
    }
    static std::string_view keyOf(std::string_view key) { return key; }
    template <typename Line> static std::string_view keyOf(const Line& line) { return line.key(); }
};

} // namespace

LookupList::LookupList(std::string bytes, LineEnd newLineEnd)
    : bytes_(std::move(bytes)), lineEnd_(newLineEnd) {
    std::string_view text = bytes_;
    if (text.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
        fault_ = {ListTextFault::Kind::NulByte,
                  lineNumberAt(
                      text, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()))};
        return;
    }
    if (const std::size_t firstLf = text.find('\n'); firstLf != std::string_view::npos) {
        lineEnd_ = firstLf > 0 && text[firstLf - 1] == '\r' ? LineEnd::CrLf : LineEnd::Lf;
    }
    splitLines(text);
    if (!std::is_sorted(stations_.begin(), stations_.end(), KeyLess{})) {
        std::stable_sort(stations_.begin(), stations_.end(), KeyLess{});
    }
}

// Lines end at LF; a CR before it belongs to the line end, whichever the
// file's own is, so that a stray CR LF in an LF list is not kept twice.
void LookupList::splitLines(std::string_view text) {
    std::uint64_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.size() > kLongestLine) {
            fault_ = {ListTextFault::Kind::LongLine, number};
            return;
        }
        addLine(line);
    }
}

void LookupList::addLine(std::string_view line) {
    if (line.starts_with(kOwnLinePrefix)) {
        return; // an earlier update's: this one writes its own
    }
    if (line.starts_with(kCommentStart)) {
        if (!versionLine_ && line.starts_with(kVersionStart)) {
            versionLine_ = comments_.size();
        }
        comments_.push_back(line);
    } else if (line.starts_with(kEndStart)) {
        endLines_.push_back(line);
    } else {
        const std::size_t comma = line.find(',');
        stations_.push_back({line, static_cast<std::uint32_t>(
                                       comma == std::string_view::npos ? line.size() : comma)});
    }
}

std::string_view LookupList::gridField(std::string_view line, std::size_t keyLength) {
    if (keyLength >= line.size()) {
        return {};
    }
    const std::string_view rest = line.substr(keyLength + 1);
    return rest.substr(0, rest.find(','));
}

void LookupList::take(const LookupStation& station) {
    const auto [first, last] =
        std::equal_range(stations_.begin(), stations_.end(), station.call(), KeyLess{});
    if (first == last) {
        added_.push_back(station);
        return;
    }
    if (first->claimed) {
        ++counts_.duplicate;
        return;
    }
    bool changed = false;
    // A call that stands in the list more than once gets the locator in each line.
    for (auto line = first; line != last; ++line) {
        line->claimed = true;
        if (gridField(line->text, line->keyLength) != station.grid()) {
            std::copy(station.grid().begin(), station.grid().end(), line->newGrid.begin());
            line->newGridLength = static_cast<std::uint8_t>(station.grid().size());
            changed = true;
        }
    }
    ++(changed ? counts_.changed : counts_.unchanged);
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
    const auto byCall = [](const LookupStation& a, const LookupStation& b) {
        return a.call() < b.call();
    };
    // Stable, so that of a callsign the first station stays.
    std::stable_sort(added_.begin(), added_.end(), byCall);
    const auto end = std::unique(
        added_.begin(), added_.end(),
        [](const LookupStation& a, const LookupStation& b) { return a.call() == b.call(); });
    counts_.duplicate += static_cast<std::uint64_t>(added_.end() - end);
    added_.erase(end, added_.end());
    counts_.added = added_.size();
}

std::string LookupList::ownLine(std::string_view databaseName, std::string_view date) const {
    return std::string(kOwnLinePrefix) + printable(date) + " from " + printable(databaseName) +
           ": " + std::to_string(counts_.added) + " added, " + std::to_string(counts_.changed) +
           " changed";
}

// A changed line keeps every field but the second, and a comma after the
// locator, which WSJT-X and older readers need behind a locator of four.
void LookupList::appendStationLine(std::string& out, const StationLine& line) const {
    if (line.newGridLength == 0) {
        out.append(line.text);
        return;
    }
    out.append(line.key());
    out.push_back(',');
    out.append(line.newGrid.data(), line.newGridLength);
    const std::size_t gridEnd = line.keyLength < line.text.size()
                                    ? line.text.find(',', line.keyLength + 1)
                                    : std::string_view::npos;
    if (gridEnd == std::string_view::npos) {
        out.push_back(',');
    } else {
        out.append(line.text.substr(gridEnd));
    }
}

void LookupList::appendAddedLine(std::string& out, const LookupStation& station) const {
    out.append(station.call());
    out.push_back(',');
    out.append(station.grid());
    out.append(",,,");
}

bool LookupList::write(std::string_view ownLine,
                       const std::function<bool(std::string_view piece)>& write) const {
    const std::string_view lineEnd = lineEnd_ == LineEnd::CrLf ? "\r\n" : "\n";
    std::string piece;
    piece.reserve(kPieceSize + kLongestLine + 64);
    bool written = true;
    // Each line is finished before the piece may go.
    const auto endLine = [&] {
        piece.append(lineEnd);
        if (piece.size() >= kPieceSize) {
            written = written && write(piece);
            piece.clear();
        }
    };
    const auto appendLine = [&](std::string_view line) {
        piece.append(line);
        endLine();
    };

    if (byteOrderMark_) {
        piece.append(kByteOrderMark);
    }
    if (!versionLine_) {
        appendLine(ownLine);
    }
    for (std::size_t i = 0; i < comments_.size(); ++i) {
        appendLine(comments_[i]);
        if (versionLine_ == i) {
            appendLine(ownLine);
        }
    }
    // Two sorted runs whose keys never meet: every added call was missing.
    auto added = added_.begin();
    for (const StationLine& line : stations_) {
        for (; added != added_.end() && added->call() < line.key(); ++added) {
            appendAddedLine(piece, *added);
            endLine();
        }
        appendStationLine(piece, line);
        endLine();
    }
    for (; added != added_.end(); ++added) {
        appendAddedLine(piece, *added);
        endLine();
    }
    for (const std::string_view line : endLines_) {
        appendLine(line);
    }
    return written && write(piece);
}

} // namespace kelmora
