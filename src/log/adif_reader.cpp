// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/adif_reader.h"

#include "database/ascii.h"
#include "database/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__) && !defined(KELMORA_PORTABLE_SEARCH)
#define KELMORA_ADIF_SSE2 1
#include <emmintrin.h>
#endif

namespace kelmora::log {
namespace {

// Names are compared eight bytes at a time, as words loaded from the bytes
// in hand; the words they are compared with hold the bytes in the same
// order, whatever the machine's.
using Word = std::uint64_t;

constexpr Word byteInWord(unsigned char c, std::size_t at) {
    return std::endian::native == std::endian::little ? Word{c} << (8 * at)
                                                      : Word{c} << (56 - 8 * at);
}

Word loadWord(const char* at) {
    Word word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The first `count` (0 to 8) bytes of a word, the others zero.
constexpr Word firstBytes(std::size_t count) {
    if (count >= 8) {
        return ~Word{0};
    }
    return std::endian::native == std::endian::little ? (Word{1} << (8 * count)) - 1
                                                      : ~(~Word{0} >> (8 * count));
}

// A name of up to 16 bytes as two words, and which of their bits must
// match: every bit of the name's bytes but the case bit (0x20) of its
// letters, which is all that tells a letter from its capital; none of the
// bytes behind the name. The name's length is checked apart.
struct NameKey {
    Word low = 0;
    Word high = 0;
    Word lowCare = 0;
    Word highCare = 0;
};

constexpr NameKey keyOf(std::string_view upperName) {
    NameKey key;
    for (std::size_t at = 0; at < upperName.size(); ++at) {
        const char c = upperName[at];
        const bool letter = c >= 'A' && c <= 'Z';
        (at < 8 ? key.low : key.high) |= byteInWord(static_cast<unsigned char>(c), at % 8);
        (at < 8 ? key.lowCare : key.highCare) |= byteInWord(letter ? 0xDF : 0xFF, at % 8);
    }
    return key;
}

// Whether a name of the key's length is the key's. Loads two whole words:
// the bytes behind the name lie in the bytes in hand or in the window's
// slack.
bool nameMatches(const char* name, const NameKey& key) {
    return (((loadWord(name) ^ key.low) & key.lowCare) |
            ((loadWord(name + 8) ^ key.high) & key.highCare)) == 0;
}

struct UsedField {
    std::string_view name; // upper case
    std::string_view AdifQso::*member;
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
// The fields above by the length of their names and the low five bits of
// their first and last letters, which are the same in either case and tell
// them apart: most names of other fields are passed over after one look
// into this table, the others after one comparison. A row for every length
// a name read where it lies can have, so that its length needs no check.
constexpr std::size_t kNameLengthRows = 32;
constexpr std::size_t kLetterKeys = 32;
constexpr std::size_t letterKey(char first, char last) {
    return static_cast<std::size_t>((first ^ last) & (kLetterKeys - 1));
}

constexpr auto kUsedFieldsByName = [] {
    std::array<std::array<std::int8_t, kLetterKeys>, kNameLengthRows> table{};
    for (auto& keys : table) {
        keys.fill(-1);
    }
    for (std::size_t i = 0; i < kUsedFields.size(); ++i) {
        const std::string_view name = kUsedFields[i].name;
        std::int8_t& slot = table[name.size()][letterKey(name.front(), name.back())];
        slot = slot < 0 ? static_cast<std::int8_t>(i) : throw "two used fields share a key";
    }
    return table;
}();
constexpr auto kUsedFieldKeys = [] {
    std::array<NameKey, kUsedFields.size()> keys{};
    for (std::size_t i = 0; i < kUsedFields.size(); ++i) {
        keys[i] = kUsedFields[i].name.size() <= 16 ? keyOf(kUsedFields[i].name)
                                                   : throw "a used name too long";
    }
    return keys;
}();

// The field used here that a name of 1 to kNameLengthRows - 1 bytes names,
// or -1.
inline int usedFieldNamedShort(const char* name, std::size_t length) {
    const int field = kUsedFieldsByName[length][letterKey(name[0], name[length - 1])];
    return field >= 0 && nameMatches(name, kUsedFieldKeys[static_cast<std::size_t>(field)]) ? field
                                                                                            : -1;
}

// The same for a name of any length from one byte on.
int usedFieldNamed(const char* name, std::size_t length) {
    return length < kNameLengthRows ? usedFieldNamedShort(name, length) : -1;
}

constexpr NameKey kEndOfRecord = keyOf("EOR");
constexpr NameKey kEndOfHeader = keyOf("EOH");

#ifndef KELMORA_ADIF_SSE2
// The bytes of a word equal to c get their top bit set, and no others.
constexpr Word kLowBits = 0x7F7F7F7F7F7F7F7Full;
constexpr Word bytesEqual(Word word, char c) {
    const Word x = word ^ (0x0101010101010101ull * static_cast<unsigned char>(c));
    return ~(((x & kLowBits) + kLowBits) | x | kLowBits);
}
#endif

// The first ":", "<" or ">" in [from, limit), else limit. Reads whole
// vectors or words, up to 15 bytes beyond limit, in the window's slack.
const char* findTagMark(const char* from, const char* limit) {
#ifdef KELMORA_ADIF_SSE2
    const __m128i colon = _mm_set1_epi8(':');
    const __m128i open = _mm_set1_epi8('<');
    const __m128i close = _mm_set1_epi8('>');
    for (; from < limit; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i marks =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, colon), _mm_cmpeq_epi8(bytes, open)),
                         _mm_cmpeq_epi8(bytes, close));
        const auto found = static_cast<unsigned>(_mm_movemask_epi8(marks));
        if (found != 0) {
            return std::min(from + std::countr_zero(found), limit);
        }
    }
#else
    for (; from < limit; from += 8) {
        Word word = 0;
        std::memcpy(&word, from, sizeof word);
        const Word found = bytesEqual(word, ':') | bytesEqual(word, '<') | bytesEqual(word, '>');
        if (found != 0) {
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(found)
                                                                       : std::countl_zero(found);
            return std::min(from + bit / 8, limit);
        }
    }
#endif
    return limit;
}

// Enough digits for any length a file can have; more make the tag broken.
constexpr std::size_t kLongestLengthDigits = 15;

// Where a name may end among the 16 bytes from `at` on, one bit a byte, the
// first byte lowest: at ":", "<" and ">", and at "8". With bits 1 and 2
// set, these four bytes (0x38, 0x3A, 0x3C, 0x3E) are all ">", and no other
// byte is, so that a single comparison finds them; a name with an "8" in it
// is left to the careful reading.
std::uint32_t nameEndsIn16(const char* at) {
#ifdef KELMORA_ADIF_SSE2
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i ends = _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(6)), _mm_set1_epi8('>'));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(ends));
#else
    std::uint32_t ends = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        ends |= std::uint32_t{(at[i] | 6) == '>'} << i;
    }
    return ends;
