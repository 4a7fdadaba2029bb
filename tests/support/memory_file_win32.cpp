// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/memory_file.h"

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <windows.h>

namespace kelmora::testing {
namespace {

HANDLE nativeHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Windows has no files without a name: a temporary one, kept in memory as
// far as the system can and deleted when the last handle goes.
std::filesystem::path newTemporaryName() {
    static std::atomic<unsigned> count{0};
    return std::filesystem::temp_directory_path() /
           ("kelmora-memory-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(count++) + ".tmp");
}

} // namespace

MemoryFile::MemoryFile(std::string_view bytes)
    : handle_(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(newTemporaryName().c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr))) {
    if (nativeHandle(handle_) == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot create a temporary file");
    }
    append(bytes);
}

MemoryFile::~MemoryFile() {
    ::CloseHandle(nativeHandle(handle_));
}

void MemoryFile::append(std::string_view bytes) const {
    while (!bytes.empty()) {
        OVERLAPPED atTheEnd{};
        atTheEnd.Offset = 0xFFFFFFFF;
        atTheEnd.OffsetHigh = 0xFFFFFFFF;
        DWORD written = 0;
        if (!::WriteFile(nativeHandle(handle_), bytes.data(), static_cast<DWORD>(bytes.size()),
                         &written, &atTheEnd) ||
            written == 0) {
            throw std::runtime_error("writing the temporary file failed");
        }
        bytes.remove_prefix(written);
    }
}

InputFile MemoryFile::open() const {
    HANDLE reader = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), nativeHandle(handle_), ::GetCurrentProcess(),
                           &reader, GENERIC_READ, FALSE, 0)) {
        throw std::runtime_error("DuplicateHandle failed");
    }
    InputFile file = InputFile::adopt(reinterpret_cast<std::intptr_t>(reader));
    if (!file.isOpen()) {
        throw std::runtime_error("InputFile refused a temporary file");
    }
    return file;
}

InputFile memoryFile(std::string_view bytes) {
    return MemoryFile(bytes).open();
}

} // namespace kelmora::testing
