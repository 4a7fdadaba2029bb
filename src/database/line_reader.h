// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/input_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora {

// Reads a database file line by line, keeping the bytes as they are. A line
// ends at CR LF, at LF or at a lone CR; the last line may lack its line end,
// and an empty line is an empty text. A UTF-8 byte-order mark at the very
// start of the file is not part of the first line. Reading begins where the
// file's position stands, which must be the start of a line. Only the line in hand is
// held in memory, however large the file.
class LineReader {
public:
    explicit LineReader(InputFile file, std::size_t blockSize = kDefaultBlockSize);

    bool isOpen() const { return file_.isOpen(); }
    // True when the file could not be opened or a read failed part-way.
    bool failed() const { return static_cast<bool>(file_.error()); }
    const FileError& error() const { return file_.error(); }

    // The next line without its line end, valid until the next call. Returns
    // false at the end of the file and when reading failed (see failed()).
    bool next(std::string_view& line);
    // Where the line last returned by next() starts in the file, in bytes.
    std::uint64_t lineOffset() const { return lineOffset_; }

    static constexpr std::size_t kDefaultBlockSize = 256 * 1024;

private:
    bool refill();
    std::size_t findLineEnd();

    InputFile file_;
    std::vector<char> block_;
    std::uint64_t blockOffset_ = 0; // where block_ starts in the file
    std::uint64_t lineOffset_ = 0;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    // Cached positions of the next LF and CR at or after begin_ (end_ when
    // there is none), so that a file with only one kind of line end is not
    // searched again for the other kind on every line.
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::size_t nextLf_ = kUnknown;
    std::size_t nextCr_ = kUnknown;
    bool atStart_ = true;
    bool pendingLf_ = false;
    std::string carry_;
};

} // namespace kelmora
