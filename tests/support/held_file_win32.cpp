// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/held_file.h"
#include "support/temp_folder.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>
#include <windows.h>

namespace kelmora::testing {

namespace {

DWORD sharing(Holding holding) {
    const DWORD readAndWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
    return holding == Holding::SharingDelete ? readAndWrite | FILE_SHARE_DELETE : readAndWrite;
}

} // namespace

HeldFile::HeldFile(const std::filesystem::path& path, Holding holding)
    : handle_(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(path.c_str(), GENERIC_READ, sharing(holding), nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (reinterpret_cast<HANDLE>(handle_) == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot hold " + path.string());
    }
}

HeldFile::~HeldFile() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool replacesFilesHeldSharingDelete() {
    const TempFolder folder;
    const HeldFile held(folder.write("held", ""), Holding::SharingDelete);
    const HANDLE file = ::CreateFileW(folder.write("new", "").c_str(), DELETE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open a file in " + folder.path().string());
    }
    const std::wstring name = (folder.path() / "held").native();
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, name.data(), rename->FileNameLength);
    // FileRenameInfoEx, which MinGW's header leaves out.
    const bool replaced =
        ::SetFileInformationByHandle(file, static_cast<FILE_INFO_BY_HANDLE_CLASS>(22), rename,
                                     static_cast<DWORD>(buffer.size()));
    ::CloseHandle(file);
    return replaced;
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

bool isMarkedForArchiving(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_ARCHIVE) != 0;
}

} // namespace kelmora::testing
