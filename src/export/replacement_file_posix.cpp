// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/replacement_file.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace kelmora {
namespace {

constexpr int kMaxSymlinkHops = 40;
constexpr int kMaxNameAttempts = 100;

// The file that the list really lives in (a link is followed to its target)
// and its permission bits, none when it does not exist yet.
struct Target {
    std::filesystem::path path;
    std::optional<mode_t> mode;
};

// Follows links by hand because the final target may not exist yet, which
// rules out realpath(). Returns why the file cannot be replaced, if it cannot.
FileError findTarget(const std::filesystem::path& path, Target& target) {
    std::filesystem::path current = path;
    for (int hop = 0; hop < kMaxSymlinkHops; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0) {
            if (errno != ENOENT) {
                return fileErrorFromSystem(errno);
            }
            target = {current, std::nullopt};
            return {};
        }
        if (S_ISLNK(status.st_mode)) {
            std::error_code error;
            const std::filesystem::path next = std::filesystem::read_symlink(current, error);
            if (error) {
                return fileErrorFromSystem(error.value());
            }
            current = next.is_absolute() ? next : current.parent_path() / next;
            continue;
        }
        if (S_ISDIR(status.st_mode)) {
            return {FileFailure::IsFolder};
        }
        if (!S_ISREG(status.st_mode)) {
            // A device or a fifo: renaming over it would destroy it.
            return {FileFailure::NotOrdinaryFile};
        }
        // The mode bits, not access(): root passes access() for any file.
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return {FileFailure::PermissionDenied};
        }
        target = {current, status.st_mode & 07777};
        return {};
    }
    return fileErrorFromSystem(ELOOP);
}

int descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

ReplacementFile::ReplacementFile(std::filesystem::path path) : path_(std::move(path)) {}

ReplacementFile::~ReplacementFile() {
    discard();
}

FileError ReplacementFile::open() {
    Target target;
    if (const FileError error = findTarget(path_, target)) {
        return error;
    }
    target_ = target.path;
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::minstd_rand random(static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        std::string name = target_.filename().string() + ".";
        for (int i = 0; i < 6; ++i) {
            name += kLetters[random() % kLetters.size()];
        }
        std::filesystem::path candidate = target_.parent_path() / name;
        // Mode 0666 lets the umask decide, as for any new file of the user.
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            handle_ = fd;
            temporary_ = std::move(candidate);
            // An old file keeps its permissions.
            if (target.mode && ::fchmod(fd, *target.mode) != 0) {
                return fileErrorFromSystem(errno);
            }
            return {};
        }
        if (errno != EEXIST) {
            return fileErrorFromSystem(errno);
        }
    }
    return fileErrorFromSystem(EEXIST);
}

FileError ReplacementFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor(handle_), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fileErrorFromSystem(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

FileError ReplacementFile::commit() {
    if (::fsync(descriptor(handle_)) != 0) {
        return fileErrorFromSystem(errno);
    }
    if (::close(descriptor(std::exchange(handle_, kNoHandle))) != 0) {
        return fileErrorFromSystem(errno);
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return fileErrorFromSystem(errno);
    }
    temporary_.clear();
    // Makes the rename itself durable. The new file is in place by now, so a
    // failure here cannot be reported as "old file unchanged" and is let pass.
    const std::filesystem::path folder =
        target_.parent_path().empty() ? std::filesystem::path(".") : target_.parent_path();
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        static_cast<void>(::fsync(folderFd));
        ::close(folderFd);
    }
    return {};
}

void ReplacementFile::discard() {
    if (handle_ != kNoHandle) {
        ::close(descriptor(std::exchange(handle_, kNoHandle)));
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

} // namespace kelmora
