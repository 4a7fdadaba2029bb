// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/input_file.h"

#include <algorithm>
#include <utility>

// What InputFile does alike on every system; the opening, the reading at an
// offset and the closing are the system's own (input_file_posix.cpp,
// input_file_win32.cpp).
namespace kelmora {

InputFile InputFile::adopt(std::intptr_t handle) {
    InputFile file;
    file.take(handle);
    return file;
}

InputFile::~InputFile() {
    close();
}

InputFile::InputFile(InputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), error_(other.error_), size_(other.size_),
      position_(other.position_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoHandle);
        error_ = other.error_;
        size_ = other.size_;
        position_ = other.position_;
    }
    return *this;
}

std::size_t InputFile::readAt(std::uint64_t offset, std::span<char> buffer) {
    if (!isOpen() || offset >= size_) {
        return 0;
    }
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size_ - offset));
    std::size_t done = 0;
    while (done < wanted) {
        const std::size_t got = readSome(offset + done, buffer.subspan(done, wanted - done));
        if (got == 0) {
            if (!error_) {
                // The file shrank since it was opened: what is left is no
                // longer the file that was opened, so it counts as a failed read.
                error_ = {FileFailure::IoError};
            }
            break;
        }
        done += got;
    }
    return done;
}

std::size_t InputFile::read(std::span<char> buffer) {
    const std::size_t got = readAt(position_, buffer);
    position_ += got;
    return got;
}

} // namespace kelmora
