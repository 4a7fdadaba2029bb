// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kelmora::testing {

// The heading line of the station databases, without its line end.
inline const std::string kHeading = "CALL;Bemerkung;LOCATOR;Aktivitaeten;RIG / QRG;;;Stand :";

} // namespace kelmora::testing
