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
// The rules of the ADIF specification (3.1.4): a header, when the file does
// not begin with "<", runs up to <EOH>; each record ends with <EOR>; a field
// is <NAME:LENGTH> or <NAME:LENGTH:TYPE> followed by exactly LENGTH bytes of
// data; names are compared without regard to case; type indicators and
// anything between fields are passed over. ADI data is ASCII, one byte a
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

    static constexpr std::size_t kUsedFieldCount = 12;

    ByteWindow window_;
    // The values of the record in hand, each in a slot of its own, so that
    // reading a record allocates nothing; record_ shows them. A field not
    // (yet) given has length 0.
    std::array<char, kUsedFieldCount * kLongestValue> values_{};
    std::array<std::uint8_t, kUsedFieldCount> lengths_{};
    AdifQso record_;
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
