// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/lookup_station.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kelmora {

enum class LineEnd { Lf, CrLf };

// Why a file is no look-up list: no text (a NUL byte or a line over 64 KiB,
// in that line, from 1), too large, the database itself, or a station
// database (its first line is a database's heading line).
struct ListFault {
    enum class Kind { None, NulByte, LongLine, TooLarge, TheDatabase, StationDatabase };
    Kind kind = Kind::None;
    std::uint64_t line = 0; // for NulByte and LongLine

    explicit operator bool() const { return kind != Kind::None; }
};

// What an update did with the stations of the database.
struct LookupCounts {
    std::uint64_t added = 0;
    // The list had the call with another locator, or with this one (in
    // any letter case: a locator rewritten in upper case has not moved).
    std::uint64_t changed = 0;
    std::uint64_t unchanged = 0;
    // Left out: "/" in the callsign, a callsign that is not 3 to 12 letters
    // and digits, no valid locator, a callsign that an earlier station had.
    std::uint64_t slashInCall = 0;
    std::uint64_t invalidCall = 0;
    std::uint64_t invalidLocator = 0;
    std::uint64_t duplicate = 0;

    std::uint64_t leftOut() const { return slashInCall + invalidCall + invalidLocator + duplicate; }
    bool operator==(const LookupCounts&) const = default;
};

// WSJT-X's look-up list CALL3.TXT ("CALL,GRID,..." per station) with the
// stations of a database merged in. Everything the database does not change
// keeps its bytes: comment lines ("//") stay first and lines that start with
// "ZZZZ" last, each in their order; every other line, malformed ones too, is
// a station line, sorted by the text before its first comma in byte order.
// A call that the database has gets its locator as the line's second field,
// followed by a comma (a line that holds both already keeps its bytes); a
// call the list lacks comes in as "CALL,GRID,,,". The list keeps its line
// end (LF or CR LF) and a UTF-8 byte-order mark; one comment line of the
// program's own says where the update came from and replaces the one of an
// earlier update.
class LookupList {
public:
    static constexpr std::size_t kLongestLine = 64 * 1024;
    // Far more than any look-up list: WSJT-X's own has a few megabytes.
    static constexpr std::size_t kLargestList = std::size_t{256} << 20;
    static constexpr std::string_view kOwnLinePrefix = "// Kelmora-Database-Viewer update ";

    // Takes the list's bytes: empty for a new list, which gets newLineEnd.
    // Bytes over kLargestList are refused.
    LookupList(std::string bytes, LineEnd newLineEnd);

    // Why the bytes are no look-up list, if they are not; then nothing else
    // may be asked.
    const ListFault& fault() const { return fault_; }
    const std::string& bytes() const { return bytes_; }

    // The stations of the database, in its order: the first station of a
    // callsign counts.
    void take(const LookupStation& station);
    void leaveOut(LookupStation::Verdict verdict);
    // After the last station: makes the counts whole.
    void finish();
    const LookupCounts& counts() const { return counts_; }

    // The comment line that records this update.
    std::string ownLine(std::string_view databaseName, std::string_view date) const;

    // Hands the new list to write in pieces of about a megabyte; stops, and
    // returns false, at the first piece that write refuses.
    bool write(std::string_view ownLine,
               const std::function<bool(std::string_view piece)>& write) const;

private:
    // A station line as offsets into bytes_: sorting moves 16 bytes a line.
    struct StationLine {
        std::uint32_t start;
        std::uint32_t length; // without the line end
        std::uint32_t keyLength;
        std::uint32_t change; // kUntouched, kKept or the index of its new locator
    };
    static constexpr std::uint32_t kUntouched = 0xFFFFFFFF;
    // The database has it, and the line holds its locator and the comma after it.
    static constexpr std::uint32_t kKept = 0xFFFFFFFE;

    std::string_view text(const StationLine& line) const {
        return std::string_view(bytes_).substr(line.start, line.length);
    }
    std::string_view key(const StationLine& line) const {
        return std::string_view(bytes_).substr(line.start, line.keyLength);
    }

    void splitLines(std::string_view text);
    void addLine(std::string_view line);
    void sortStationLines();
    void buildKeyIndex();
    // The first of the lines with that call, or none.
    std::optional<std::size_t> findCall(std::string_view call) const;

    std::string bytes_;
    ListFault fault_;
    LineEnd lineEnd_;
    bool byteOrderMark_ = false;
    std::vector<std::string_view> comments_;
    std::optional<std::size_t> versionLine_; // index in comments_
    std::vector<StationLine> stations_;      // sorted by key
    // An open-addressing hash table of the keys: 1 + the index of the first
    // of the lines with that key, 0 where empty. Its size is a power of two.
    std::vector<std::uint32_t> keyIndex_;
    std::vector<std::string_view> endLines_;
    std::vector<LookupStation> newGrids_; // the stations whose locators rewrite lines
    // The calls the list lacks, each once: the memory grows with the new
    // list, never with the database. Sorted by finish().
    std::deque<LookupStation> added_;
    std::unordered_set<std::string_view> addedCalls_; // views into added_, until finish()
    LookupCounts counts_;
};

} // namespace kelmora
