// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/adif_reader.h"
#include "support/file_bytes.h"
#include "support/memory_file.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace kelmora::log {
namespace {

using testing::PrintTo;
using namespace std::string_literals;

// A QSO as "name=value" for each field it holds, in the order of AdifQso.
std::string described(const AdifQso& qso) {
    const std::pair<const char*, const std::string_view*> fields[] = {
        {"call", &qso.call},       {"grid", &qso.gridSquare},      {"vucc", &qso.vuccGrids},
        {"band", &qso.band},       {"freq", &qso.frequency},       {"mode", &qso.mode},
        {"submode", &qso.submode}, {"prop", &qso.propagationMode}, {"date", &qso.qsoDate},
        {"qsl", &qso.qslReceived}, {"lotw", &qso.lotwQslReceived}, {"eqsl", &qso.eqslQslReceived},
    };
    std::string text;
    for (const auto& [name, value] : fields) {
        if (!value->empty()) {
            text.append(text.empty() ? "" : " ").append(name).append("=").append(*value);
        }
    }
    return text;
}

struct Reading {
    std::vector<std::string> qsos;
    std::uint64_t skipped = 0;
    bool operator==(const Reading&) const = default;
};

void PrintTo(const Reading& reading, std::ostream* os) {
    *os << ::testing::PrintToString(reading.qsos) << ", " << reading.skipped << " skipped";
}

Reading readAll(InputFile file, std::size_t blockSize) {
    AdifReader reader(std::move(file), blockSize);
    Reading reading;
    while (reader.next()) {
        reading.qsos.push_back(described(reader.qso()));
    }
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(reader.qsosRead(), reading.qsos.size());
    reading.skipped = reader.recordsSkipped();
    return reading;
}

struct AdifCase {
    const char* name;
    std::string bytes;
    Reading expected;
};

class AdifFiles : public ::testing::TestWithParam<std::tuple<AdifCase, std::size_t>> {};

TEST_P(AdifFiles, ReadAlikeForEveryBlockSize) {
    const auto& [c, blockSize] = GetParam();
    EXPECT_EQ(readAll(testing::memoryFile(c.bytes), blockSize), c.expected);
}

// A log as WSJT-X 2.6.1 writes it (logged by hand under Xvfb, calls made
// up): a header of text and fields, one record a line, lower-case names, a
// blank after each field, empty fields of length 0. It writes UTF-8 but
// counts characters: "ü" became U+FFFD, three bytes for one character.
const std::string kWsjtxLog =
    "ADIF Export\n<adif_ver:5>3.1.1\n<created_timestamp:15>20261207 211436\n"
    "<programid:6>WSJT-X\n<programversion:5>2.6.1\n<eoh>\n"
    "<call:6>QQ9XYZ <gridsquare:4>KO02 <mode:6>MSK144 <rst_sent:2>26 <rst_rcvd:2>27 "
    "<qso_date:8>20261207 <time_on:6>211412 <qso_date_off:8>20261207 <time_off:6>211412 "
    "<band:2>2m <freq:10>144.151500 <station_callsign:5>QQ0AA <my_gridsquare:6>JO62QM "
    "<comment:19>MS sked \xEF\xBF\xBD"
    "ber 600 km <name:4>J\xEF\xBF\xBDrg <prop_mode:2>MS <eor>\n"
    "<call:6>QQ7ABC <gridsquare:4>JO73 <mode:6>MSK144 <rst_sent:0> <rst_rcvd:0> "
    "<qso_date:8>20261207 <time_on:6>211611 <qso_date_off:8>20261207 <time_off:6>211611 "
    "<band:2>6m <freq:9>50.261500 <station_callsign:5>QQ0AA <my_gridsquare:6>JO62QM "
    "<comment:19>MS sked \xEF\xBF\xBD"
    "ber 600 km <name:4>J\xEF\xBF\xBDrg <eor>\n";

// Long enough that most tags are read where they lie in the block, with the
// uncommon ones among them: a type indicator, a three-digit length, marks in
// data, a name longer than 32 bytes, a field twice, a broken tag.
const std::string kMixedLog = "<call:4>QQ1A<gridsquare:4>JO62<eor>\n"
                              "<comment:3><x><call:4>QQ8H<eor>\n"
                              "<call:4:S>QQ2B<comment:120>" +
                              std::string(40, '<') + std::string(40, ':') + std::string(40, '>') +
                              "<eor>\n"
                              "<app_kelmora_a_name_of_35_characters:4>QQ0A<CALL:4>QQ3C<eor>\n"
                              "<call:4>QQ4D<call:4>QQ4E<eor>\n"
                              "<call:4 QQ5E<eor>\n"
                              "<call:4>QQ6F<band:2>2m<eor>\n"
                              "<comment:150>" +
                              std::string(150, 'x') + "<call:4>QQ7G<eor>\n";

// Records that mostly repeat the one before, as logs write them, and then
// change: a name in another case or at another place, type indicators of
// one letter and of none, a name with an "8",
// names of 16 to 22 bytes and longer, a field given twice, data of 64, 65
// and 99 bytes, a length of three digits, "<" in data. The blank lines
// behind them keep them all where tags are read in the block.
const std::string kChangingLog =
    "<call:4>QQ1A <gridsquare:4>JO62 <station_callsign:5>QQ0AA <app_kelmora_name_of_22:1>x <eor>\n"
    "<call:4:S>QQ2B <gridsquare:4:G>JO63 <station_callsign:5>QQ0AA <app_kelmora_name_of_22:1>y "
    "<eor>\n"
    "<CALL:4>QQ3C <gridsquare:4>JO64 <station_callsign:5>QQ0AA <app_kelmora_name_of_2_2:1>y <eor>\n"
    "<call:4>QQ4D <band:2:>2m <gridsquare:4>JO65 <app_kelmora_name_of_23b:2>zz <eor>\n"
    "<call:4>QQ5E <band8:2>6m <band:2>2m <eor>\n"
    "<call:4>QQ6F <band:2>2m <band:2>6m <eor>\n"
    "<call:4>QQ7G <comment:99>" +
    std::string(99, 'x') + " <vucc_grids:64>" + std::string(64, 'J') + " <eor>\n" +
    "<call:4>QQ8H <vucc_grids:65>" + std::string(65, 'J') + " <eor>\n" +
    "<call:4>QQ9I <comment:100>" + std::string(100, 'x') + " <eor>\n" +
    "<call:4>QQ1J <comment:10><eor><eor> <eor>\n" + std::string(300, '\n');

const AdifCase kAdifCases[] = {
    {"FieldsInAnyCaseAndOrder",
     "<GridSquare:4>JO62<cAlL:4>QQ1A<BAND:2>2M<Freq:7>144.360<eor>",
     {{"call=QQ1A grid=JO62 band=2M freq=144.360"}, 0}},
    {"EveryFieldUsed",
     "<call:4>QQ1A<gridsquare:6>JO62qm<vucc_grids:9>JO62,JO63<band:4>70cm<freq:7>432.065"
     "<mode:4>MFSK<submode:3>FT4<prop_mode:2>MS<qso_date:8>20260501<qsl_rcvd:1>Y"
     "<lotw_qsl_rcvd:1>V<eqsl_qsl_rcvd:1>N<EOR>",
     {{"call=QQ1A grid=JO62qm vucc=JO62,JO63 band=70cm freq=432.065 mode=MFSK submode=FT4 "
       "prop=MS date=20260501 qsl=Y lotw=V eqsl=N"},
      0}},
    {"TypeIndicatorsIgnored",
     "<call:4:S>QQ1A<freq:7:N>144.360<eor>",
     {{"call=QQ1A freq=144.360"}, 0}},
    {"TextBetweenFieldsIgnored",
     "<call:4>QQ1A some text\r\n\t<gridsquare:4>JO62 x > y <EoR> after the record\r\n",
     {{"call=QQ1A grid=JO62"}, 0}},
    {"LeadingZerosInTheLength", "<call:004>QQ1A<eor>", {{"call=QQ1A"}, 0}},
    {"DataHoldsWhatLooksLikeTags",
     "<comment:13><call:4>QQ9Z <call:4>QQ1A<eor>",
     {{"call=QQ1A"}, 0}},
    {"LengthCountsUtf8Bytes", "<name:5>J\xC3\xB6rg<call:4>QQ1A<eor>", {{"call=QQ1A"}, 0}},
    {"Windows1252Data",
     "<comment:5>Gr\xFC\xDF"
     "e<call:4>QQ1A<eor>",
     {{"call=QQ1A"}, 0}},
    {"EmptyFields", "<rst_sent:0> <gridsquare:0><call:4>QQ1A<eor>", {{"call=QQ1A"}, 0}},
    {"HeaderEndsAtEoh",
     "Log of QQ0AA\r\n<adif_ver:5>3.1.4 <call:4>QQ0A <programid:4>TEST<eoh>\r\n"
     "<call:4>QQ1A<eor>\r\n",
     {{"call=QQ1A"}, 0}},
    {"NoHeaderWhenTheFileStartsWithATag",
     "<call:4>QQ1A<eor><call:4>QQ2B<eor>",
     {{"call=QQ1A", "call=QQ2B"}, 0}},
    {"HeaderOfFieldsOnly", "<adif_ver:5>3.1.4<eoh><call:4>QQ1A<eor>", {{"call=QQ1A"}, 0}},
    {"HeaderTextMayHoldAngleBrackets",
     "made by <me> & <you\n<eoh><call:4>QQ1A<eor>",
     {{"call=QQ1A"}, 0}},
    {"ByteOrderMarkAndBlankLinesBeforeTheFirstTag",
     "\xEF\xBB\xBF\r\n\r\n<call:4>QQ1A<eor>",
     {{"call=QQ1A"}, 0}},
    {"ConcatenatedFiles",
     "ADIF Export\n<eoh>\n<call:4>QQ1A<eor>\nADIF Export\n<adif_ver:5>3.1.1\n<eoh>\n"
     "<call:4>QQ2B<eor>\n",
     {{"call=QQ1A", "call=QQ2B"}, 0}},
    {"WsjtxLog261",
     kWsjtxLog,
     {{"call=QQ9XYZ grid=KO02 band=2m freq=144.151500 mode=MSK144 prop=MS date=20261207",
       "call=QQ7ABC grid=JO73 band=6m freq=50.261500 mode=MSK144 date=20261207"},
      0}},
    {"MixedLog",
     kMixedLog,
     {{"call=QQ1A grid=JO62", "call=QQ8H", "call=QQ2B", "call=QQ3C", "call=QQ6F band=2m",
       "call=QQ7G"},
      2}},
    {"ChangingLog",
     kChangingLog,
     {{"call=QQ1A grid=JO62", "call=QQ2B grid=JO63", "call=QQ3C grid=JO64",
       "call=QQ4D grid=JO65 band=2m", "call=QQ5E band=2m", "call=QQ7G vucc=" + std::string(64, 'J'),
       "call=QQ9I", "call=QQ1J"},
      2}},
    {"EmptyFile", "", {{}, 0}},
    {"OnlyAHeader", "ADIF Export\n<adif_ver:5>3.1.1\n<eoh>\n", {{}, 0}},

    // What cannot be read is skipped and counted; what follows it is read.
    {"LengthRunsPastTheEnd", "<call:4>QQ1A<eor><call:40>QQ2B<eor>", {{"call=QQ1A"}, 1}},
    {"LengthPastTheEndLeavesLaterRecords",
     "<comment:999>x<call:4>QQ1A<eor><call:4>QQ2B<eor>",
     {{"call=QQ2B"}, 1}},
    {"LengthTooLongToBeAny",
     "<comment:9999999999999999>x<call:4>QQ1A<eor><call:4>QQ2B<eor>",
     {{"call=QQ2B"}, 1}},
    {"EorMissingAtTheEnd", "<call:4>QQ1A<eor><call:4>QQ2B", {{"call=QQ1A"}, 1}},
    {"EorMissingBetweenRecords", "<call:4>QQ1A<gridsquare:4>JO62\n<call:4>QQ2B<eor>", {{}, 1}},
    {"EorMissingBeforeAnotherHeader",
     "<call:4>QQ1A<eor><call:4>QQ2B\nADIF Export\n<adif_ver:5>3.1.1<eoh><call:4>QQ3C<eor>",
     {{"call=QQ1A", "call=QQ3C"}, 1}},
    {"EohMissingAfterHeaderText", "Log\n<call:4>QQ1A<eor><call:4>QQ2B<eor>", {{"call=QQ2B"}, 1}},
    {"EohMissingAndNoRecordEnds", "Log\n<call:4>QQ1A", {{}, 1}},
    {"TagWithoutLength", "<call>QQ1A<eor><call:4>QQ2B<eor>", {{"call=QQ2B"}, 1}},
    {"LengthNotDigits", "<call:x4>QQ1A<eor><call:4>QQ2B<eor>", {{"call=QQ2B"}, 1}},
    {"NameMissing", "<:4>QQ1A<call:4>QQ1A<eor>", {{}, 1}},
    {"TagNeverClosed", "<call:4 QQ1A<eor><call:4>QQ2B<eor>", {{"call=QQ2B"}, 1}},
    {"TagLongerThanAnyTag",
     "<call:4>QQ1A<eor><" + std::string(200, 'x') + "<call:4>QQ2B<eor><call:4>QQ3C<eor>",
     {{"call=QQ1A", "call=QQ3C"}, 1}},
    {"BinaryJunkBetweenRecords",
     "<call:4>QQ1A<eor>\0\xFF\x1A\x80\0 <call:4>QQ2B<eor>"s,
     {{"call=QQ1A", "call=QQ2B"}, 0}},
    {"BinaryJunkWithAngleBrackets",
     "<call:4>QQ1A<eor>\0<<>\xFF<\x01<call:4>QQ2B<eor><call:4>QQ3C<eor>"s,
     {{"call=QQ1A", "call=QQ3C"}, 1}},
    {"RecordWithoutCall", "<gridsquare:4>JO62<eor><call:4>QQ1A<eor>", {{"call=QQ1A"}, 1}},
    {"CallThatIsNoCallsign", "<call:6>QQ 1AB<eor><call:2>+-<eor><call:0><eor>", {{}, 3}},
    {"EmptyRecord", "<call:4>QQ1A<eor><eor>", {{"call=QQ1A"}, 1}},
    {"UsedFieldGivenTwice", "<call:4>QQ1A<band:2>2m<band:2>6m<eor>", {{}, 1}},
    {"UsedFieldLongerThanAnyValue",
     "<gridsquare:65>" + std::string(65, 'J') + "<call:4>QQ1A<eor><call:4>QQ2B<eor>",
     {{"call=QQ2B"}, 1}},
    {"LongFieldsNotUsedAreFine",
     "<comment:100000>" + std::string(100000, '<') + "<call:4>QQ1A<eor>",
     {{"call=QQ1A"}, 0}},
};

INSTANTIATE_TEST_SUITE_P(Table, AdifFiles,
                         ::testing::Combine(::testing::ValuesIn(kAdifCases),
                                            ::testing::Values(1, 7, 64 * 1024)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_block" +
                                    std::to_string(std::get<1>(info.param));
                         });

// A gigabyte of a field's data is passed over without reading it, and a
// gigabyte of nothing between records is searched through; neither is held
// in memory. The file is sparse: two holes of a gigabyte each take no disk.
TEST(AdifReader, GigabytesAreStreamedThrough) {
    constexpr std::uint64_t kGigabyte = std::uint64_t{1} << 30;
    const testing::TempFolder folder;
    const std::filesystem::path path = folder.write("huge.adi", "<call:4>QQ1A<comment:1073741824>");
    std::filesystem::resize_file(path, std::filesystem::file_size(path) + kGigabyte);
    testing::appendToFile(path, "<eor>");
    std::filesystem::resize_file(path, std::filesystem::file_size(path) + kGigabyte);
    testing::appendToFile(path, "<call:4>QQ2B<eor>");
    EXPECT_EQ(readAll(InputFile(path), AdifReader::kDefaultBlockSize),
              (Reading{{"call=QQ1A", "call=QQ2B"}, 0}));
}

TEST(AdifReader, AFileThatCannotBeOpenedGivesNothing) {
    AdifReader reader{InputFile("/nonexistent/wsjtx_log.adi")};
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.recordsSkipped(), 0U);
}

} // namespace
} // namespace kelmora::log
