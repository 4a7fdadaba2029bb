// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>

namespace kelmora {

// The database files of the working folder and the names the user types.
// Names match as on the systems the databases come from: letter case is
// ignored, "*" and "?" are wildcards, and only ordinary files count (no
// folders, no hidden files, no broken links, no devices).
namespace database_folder {

// The ordinary files of the working folder named like "ms*.txt", sorted by name.
QStringList listDatabaseFiles();

// True when the name is not empty and, taken as a pattern, matches an
// ordinary file. A folder part of the name is taken as it stands.
bool anyFileMatches(const QString& name);

// The file to open for a name: the file of exactly that name, else the one
// file whose name differs only in letter case. A name with wildcards names no
// file to open, even where it matches some.
std::optional<std::filesystem::path> fileToOpen(const QString& name);

// The working folder as the system reports it, with the system's own
// separators ("\\" on Windows), without a trailing separator except at the root.
QString workingFolder();

// A name as the system stores it, and back: bytes on POSIX, UTF-16 on Windows.
std::filesystem::path toPath(const QString& name);
QString fromPath(const std::filesystem::path& path);

} // namespace database_folder
} // namespace kelmora
