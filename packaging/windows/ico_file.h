// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace kelmora {

// A Windows icon file (.ico) holding the images, each square and at most 256
// pixels wide: up to 48 pixels as a 32-bit bitmap with its mask, which every
// Windows reads; larger ones as PNG, as Windows Vista and later read them.
QByteArray icoFile(const QList<QImage>& images);

} // namespace kelmora
