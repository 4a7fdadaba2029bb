// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace kelmora {

QStringList qtTranslationFolders() {
    return {QCoreApplication::applicationDirPath(),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool loadQtTranslation(QTranslator& translator, const QLocale& locale, const QStringList& folders) {
    for (const QString& folder : folders) {
        for (const QString& name : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
            if (translator.load(locale, name, QStringLiteral("_"), folder)) {
                return true;
            }
        }
    }
    return false;
}

QtTranslations::~QtTranslations() {
    use(std::nullopt);
}

bool QtTranslations::loadGerman() {
    if (!loaded_) {
        loaded_ = loadQtTranslation(german_, QLocale(QLocale::German), qtTranslationFolders());
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
