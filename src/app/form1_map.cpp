// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/database_folder.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/locator_dialog.h"

#include <QComboBox>

namespace kelmora {

void Form1::mnuLocator_Click() {
    const Language language = messageLanguage();
    if (askOwnLocator(this, *presenter_, language) && form2_) {
        form2_->centreOnOwnLocator();
    }
}

void Form1::mnuKarte_Click() {
    // A map window that was closed is on its way out; a new one takes its place.
    if (form2_ && form2_->isVisible()) {
        form2_->showNormal();
        form2_->raise();
        form2_->activateWindow();
        return;
    }
    const Language language = messageLanguage();
    form2_ = new Form2(*presenter_, *chooser_, language);
    // A station clicked on the map is shown as a search hit shows it.
    connect(form2_, &Form2::stationChosen, this, [this](const QByteArray& line) {
        ShowRecord({line.constData(), static_cast<std::size_t>(line.size())}, false);
    });
    const QString fileName = Combo1->currentText();
    form2_->openDatabase(FileExists(fileName) ? database_folder::fileToOpen(fileName)
                                              : std::nullopt,
                         hasHeadingLine_);
    form2_->showRecord(shownLine_);
    form2_->placeBeside(*this);
    form2_->show();
}

} // namespace kelmora
