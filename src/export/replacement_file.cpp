// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/replacement_file.h"

#include <utility>

// What ReplacementFile does alike on every system; the rest is the system's
// own (replacement_file_posix.cpp, replacement_file_win32.cpp).
namespace kelmora {

ReplacementFile::ReplacementFile(std::filesystem::path path) : path_(std::move(path)) {}

ReplacementFile::~ReplacementFile() {
    discard();
}

} // namespace kelmora
