// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/latin_case.h"

namespace kelmora {

char32_t toUpperLatin(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return c - 0x20;
    }
    switch (c) {
    case 0xFF:
        return 0x178;
    case 0x161:
    case 0x153:
    case 0x17E:
        return c - 1;
    default:
        return c;
    }
}

char32_t toLowerLatin(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    switch (c) {
    case 0x178:
        return 0xFF;
    case 0x160:
    case 0x152:
    case 0x17D:
        return c + 1;
    default:
        return c;
    }
}

} // namespace kelmora
