// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/memory_file.h"

#include <cerrno>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

namespace kelmora::testing {
namespace {

int descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

// A memfd is an ordinary file to fstat.
MemoryFile::MemoryFile(std::string_view bytes) : handle_(::memfd_create("database", MFD_CLOEXEC)) {
    if (handle_ < 0) {
        throw std::runtime_error("memfd_create failed");
    }
    append(bytes);
}

MemoryFile::~MemoryFile() {
    ::close(descriptor(handle_));
}

void MemoryFile::append(std::string_view bytes) const {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor(handle_), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw std::runtime_error("writing the memory file failed");
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

InputFile MemoryFile::open() const {
    const int reader = ::dup(descriptor(handle_));
    if (reader < 0) {
        throw std::runtime_error("dup failed");
    }
    InputFile file = InputFile::adopt(reader);
    if (!file.isOpen()) {
        throw std::runtime_error("InputFile refused a memory file");
    }
    return file;
}

InputFile memoryFile(std::string_view bytes) {
    return MemoryFile(bytes).open();
}

} // namespace kelmora::testing
