// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>

namespace kelmora {

// The program's icon: a station database (a stack of disks) with a meteor
// trail over it, drawn on a grid of 32 units at any size. At 32 and 16 pixels
// it keeps to the 16 colours of the classic palette.
QImage drawIcon(int size);

// The window icon: the drawing at 32 by 32 and 16 by 16 pixels.
QIcon makeWindowIcon();

} // namespace kelmora
