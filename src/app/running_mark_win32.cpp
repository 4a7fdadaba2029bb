// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/running_mark.h"

#include <windows.h>

namespace kelmora {

// The mutex is only looked for, never waited on. Without it (the system
// refused it) the uninstaller still stops where a file cannot be removed.
RunningMark::RunningMark() : handle_(::CreateMutexW(nullptr, FALSE, L"" KELMORA_RUNNING_MARK)) {}

RunningMark::~RunningMark() {
    if (handle_) {
        ::CloseHandle(handle_);
    }
}

} // namespace kelmora
