#include "export/callsign_list.h"

#include "database/line_reader.h"
#include "database/station_record.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <random>
#include <span>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace kelmora {
namespace {

constexpr std::size_t kCallsignWidth = 7;
constexpr std::size_t kLocatorWidth = 6;
constexpr std::string_view kListLineEnd = "\r\n";

bool isAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Upper-casing leaves every non-ASCII character non-ASCII, so comparing the
// ASCII letters alone is exact for an ASCII keyword.
bool equalsIgnoringAsciiCase(std::string_view text, std::string_view upperAsciiKeyword) {
    if (text.size() != upperAsciiKeyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (asciiUpper(text[i]) != upperAsciiKeyword[i]) {
            return false;
        }
    }
    return true;
}

bool mentionsDigitalMode(std::string_view line) {
    return containsIgnoringAsciiCase(line, "FSK441") || containsIgnoringAsciiCase(line, "JT44") ||
           containsIgnoringAsciiCase(line, "WSJT");
}

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The callsign as its field holds it: its first 7 characters, byte for byte,
// padded with blanks. encodingOf is asked only for non-ASCII text.
template <typename EncodingOf>
void appendCallsign(std::string& out, std::string_view callsign, EncodingOf encodingOf) {
    const std::string_view head = callsign.substr(0, kCallsignWidth);
    if (isAscii(head)) {
        out.append(head);
        out.append(kCallsignWidth - head.size(), ' ');
        return;
    }
    const LineEncoding encoding = encodingOf();
    std::size_t characters = 0;
    std::size_t bytes = 0;
    while (characters < kCallsignWidth && bytes < callsign.size()) {
        bytes += decodeCharacter(callsign.substr(bytes), encoding).length;
        ++characters;
    }
    out.append(callsign.substr(0, bytes));
    out.append(kCallsignWidth - characters, ' ');
}

// The locator with blanks trimmed, the first two characters in upper case and
// the rest in lower case, in 6 characters.
template <typename EncodingOf>
void appendLocator(std::string& out, std::string_view locator, EncodingOf encodingOf) {
    const std::string_view trimmed = trimBlanks(locator);
    const std::string_view head = trimmed.substr(0, kLocatorWidth);
    if (isAscii(head)) {
        for (std::size_t i = 0; i < head.size(); ++i) {
            out.push_back(i < 2 ? asciiUpper(head[i]) : asciiLower(head[i]));
        }
        out.append(kLocatorWidth - head.size(), ' ');
        return;
    }
    const LineEncoding encoding = encodingOf();
    std::size_t characters = 0;
    std::size_t bytes = 0;
    while (characters < kLocatorWidth && bytes < trimmed.size()) {
        const DecodedCharacter character = decodeCharacter(trimmed.substr(bytes), encoding);
        char32_t c = toLowerLatin(character.codePoint);
        if (characters < 2) {
            c = toUpperLatin(c);
        }
        appendCharacter(out, c, encoding);
        bytes += character.length;
        ++characters;
    }
    out.append(kLocatorWidth - characters, ' ');
}

} // namespace

CallsignListFormatter::CallsignListFormatter(bool hasHeadingLine, StationSelection selection)
    : hasHeadingLine_(hasHeadingLine), selection_(selection) {}

void CallsignListFormatter::addLine(std::string_view line, std::string& out) {
    if (!headingSeen_) {
        headingSeen_ = true;
        takeHeadingLine(line);
        return;
    }
    addStationLine(line, out);
}

void CallsignListFormatter::takeHeadingLine(std::string_view line) {
    if (!hasHeadingLine_) {
        return; // the first line is skipped all the same; the fields stay 1 and 3
    }
    std::array<std::string_view, kStationFieldCount> headings;
    splitFields(line, headings, QuoteRemoval::Keep);
    callsignField_.reset();
    locatorField_.reset();
    for (std::size_t field = 0; field < headings.size(); ++field) {
        // Later matches overwrite earlier ones: the rightmost heading wins.
        if (equalsIgnoringAsciiCase(headings[field], "CALL")) {
            callsignField_ = field;
        }
        if (equalsIgnoringAsciiCase(headings[field], "LOCATOR")) {
            locatorField_ = field;
        }
    }
}

bool CallsignListFormatter::isSelected(std::string_view line, std::string_view callsign) const {
    if (callsign.find('/') != std::string_view::npos) {
        return false;
    }
    return selection_ == StationSelection::All || mentionsDigitalMode(line);
}

