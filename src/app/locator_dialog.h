// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"

#include <QDialog>

class QLineEdit;

namespace kelmora {

class MessagePresenter;

// Asks for the user's own Maidenhead locator, shown in upper case as it is
// typed. OK with a text that is no locator says why in a message and keeps
// the dialog open, so that the text can be put right.
class LocatorDialog final : public QDialog {
    Q_OBJECT

public:
    LocatorDialog(QWidget* parent, MessagePresenter& presenter, Language language,
                  const QString& current);

    // The accepted locator as shown (upper case, without blanks around it).
    QString locator() const { return accepted_; }

    void accept() override;

private:
    MessagePresenter& presenter_;
    Language language_;
    QLineEdit* txtLocator = nullptr;
    QString accepted_;
};

// Runs the dialog and stores what it accepted under the settings key
// OwnLocator. True when a locator was stored; cancelling stores nothing.
bool askOwnLocator(QWidget* parent, MessagePresenter& presenter, Language language);

} // namespace kelmora
