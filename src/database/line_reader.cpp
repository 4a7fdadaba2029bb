// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/line_reader.h"

#include "database/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kelmora {
namespace {

std::size_t findByte(const std::vector<char>& block, std::size_t from, std::size_t to, char c) {
    const void* hit = std::memchr(block.data() + from, c, to - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - block.data()) : to;
}

} // namespace

LineReader::LineReader(InputFile file, std::size_t blockSize)
    : file_(std::move(file)), block_(std::max<std::size_t>(blockSize, 16)),
      blockOffset_(file_.position()), atStart_(blockOffset_ == 0) {}

bool LineReader::refill() {
    blockOffset_ += end_;
    begin_ = 0;
    end_ = file_.read(block_);
    nextLf_ = kUnknown;
    nextCr_ = kUnknown;
    if (atStart_) {
        atStart_ = false;
        if (std::string_view(block_.data(), end_).starts_with(kUtf8ByteOrderMark)) {
            begin_ = kUtf8ByteOrderMark.size();
        }
    }
    return begin_ < end_;
}

std::size_t LineReader::findLineEnd() {
    if (nextLf_ == kUnknown || nextLf_ < begin_) {
        nextLf_ = findByte(block_, begin_, end_, '\n');
    }
    if (nextCr_ == kUnknown || nextCr_ < begin_) {
        nextCr_ = findByte(block_, begin_, end_, '\r');
    }
    return std::min(nextLf_, nextCr_);
}

bool LineReader::next(std::string_view& line) {
    carry_.clear();
    bool carrying = false;
    for (;;) {
        if (begin_ == end_ && !refill()) {
            if (failed()) {
                return false;
            }
            if (carrying) {
                line = carry_;
                return true;
            }
            return false;
        }
        if (std::exchange(pendingLf_, false) && block_[begin_] == '\n') {
            ++begin_;
            continue;
        }
        if (!carrying) {
            lineOffset_ = blockOffset_ + begin_;
        }
        const std::size_t stop = findLineEnd();
        const char* start = block_.data() + begin_;
        const std::size_t length = stop - begin_;
        if (stop == end_) {
            // The line goes on in the next block.
            carry_.append(start, length);
            carrying = true;
            begin_ = end_;
            continue;
        }
        pendingLf_ = block_[stop] == '\r';
        begin_ = stop + 1;
        if (carrying) {
            carry_.append(start, length);
            line = carry_;
        } else {
            line = std::string_view(start, length);
        }
        return true;
    }
}

} // namespace kelmora
