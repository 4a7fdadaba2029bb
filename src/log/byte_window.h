// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/input_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kelmora::log {

// A window onto a file read from front to back in blocks: the bytes in hand
// from the reading position on, made longer on request up to a bound, and
// long stretches passed over without reading them. Memory stays at one
// block however large the file.
class ByteWindow {
public:
    // `longestRun` bounds what ensure() can be asked for.
    ByteWindow(InputFile file, std::size_t blockSize, std::size_t longestRun);

    bool isOpen() const { return file_.isOpen(); }
    const FileError& error() const { return file_.error(); }

    // The bytes in hand, from the reading position on.
    std::string_view bytes() const { return {position(), end_ - begin_}; }
    const char* position() const { return buffer_.data() + begin_; }
    const char* end() const { return buffer_.data() + end_; }
    // So many bytes after end() belong to the window too, with no meaning:
    // a scan may load a whole word or vector there and ignore what lies
    // beyond end().
    static constexpr std::size_t kSlack = 16;

    // Makes at least `count` bytes (at most longestRun) visible; false when
    // the file ends first, and bytes() then holds the rest of it.
    bool ensure(std::size_t count) { return end_ - begin_ >= count || refill(count); }
    // Drops the bytes in hand and reads the next block; false at the end.
    bool next();
    // Moves the reading position; count must not exceed bytes().size().
    void advance(std::size_t count) { begin_ += count; }
    // Moves the reading position to a byte in hand, or just behind them.
    void moveTo(const char* at) { begin_ = static_cast<std::size_t>(at - buffer_.data()); }
    // Moves the reading position over `count` bytes, beyond the ones in hand
    // without reading them. False, leaving the position as it was, when the
    // file ends before.
    bool skip(std::uint64_t count) {
        if (count <= end_ - begin_) {
            begin_ += static_cast<std::size_t>(count);
            return true;
        }
        return skipBeyond(count);
    }
    // Bytes from the reading position to the end of the file as opened.
    std::uint64_t remaining() const { return remainingFrom(position()); }
    // The same from a byte in hand, or from just behind them.
    std::uint64_t remainingFrom(const char* at) const {
        return file_.size() - fileOffset_ + static_cast<std::size_t>(end() - at);
    }

private:
    bool refill(std::size_t count);
    bool skipBeyond(std::uint64_t count);
    bool readBlock();

    InputFile file_;
    std::size_t blockSize_;
    std::size_t capacity_;
    std::vector<char> buffer_; // capacity_ bytes, then the slack
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::uint64_t fileOffset_ = 0; // of the byte after the ones in hand
};

} // namespace kelmora::log
