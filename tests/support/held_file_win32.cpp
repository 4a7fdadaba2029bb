// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/held_file.h"

#include <stdexcept>
#include <windows.h>

namespace kelmora::testing {

HeldFile::HeldFile(const std::filesystem::path& path)
    : handle_(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (reinterpret_cast<HANDLE>(handle_) == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot hold " + path.string());
    }
}

HeldFile::~HeldFile() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

namespace {

void addAttribute(const std::filesystem::path& path, DWORD attribute) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        !::SetFileAttributesW(path.c_str(), attributes | attribute)) {
        throw std::runtime_error("cannot mark " + path.string());
    }
}

} // namespace

void markHidden(const std::filesystem::path& path) {
    addAttribute(path, FILE_ATTRIBUTE_HIDDEN);
}

void markSystem(const std::filesystem::path& path) {
    addAttribute(path, FILE_ATTRIBUTE_SYSTEM);
}

} // namespace kelmora::testing
