// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/callsign_list.h"
#include "export/replacement_file.h"
#include "support/failing_listing.h"
#include "support/file_bytes.h"
#include "support/held_file.h"
#include "support/platform.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <chrono>
#include <thread>
#else
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace kelmora {
namespace {

using testing::PrintTo;

namespace fs = std::filesystem;
using Status = ExportResult::Status;
using testing::readFile;
using testing::writeFile;

const std::string kHeading = "CALL;Bemerkung;LOCATOR;Aktivitaeten;RIG / QRG;;;Stand :";
const std::string kOldList = "QQ9OLD IO91wm\r\nQQ8OLD JO30aa\r\n";

// Everything under the folder, links not followed: a failed export must leave
// exactly this behind, with no temporary file.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::file_status status = entry.symlink_status();
        std::string& value = entries[entry.path().lexically_relative(folder).string()];
        if (fs::is_symlink(status)) {
            value = "link to " + fs::read_symlink(entry.path()).string();
        } else if (fs::is_regular_file(status)) {
            value = "file " + std::to_string(static_cast<int>(status.permissions())) + " " +
                    readFile(entry.path());
        } else {
            value = "other";
        }
    }
    return entries;
}

class CallsignListFile : public ::testing::Test {
protected:
    ExportResult run(StationSelection selection = StationSelection::All) {
        return writeCallsignList(database_, list_, true, selection);
    }

    const testing::TempFolder temp_;
    const fs::path folder_ = temp_.path();
    const fs::path database_ = folder_ / "ms195.txt";
    const fs::path list_ = folder_ / "CALLSIGN.TXT";
};

TEST_F(CallsignListFile, WritesTheFormattedLines) {
    writeFile(database_,
              kHeading + "\r\nQQ1ABC;x;jo62qm;FSK441\r\nQQ2X/P;x;io91\r\nQQ3Y;x;jn48\r\n");
    const ExportResult result = run();
    EXPECT_EQ(result.status, Status::Written);
    EXPECT_EQ(result.stationsWritten, 2u);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\nQQ3Y   JN48  \r\n");
    EXPECT_EQ(run(StationSelection::Fsk441Only).stationsWritten, 1u);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\n");
}

TEST_F(CallsignListFile, ReplacesTheOldListKeepingItsMode) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(list_, kOldList + kOldList);
#ifndef _WIN32
    fs::permissions(list_, fs::perms(0640));
#endif
    ASSERT_EQ(run().status, Status::Written);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\n");
#ifndef _WIN32
    EXPECT_EQ(fs::status(list_).permissions(), fs::perms(0640));
#endif
    EXPECT_EQ(snapshot(folder_).size(), 2u);
}

// Folder and database names beyond ASCII, such as C:\Funk\Jürgen\ms195ä.txt,
// both as the working folder with bare names and as full paths.
TEST_F(CallsignListFile, FolderAndDatabaseWithUmlauts) {
    const fs::path folder = folder_ / fs::path(u8"Funk Jürgen");
    fs::create_directory(folder);
    const fs::path database = folder / fs::path(u8"ms195ä.txt");
    writeFile(database, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    EXPECT_EQ(
        writeCallsignList(database, folder / "CALLSIGN.TXT", true, StationSelection::All).status,
        Status::Written);
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    const ExportResult result =
        writeCallsignList(fs::path(u8"ms195ä.txt"), "CALLSIGN.TXT", true, StationSelection::All);
    fs::current_path(previous);
    EXPECT_EQ(result.status, Status::Written);
    EXPECT_EQ(readFile(folder / "CALLSIGN.TXT"), "QQ1ABC JO62qm\r\n");
    EXPECT_EQ(snapshot(folder).size(), 2u);
}

// An export that was killed leaves its hidden, tagged temporary file behind;
// the next export of the same list removes it, unless an export still holds
// it. Files that merely look alike are the user's and stay.
struct LeftoverCase {
    const char* name;
    std::string fileName;
    bool held;
    bool removed;
};

class Leftovers : public CallsignListFile, public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(Leftovers, GoWithTheNextExportUnlessHeld) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    const fs::path leftover = folder_ / GetParam().fileName;
    writeFile(leftover, "QQ1ABC JO62");
    testing::markHidden(leftover);
    std::unique_ptr<testing::HeldFile> holder;
    if (GetParam().held) {
        holder = std::make_unique<testing::HeldFile>(leftover);
    }
    ASSERT_EQ(run().status, Status::Written);
    holder.reset();
    EXPECT_EQ(fs::exists(leftover), !GetParam().removed);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\n");
    EXPECT_EQ(snapshot(folder_).size(), GetParam().removed ? 2u : 3u);
}

