// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/running_mark.h"

namespace kelmora {

RunningMark::RunningMark() = default;

RunningMark::~RunningMark() = default;

} // namespace kelmora
