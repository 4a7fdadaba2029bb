// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace kelmora {

QtTranslations::~QtTranslations() {
    use(std::nullopt);
}

bool QtTranslations::loadGerman() {
    if (!loaded_) {
        loaded_ =
            german_.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    return loaded_;
}

void QtTranslations::use(std::optional<Language> language) {
    const bool wanted = language == Language::German && loadGerman();
    if (wanted == installed_) {
        return;
    }
    installed_ = wanted;
    if (wanted) {
        QCoreApplication::installTranslator(&german_);
    } else {
        QCoreApplication::removeTranslator(&german_);
    }
}

} // namespace kelmora
