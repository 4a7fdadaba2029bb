// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/held_file.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace kelmora::testing {

HeldFile::HeldFile(const std::filesystem::path& path, Holding holding)
    : handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    const bool locked = holding == Holding::Exclusively;
    if (handle_ < 0 || (locked && ::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) != 0)) {
        throw std::runtime_error("cannot hold " + path.string());
    }
}

HeldFile::~HeldFile() {
    ::close(static_cast<int>(handle_));
}

bool replacesFilesHeldSharingDelete() {
    return true;
}

void markHidden(const std::filesystem::path&) {}

void markSystem(const std::filesystem::path&) {}

bool isMarkedForArchiving(const std::filesystem::path&) {
    return true;
}

} // namespace kelmora::testing
