// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <random>

// The names of the temporary files in which new lists are written, next to the
// list they replace: hidden, and tagged with the program's name, such as
// ".CALLSIGN.TXT.kelmora-Ab3xYz". A file left behind by an export that died
// is known by its name, and no file of the user's is taken for one.
namespace kelmora::temporary_name {

// A new name for a temporary file of the target, in the target's folder.
std::filesystem::path next(const std::filesystem::path& target, std::minstd_rand& random);

// All names next() can give, with "*" for the random part: a pattern for
// the system's listing of the target's folder.
std::filesystem::path pattern(const std::filesystem::path& target);

// Whether a name in the target's folder is one that next() gives, the
// letter case of the target's part compared as the file system compares it.
bool isOf(const std::filesystem::path& fileName, const std::filesystem::path& target);

// A source of names that differs from process to process.
std::minstd_rand randomNames();

} // namespace kelmora::temporary_name
