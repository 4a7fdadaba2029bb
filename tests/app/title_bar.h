// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

class QWidget;

namespace kelmora::testing {

// The room for the title in a shown window's title bar and the room the
// title needs, in the system's pixels, as the system draws them. Known on
// Windows, which draws the frames itself; elsewhere the window manager does.
struct TitleBarRoom {
    int available;
    int needed;
};
std::optional<TitleBarRoom> titleBarRoom(const QWidget& window);

} // namespace kelmora::testing
