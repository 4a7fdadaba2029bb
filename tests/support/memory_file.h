// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/input_file.h"

#include <cstdint>
#include <string_view>

namespace kelmora::testing {

// Bytes as an anonymous file in memory that InputFile takes like a database
// on disk. It can grow while a reader has it open.
class MemoryFile {
public:
    explicit MemoryFile(std::string_view bytes);
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    void append(std::string_view bytes) const;
    // A reader of its own, from the start; this object keeps its own handle
    // for appending.
    InputFile open() const;

private:
    std::intptr_t handle_;
};

// A reader of the bytes, for a test that needs nothing more.
InputFile memoryFile(std::string_view bytes);

} // namespace kelmora::testing
