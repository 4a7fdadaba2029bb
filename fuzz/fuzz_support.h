// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Plain, slow and obvious versions of the rules the core implements fast,
// shared by the fuzz targets, and the plumbing to feed bytes in as a file.

#include "log/adif_reader.h"
#include "support/memory_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmora::fuzz {

using testing::MemoryFile;

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

// One direction of conversion by the C library's iconv, open for the run.
class IconvConverter {
public:
    IconvConverter(const char* from, const char* to) : handle_(::iconv_open(to, from)) {
        require(handle_ != reinterpret_cast<iconv_t>(-1), "iconv_open failed");
    }
    ~IconvConverter() { ::iconv_close(handle_); }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    // Nothing where iconv refuses the bytes.
    std::optional<std::string> convert(std::string_view bytes) const {
        ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string in(bytes);
        std::string out(4 * bytes.size() + 16, '\0');
        char* inPointer = in.data();
        std::size_t inLeft = in.size();
        char* outPointer = out.data();
        std::size_t outLeft = out.size();
        if (::iconv(handle_, &inPointer, &inLeft, &outPointer, &outLeft) ==
            static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t handle_;
};

// What iconv makes of the bytes: the model's check of the encodings does not
// repeat the program's own tables.
inline std::optional<std::string> convertWithIconv(std::string_view bytes, const char* from,
                                                   const char* to) {
    static std::map<std::pair<std::string, std::string>, IconvConverter> converters;
    const auto entry = converters.try_emplace({from, to}, from, to).first;
    return entry->second.convert(bytes);
}

// The character of a Windows-1252 byte, as iconv knows it. The five bytes
// that have no character there stand for the C1 control of that number.
inline char32_t windows1252CodePoint(unsigned char byte) {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> characters{};
        for (unsigned value = 0; value < 256; ++value) {
            const std::optional<std::string> utf32 = convertWithIconv(
                std::string(1, static_cast<char>(value)), "WINDOWS-1252", "UTF-32LE");
            char32_t c = value;
            if (utf32) {
                require(utf32->size() == 4, "iconv gave more than one character for a byte");
                std::memcpy(&c, utf32->data(), 4);
            }
            characters[value] = c;
        }
        return characters;
    }();
    return table[byte];
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

// UTF-8 for the characters, written by iconv.
inline std::string encodeUtf8(std::u32string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char32_t c) { return c < 0x80; })) {
        return std::string(text.begin(), text.end()); // ASCII is its own UTF-8
    }
    const std::string_view utf32(reinterpret_cast<const char*>(text.data()), 4 * text.size());
    std::optional<std::string> utf8 = convertWithIconv(utf32, "UTF-32LE", "UTF-8");
    require(utf8.has_value(), "iconv cannot write the characters as UTF-8");
    return *utf8;
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

inline std::string asciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// The columns of the callsign and the locator as the station lists find
// them: fields 1 and 3, or the rightmost fields headed "CALL" and "LOCATOR";
// each line split as far as the farther of the two.
struct ReferenceColumns {
    // Columns count from 1; 0 is a column that no heading names.
    std::size_t callsign = 1;
    std::size_t locator = 3;

    static ReferenceColumns fromHeading(std::string_view line) {
        const std::vector<std::string> headings = referenceSplit(line, 8, false);
        ReferenceColumns columns{0, 0};
        for (std::size_t k = 1; k <= 8; ++k) {
            const std::string heading = asciiUpper(headings[k - 1]);
            if (heading == "CALL") {
                columns.callsign = k;
            }
            if (heading == "LOCATOR") {
                columns.locator = k;
            }
        }
        return columns;
    }

    // The callsign and locator fields of a station line, empty for a column
    // that no heading names.
    std::pair<std::string, std::string> fieldsOf(std::string_view line) const {
        const std::vector<std::string> fields =
            referenceSplit(line, std::max(callsign, locator), true);
        const auto column = [&fields](std::size_t k) {
            return k == 0 ? std::string() : fields[k - 1];
        };
        return {column(callsign), column(locator)};
    }
};

// What an ADIF file holds by the reader's rules, found with whole-string
// searches instead of a window onto blocks; the values are views into the
// file's bytes.
struct ReferenceAdif {
    std::vector<log::AdifQso> qsos;
    std::uint64_t skipped = 0;
};

inline bool referenceEqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

