// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_placement.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace kelmora {

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
