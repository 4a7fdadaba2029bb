// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_identity.h"

#include <cerrno>
#include <sys/stat.h>

namespace kelmora {

FileError identifyFile(const std::filesystem::path& path, std::optional<FileIdentity>& identity) {
    identity.reset();
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        const FileError error = fileErrorFromSystem(errno);
        return error.failure == FileFailure::NotFound ? FileError{} : error;
    }
    identity = FileIdentity{static_cast<std::uint64_t>(status.st_dev), 0,
                            static_cast<std::uint64_t>(status.st_ino)};
    return {};
}

} // namespace kelmora