#endif
}

// The same for the 32 bytes from `at` on; most names end within the first 16.
constexpr std::size_t kMarkedBytes = 32;
std::uint32_t nameEndsAt(const char* at) {
    const std::uint32_t ends = nameEndsIn16(at);
    return ends != 0 ? ends : nameEndsIn16(at + 16) << 16;
}

// What a common tag reads at most, from its "<" on: the 32 bytes looked at
// for the end of its name, then ":", two digits, ":", a type indicator and
// ">", then its data of up to 99 bytes. The fast path keeps so many bytes in
// hand behind every tag it reads, and checks no bound of its own.
constexpr std::size_t kLongestCommonData = 99;
constexpr std::size_t kCommonTagBytes = 1 + kMarkedBytes + 5 + kLongestCommonData;

// Where "<" stands among the 64 bytes from `at` on: one bit a byte, the
// first byte lowest.
constexpr std::size_t kStartsBytes = 64;
std::uint64_t tagStartsIn64(const char* at) {
    std::uint64_t starts = 0;
#ifdef KELMORA_ADIF_SSE2
    const __m128i open = _mm_set1_epi8('<');
    for (std::size_t part = 0; part < kStartsBytes / 16; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * part));
        const auto found =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, open)));
        starts |= std::uint64_t{found} << (16 * part);
    }
#else
    for (std::size_t i = 0; i < kStartsBytes; ++i) {
        starts |= std::uint64_t{at[i] == '<'} << i;
    }
#endif
    return starts;
}

