// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_names.h"
#include "database/input_file.h"

#include <algorithm>
#include <utility>
#include <windows.h>

namespace kelmora {
namespace {

HANDLE nativeHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool isFolder(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The most ReadFile is asked for at once.
constexpr DWORD kLargestRead = DWORD{1} << 30;

} // namespace

InputFile::InputFile(const std::filesystem::path& given) {
    // In its long form, as files are written: a folder of any depth works.
    const std::filesystem::path path = file_names::longForm(given);
    // Every kind of sharing: WSJT or an editor may hold the database open,
    // write it, or even delete it meanwhile; what was opened stays readable.
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // A folder cannot be opened as a file at all: say what it is.
        error_ = isFolder(path) ? FileError{FileFailure::IsFolder}
                                : fileErrorFromSystem(static_cast<int>(::GetLastError()));
        return;
    }
    take(reinterpret_cast<std::intptr_t>(handle));
}

void InputFile::take(std::intptr_t handle) {
    const HANDLE file = nativeHandle(handle);
    BY_HANDLE_FILE_INFORMATION information{};
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        // A device, a console or a pipe named like a database.
        error_ = {FileFailure::NotOrdinaryFile};
    } else if (!::GetFileInformationByHandle(file, &information) || !::GetFileSizeEx(file, &size)) {
        error_ = fileErrorFromSystem(static_cast<int>(::GetLastError()));
    } else if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error_ = {FileFailure::IsFolder};
    } else {
        handle_ = handle;
        size_ = static_cast<std::uint64_t>(size.QuadPart);
        return;
    }
    ::CloseHandle(file);
}

void InputFile::close() {
    if (handle_ != kNoHandle) {
        ::CloseHandle(nativeHandle(std::exchange(handle_, kNoHandle)));
    }
}

std::size_t InputFile::readSome(std::uint64_t offset, std::span<char> buffer) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), kLargestRead));
    DWORD got = 0;
    if (!::ReadFile(nativeHandle(handle_), buffer.data(), asked, &got, &position)) {
        const DWORD error = ::GetLastError();
        // Windows reports a read past the end as a failure; here it is the end.
        if (error != ERROR_HANDLE_EOF) {
            error_ = fileErrorFromSystem(static_cast<int>(error));
        }
        return 0;
    }
    return got;
}

} // namespace kelmora
