// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_reading.h"

#include "log/adif_reader.h"

namespace kelmora::log {

LogReading readLog(InputFile file) {
    LogReading reading;
    AdifReader reader(std::move(file));
    reading.opened = reader.isOpen();
    while (reader.next()) {
        reading.book.add(factsOf(reader.qso()));
    }
    reading.qsosRead = reader.qsosRead();
    reading.recordsSkipped = reader.recordsSkipped();
    reading.error = reader.error();
    return reading;
}

} // namespace kelmora::log
