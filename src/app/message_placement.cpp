// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_placement.h"

namespace kelmora {

QPoint messageBoxPosition(const QRect& windowFrame, const QSize& boxFrame, const QRect& screen) {
    const QRect below(QPoint(windowFrame.left(), windowFrame.bottom() + 1), boxFrame);
    if (screen.contains(below)) {
        return below.topLeft();
    }
    const QRect beside(QPoint(windowFrame.right() + 1, windowFrame.top()), boxFrame);
    if (screen.contains(beside)) {
        return beside.topLeft();
    }
    QRect centred(QPoint(), boxFrame);
    centred.moveCenter(screen.center());
    return centred.topLeft();
}

} // namespace kelmora
