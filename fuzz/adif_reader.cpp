// SPDX-License-Identifier: GPL-3.0-or-later
// Input: one byte for the block size, then the file.
//
// The reader runs mostly with tiny blocks, so that tags, data and the
// byte-order mark fall across block boundaries, and now and then with one
// block for the whole file, so that its tags are read where they lie in the
// block; its QSOs and its count of skipped records must be those of the
// whole-string reference, and every QSO must give facts within their
// bounds.

#include "log/adif_reader.h"

#include "fuzz_support.h"
#include "log/qso_facts.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelmora::fuzz {
namespace {

bool sameQso(const log::AdifQso& a, const log::AdifQso& b) {
    return a.call == b.call && a.gridSquare == b.gridSquare && a.vuccGrids == b.vuccGrids &&
           a.band == b.band && a.frequency == b.frequency && a.mode == b.mode &&
           a.submode == b.submode && a.propagationMode == b.propagationMode &&
           a.qsoDate == b.qsoDate && a.qslReceived == b.qslReceived &&
           a.lotwQslReceived == b.lotwQslReceived && a.eqslQslReceived == b.eqslQslReceived;
}

void checkFacts(const log::AdifQso& qso) {
    const log::QsoFacts facts = log::factsOf(qso);
    require((facts.bands & log::bandBit(log::Band::All)) != 0, "a QSO that counts for no band");
    require(facts.gridCount <= log::QsoFacts::kMostGrids, "more squares than a QSO holds");
    for (std::size_t i = 0; i < facts.gridCount; ++i) {
        require(facts.grids[i] < log::kGridCount, "a square out of range");
    }
}

} // namespace
} // namespace kelmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelmora::fuzz;
    InputBytes input(data, size);
    const std::uint8_t sizeByte = input.byte();
    const std::size_t blockSize =
        sizeByte < 192 ? 1 + sizeByte % 64 : kelmora::log::AdifReader::kDefaultBlockSize;
    const std::string_view bytes = input.rest();

    const MemoryFile file(bytes);
    kelmora::log::AdifReader reader(file.open(), blockSize);
    const ReferenceAdif expected = ReferenceAdifReader(bytes).read();
    std::size_t count = 0;
    while (reader.next()) {
        require(count < expected.qsos.size(), "more QSOs than the reference");
        require(sameQso(reader.qso(), expected.qsos[count]), "a QSO differs from the reference");
        checkFacts(reader.qso());
        ++count;
    }
    require(!reader.failed(), "reading a memfd failed");
    require(count == expected.qsos.size(), "fewer QSOs than the reference");
    require(reader.qsosRead() == count, "the count of QSOs read is wrong");
    require(reader.recordsSkipped() == expected.skipped,
            "skipped records differ from the reference");
    return 0;
}
