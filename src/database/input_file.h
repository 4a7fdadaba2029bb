// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace kelmora {

// A database file opened for reading. Only regular files are opened: a
// folder, a device or a pipe named like a database is refused at once, so a
// reader can neither block on a pipe nor read forever from a device. Reading
// stops at the size the file had when it was opened, so a file that grows
// while it is read still comes to an end; a file that shrinks meanwhile is a
// failed read.
class InputFile {
public:
    InputFile() = default;
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile();
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Adopts an open handle of the system: a descriptor on POSIX, a HANDLE on
    // Windows. Like a file opened by name, it must be an ordinary file.
    static InputFile adopt(std::intptr_t handle);

    bool isOpen() const { return handle_ != kNoHandle; }
    // Why the opening or a read failed; nothing when neither did.
    const FileError& error() const { return error_; }
    std::uint64_t size() const { return size_; }

    // Reads the next bytes in order. Returns the number read, 0 at the end
    // (the size at opening) and also after a read error (see error()).
    std::size_t read(std::span<char> buffer);
    // Where read() goes on, from the start of the file.
    std::uint64_t position() const { return position_; }
    void seek(std::uint64_t offset) { position_ = offset; }
    // Reads at an absolute offset without moving the sequential position.
    // Returns the number read; fewer than asked means the end or an error.
    std::size_t readAt(std::uint64_t offset, std::span<char> buffer);

private:
    void take(std::intptr_t handle);
    void close();
    // Some bytes at the offset, at least one unless the end came first or
    // the read failed (then error_ says why); the system's own.
    std::size_t readSome(std::uint64_t offset, std::span<char> buffer);

    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle;
    FileError error_;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
};

} // namespace kelmora
