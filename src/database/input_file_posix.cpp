// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/input_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kelmora {

InputFile::InputFile(const std::filesystem::path& path) {
    // O_NONBLOCK keeps the opening of a pipe from waiting for a writer; the
    // type check below then refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error_ = fileErrorFromSystem(errno);
        return;
    }
    take(fd);
}

namespace {

int descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

void InputFile::take(std::intptr_t handle) {
    const int fd = descriptor(handle);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error_ = fileErrorFromSystem(errno);
        ::close(fd);
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        error_ = {S_ISDIR(status.st_mode) ? FileFailure::IsFolder : FileFailure::NotOrdinaryFile};
        ::close(fd);
        return;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(status.st_size);
}

void InputFile::close() {
    if (handle_ != kNoHandle) {
        ::close(descriptor(std::exchange(handle_, kNoHandle)));
    }
}

std::size_t InputFile::readSome(std::uint64_t offset, std::span<char> buffer) {
    for (;;) {
        const ssize_t got =
            ::pread(descriptor(handle_), buffer.data(), buffer.size(), static_cast<off_t>(offset));
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            error_ = fileErrorFromSystem(errno);
            return 0;
        }
    }
}

} // namespace kelmora