INSTANTIATE_TEST_SUITE_P(
    TemporaryFiles, Leftovers,
    ::testing::Values(LeftoverCase{"OfAKilledExport", ".CALLSIGN.TXT.kelmora-Ab3xY9", false, true},
                      LeftoverCase{"OfARunningExport", ".CALLSIGN.TXT.kelmora-Ab3xY9", true, false},
                      LeftoverCase{"OfAnotherList", ".WSJT.TXT.kelmora-Ab3xY9", false, false},
                      LeftoverCase{"NameTooLong", ".CALLSIGN.TXT.kelmora-Ab3xY9z", false, false},
                      LeftoverCase{"NotHiddenByName", "CALLSIGN.TXT.kelmora-Ab3xY9", false, false},
                      LeftoverCase{"OtherTag", ".CALLSIGN.TXT.wsjtx-Ab3xY9", false, false},
                      // The same name to Windows, another list's to POSIX.
                      LeftoverCase{"OtherLetterCase", ".callsign.txt.kelmora-Ab3xY9", false,
                                   testing::kWindows}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// The search for leftovers lists the folder; a listing that breaks off is
// no reason to fail the export.
TEST_F(CallsignListFile, AFolderListingThatFailsPartWayIsNoFailure) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(folder_ / "ms196.txt", kHeading);
    writeFile(folder_ / "ms197.txt", kHeading);
    const testing::FailingListings failing(3); // ".", ".." and one file
    EXPECT_EQ(run().status, Status::Written);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\n");
}

TEST_F(CallsignListFile, NewListTakesTheUmask) {
    writeFile(database_, kHeading);
    const mode_t previous = ::umask(027);
    const ExportResult result = run();
    ::umask(previous);
    ASSERT_EQ(result.status, Status::Written);
    EXPECT_EQ(fs::status(list_).permissions(), fs::perms(0640));
}
#endif

struct DatabaseShape {
    const char* name;
    std::string bytes;
    std::string expected;
};

class DatabaseShapes : public CallsignListFile,
                       public ::testing::WithParamInterface<DatabaseShape> {};

TEST_P(DatabaseShapes, GiveTheList) {
    writeFile(database_, GetParam().bytes);
    const ExportResult result = run();
    EXPECT_EQ(result.status, Status::Written);
    EXPECT_EQ(readFile(list_), GetParam().expected);
}

const std::string kTwoStations = "QQ1ABC JO62qm\r\nQQ2X   IO91  \r\n";

INSTANTIATE_TEST_SUITE_P(
    LineEnds, DatabaseShapes,
    ::testing::Values(
        DatabaseShape{"Empty", "", ""}, DatabaseShape{"HeadingOnly", kHeading + "\r\n", ""},
        DatabaseShape{"CrLf", kHeading + "\r\nQQ1ABC;x;jo62qm\r\nQQ2X;x;io91\r\n", kTwoStations},
        DatabaseShape{"LfOnly", kHeading + "\nQQ1ABC;x;jo62qm\nQQ2X;x;io91\n", kTwoStations},
        DatabaseShape{"CrOnly", kHeading + "\rQQ1ABC;x;jo62qm\rQQ2X;x;io91", kTwoStations},
        DatabaseShape{"ByteOrderMark", "\xEF\xBB\xBF" + kHeading + "\nQQ1ABC;x;jo62qm\nQQ2X;x;io91",
                      kTwoStations},
        DatabaseShape{"NulBytes", kHeading + std::string("\r\nQQ\0AB;x;j\0\r\n", 14),
                      std::string("QQ\0AB  J\0    \r\n", 15)}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
TEST_F(CallsignListFile, LinkedListReplacesTheLinkTarget) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    fs::create_directory(folder_ / "wsjt");
    writeFile(folder_ / "wsjt" / "CALLSIGN.TXT", kOldList);
    fs::create_symlink("wsjt/CALLSIGN.TXT", list_);
    ASSERT_EQ(run().status, Status::Written);
    EXPECT_TRUE(fs::is_symlink(list_));
    EXPECT_EQ(readFile(folder_ / "wsjt" / "CALLSIGN.TXT"), "QQ1ABC JO62qm\r\n");
    EXPECT_EQ(snapshot(folder_).size(), 4u);
}

TEST_F(CallsignListFile, DanglingLinkCreatesItsTarget) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    fs::create_symlink("WSJT.TXT", list_);
    ASSERT_EQ(run().status, Status::Written);
    EXPECT_TRUE(fs::is_symlink(list_));
    EXPECT_EQ(readFile(folder_ / "WSJT.TXT"), "QQ1ABC JO62qm\r\n");
}
#endif

struct FailureCase {
    const char* name;
    std::function<void(const fs::path& folder)> prepare;
    Status status;
    FileError error; // its code counts only for a failure of kind Other
    bool listHeldElsewhere = false;
};

class Failures : public CallsignListFile, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, ChangeNothing) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(list_, kOldList);
    GetParam().prepare(folder_);
    const auto before = snapshot(folder_);
    std::unique_ptr<testing::HeldFile> holder;
    if (GetParam().listHeldElsewhere) {
        holder = std::make_unique<testing::HeldFile>(list_);
    }
    const ExportResult result = run();
    holder.reset();
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.error.failure, GetParam().error.failure);
    if (GetParam().error.failure == FileFailure::Other) {
        EXPECT_EQ(result.error.systemCode, GetParam().error.systemCode)
            << systemErrorText(result.error.systemCode);
    }
    EXPECT_EQ(result.failedFile, GetParam().status == Status::ListNotWritable ? list_ : database_);
    EXPECT_EQ(snapshot(folder_), before);
}

