// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/input_file.h"

#include <algorithm>
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

std::size_t InputFile::readAt(std::uint64_t offset, std::span<char> buffer) {
    if (handle_ == kNoHandle || offset >= size_) {
        return 0;
    }
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size_ - offset));
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t got = ::pread(descriptor(handle_), buffer.data() + done, wanted - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = fileErrorFromSystem(errno);
            break;
        }
        if (got == 0) {
            // The file shrank since it was opened: what is left is no longer
            // the file that was opened, so it counts as a failed read.
            error_ = {FileFailure::IoError};
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

} // namespace kelmora
