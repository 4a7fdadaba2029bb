// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_names.h"
#include "support/held_file.h"
#include "support/platform.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

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
