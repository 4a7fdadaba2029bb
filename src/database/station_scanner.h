// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"
#include "database/input_file.h"
#include "database/lookup_station.h"
#include "database/station_columns.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelmora {

// Reads a database for its stations as the station lists take them: each
// line after the first, its callsign and locator fields found as
// StationColumns::fieldsOf finds them and checked by LookupStation::check,
// with the offset of the line. The lines are LineReader's: a line ends at
// CR LF, LF or a lone CR, the last may lack its end, and a UTF-8 byte-order
// mark at the start of the file is no part of the first. Reading begins
// where the file's position stands, which must be the start of a line.
//
// Made for a pass through a large file at the pace of the search: the file
// is read in blocks, one pass over a block marks its line ends and
// separators, and the usual line, whose two fields lie among its first 64
// bytes and are plain (LookupStation::takePlain), is taken at one go. Any
// other line is split by splitFields and checked by check. No line is
// copied. Memory stays at a block, unless a line is longer than that: the
// block then grows to hold it.
class StationScanner {
public:
    explicit StationScanner(InputFile file, bool hasHeadingLine,
                            std::size_t blockSize = kDefaultBlockSize);

    bool isOpen() const { return file_.isOpen(); }
    // True when the file could not be opened or a read failed part-way.
    bool failed() const { return static_cast<bool>(file_.error()); }
    const FileError& error() const { return file_.error(); }

    // Reads the first line and takes the columns from it (see
    // StationColumns::takeHeadingLine). False when the file holds no line or
    // reading failed.
    bool readFirstLine();
    const StationColumns& columns() const { return columns_; }

    struct Line {
        std::uint64_t offset = 0; // where the line starts in the file
        LookupStation::Verdict verdict = LookupStation::Verdict::Taken;
        LookupStation station; // when it is taken
    };
    // The next lines after the first, in the order of the file, at most a
    // block's worth; empty at the end of the file and when reading failed.
    // Valid until the next call.
    std::span<const Line> next();

    // Blocks smaller than this are taken as this size.
    static constexpr std::size_t kSmallestBlockSize = 64;
    static constexpr std::size_t kDefaultBlockSize = 256 * 1024;

private:
    template <typename Take> std::size_t forLines(std::size_t most, Take take);
    bool readMore();
    void markBlock();
    void takeColumns(std::string_view firstLine);
    void takeLine(std::size_t begin, std::size_t end, Line& line) const;
    bool fieldsNearStart(std::size_t begin, std::size_t length,
                         StationColumns::Fields& fields) const;

    InputFile file_;
    StationColumns columns_;
    // Where fieldsNearStart looks: the two columns, counted from 0, and the
    // nearer and farther of them; columnsKnown_ is false when a column is
    // unknown.
    bool columnsKnown_ = false;
    std::size_t callsignField_ = 0;
    std::size_t locatorField_ = 0;
    std::size_t firstField_ = 0;
    std::size_t secondField_ = 0;

    // block_[0, end_) holds the file's bytes from blockOffset_ on, then a NUL
    // byte and room for the vector loads beyond. pos_ is where the next line
    // starts. lineEnds_ has a bit for each byte of the block where a line
    // ends (a CR, an LF that follows no CR), 64 to a word, and one more at
    // end_, so that the search for a line's end always stops; separators_
    // one for each ";".
    std::vector<char> block_;
    std::size_t blockSize_;
    std::vector<std::uint64_t> lineEnds_;
    std::vector<std::uint64_t> separators_;
    std::uint64_t blockOffset_ = 0;
    std::size_t end_ = 0;
    std::size_t pos_ = 0;
    bool atEnd_ = false; // the file has no more bytes beyond the block
    bool atStart_ = true;
    std::vector<Line> lines_;
};

} // namespace kelmora
