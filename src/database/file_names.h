// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

// File names as the system treats them, where POSIX and Windows differ.
namespace kelmora::file_names {

using NameView = std::basic_string_view<std::filesystem::path::value_type>;

// Whether two names of files in one folder name the same file, as the file
// system compares them: exactly on POSIX, regardless of letter case on Windows.
bool same(NameView a, NameView b);

// The path as the system takes it at any length: on Windows the "\\?\" form of
// the full path, which is not bound by MAX_PATH (260 characters); elsewhere
// the path as it stands.
std::filesystem::path longForm(const std::filesystem::path& path);

// Whether the file is kept out of sight: by a leading dot in its name on
// POSIX, by the hidden or the system attribute on Windows.
bool isHidden(const std::filesystem::path& file);

} // namespace kelmora::file_names
