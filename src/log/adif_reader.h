// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/input_file.h"
#include "log/byte_window.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelmora::log {

// The fields of one QSO record that the program uses, as the log's bytes.
// A field the record lacks is empty.
struct AdifQso {
    std::string_view call;
    std::string_view gridSquare;
    std::string_view vuccGrids;
    std::string_view band;
    std::string_view frequency; // FREQ, in MHz
    std::string_view mode;
    std::string_view submode;
    std::string_view propagationMode;
    std::string_view qsoDate;
    std::string_view qslReceived;
    std::string_view lotwQslReceived;
    std::string_view eqslQslReceived;
};

// Reads an ADIF file in its ADI form, one QSO after the other, in a single
// pass that holds one block of the file and the record in hand.
//
// The rules of ADIF 3.1.4: a header, when the file does not begin with "<",
// runs up to <EOH>; each record ends with <EOR>; a field is <NAME:LENGTH> or
// <NAME:LENGTH:TYPE> followed by exactly LENGTH bytes of data; names are
// compared without regard to case; type indicators and anything between
// fields are passed over. ADI data is ASCII, one byte a
// character, so a length counts bytes: UTF-8 or Windows-1252 text that some
// programs write anyway is taken by its bytes, and a writer that counted its
// characters instead leaves a tail that falls between the fields.
//
// What cannot be read is skipped and counted, never guessed: a record with a
// broken tag, a length that runs past the end of the file, a field used here
// given twice or with data longer than any value of it, a record cut off by
// the end of the file or by an <EOH> (its <EOR> missing), and a record
// without a CALL that is a callsign. After a broken tag the search for the
// next tag goes on right behind its "<", so the records after it are read.
class AdifReader {
public:
    explicit AdifReader(InputFile file, std::size_t blockSize = kDefaultBlockSize);

    bool isOpen() const { return window_.isOpen(); }
    // True when the file could not be opened or a read failed part-way.
    bool failed() const { return static_cast<bool>(window_.error()); }
    const FileError& error() const { return window_.error(); }

    // Moves to the next QSO. False at the end of the file and when reading
    // failed.
    bool next();
    // The QSO that next() moved to, valid until the next call.
    const AdifQso& qso() const { return record_; }

    std::uint64_t qsosRead() const { return qsosRead_; }
    std::uint64_t recordsSkipped() const { return recordsSkipped_; }

    static constexpr std::size_t kDefaultBlockSize = 256 * 1024;
    // Data of a field used here that is longer than this is no value of it.
    static constexpr std::size_t kLongestValue = 64;
    // A tag longer than this, from "<" to ">", is broken.
    static constexpr std::size_t kLongestTag = 128;

private:
    enum class TagKind { EndOfFile, Broken, EndOfHeader, EndOfRecord, Field };
    struct Tag {
        TagKind kind = TagKind::EndOfFile;
        int usedField = -1; // index into the fields used here, or -1
        std::uint64_t length = 0;
    };

    void skipHeaderIfAny();
    bool findTagStart();
    Tag readCommonTags();
    Tag readTag();
    Tag brokenTagUpTo(const char* resume);
    void takeData(const Tag& tag);
    void takeValue(std::size_t field, const char* data, std::uint64_t length);
    void keepValue(std::size_t field, const char* data, std::size_t length);
    bool finishRecord();
    void skipRecord();
    void startRecord();
    void learnTag(std::size_t place, const char* start, std::size_t nameLength, int field);

    static constexpr std::size_t kUsedFieldCount = 12;

    // A tag of the last record, for its successor: logs write every record
    // alike, so most tags are told by comparing their first bytes with
    // these, without looking for the end of the name or looking the name
    // up. As made here, it is like no tag. 64 bytes, so that the one for a
    // place is found by a shift.
    struct alignas(64) KnownTag {
        // The tag's first 24 bytes as three words, and the bits of them
        // that tell it: those of "<", the name and ":".
        std::array<std::uint64_t, 3> bytes{};
        std::array<std::uint64_t, 3> care{~std::uint64_t{0}, ~std::uint64_t{0}, 0};
        std::uint8_t nameLength = 0;
        std::int8_t field = -1;
    };
    static bool startsLike(const char* start, const KnownTag& known);
    static constexpr std::size_t kKnownTags = 64;

    ByteWindow window_;
    // The values of the record in hand, each in a slot of its own, so that
    // reading a record allocates nothing; record_ shows them, and a field
    // not (yet) given as empty.
    std::array<char, kUsedFieldCount * kLongestValue> values_{};
    AdifQso record_;
    // By the tags' places in the record, counted round.
    std::array<KnownTag, kKnownTags> knownTags_{};
    std::size_t tagsInRecord_ = 0;
    // Where the fast path left off looking for "<" when it last handed out
    // a QSO: the window has not moved since, unless readTag() ran, which
    // clears it.
    const char* chunk_ = nullptr;
    std::uint64_t starts_ = 0;
    std::uint32_t fieldsSeen_ = 0; // one bit per field used here
    bool anyTag_ = false;
    bool damaged_ = false;
    bool inHeader_ = false;
    bool started_ = false;
    bool finished_ = false; // record_ is a QSO handed out
    std::uint64_t qsosRead_ = 0;
    std::uint64_t recordsSkipped_ = 0;
};

} // namespace kelmora::log
