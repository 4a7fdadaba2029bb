// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_reading.h"

#include "log/adif_reader.h"

#include <array>
#include <span>

namespace kelmora::log {

LogReading readLog(InputFile file) {
    LogReading reading;
    AdifReader reader(std::move(file));
    reading.opened = reader.isOpen();
    // The QSOs go into the book in batches, which it takes faster.
    std::array<QsoFacts, 32> batch;
    std::size_t batched = 0;
    while (reader.next()) {
        batch[batched++] = factsOf(reader.qso());
        if (batched == batch.size()) {
            reading.book.add(batch);
            batched = 0;
        }
    }
    reading.book.add(std::span(batch.data(), batched));
    reading.qsosRead = reader.qsosRead();
    reading.recordsSkipped = reader.recordsSkipped();
    reading.error = reader.error();
    return reading;
}

} // namespace kelmora::log
