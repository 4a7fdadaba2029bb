// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/failure_text.h"

#include "app/database_folder.h"

#include <QDir>

namespace kelmora::failure_text {

std::string fileName(const std::filesystem::path& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return QDir::toNativeSeparators(database_folder::fromPath(absolute)).toStdString();
}

std::string reason(std::optional<Language> language, const FileError& error) {
    if (const auto reason =
            fileFailureReason(language.value_or(Language::English), error.failure)) {
        return std::string(*reason);
    }
    return systemErrorText(error.systemCode);
}

} // namespace kelmora::failure_text