// The first "<" or ">" in [from, limit), else limit.
const char* findTagEnd(const char* from, const char* limit) {
    while (from < limit && *from != '>' && *from != '<') {
        ++from;
    }
    return from;
}

// The length of a common tag from the two bytes after its ":", indexed by
// the first byte plus 256 times the second: one digit (the second byte is
// no digit) or two, the count of digits in the top bit. kNoLength where the
// first byte is no digit.
constexpr std::uint8_t kNoLength = 0xFF;
constexpr std::uint8_t kTwoDigits = 0x80;
constexpr auto kLengthsOfPairs = [] {
    std::array<std::uint8_t, 256 * 256> lengths{};
    lengths.fill(kNoLength);
    for (unsigned first = 0; first < 10; ++first) {
        for (unsigned second = 0; second < 256; ++second) {
            const bool two = ascii::isDigit(second);
            lengths['0' + first + 256 * second] =
                static_cast<std::uint8_t>(two ? kTwoDigits | (first * 10 + second - '0') : first);
        }
    }
    return lengths;
}();

unsigned pairAt(const char* at) {
    return static_cast<unsigned char>(at[0]) |
           static_cast<unsigned>(static_cast<unsigned char>(at[1])) << 8;
}

// The rest of a common tag from the ":" after its name on: one digit or
// two, then ">" or a type indicator of one letter and ">". Its length, and
// where its data begins; no data for anything else, which is left to
// readTag().
struct CommonLength {
    std::size_t length = 0;
    const char* data = nullptr;
};

inline CommonLength commonLengthAt(const char* colon) {
    const unsigned digits = kLengthsOfPairs[pairAt(colon + 1)];
    const char* close = colon + 2 + (digits >> 7);
    if (digits == kNoLength) {
        return {};
    }
    if (*close != '>') {
        if (*close != ':' || (close[1] | 2) == '>' || close[2] != '>') {
            return {};
        }
        close += 2;
    }
    return {digits & ~kTwoDigits & 0xFFu, close + 1};
}

// The first "<" in [from, end), else end. Fields mostly follow each other at
// once or after one blank.
const char* firstTagStart(const char* from, const char* end) {
    if (from < end && *from == '<') {
        return from;
    }
    if (end - from >= 2 && from[1] == '<') {
        return from + 1;
    }
    const void* found = std::memchr(from, '<', static_cast<std::size_t>(end - from));
    return found != nullptr ? static_cast<const char*>(found) : end;
}

// Letters, digits and "/" (DL1ABC, OE/DL1ABC/P), blanks around it allowed.
constexpr auto kCallsignBytes = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/';
    }
    return table;
}();

