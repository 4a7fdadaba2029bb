// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/byte_window.h"

#include <algorithm>
#include <cstring>

namespace kelmora::log {

ByteWindow::ByteWindow(InputFile file, std::size_t blockSize, std::size_t longestRun)
    : file_(std::move(file)), blockSize_(std::max<std::size_t>(blockSize, 1)),
      capacity_(std::max(blockSize_, 2 * longestRun)), buffer_(capacity_ + kSlack) {}

bool ByteWindow::readBlock() {
    const std::size_t room = std::min(blockSize_, capacity_ - end_);
    const std::size_t got = file_.readAt(fileOffset_, std::span(buffer_.data() + end_, room));
    fileOffset_ += got;
    end_ += got;
    return got > 0;
}

bool ByteWindow::refill(std::size_t count) {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    while (end_ < count) {
        if (!readBlock()) {
            return false;
        }
    }
    return true;
}

bool ByteWindow::next() {
    begin_ = 0;
    end_ = 0;
    return readBlock();
}

bool ByteWindow::skipBeyond(std::uint64_t count) {
    const std::size_t inHand = end_ - begin_;
    if (count > remaining()) {
        return false;
    }
    fileOffset_ += count - inHand;
    begin_ = 0;
    end_ = 0;
    return true;
}

} // namespace kelmora::log
