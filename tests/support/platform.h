// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kelmora::testing {

// For the rows of a table whose result differs between the two systems.
#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

} // namespace kelmora::testing
