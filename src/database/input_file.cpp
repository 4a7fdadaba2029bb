// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/input_file.h"

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

std::size_t InputFile::read(std::span<char> buffer) {
    const std::size_t got = readAt(position_, buffer);
    position_ += got;
    return got;
}

} // namespace kelmora
