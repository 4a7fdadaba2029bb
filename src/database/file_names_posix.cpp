// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_names.h"

namespace kelmora::file_names {

bool same(NameView a, NameView b) {
    return a == b;
}

std::filesystem::path longForm(const std::filesystem::path& path) {
    return path;
}

bool isHidden(const std::filesystem::path& file) {
    return file.filename().native().starts_with('.');
}

} // namespace kelmora::file_names
