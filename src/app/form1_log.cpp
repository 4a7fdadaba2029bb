// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/form2.h"
#include "app/settings_store.h"
#include "app/wsjtx_folder.h"
#include "language/log_texts.h"

namespace kelmora {

// The log is chosen here and shown in the map window, which opens for it
// and reads the log again whenever it changes.
void Form1::mnuLog_Click() {
    const Language language = messageLanguage();
    const QString last = settings_store::read(settings_store::kLogFile);
    const QString file = chooser_->chooseFileToOpen(
        this, {QString::fromStdString(log_texts::dialogTitle(language)),
               last.isEmpty() ? fileInWsjtxFolder(QStringLiteral("wsjtx_log.adi")) : last,
               QString::fromStdString(log_texts::fileFilters(language))});
    if (file.isEmpty()) {
        return; // cancelled
    }
    if (!settings_store::write(settings_store::kLogFile, file)) {
        qWarning("The settings could not be stored.");
    }
    if (form2_ && form2_->isVisible()) {
        form2_->readLogFromSettings();
    }
    mnuKarte_Click();
}

} // namespace kelmora
