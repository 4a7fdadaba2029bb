// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the vector code for x86-64 is built: with GCC and Clang on x86-64,
// unless KELMORA_PORTABLE_SEARCH asks for the portable code, so that it can
// be tested too. Only for the database room's own sources, which the option
// reaches.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) &&                            \
    !defined(KELMORA_PORTABLE_SEARCH)
#define KELMORA_SEARCH_X86_SIMD 1
#include <immintrin.h>
#endif
