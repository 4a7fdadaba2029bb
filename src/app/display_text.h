// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "database/text_encoding.h"

#include <QString>
#include <string_view>

namespace kelmora {

// A text box shows at most 32767 characters, and no character takes more
// than four bytes: decoding more of a field than this would only be thrown away.
inline constexpr std::size_t kLongestShownFieldBytes = 4 * 32767;

// Database bytes as the window shows them, decoded by their line's encoding.
inline QString displayText(std::string_view bytes, LineEncoding encoding) {
    const std::string utf8 = toDisplayUtf8(bytes, encoding);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kelmora
