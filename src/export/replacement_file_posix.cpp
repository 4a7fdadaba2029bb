// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/replacement_file.h"
#include "export/temporary_name.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

// On POSIX an export holds an exclusive flock() on its temporary file for as
// long as it writes it; a temporary file that nobody holds is a leftover.
namespace kelmora {
namespace {

constexpr int kMaxSymlinkHops = 40;
constexpr int kMaxNameAttempts = 100;

int descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// The file that really is replaced (a link is followed to its target) and its
// permission bits, none when it does not exist yet.
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

// Removes a leftover unless an export still holds it.
void removeIfLeftOver(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::unlink(file.c_str());
    }
    ::close(fd);
}

// The temporary files of exports of the target that died before they could
// remove them.
void removeLeftovers(const std::filesystem::path& target) {
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    // A listing that breaks off ends the search: what is not removed now
    // goes with a later export. (The iterator's operator++ would throw.)
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (temporary_name::isOf(entry->path().filename(), target)) {
            removeIfLeftOver(entry->path());
        }
    }
}

// Whether the name still stands for the open file: a cleaner of another
// export may have taken it for a leftover before it was locked.
bool nameIsStill(const std::filesystem::path& name, int fd) {
    struct stat byName {};
    struct stat byDescriptor {};
    return ::lstat(name.c_str(), &byName) == 0 && ::fstat(fd, &byDescriptor) == 0 &&
           byName.st_dev == byDescriptor.st_dev && byName.st_ino == byDescriptor.st_ino;
}

} // namespace

FileError ReplacementFile::open() {
    Target target;
    if (const FileError error = findTarget(path_, target)) {
        return error;
    }
    target_ = target.path;
    removeLeftovers(target_);
    std::minstd_rand random = temporary_name::randomNames();
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        std::filesystem::path candidate = temporary_name::next(target_, random);
        // Mode 0666 lets the umask decide, as for any new file of the user.
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            if (errno != EEXIST) {
                return fileErrorFromSystem(errno);
            }
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !nameIsStill(candidate, fd)) {
            ::close(fd); // taken for a leftover meanwhile: another name
            continue;
        }
        handle_ = fd;
        temporary_ = std::move(candidate);
        // An old file keeps its permissions.
        if (target.mode && ::fchmod(fd, *target.mode) != 0) {
            return fileErrorFromSystem(errno);
        }
        return {};
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
    // Renamed while still locked, so that no cleaner takes it for a leftover.
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return fileErrorFromSystem(errno);
    }
    temporary_.clear();
    // The new file is in place by now and its bytes are on disk, so a failure
    // from here on cannot be reported as "old file unchanged" and is let pass.
    ::close(descriptor(std::exchange(handle_, kNoHandle)));
    // Makes the rename itself durable.
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
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str()); // while still locked
        temporary_.clear();
    }
    if (handle_ != kNoHandle) {
        ::close(descriptor(std::exchange(handle_, kNoHandle)));
    }
}

} // namespace kelmora
