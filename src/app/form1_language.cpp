// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/database_folder.h"
#include "app/form1.h"
#include "language/info_text.h"

#include <QAction>
#include <QLineEdit>

namespace kelmora {

void Form1::mnuOpt_Click() {
    mnuDeutsch->setChecked(uiLanguage_ == QLatin1String("de"));
    mnuEnglisch->setChecked(uiLanguage_ == QLatin1String("en"));
}

void Form1::mnuDeutsch_Click() {
    uiLanguage_ = QStringLiteral("de");
    ApplyLanguage();
}

void Form1::mnuEnglisch_Click() {
    uiLanguage_ = QStringLiteral("en");
    ApplyLanguage();
}

void Form1::mnuInfo_Click() {
    if (const auto language = languageFromCode(uiLanguage_.toStdString())) {
        const QString folder =
            *language == Language::English ? database_folder::workingFolder() : QString();
        showMessage(QMessageBox::Information,
                    {std::string(kInfoTitle), infoText(*language, folder.toStdString())});
    }
    Text10->setFocus();
}

} // namespace kelmora
