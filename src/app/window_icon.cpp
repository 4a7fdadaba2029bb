// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_icon.h"

#include <QPainter>
#include <QPixmap>

namespace kelmora {
namespace {

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kCyan(0, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

} // namespace

// Draws on a grid of 32 units; the 16-pixel image halves every unit.
QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // The window sizes keep to the 16 colours; the larger images are smoothed.
    painter.setRenderHint(QPainter::Antialiasing, size > 32);
    const qreal unit = size / 32.0;
    painter.scale(unit, unit);

    // Three stacked disks: the database.
    painter.setPen(QPen(kNavy, 1));
    for (const int top : {22, 16, 10}) {
        painter.setBrush(kTeal);
        painter.drawRect(2, top + 3, 20, 5);
        painter.setBrush(kCyan);
        painter.drawEllipse(2, top, 20, 6);
    }
    // The meteor: a trail from the upper right ending in a bright head.
    painter.setPen(QPen(kYellow, 2));
    painter.drawLine(30, 1, 21, 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWhite);
    painter.drawRect(19, 9, 4, 4);
    return image;
}

QIcon makeWindowIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(drawIcon(32)));
    icon.addPixmap(QPixmap::fromImage(drawIcon(16)));
    return icon;
}

} // namespace kelmora
