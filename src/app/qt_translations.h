// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"

#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <optional>

namespace kelmora {

// Where Qt's own translations are looked for, in this order: beside the
// program (where a Windows deployment may put them), then Qt's translations
// folder (which for a program deployed with Qt's DLLs beside it is the folder
// "translations" beside the program).
QStringList qtTranslationFolders();

// Loads Qt's own texts in the locale's language from the first folder that
// has them, under either name they come by: qtbase_de from Qt's installation
// or a Linux distribution, qt_de from windeployqt.
bool loadQtTranslation(QTranslator& translator, const QLocale& locale, const QStringList& folders);

// Qt's own texts (the standard buttons of the message boxes, the context
// menus of the text boxes) in the window's language, from the translations
// that come with Qt. Where they are missing, Qt's built-in English stays.
class QtTranslations {
public:
    QtTranslations() = default;
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // German installs Qt's German texts; English and any other language code
    // leave Qt's built-in English.
    void use(std::optional<Language> language);

private:
    bool loadGerman();

    QTranslator german_;
    bool loaded_ = false;
    bool installed_ = false;
};

} // namespace kelmora
