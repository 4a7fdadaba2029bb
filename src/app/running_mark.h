// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kelmora {

// Tells the system that the program runs, for as long as the object lives:
// on Windows a named mutex, by which the uninstaller finds a running program
// before it removes any of its files; on POSIX nothing, where a package
// manager may replace the files of a running program.
class RunningMark {
public:
    RunningMark();
    ~RunningMark();
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    [[maybe_unused]] void* handle_ = nullptr; // the mutex; POSIX has none
};

} // namespace kelmora
