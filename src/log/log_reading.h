// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/file_error.h"
#include "database/input_file.h"
#include "log/log_book.h"

#include <cstdint>

namespace kelmora::log {

// A log read in full: what it says, and how the reading went, for the
// window's status line.
struct LogReading {
    LogBook book;
    std::uint64_t qsosRead = 0;
    std::uint64_t recordsSkipped = 0;
    bool opened = false;
    // Why the file could not be opened, or why reading stopped part-way;
    // what was read until then stays in the book.
    FileError error;
};

LogReading readLog(InputFile file);

} // namespace kelmora::log
