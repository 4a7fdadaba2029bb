// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"

#include <QTranslator>
#include <optional>

namespace kelmora {

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
