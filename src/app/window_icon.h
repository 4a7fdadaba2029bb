// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace kelmora {

// The window icon: a station database (a stack of disks) with a meteor
// trail over it, drawn at 32 by 32 and 16 by 16 pixels in the 16 colours of
// the classic palette.
QIcon makeWindowIcon();

} // namespace kelmora
