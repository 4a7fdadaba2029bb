// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_presenter.h"

#include "app/message_placement.h"

#include <QGridLayout>
#include <QScreen>
#include <QShowEvent>
#include <QSpacerItem>

namespace kelmora {
namespace {

// A message box wide enough for its whole title, standing where it leaves the
// record of its window readable.
class PlacedMessageBox final : public QMessageBox {
public:
    PlacedMessageBox(const MessageRequest& request, QWidget* parent)
        : QMessageBox(request.icon, request.title, request.text, request.buttons, parent) {
        setTextFormat(Qt::PlainText);
        setDefaultButton(request.defaultButton);
        setWindowModality(Qt::ApplicationModal);
        reserveWidthForTitle();
    }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event); // this fixes the size of the box
        if (!event->spontaneous()) {
            placeBesideTheRecord();
        }
    }

private:
    void reserveWidthForTitle() {
        auto* grid = qobject_cast<QGridLayout*>(layout());
        if (!grid) {
            return;
        }
        const QMargins margins = grid->contentsMargins();
        const int width = widthForTitle(windowTitle()) - margins.left() - margins.right();
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }

    void placeBesideTheRecord() {
        const QWidget* window = parentWidget() ? parentWidget()->window() : nullptr;
        if (!window || !window->isVisible()) {
            return;
        }
        // Where the frame is not known yet, the window manager will give the
        // box a frame like its window's.
        const QMargins frame = frameMargins(*window);
        const QPoint framePosition = messageBoxPosition(
            window->frameGeometry(), size().grownBy(frame), window->screen()->availableGeometry());
        // move() places the client area that far from the given point as the
        // frame it already knows of is thick: none before the box is framed.
        const QPoint knownFrame = geometry().topLeft() - frameGeometry().topLeft();
        move(framePosition + QPoint(frame.left(), frame.top()) - knownFrame);
    }

    static QMargins frameMargins(const QWidget& window) {
        const QRect outer = window.frameGeometry();
        const QRect inner = window.geometry();
        return {inner.left() - outer.left(), inner.top() - outer.top(),
                outer.right() - inner.right(), outer.bottom() - inner.bottom()};
    }
};

} // namespace

QMessageBox::StandardButton ModalMessagePresenter::present(QWidget* parent,
                                                           const MessageRequest& request) {
    PlacedMessageBox box(request, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace kelmora
