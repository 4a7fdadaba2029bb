// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>

namespace kelmora {

// One modal message: what the user sees and which answers are offered.
struct MessageRequest {
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
};

// Shows messages for the window. The program shows real modal message boxes;
// tests put a scripted presenter in its place to answer the questions.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual QMessageBox::StandardButton present(QWidget* parent, const MessageRequest& request) = 0;
};

class ModalMessagePresenter final : public MessagePresenter {
public:
    QMessageBox::StandardButton present(QWidget* parent, const MessageRequest& request) override;
};

} // namespace kelmora
