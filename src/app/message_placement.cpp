// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_placement.h"

#include <QFontDatabase>
#include <QFontMetrics>

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

int widthForTitle(const QString& title) {
    // Window managers draw titles in a bold face at least as large as the
    // platform's title font; a title-bar button is about as wide as a line
    // is high, and the frame carries an icon and up to three buttons.
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    constexpr int kFrameButtons = 4;
    const int buttonWidth = metrics.height() + 6;
    return metrics.horizontalAdvance(title) + (kFrameButtons + 1) * buttonWidth;
}

} // namespace kelmora
