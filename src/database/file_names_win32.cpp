// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_names.h"

#include <string>
#include <windows.h>

namespace kelmora::file_names {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kNetworkPrefix = L"\\\\";

// The full path that the system makes of a relative one, "." and ".." resolved.
std::wstring fullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length); // the size needed, its terminating zero included
    }
}

} // namespace

bool same(NameView a, NameView b) {
    // What NTFS and FAT do: an ordinal comparison of the upper-case forms.
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::filesystem::path longForm(const std::filesystem::path& path) {
    const std::wstring& given = path.native();
    if (given.empty() || given.starts_with(kLongPrefix) || given.starts_with(kDevicePrefix)) {
        return path;
    }
    const std::wstring full = fullPath(given);
    if (full.starts_with(kLongPrefix) || full.starts_with(kDevicePrefix)) {
        return full; // a device such as NUL
    }
    if (full.starts_with(kNetworkPrefix)) {
        return std::wstring(kLongPrefix) + L"UNC\\" + full.substr(kNetworkPrefix.size());
    }
    return std::wstring(kLongPrefix) + full;
}

bool isHidden(const std::filesystem::path& file) {
    const DWORD attributes = ::GetFileAttributesW(longForm(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

} // namespace kelmora::file_names
