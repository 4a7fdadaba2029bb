// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kelmora {

// Upper and lower case for the letters of the Windows-1252 repertoire
// (ASCII, Latin-1 and the pairs S/s, Z/z and OE/oe with caron, Y/y diaeresis);
// every other character stays as it is.
char32_t toUpperLatin(char32_t c);
char32_t toLowerLatin(char32_t c);

} // namespace kelmora
