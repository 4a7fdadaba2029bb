#include "app/message_presenter.h"

namespace kelmora {

QMessageBox::StandardButton ModalMessagePresenter::present(QWidget* parent,
                                                           const MessageRequest& request) {
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(request.defaultButton);
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace kelmora