void replaceList(const fs::path& folder, const std::function<void(const fs::path&)>& make) {
    fs::remove(folder / "CALLSIGN.TXT");
    make(folder / "CALLSIGN.TXT");
}

const FailureCase kFailures[] = {
    {"MissingDatabase",
     [](const fs::path& f) { fs::remove(f / "ms195.txt"); },
     Status::DatabaseUnreadable,
     {FileFailure::NotFound}},
    {"DatabaseIsFolder",
     [](const fs::path& f) {
         fs::remove(f / "ms195.txt");
         fs::create_directory(f / "ms195.txt");
     },
     Status::DatabaseUnreadable,
     {FileFailure::IsFolder}},
    {"ListIsFolder",
     [](const fs::path& f) { replaceList(f, [](const fs::path& l) { fs::create_directory(l); }); },
     Status::ListNotWritable,
     {FileFailure::IsFolder}},
    // No write permission on POSIX, the read-only attribute on Windows.
    {"ReadOnlyList",
     [](const fs::path& f) { fs::permissions(f / "CALLSIGN.TXT", fs::perms(0444)); },
     Status::ListNotWritable,
     {FileFailure::PermissionDenied}},
#ifdef _WIN32
    // WSJT holds its list open without letting it be deleted.
    {"ListHeldElsewhere",
     [](const fs::path&) {},
     Status::ListNotWritable,
     {FileFailure::InUse},
     true},
#else
    {"LinkToDevice",
     [](const fs::path& f) {
         replaceList(f, [](const fs::path& l) { fs::create_symlink("/dev/full", l); });
     },
     Status::ListNotWritable, {FileFailure::NotOrdinaryFile}},
    {"LinkLoop",
     [](const fs::path& f) { replaceList(f, [](const fs::path& l) { fs::create_symlink(l, l); }); },
     Status::ListNotWritable, fileErrorFromSystem(ELOOP)},
    {"LinkIntoMissingFolder",
     [](const fs::path& f) {
         replaceList(f, [](const fs::path& l) { fs::create_symlink("nowhere/CALLSIGN.TXT", l); });
     },
     Status::ListNotWritable, {FileFailure::NotFound}},
#endif
};

INSTANTIATE_TEST_SUITE_P(Paths, Failures, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

#ifdef _WIN32
// Another program (a virus scanner, an indexer) that holds the old list for a
// moment does not stop the export.
TEST_F(CallsignListFile, AListHeldForAMomentIsReplacedOnceFree) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(list_, kOldList);
    auto holder = std::make_unique<testing::HeldFile>(list_);
    std::thread release([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        holder.reset();
    });
    const ExportResult result = run();
    release.join();
    EXPECT_EQ(result.status, Status::Written);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\n");
}

// Write-protected while the new list was being written: the old one stays,
// and the reason given is the write protection.
TEST_F(CallsignListFile, AListWriteProtectedMeanwhileIsKept) {
    writeFile(list_, kOldList);
    {
        ReplacementFile list(list_);
        ASSERT_FALSE(list.open());
        ASSERT_FALSE(list.write("QQ1ABC JO62qm\r\n"));
        fs::permissions(list_, fs::perms(0444));
        EXPECT_EQ(list.commit().failure, FileFailure::PermissionDenied);
    }
    fs::permissions(list_, fs::perms::all);
    EXPECT_EQ(readFile(list_), kOldList);
    EXPECT_EQ(snapshot(folder_).size(), 1u);
}
#else
// Runs in a forked child: a file size limit makes every write past it fail
// with EFBIG, as a full disk fails with ENOSPC.
[[noreturn]] void exportUnderFileSizeLimit(const fs::path& database, const fs::path& list) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        std::_Exit(2);
    }
    const ExportResult result = writeCallsignList(database, list, true, StationSelection::All);
    std::fprintf(stderr, "status %d error %d\n", static_cast<int>(result.status),
                 result.error.systemCode);
    std::_Exit(
        result.status == Status::ListNotWritable && result.error == fileErrorFromSystem(EFBIG) ? 0
                                                                                               : 1);
}

TEST_F(CallsignListFile, WriteFailureKeepsTheOldList) {
    std::string database = kHeading + "\r\n";
    for (int i = 0; i < 1000; ++i) {
        database += "QQ" + std::to_string(i) + ";x;jo62qm\r\n";
    }
    writeFile(database_, database);
    writeFile(list_, kOldList);
    const auto before = snapshot(folder_);
    EXPECT_EXIT(exportUnderFileSizeLimit(database_, list_), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(snapshot(folder_), before);
}
#endif

} // namespace
} // namespace kelmora
