// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kelmora {

// A file of WSJT-X's where WSJT-X keeps its data (~/.local/share/WSJT-X on
// Linux, %LOCALAPPDATA%\WSJT-X on Windows), where that folder exists; else
// the file of that name in the working folder.
QString fileInWsjtxFolder(const QString& name);

} // namespace kelmora
