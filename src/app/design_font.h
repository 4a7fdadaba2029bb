// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace kelmora {

// The face of the window's controls: the design's "MS Sans Serif" where the
// system has it, else the system's own interface face, else a common
// sans-serif face. A face counts only where the system draws text in that very
// face: Wine, for one, lists "MS Shell Dlg" as its interface face and then
// draws it in whatever it has first, a serif face where Tahoma is missing.
QFont designFont();

} // namespace kelmora
