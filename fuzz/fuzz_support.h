#pragma once

// Plain, slow and obvious versions of the rules the core implements fast,
// shared by the fuzz targets, and the plumbing to feed bytes in as a file.

#include "database/input_file.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace kelmora::fuzz {

// A finding: the message says which rule broke; libFuzzer saves the input.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

inline void require(bool condition, const char* what) {
    if (!condition) {
        fail(what);
    }
}

// Takes the leading control bytes of an input; missing ones read as 0.
class InputBytes {
public:
    InputBytes(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t byte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto value = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }
    std::string_view take(std::size_t count) {
        const std::string_view taken = rest_.substr(0, count);
        rest_.remove_prefix(taken.size());
        return taken;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// The bytes as an anonymous in-memory file: a memfd is a regular file to
// fstat, so InputFile takes it like a database on disk.
class MemoryFile {
public:
    explicit MemoryFile(std::string_view bytes) : fd_(::memfd_create("database", MFD_CLOEXEC)) {
        require(fd_ >= 0, "memfd_create failed");
        append(bytes);
    }
    ~MemoryFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    void append(std::string_view bytes) const {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            require(written > 0, "writing the memfd failed");
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    // A reader of its own; this object keeps its descriptor for appending.
    InputFile open() const {
        const int reader = ::dup(fd_);
        require(reader >= 0, "dup failed");
        InputFile file = InputFile::fromDescriptor(reader);
        require(file.isOpen(), "InputFile refused a memfd");
        return file;
    }

private:
    int fd_;
};

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F; the five bytes
// without a character of their own stand for the C1 control of that number.
inline constexpr std::array<char32_t, 32> kCharactersOf80To9F = {
    U'\u20AC', 0x81,      U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', 0x8D,      U'\u017D', 0x8F,
    0x90,      U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', 0x9D,      U'\u017E', U'\u0178'};

inline char32_t windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kCharactersOf80To9F[byte - 0x80] : char32_t{byte};
}

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Lines end at CR LF, LF or a lone CR; a byte-order mark at the very start
// is dropped; the last line may lack its end.
inline std::vector<std::string_view> referenceLines(std::string_view file) {
    if (file.starts_with(kByteOrderMark)) {
        file.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::string_view> lines;
    while (!file.empty()) {
        const std::size_t end = file.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back(file);
            break;
        }
        lines.push_back(file.substr(0, end));
        const bool crLf = file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n';
        file.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

// What a lead byte says: the length of the sequence, its payload bits and the
// smallest code point that may use that length (anything less is overlong).
struct LeadByte {
    std::size_t length;
    char32_t bits;
    char32_t smallest;
};

inline std::optional<LeadByte> classifyLead(unsigned char lead) {
    if (lead < 0x80) {
        return LeadByte{1, lead, 0};
    }
    if ((lead & 0xE0) == 0xC0) {
        return LeadByte{2, lead & 0x1Fu, 0x80};
    }
    if ((lead & 0xF0) == 0xE0) {
        return LeadByte{3, lead & 0x0Fu, 0x800};
    }
    if ((lead & 0xF8) == 0xF0) {
        return LeadByte{4, lead & 0x07u, 0x10000};
    }
    return std::nullopt;
}

// Decodes first and checks the code point afterwards, unlike the core's
// table of lead bytes. Nothing for bytes that are not UTF-8.
inline std::optional<std::u32string> decodeUtf8(std::string_view bytes) {
    std::u32string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = classifyLead(static_cast<unsigned char>(bytes[i]));
        if (!lead || i + lead->length > bytes.size()) {
            return std::nullopt;
        }
        char32_t c = lead->bits;
        for (std::size_t k = 1; k < lead->length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            c = (c << 6) | (next & 0x3Fu);
        }
        if (c < lead->smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return std::nullopt;
        }
        text.push_back(c);
        i += lead->length;
    }
    return text;
}

inline std::string encodeUtf8(std::u32string_view text) {
    std::string bytes;
    for (const char32_t c : text) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

// One double quote off the start, then one off the end as it then stands.
inline std::string referenceRemoveQuotes(std::string field) {
    if (!field.empty() && field.front() == '"') {
        field.erase(0, 1);
    }
    if (!field.empty() && field.back() == '"') {
        field.pop_back();
    }
    return field;
}

// The split rule word for word: 1-based positions p and q, q = 0 when no
// ";" lies at or after p, and p = q + 1 after every field.
inline std::vector<std::string> referenceSplit(std::string_view line, std::size_t count,
                                               bool removeQuotes) {
    std::vector<std::string> fields;
    const std::size_t length = line.size();
    std::size_t p = 1;
    for (std::size_t k = 1; k <= count; ++k) {
        std::size_t q = 0;
        for (std::size_t i = p; i <= length; ++i) {
            if (line[i - 1] == ';') {
                q = i;
                break;
            }
        }
        std::string field =
            q > 0 ? std::string(line.substr(p - 1, q - p)) : std::string(line.substr(p - 1));
        p = q + 1;
        fields.push_back(removeQuotes ? referenceRemoveQuotes(std::move(field)) : std::move(field));
    }
    return fields;
}

} // namespace kelmora::fuzz
