// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace kelmora::geo {

// The coastline resource built into the program: the bytes that
// make_coastlines.sh makes at build time (its source file is generated).
std::span<const unsigned char> builtInCoastlineBytes();

} // namespace kelmora::geo
