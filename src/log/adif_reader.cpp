// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/adif_reader.h"

#include "database/ascii.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

namespace kelmora::log {
namespace {

struct UsedField {
    std::string_view name; // upper case
    std::string AdifQso::*member;
};

constexpr std::array kUsedFields = {
    UsedField{"CALL", &AdifQso::call},
    UsedField{"GRIDSQUARE", &AdifQso::gridSquare},
    UsedField{"VUCC_GRIDS", &AdifQso::vuccGrids},
    UsedField{"BAND", &AdifQso::band},
    UsedField{"FREQ", &AdifQso::frequency},
    UsedField{"MODE", &AdifQso::mode},
    UsedField{"SUBMODE", &AdifQso::submode},
    UsedField{"PROP_MODE", &AdifQso::propagationMode},
    UsedField{"QSO_DATE", &AdifQso::qsoDate},
    UsedField{"QSL_RCVD", &AdifQso::qslReceived},
    UsedField{"LOTW_QSL_RCVD", &AdifQso::lotwQslReceived},
    UsedField{"EQSL_QSL_RCVD", &AdifQso::eqslQslReceived},
};

// The fields above by the length of their names and their first and last
// letters, which tell them apart: most names of other fields are passed
// over after one look into this table.
constexpr std::size_t kLongestUsedName = 13;
constexpr std::size_t kLetterKeys = 32;
constexpr std::size_t letterKey(char first, char last) {
    return (static_cast<unsigned char>(ascii::toUpper(first)) ^
            static_cast<unsigned char>(ascii::toUpper(last))) %
           kLetterKeys;
}
constexpr auto kUsedFieldsByName = [] {
    std::array<std::array<int, kLetterKeys>, kLongestUsedName + 1> table{};
    for (auto& keys : table) {
        keys.fill(-1);
    }
    for (std::size_t i = 0; i < kUsedFields.size(); ++i) {
        const std::string_view name = kUsedFields[i].name;
        int& slot = table[name.size()][letterKey(name.front(), name.back())];
        slot = slot < 0 ? static_cast<int>(i) : throw "two used fields share a key";
    }
    return table;
}();

int usedFieldNamed(std::string_view name) {
    if (name.empty() || name.size() > kLongestUsedName) {
        return -1;
    }
    const int candidate = kUsedFieldsByName[name.size()][letterKey(name.front(), name.back())];
    return candidate >= 0 && ascii::equalsIgnoringCase(
                                 name, kUsedFields[static_cast<std::size_t>(candidate)].name)
               ? candidate
               : -1;
}

// Eight bytes at a time: the bytes of a word equal to c get their top bit
// set. Bits above the first such byte may be wrong (a borrow runs on), so
// only the lowest one is used.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kTops = 0x8080808080808080ull;
constexpr std::uint64_t bytesEqual(std::uint64_t word, char c) {
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
    return (x - kOnes) & ~x & kTops;
}

// The first ">" or "<" from `from` on, else the end of the bytes.
std::size_t tagEnd(std::string_view bytes, std::size_t from) {
    while (from < bytes.size() && bytes[from] != '>' && bytes[from] != '<') {
        ++from;
    }
    return from;
}

bool endsName(char c) {
    return c == ':' || c == '>' || c == '<';
}

// Where a field name that starts at `from` ends: at the first ":", ">" or
// "<", else at the end of the bytes.
std::size_t nameEnd(std::string_view bytes, std::size_t from) {
    std::size_t at = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + 8 <= bytes.size(); at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + at, sizeof word);
            const std::uint64_t ends =
                bytesEqual(word, ':') | bytesEqual(word, '>') | bytesEqual(word, '<');
            if (ends != 0) {
                return at + static_cast<std::size_t>(std::countr_zero(ends)) / 8;
            }
        }
    }
    while (at < bytes.size() && !endsName(bytes[at])) {
        ++at;
    }
    return at;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Letters, digits and "/" (DL1ABC, OE/DL1ABC/P), blanks around it allowed.
bool isCallsign(std::string_view call) {
    call = ascii::trimBlanks(call);
    return !call.empty() && std::all_of(call.begin(), call.end(), [](char c) {
        const char upper = ascii::toUpper(c);
        return (upper >= 'A' && upper <= 'Z') || isDigit(c) || c == '/';
    });
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Enough digits for any length a file can have; more make the tag broken.
constexpr std::size_t kLongestLengthDigits = 15;

} // namespace

AdifReader::AdifReader(InputFile file, std::size_t blockSize)
    : window_(std::move(file), blockSize, std::max(kLongestValue, kLongestTag)) {}

// The specification: a file whose first character is "<" has no header.
// A byte-order mark and blank lines before it change nothing.
void AdifReader::skipHeaderIfAny() {
    window_.ensure(kByteOrderMark.size());
    if (window_.bytes().starts_with(kByteOrderMark)) {
        window_.advance(kByteOrderMark.size());
    }
    while (true) {
        const std::string_view bytes = window_.bytes();
        const auto text = std::find_if_not(bytes.begin(), bytes.end(), isBlank);
        window_.advance(static_cast<std::size_t>(text - bytes.begin()));
        if (text != bytes.end()) {
            inHeader_ = *text != '<';
            return;
        }
        if (!window_.next()) {
            return;
        }
    }
}

