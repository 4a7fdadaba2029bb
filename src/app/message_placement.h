// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace kelmora {

// Where a message box's frame goes so that the record boxes of the window stay
// readable: just below the window's frame and left-aligned with it when the box
// fits there on the screen; otherwise to the right of the window; otherwise
// centred on the screen. All rectangles include their frames.
QPoint messageBoxPosition(const QRect& windowFrame, const QSize& boxFrame, const QRect& screen);

// The narrowest a message box may be so that its frame shows the whole title:
// the title in the title-bar font, and room for the frame's icon and buttons
// on either side. On Windows the system's own title-bar metrics; elsewhere an
// estimate that holds for the usual window managers.
int widthForTitle(const QString& title);

} // namespace kelmora