void CallsignListFormatter::addStationLine(std::string_view line, std::string& out) {
    // The line is split as far as the farther of the two columns, so that both
    // come from the line itself whichever of them stands first.
    std::array<std::string_view, kStationFieldCount> fields{};
    const std::size_t fieldsNeeded =
        std::max(callsignField_.value_or(0) + 1, locatorField_.value_or(0) + 1);
    splitFields(line, std::span(fields).first(fieldsNeeded), QuoteRemoval::Remove);
    const auto fieldOf = [&fields](std::optional<std::size_t> index) {
        return index ? fields[*index] : std::string_view();
    };
    const std::string_view callsign = fieldOf(callsignField_);
    if (!isSelected(line, callsign)) {
        return;
    }
    const auto lineEncoding = [line] { return encodingOfLine(line); };
    appendCallsign(out, callsign, lineEncoding);
    appendLocator(out, fieldOf(locatorField_), lineEncoding);
    out.append(kListLineEnd);
    ++stationsWritten_;
}

namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 20;
constexpr int kMaxSymlinkHops = 40;
constexpr int kMaxNameAttempts = 100;

// The file that the list really lives in (a link is followed to its target)
// and its permission bits, none when it does not exist yet.
struct ListTarget {
    std::filesystem::path path;
    std::optional<mode_t> mode;
};

// Follows links by hand because the final target may not exist yet, which
// rules out realpath(). Returns why the list cannot be written, if it cannot.
FileError findListTarget(const std::filesystem::path& listPath, ListTarget& target) {
    std::filesystem::path current = listPath;
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

// The new list, written under a temporary name next to the old one and moved
// over it only by commit(); until then the old list is untouched, and the
// temporary file goes with the object.
class ReplacementFile {
public:
    explicit ReplacementFile(std::filesystem::path target) : target_(std::move(target)) {}
    ~ReplacementFile() { discard(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Each returns why it failed, if it did.
    FileError create(std::optional<mode_t> mode);
    FileError write(std::string_view bytes);
    FileError commit();

private:
    FileError openUniqueName();
    void discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
};

FileError ReplacementFile::openUniqueName() {
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
            fd_ = fd;
            temporary_ = std::move(candidate);
            return {};
        }
        if (errno != EEXIST) {
            return fileErrorFromSystem(errno);
        }
    }
    return fileErrorFromSystem(EEXIST);
}

FileError ReplacementFile::create(std::optional<mode_t> mode) {
    if (const FileError error = openUniqueName()) {
        return error;
    }
    if (mode && ::fchmod(fd_, *mode) != 0) {
        return fileErrorFromSystem(errno);
    }
    return {};
}

FileError ReplacementFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
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
    if (::fsync(fd_) != 0) {
        return fileErrorFromSystem(errno);
    }
    const int closed = ::close(std::exchange(fd_, -1));
    if (closed != 0) {
        return fileErrorFromSystem(errno);
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return fileErrorFromSystem(errno);
    }
    temporary_.clear();
    // Makes the rename itself durable. The new list is in place by now, so a
    // failure here cannot be reported as "old list unchanged" and is let pass.
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
    if (fd_ >= 0) {
        ::close(std::exchange(fd_, -1));
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

ExportResult failure(ExportResult::Status status, const std::filesystem::path& file,
                     const FileError& error) {
    ExportResult result;
    result.status = status;
    result.failedFile = file;
    result.error = error;
    return result;
}

} // namespace

ExportResult writeCallsignList(const std::filesystem::path& database,
                               const std::filesystem::path& listPath, bool hasHeadingLine,
                               StationSelection selection) {
    using Status = ExportResult::Status;
    // The database is opened first so that an unreadable one changes nothing.
    LineReader reader{InputFile(database)};
    if (!reader.isOpen()) {
        return failure(Status::DatabaseUnreadable, database, reader.error());
    }
    ListTarget target;
    if (const FileError error = findListTarget(listPath, target)) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    ReplacementFile list(target.path);
    if (const FileError error = list.create(target.mode)) {
        return failure(Status::ListNotWritable, listPath, error);
    }

    CallsignListFormatter formatter(hasHeadingLine, selection);
    std::string buffer;
    buffer.reserve(kFlushSize + 64);
    std::string_view line;
    while (reader.next(line)) {
        formatter.addLine(line, buffer);
        if (buffer.size() >= kFlushSize) {
            if (const FileError error = list.write(buffer)) {
                return failure(Status::ListNotWritable, listPath, error);
            }
            buffer.clear();
        }
    }
    if (reader.failed()) {
        return failure(Status::DatabaseUnreadable, database, reader.error());
    }
    if (const FileError error = list.write(buffer)) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    if (const FileError error = list.commit()) {
        return failure(Status::ListNotWritable, listPath, error);
    }
    ExportResult result;
    result.stationsWritten = formatter.stationsWritten();
    return result;
}

} // namespace kelmora
