#pragma once

#include "database/text_encoding.h"

#include <QString>
#include <string_view>

namespace kelmora {

// Database bytes as the window shows them, decoded by their line's encoding.
inline QString displayText(std::string_view bytes, LineEncoding encoding) {
    const std::string utf8 = toDisplayUtf8(bytes, encoding);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kelmora
