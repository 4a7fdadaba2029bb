// SPDX-License-Identifier: GPL-3.0-or-later
// The settings of the widget tests where Qt keeps them in the registry. Each
// test program gets a key of its own, which stands in for HKEY_CURRENT_USER
// in the whole process, so the program's store lies under it, and the real
// user's settings stay untouched.
#include "widget_test_support.h"

#include <string>
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

namespace kelmora::testing {
namespace {

const std::wstring kTestsKey = L"Software\\Kelmora_Datenbank_Tests\\";

std::wstring programName() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return name;
}

HKEY createKey(const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        qFatal("cannot create the registry key of the tests");
    }
    return key;
}

// Every key of the store below the stand-in for HKEY_CURRENT_USER.
void standIn(HKEY key) {
    if (::RegOverridePredefKey(HKEY_CURRENT_USER, key) != ERROR_SUCCESS) {
        qFatal("cannot redirect HKEY_CURRENT_USER");
    }
    ::RegCloseKey(key);
}

// The key of the program's store (QSettings: organisation, then application)
// and of its section.
std::wstring programKey() {
    const std::wstring name = QString::fromLatin1(settings_store::kApplicationName).toStdWString();
    return L"Software\\" + name + L"\\" + name;
}

std::wstring storeKey() {
    return programKey() + L"\\" + QString::fromLatin1(settings_store::kSection).toStdWString();
}

// Gives the program's key the access rights of the security descriptor.
void setAccess(const wchar_t* descriptor) {
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                &security, nullptr)) {
        qFatal("cannot make a security descriptor");
    }
    HKEY key = createKey(programKey(), WRITE_DAC);
    const LSTATUS status = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security);
    ::RegCloseKey(key);
    ::LocalFree(security);
    if (status != ERROR_SUCCESS) {
        qFatal("cannot change the access to the settings");
    }
}

} // namespace

void isolateSettings() {
    const std::wstring own = kTestsKey + programName();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, own.c_str());
    standIn(createKey(own, KEY_ALL_ACCESS));
}

QStringList storedKeyOrder() {
    QStringList keys;
    HKEY section = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, storeKey().c_str(), 0, KEY_READ, &section) !=
        ERROR_SUCCESS) {
        return keys;
    }
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (::RegEnumValueW(section, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        keys.append(QString::fromWCharArray(name, static_cast<qsizetype>(length)));
    }
    ::RegCloseKey(section);
    return keys;
}

// The program's key exists and lets everyone read it, no one write it.
UnwritableSettings::UnwritableSettings() {
    setAccess(L"D:P(A;;KR;;;WD)");
}

UnwritableSettings::~UnwritableSettings() {
    setAccess(L"D:P(A;;KA;;;WD)");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, programKey().c_str());
}

} // namespace kelmora::testing