bool isCallsign(std::string_view call) {
    call = ascii::trimBlanks(call);
    return !call.empty() && std::all_of(call.begin(), call.end(), [](char c) {
        return kCallsignBytes[static_cast<unsigned char>(c)];
    });
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

AdifReader::AdifReader(InputFile file, std::size_t blockSize)
    : window_(std::move(file), blockSize, std::max(kLongestValue, kLongestTag)) {
    static_assert(kUsedFieldCount == kUsedFields.size());
}

// ADIF 3.1.4: a file whose first character is "<" has no header.
// A byte-order mark and blank lines before it change nothing.
void AdifReader::skipHeaderIfAny() {
    window_.ensure(kUtf8ByteOrderMark.size());
    if (window_.bytes().starts_with(kUtf8ByteOrderMark)) {
        window_.advance(kUtf8ByteOrderMark.size());
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
    while (true) {
        const char* const start = firstTagStart(window_.position(), window_.end());
        window_.moveTo(start);
        if (start != window_.end()) {
            return true;
        }
        if (!window_.next()) {
            return false;
        }
    }
}

// Whether the bytes from `start` on begin as the known tag does. Loads
// whole words, as nameMatches() does.
inline bool AdifReader::startsLike(const char* start, const KnownTag& known) {
    return (((loadWord(start) ^ known.bytes[0]) & known.care[0]) |
            ((loadWord(start + 8) ^ known.bytes[1]) & known.care[1]) |
            ((loadWord(start + 16) ^ known.bytes[2]) & known.care[2])) == 0;
}

// Keeps the tag at `start` for the record after this one, when "<", its
// name and ":" fit into 24 bytes; else that place keeps no tag.
void AdifReader::learnTag(std::size_t place, const char* start, std::size_t nameLength, int field) {
    KnownTag& known = knownTags_[place % kKnownTags];
    known = {};
    const std::size_t size = 1 + nameLength + 1;
    if (size <= 8 * known.bytes.size()) {
        known.bytes = {loadWord(start), loadWord(start + 8), loadWord(start + 16)};
        known.care = {firstBytes(size), firstBytes(size > 8 ? size - 8 : 0),
                      firstBytes(size > 16 ? size - 16 : 0)};
        known.nameLength = static_cast<std::uint8_t>(nameLength);
        known.field = static_cast<std::int8_t>(field);
    }
}

// The common tags, read where they lie in the bytes in hand: a field
// <NAME:LENGTH> or <NAME:LENGTH:T> with a name of less than 32 bytes and a
// length of one or two digits, and <EOR>. The record's state stays in local
// variables meanwhile. At anything else, and near the end of the bytes in
// hand, readTag() takes over: it comes to the same result for the common
// tags.
//
// The "<" ahead are found 64 bytes at a time, not behind each field's data:
// where the next tag starts then does not wait for the length of the one
// before, and the processor reads several tags at once. A "<" inside data,
// or before the reading position, is passed over. Most tags are told by the
// tag at the same place in the last record (knownTags_).
AdifReader::Tag AdifReader::readCommonTags() {
    const char* at = window_.position();
    const char* const end = window_.end();
    std::uint32_t seen = fieldsSeen_;
    bool damaged = damaged_;
    const std::size_t firstPlace = tagsInRecord_;
    std::size_t place = firstPlace;
    bool endOfRecord = false;
    const char* chunk = chunk_ != nullptr ? chunk_ : at;
    std::uint64_t starts = chunk_ != nullptr ? starts_ : 0;
    while (true) {
        if (starts == 0) {
            // The chunks follow each other whatever the tags in them, as a
            // field read here is shorter than a chunk and a half.
            if (static_cast<std::size_t>(end - chunk) < kStartsBytes + kCommonTagBytes) {
                break;
            }
            starts = tagStartsIn64(chunk);
            chunk += kStartsBytes;
            continue;
        }
        const char* const start =
            chunk - kStartsBytes + static_cast<unsigned>(std::countr_zero(starts));
        starts &= starts - 1;
        if (start < at) {
            continue;
        }
        at = start;
        const char* const name = start + 1;
        const KnownTag& known = knownTags_[place % kKnownTags];
        std::size_t nameLength = known.nameLength;
        int field = known.field;
        if (!startsLike(start, known)) {
            nameLength = static_cast<unsigned>(std::countr_zero(nameEndsAt(name)));
            if (nameLength - 1 >= kNameLengthRows - 1) {
                break; // no name, or one of 32 bytes or more
            }
            if (name[nameLength] != ':') {
                if (nameLength == 3 && name[nameLength] == '>' && nameMatches(name, kEndOfRecord)) {
                    at = name + 4;
                    endOfRecord = true;
                }
                break;
            }
            field = usedFieldNamedShort(name, nameLength);
            learnTag(place, start, nameLength, field);
        }
        const CommonLength common = commonLengthAt(name + nameLength);
        if (common.data == nullptr) {
            break;
        }
        const std::size_t length = common.length;
        const char* const data = common.data;
        ++place;
        if (field >= 0) {
            const std::uint32_t bit = 1u << field;
            if ((seen & bit) != 0 || length > kLongestValue) {
                damaged = true;
            } else {
                keepValue(static_cast<std::size_t>(field), data, length);
            }
            seen |= bit;
        }
        at = data + length;
    }
    fieldsSeen_ = seen;
    damaged_ = damaged;
    anyTag_ = anyTag_ || place != firstPlace;
    tagsInRecord_ = place;
    window_.moveTo(at);
    if (!endOfRecord) {
        return readTag();
    }
    chunk_ = chunk;
    starts_ = starts;
    return {TagKind::EndOfRecord};
}

AdifReader::Tag AdifReader::brokenTagUpTo(const char* resume) {
    window_.moveTo(resume);
    return {TagKind::Broken};
}

// At a "<": the tag, which ends at the first ">" or "<" after it. Closed by
// ">", reading goes on behind it, whether the tag was sound or not; broken
// off by "<", at that "<"; and where neither comes within kLongestTag bytes,
// just behind the tag's own "<". What lies inside is read in the same pass:
// a name up to the first mark, then for a field ":", the length and maybe
// ":" and a type indicator, which is not looked at.
AdifReader::Tag AdifReader::readTag() {
    chunk_ = nullptr; // the window may move
    if (!findTagStart()) {
        return {};
    }
    window_.ensure(kLongestTag);
    const char* const start = window_.position();
    const char* const limit =
        start + std::min<std::size_t>(kLongestTag, static_cast<std::size_t>(window_.end() - start));
    const char* const name = start + 1;
    const char* const mark = findTagMark(name, limit);
    if (mark == limit) {
        return brokenTagUpTo(start + 1);
    }
    const auto nameLength = static_cast<std::size_t>(mark - name);
    if (*mark == '<') {
        return brokenTagUpTo(mark);
    }
    if (*mark == '>') {
        window_.moveTo(mark + 1);
        if (nameLength == 3 && nameMatches(name, kEndOfRecord)) {
            return {TagKind::EndOfRecord};
        }
        if (nameLength == 3 && nameMatches(name, kEndOfHeader)) {
            return {TagKind::EndOfHeader};
        }
        return {TagKind::Broken}; // a field without its length
    }
    const char* const digits = mark + 1;
    const char* at = digits;
    std::uint64_t length = 0; // wraps for too many digits, which break the tag anyway
    while (at < limit && ascii::isDigit(*at)) {
        length = length * 10 + static_cast<unsigned char>(*at - '0');
        ++at;
    }
    const bool sound = nameLength > 0 && at > digits &&
                       static_cast<std::size_t>(at - digits) <= kLongestLengthDigits &&
                       at < limit && (*at == '>' || *at == ':');
    const char* const end = findTagEnd(at, limit);
    if (end == limit) {
        return brokenTagUpTo(start + 1);
    }
    if (*end == '<') {
        return brokenTagUpTo(end);
    }
    const char* const data = end + 1;
    window_.moveTo(data);
    if (!sound) {
        return {TagKind::Broken};
    }
    if (length > static_cast<std::size_t>(window_.end() - data) &&
        length > window_.remainingFrom(data)) {
        return {TagKind::Broken}; // the data would run past the end of the file
    }
    return {TagKind::Field, usedFieldNamed(name, nameLength), length};
}

void AdifReader::takeData(const Tag& tag) {
    if (tag.usedField < 0 || inHeader_) {
        window_.skip(tag.length);
        if (tag.usedField >= 0) {
            fieldsSeen_ |= 1u << tag.usedField;
        }
        return;
    }
    if (tag.length <= kLongestValue) {
        window_.ensure(static_cast<std::size_t>(tag.length)); // checked against the file's end
    }
    takeValue(static_cast<std::size_t>(tag.usedField), window_.position(), tag.length);
    window_.skip(tag.length);
}

// The value of a field used here, from data in hand: taken when it is the
// field's first in the record and not too long to be a value of it.
void AdifReader::takeValue(std::size_t field, const char* data, std::uint64_t length) {
    const std::uint32_t bit = 1u << field;
    if ((fieldsSeen_ & bit) != 0 || length > kLongestValue) {
        damaged_ = true;
    } else {
        keepValue(field, data, static_cast<std::size_t>(length));
    }
    fieldsSeen_ |= bit;
}

// Copies in steps of 16 bytes, which may reach into the window's slack and
// never beyond the value's slot; record_ shows the copy.
void AdifReader::keepValue(std::size_t field, const char* data, std::size_t length) {
    static_assert(kLongestValue % 16 == 0 && ByteWindow::kSlack >= 16);
    char* const slot = values_.data() + field * kLongestValue;
    for (std::size_t done = 0; done < length; done += 16) {
        std::memcpy(slot + done, data + done, 16);
    }
    record_.*kUsedFields[field].member = {slot, length};
}

void AdifReader::startRecord() {
    record_ = {};
    tagsInRecord_ = 0;
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
        const Tag tag = inHeader_ ? readTag() : readCommonTags();
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