bool AdifReader::findTagStart() {
    // Fields mostly follow each other at once or after one blank.
    const std::string_view near = window_.bytes().substr(0, 2);
    for (std::size_t at = 0; at < near.size(); ++at) {
        if (near[at] == '<') {
            window_.advance(at);
            return true;
        }
    }
    while (true) {
        const std::string_view bytes = window_.bytes();
        const void* found = std::memchr(bytes.data(), '<', bytes.size());
        if (found != nullptr) {
            window_.advance(
                static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()));
            return true;
        }
        if (!window_.next()) {
            return false;
        }
    }
}

// At a "<": the tag, which ends at the first ">" or "<" after it. Closed by
// ">", reading goes on behind it, whether the tag was sound or not; broken
// off by "<", at that "<"; and where neither comes within kLongestTag bytes,
// just behind the tag's own "<". What lies inside is read in the same pass:
// a name, then for a field ":", the length and maybe ":" and a type
// indicator, which is not looked at.
AdifReader::Tag AdifReader::readTag() {
    if (!findTagStart()) {
        return {};
    }
    window_.ensure(kLongestTag);
    const std::string_view bytes = window_.bytes().substr(0, kLongestTag);
    std::size_t at = nameEnd(bytes, 1);
    const std::string_view name = bytes.substr(1, at - 1);
    const bool isField = at < bytes.size() && bytes[at] == ':';
    std::uint64_t length = 0;
    std::size_t digits = 0;
    if (isField) {
        for (++at; at < bytes.size() && isDigit(bytes[at]); ++at, ++digits) {
            length = digits < kLongestLengthDigits
                         ? length * 10 + static_cast<std::uint64_t>(bytes[at] - '0')
                         : length;
        }
    }
    const bool sound =
        !isField || (!name.empty() && digits >= 1 && digits <= kLongestLengthDigits &&
                     at < bytes.size() && (bytes[at] == ':' || bytes[at] == '>'));
    at = tagEnd(bytes, at);
    if (at == bytes.size() || bytes[at] == '<') {
        window_.advance(at == bytes.size() ? 1 : at);
        return {TagKind::Broken};
    }
    window_.advance(at + 1);
    if (!sound) {
        return {TagKind::Broken};
    }
    if (!isField) {
        if (ascii::equalsIgnoringCase(name, "EOR")) {
            return {TagKind::EndOfRecord};
        }
        if (ascii::equalsIgnoringCase(name, "EOH")) {
            return {TagKind::EndOfHeader};
        }
        return {TagKind::Broken}; // a field without its length
    }
    if (length > window_.remaining()) {
        return {TagKind::Broken}; // the data would run past the end of the file
    }
    return {TagKind::Field, usedFieldNamed(name), length};
}

void AdifReader::takeData(const Tag& tag) {
    if (tag.usedField < 0 || inHeader_) {
        window_.skip(tag.length);
        if (tag.usedField >= 0) {
            fieldsSeen_ |= 1u << tag.usedField;
        }
        return;
    }
    const std::uint32_t bit = 1u << tag.usedField;
    if ((fieldsSeen_ & bit) != 0 || tag.length > kLongestValue) {
        damaged_ = true;
        fieldsSeen_ |= bit;
        window_.skip(tag.length);
        return;
    }
    fieldsSeen_ |= bit;
    const auto length = static_cast<std::size_t>(tag.length);
    window_.ensure(length); // the length was checked against the end of the file
    (record_.*kUsedFields[static_cast<std::size_t>(tag.usedField)].member)
        .assign(window_.bytes().substr(0, length));
    window_.advance(length);
}

void AdifReader::startRecord() {
    for (std::size_t i = 0; i < kUsedFields.size(); ++i) {
        if ((fieldsSeen_ >> i & 1u) != 0) {
            (record_.*kUsedFields[i].member).clear();
        }
    }
    fieldsSeen_ = 0;
    anyTag_ = false;
    damaged_ = false;
}

void AdifReader::skipRecord() {
    ++recordsSkipped_;
    startRecord();
}

bool AdifReader::finishRecord() {
    if (inHeader_ || damaged_ || !isCallsign(record_.call)) {
        // An <EOR> before any <EOH> ends a header that lacks its end: what
        // came before cannot be told apart from the header.
        inHeader_ = false;
        skipRecord();
        return false;
    }
    ++qsosRead_;
    finished_ = true;
    return true;
}

bool AdifReader::next() {
    if (!started_) {
        started_ = true;
        skipHeaderIfAny();
    }
    if (finished_) {
        finished_ = false;
        startRecord();
    }
    while (true) {
        const Tag tag = readTag();
        switch (tag.kind) {
        case TagKind::EndOfFile:
            // A record the file ends in has lost its <EOR>; so has one that
            // holds QSO fields while the header has not ended.
            if (!failed() && ((anyTag_ && !inHeader_) || fieldsSeen_ != 0)) {
                skipRecord();
            }
            return false;
        case TagKind::Broken:
            anyTag_ = true;
            damaged_ = damaged_ || !inHeader_; // a header's free text may hold a "<"
            break;
        case TagKind::EndOfHeader:
            if (fieldsSeen_ != 0 && !inHeader_) {
                skipRecord(); // a record without its <EOR> before another header
            }
            inHeader_ = false;
            startRecord();
            break;
        case TagKind::EndOfRecord:
            if (finishRecord()) {
                return true;
            }
            break;
        case TagKind::Field:
            anyTag_ = true;
            takeData(tag);
            break;
        }
    }
}

} // namespace kelmora::log
