// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/captions.h"

#include <string>
#include <string_view>

namespace kelmora {

// The version numbers joined by dots, never padded: 1.0.3.
std::string versionText();

// The text of the Info box. Only the English text names the folder.
std::string infoText(Language language, std::string_view currentFolder);

inline constexpr std::string_view kInfoTitle = " Info";

} // namespace kelmora
