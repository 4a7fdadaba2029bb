#pragma once

#include "database/input_file.h"

#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace kelmora::testing {

// An in-memory file with the given bytes, opened for reading.
inline InputFile memoryFile(std::string_view bytes) {
    const int fd = ::memfd_create("database", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        return {};
    }
    ::lseek(fd, 0, SEEK_SET);
    return InputFile::fromDescriptor(fd);
}

} // namespace kelmora::testing
