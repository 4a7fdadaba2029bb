// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_identity.h"
#include "database/file_names.h"
#include "support/file_bytes.h"
#include "support/held_file.h"
#include "support/platform.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>

namespace kelmora {
namespace {

namespace fs = std::filesystem;
using testing::PrintTo;

using testing::kWindows;

// Database files out of sight are not listed: a dot starts their name on
// POSIX, an attribute marks them on Windows.
struct HiddenCase {
    const char* name;
    std::string fileName;
    void (*mark)(const fs::path&);
    bool hidden;
};

class HiddenFiles : public ::testing::TestWithParam<HiddenCase> {};

TEST_P(HiddenFiles, AreKnown) {
    const testing::TempFolder folder;
    const fs::path file = folder.write(GetParam().fileName, "CALL\r\n");
    if (GetParam().mark) {
        GetParam().mark(file);
    }
    EXPECT_EQ(file_names::isHidden(file), GetParam().hidden);
}

const HiddenCase kHiddenCases[] = {
    {"Plain", "ms1.txt", nullptr, false},
#ifndef _WIN32 // Wine gives such a name the hidden attribute, Windows does not
    {"LeadingDot", ".ms1.txt", nullptr, true},
#endif
    {"HiddenAttribute", "ms2.txt", testing::markHidden, kWindows},
    {"SystemAttribute", "ms3.txt", testing::markSystem, kWindows},
};

INSTANTIATE_TEST_SUITE_P(Attributes, HiddenFiles, ::testing::ValuesIn(kHiddenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SameName, ComparesAsTheFileSystemDoes) {
    const fs::path lower = u8"callsign-ä.txt";
    const fs::path upper = u8"CALLSIGN-Ä.TXT";
    EXPECT_TRUE(file_names::same(lower.native(), lower.native()));
    EXPECT_EQ(file_names::same(lower.native(), upper.native()), kWindows);
    EXPECT_FALSE(file_names::same(lower.native(), fs::path("callsign.txt").native()));
}

// Two names and whether they lead to one file; the second may lead to none.
struct IdentityCase {
    const char* name;
    std::function<std::pair<fs::path, fs::path>(const fs::path& folder)> make;
    bool oneFile;
    bool secondExists = true;
};

class Identities : public ::testing::TestWithParam<IdentityCase> {};

fs::path deepFolder(const fs::path& folder);

// Windows removes what lies beyond MAX_PATH only by the long form of its
// name, one entry at a time.
void removeDeepFolder(const fs::path& folder) {
    const fs::path deep = deepFolder(folder);
    std::error_code ignored;
    for (const fs::path& entry : {deep / "CALL3.TXT", deep / "CALL3.OLD", deep, deep.parent_path(),
                                  deep.parent_path().parent_path()}) {
        fs::remove(file_names::longForm(entry), ignored);
    }
}

TEST_P(Identities, TellOneFileFromTwo) {
    const testing::TempFolder folder;
    const auto [first, second] = GetParam().make(folder.path());
    std::optional<FileIdentity> firstFile;
    std::optional<FileIdentity> secondFile;
    EXPECT_FALSE(identifyFile(first, firstFile));
    EXPECT_FALSE(identifyFile(second, secondFile));
    removeDeepFolder(folder.path());
    ASSERT_TRUE(firstFile.has_value());
    EXPECT_EQ(secondFile.has_value(), GetParam().secondExists);
    EXPECT_EQ(firstFile == secondFile, GetParam().oneFile);
}

fs::path fileIn(const fs::path& folder, const char* name) {
    testing::writeFile(folder / name, "x");
    return folder / name;
}

std::pair<fs::path, fs::path> fileAndHardLink(const fs::path& folder) {
    const fs::path file = folder / "CALL3.TXT";
    testing::writeFile(file, "QQ1ABC,JO62,,,\n");
    fs::create_hard_link(file, folder / "CALL3_backup.TXT");
    return {file, folder / "CALL3_backup.TXT"};
}

// A folder whose path is longer than MAX_PATH (260 characters) on Windows.
fs::path deepFolder(const fs::path& folder) {
    return folder / "deep" / std::string(120, 'a') / std::string(120, 'b');
}

std::pair<fs::path, fs::path> fileAndHardLinkBeyondMaxPath(const fs::path& folder) {
    const fs::path deep = deepFolder(folder);
    fs::create_directories(file_names::longForm(deep));
    const fs::path file = deep / "CALL3.TXT";
    testing::writeFile(file_names::longForm(file), "QQ1ABC,JO62,,,\n");
    fs::create_hard_link(file_names::longForm(file), file_names::longForm(deep / "CALL3.OLD"));
    return {file, deep / "CALL3.OLD"};
}

const IdentityCase kIdentityCases[] = {
    {"HardLink", fileAndHardLink, true},
    {"BeyondMaxPath", fileAndHardLinkBeyondMaxPath, true},
    {"TwoFilesAlike",
     [](const fs::path& folder) {
         return std::pair(fileIn(folder, "a.txt"), fileIn(folder, "b.txt"));
     },
     false},
    {"OtherWayToTheFile",
     [](const fs::path& folder) {
         fs::create_directory(folder / "wsjt");
         return std::pair(fileIn(folder, "a.txt"), folder / "wsjt" / ".." / "a.txt");
     },
     true},
    // The same file to Windows; none to POSIX.
    {"OtherLetterCase",
     [](const fs::path& folder) { return std::pair(fileIn(folder, "a.txt"), folder / "A.TXT"); },
     kWindows, kWindows},
    {"NoFileYet",
     [](const fs::path& folder) { return std::pair(fileIn(folder, "a.txt"), folder / "b.txt"); },
     false, false},
    {"NoFolderYet",
     [](const fs::path& folder) {
         return std::pair(fileIn(folder, "a.txt"), folder / "new" / "a.txt");
     },
     false, false},
};

INSTANTIATE_TEST_SUITE_P(Names, Identities, ::testing::ValuesIn(kIdentityCases),
                         [](const auto& info) { return std::string(info.param.name); });

#ifdef _WIN32
// Every path the list writer makes is in this form, so that a working folder
// near MAX_PATH still takes the longer name of a temporary file.
struct LongFormCase {
    const char* name;
    std::wstring path;
    std::wstring longForm;
};

class LongForm : public ::testing::TestWithParam<LongFormCase> {};

TEST_P(LongForm, IsTheFullPathBehindThePrefix) {
    EXPECT_EQ(file_names::longForm(GetParam().path).native(), GetParam().longForm);
}

const std::wstring kDeepFolder = L"C:\\" + std::wstring(240, L'a');

INSTANTIATE_TEST_SUITE_P(
    Paths, LongForm,
    ::testing::Values(
        LongFormCase{"Drive", L"C:\\Funk\\CALLSIGN.TXT", L"\\\\?\\C:\\Funk\\CALLSIGN.TXT"},
        LongFormCase{"DotsResolved", L"C:\\Funk\\wsjt\\..\\.\\CALLSIGN.TXT",
                     L"\\\\?\\C:\\Funk\\CALLSIGN.TXT"},
        LongFormCase{"NetworkShare", L"\\\\server\\share\\CALLSIGN.TXT",
                     L"\\\\?\\UNC\\server\\share\\CALLSIGN.TXT"},
        LongFormCase{"AlreadyLong", L"\\\\?\\C:\\Funk\\CALLSIGN.TXT",
                     L"\\\\?\\C:\\Funk\\CALLSIGN.TXT"},
        LongFormCase{"Device", L"NUL", L"\\\\.\\NUL"},
        LongFormCase{"TemporaryNameBeyondMaxPath", kDeepFolder + L"\\.CALLSIGN.TXT.kelmora-Ab3xY9",
                     L"\\\\?\\" + kDeepFolder + L"\\.CALLSIGN.TXT.kelmora-Ab3xY9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LongFormOfARelativeName, StartsAtTheWorkingFolder) {
    EXPECT_EQ(file_names::longForm(L"CALLSIGN.TXT").native(),
              L"\\\\?\\" + (fs::current_path() / L"CALLSIGN.TXT").native());
}
#endif

} // namespace
} // namespace kelmora