inline std::string_view* referenceUsedField(log::AdifQso& qso, std::string_view name) {
    const std::pair<std::string_view, std::string_view*> fields[] = {
        {"CALL", &qso.call},
        {"GRIDSQUARE", &qso.gridSquare},
        {"VUCC_GRIDS", &qso.vuccGrids},
        {"BAND", &qso.band},
        {"FREQ", &qso.frequency},
        {"MODE", &qso.mode},
        {"SUBMODE", &qso.submode},
        {"PROP_MODE", &qso.propagationMode},
        {"QSO_DATE", &qso.qsoDate},
        {"QSL_RCVD", &qso.qslReceived},
        {"LOTW_QSL_RCVD", &qso.lotwQslReceived},
        {"EQSL_QSL_RCVD", &qso.eqslQslReceived},
    };
    for (const auto& [used, member] : fields) {
        if (referenceEqualsIgnoringCase(name, used)) {
            return member;
        }
    }
    return nullptr;
}

inline bool referenceIsCallsign(std::string_view call) {
    while (!call.empty() && call.front() == ' ') {
        call.remove_prefix(1);
    }
    while (!call.empty() && call.back() == ' ') {
        call.remove_suffix(1);
    }
    return !call.empty() && std::all_of(call.begin(), call.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '/';
    });
}

class ReferenceAdifReader {
public:
    explicit ReferenceAdifReader(std::string_view file) : file_(file) {}

    ReferenceAdif read() {
        skipToFirstText();
        while (true) {
            const std::size_t start = file_.find('<', pos_);
            if (start == std::string_view::npos) {
                if ((anyTag_ && !inHeader_) || !seen_.empty()) {
                    ++result_.skipped;
                }
                return result_;
            }
            readTag(start);
        }
    }

private:
    static constexpr std::size_t kLongestTag = 128;
    static constexpr std::size_t kLongestValue = 64;

    void skipToFirstText() {
        if (file_.starts_with(kByteOrderMark)) {
            pos_ = kByteOrderMark.size();
        }
        while (pos_ < file_.size() &&
               std::string_view(" \t\r\n").find(file_[pos_]) != std::string_view::npos) {
            ++pos_;
        }
        inHeader_ = pos_ < file_.size() && file_[pos_] != '<';
    }

    void readTag(std::size_t start) {
        const std::string_view tag = file_.substr(start, kLongestTag);
        const std::size_t end = tag.find_first_of("<>", 1);
        if (end == std::string_view::npos || tag[end] == '<') {
            pos_ = end == std::string_view::npos ? start + 1 : start + end;
            broken();
            return;
        }
        pos_ = start + end + 1;
        const std::string_view inside = tag.substr(1, end - 1);
        const std::size_t colon = inside.find(':');
        if (colon == std::string_view::npos) {
            if (referenceEqualsIgnoringCase(inside, "EOR")) {
                endOfRecord();
            } else if (referenceEqualsIgnoringCase(inside, "EOH")) {
                endOfHeader();
            } else {
                broken();
            }
            return;
        }
        const std::string_view name = inside.substr(0, colon);
        const std::string_view rest = inside.substr(colon + 1);
        std::size_t digits = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
            ++digits;
        }
        if (name.empty() || digits == 0 || digits > 15 ||
            (digits < rest.size() && rest[digits] != ':')) {
            broken();
            return;
        }
        const std::uint64_t length = std::stoull(std::string(rest.substr(0, digits)));
        if (length > file_.size() - pos_) {
            broken();
            return;
        }
        anyTag_ = true;
        const std::string_view data = file_.substr(pos_, length);
        pos_ += length;
        field(name, data);
    }

    void field(std::string_view name, std::string_view data) {
        std::string_view* member = referenceUsedField(record_, name);
        if (member == nullptr) {
            return;
        }
        std::string upper(name);
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        const bool again = !seen_.insert(upper).second;
        if (inHeader_) {
            return;
        }
        if (again || data.size() > kLongestValue) {
            damaged_ = true;
            return;
        }
        *member = data;
    }

    void broken() {
        anyTag_ = true;
        damaged_ = damaged_ || !inHeader_;
    }

    void endOfRecord() {
        if (inHeader_ || damaged_ || !referenceIsCallsign(record_.call)) {
            inHeader_ = false;
            ++result_.skipped;
        } else {
            result_.qsos.push_back(record_);
        }
        startRecord();
    }

    void endOfHeader() {
        if (!seen_.empty() && !inHeader_) {
            ++result_.skipped;
        }
        inHeader_ = false;
        startRecord();
    }

    void startRecord() {
        record_ = {};
        seen_.clear();
        anyTag_ = false;
        damaged_ = false;
    }

    std::string_view file_;
    std::size_t pos_ = 0;
    bool inHeader_ = false;
    log::AdifQso record_;
    std::set<std::string> seen_;
    bool anyTag_ = false;
    bool damaged_ = false;
    ReferenceAdif result_;
};

} // namespace kelmora::fuzz
