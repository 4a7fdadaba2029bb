// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/file_names.h"
#include "export/call3_update.h"
#include "export/callsign_list.h"
#include "export/replacement_file.h"
#include "support/database_heading.h"
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
#include <tuple>
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

using testing::kHeading;
using testing::PrintTo;

namespace fs = std::filesystem;
using Status = ExportResult::Status;
using testing::readFile;
using testing::writeFile;

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
    // Out of sight only while it was written; backup programs that go by the
    // archive mark take it up.
    EXPECT_FALSE(file_names::isHidden(list_));
    EXPECT_TRUE(testing::isMarkedForArchiving(list_));
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

// A folder deeper than MAX_PATH (260 characters): the database in it is read
// as the list beside it is written.
TEST_F(CallsignListFile, FolderBeyondMaxPath) {
    fs::path folder = folder_;
    while (folder.native().size() < 300) {
        folder /= std::string(40, 'x');
    }
    fs::create_directories(file_names::longForm(folder));
    writeFile(file_names::longForm(folder / "ms195.txt"), kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    const ExportResult result = writeCallsignList(folder / "ms195.txt", folder / "CALLSIGN.TXT",
                                                  true, StationSelection::All);
    EXPECT_EQ(result.status, Status::Written);
    EXPECT_EQ(readFile(file_names::longForm(folder / "CALLSIGN.TXT")), "QQ1ABC JO62qm\r\n");
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

// The callsign list and WSJT-X's look-up list, which is read and updated, are
// replaced the same safe way: each fault must leave the folder exactly as it
// was, the look-up list without a backup.
struct WriteOutcome {
    Status status;
    FileError error;
    fs::path failedFile;
};

struct ListWriter {
    const char* name;
    const char* listName;
    std::function<WriteOutcome(const fs::path& database, const fs::path& list)> write;
};

const ListWriter kCallsignListWriter{
    "CallsignList", "CALLSIGN.TXT", [](const fs::path& database, const fs::path& list) {
        const ExportResult result = writeCallsignList(database, list, true, StationSelection::All);
        return WriteOutcome{result.status, result.error, result.failedFile};
    }};
const ListWriter kLookupListWriter{
    "LookupList", "CALL3.TXT", [](const fs::path& database, const fs::path& list) {
        const Call3Result result = updateCall3List(database, list, true, {"ms195.txt", "2026"});
        return WriteOutcome{result.status, result.error, result.failedFile};
    }};

enum class Held { Nothing, List, Backup };

struct FailureCase {
    const char* name;
    std::function<void(const fs::path& folder, const fs::path& list)> prepare;
    Status status;
    FileError error; // its code counts only for a failure of kind Other
    Held held = Held::Nothing;
    // The file named as failed, where it is neither the list nor the database.
    const char* failedFile = nullptr;
};

class Failures : public CallsignListFile,
                 public ::testing::WithParamInterface<std::tuple<FailureCase, ListWriter>> {};

TEST_P(Failures, ChangeNothing) {
    const auto& [failure, writer] = GetParam();
    const fs::path list = folder_ / writer.listName;
    const fs::path backup = call3BackupPath(list);
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(list, kOldList);
    failure.prepare(folder_, list);
    const auto before = snapshot(folder_);
    std::unique_ptr<testing::HeldFile> holder;
    if (failure.held != Held::Nothing) {
        holder = std::make_unique<testing::HeldFile>(failure.held == Held::List ? list : backup);
    }
    const WriteOutcome result = writer.write(database_, list);
    holder.reset();
    EXPECT_EQ(result.status, failure.status);
    EXPECT_EQ(result.error.failure, failure.error.failure);
    if (failure.error.failure == FileFailure::Other) {
        EXPECT_EQ(result.error.systemCode, failure.error.systemCode)
            << systemErrorText(result.error.systemCode);
    }
    const fs::path failedFile = failure.failedFile ? folder_ / failure.failedFile
                                : failure.status == Status::DatabaseUnreadable ? database_
                                                                               : list;
    EXPECT_EQ(result.failedFile, failedFile);
    EXPECT_EQ(snapshot(folder_), before);
}

void replaceList(const fs::path& list, const std::function<void(const fs::path&)>& make) {
    fs::remove(list);
    make(list);
}

const FailureCase kFailures[] = {
    {"MissingDatabase",
     [](const fs::path& f, const fs::path&) { fs::remove(f / "ms195.txt"); },
     Status::DatabaseUnreadable,
     {FileFailure::NotFound}},
    {"DatabaseIsFolder",
     [](const fs::path& f, const fs::path&) {
         fs::remove(f / "ms195.txt");
         fs::create_directory(f / "ms195.txt");
     },
     Status::DatabaseUnreadable,
     {FileFailure::IsFolder}},
    {"ListIsFolder",
     [](const fs::path&, const fs::path& l) {
         replaceList(l, [](const fs::path& l) { fs::create_directory(l); });
     },
     Status::ListNotWritable,
     {FileFailure::IsFolder}},
    // No write permission on POSIX, the read-only attribute on Windows.
    {"ReadOnlyList",
     [](const fs::path&, const fs::path& l) { fs::permissions(l, fs::perms(0444)); },
     Status::ListNotWritable,
     {FileFailure::PermissionDenied}},
#ifdef _WIN32
    // WSJT holds its list open without letting it be deleted.
    {"ListHeldElsewhere",
     [](const fs::path&, const fs::path&) {},
     Status::ListNotWritable,
     {FileFailure::InUse},
     Held::List},
#else
    {"LinkToDevice",
     [](const fs::path&, const fs::path& l) {
         replaceList(l, [](const fs::path& l) { fs::create_symlink("/dev/full", l); });
     },
     Status::ListNotWritable,
     {FileFailure::NotOrdinaryFile}},
    {"LinkLoop",
     [](const fs::path&, const fs::path& l) {
         replaceList(l, [](const fs::path& l) { fs::create_symlink(l, l); });
     },
     Status::ListNotWritable, fileErrorFromSystem(ELOOP)},
    {"LinkIntoMissingFolder",
     [](const fs::path&, const fs::path& l) {
         replaceList(l, [](const fs::path& l) {
             fs::create_symlink(fs::path("nowhere") / l.filename(), l);
         });
     },
     Status::ListNotWritable,
     {FileFailure::NotFound}},
#endif
};

INSTANTIATE_TEST_SUITE_P(Paths, Failures,
                         ::testing::Combine(::testing::ValuesIn(kFailures),
                                            ::testing::Values(kCallsignListWriter,
                                                              kLookupListWriter)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

// What only a list that is read and kept as a backup can meet.
const FailureCase kLookupListFailures[] = {
    {"NulByte",
     [](const fs::path&, const fs::path& l) {
         writeFile(l, std::string("QQ1ABC,JO62QM,,,\nQQ2\0B,JO01\n", 29));
     },
     Status::NoLookupList,
     {}},
    {"LineOver64KiB",
     [](const fs::path&, const fs::path& l) {
         writeFile(l, "QQ1ABC,JO62QM,,,\n" + std::string(64 * 1024 + 1, 'x') + "\n");
     },
     Status::NoLookupList,
     {}},
    // Chosen by mistake in the save dialog, which lists the databases too.
    {"ListIsTheDatabase",
     [](const fs::path& f, const fs::path& l) {
         fs::remove(l);
         fs::create_hard_link(f / "ms195.txt", l);
     },
     Status::NoLookupList,
     {}},
    // Another station database, chosen by mistake in the same dialog.
    {"ListIsAnotherDatabase",
     [](const fs::path&, const fs::path& l) { writeFile(l, kHeading + "\r\nQQ9OLD;x;IO91WM\r\n"); },
     Status::NoLookupList,
     {}},
    // A backup that is the list or the database would put the old list over
    // it; a hard link is one file as much as a symbolic one.
    {"BackupHardLinkToTheList",
     [](const fs::path& f, const fs::path& l) { fs::create_hard_link(l, f / "CALL3_backup.TXT"); },
     Status::SameFile,
     {},
     Held::Nothing,
     "CALL3_backup.TXT"},
#ifndef _WIN32
    {"BackupLinkToTheList",
     [](const fs::path& f, const fs::path&) {
         fs::create_symlink("CALL3.TXT", f / "CALL3_backup.TXT");
     },
     Status::SameFile,
     {},
     Held::Nothing,
     "CALL3_backup.TXT"},
    {"ListLinkToTheBackup",
     [](const fs::path& f, const fs::path& l) {
         fs::rename(l, f / "CALL3_backup.TXT");
         fs::create_symlink("CALL3_backup.TXT", l);
     },
     Status::SameFile,
     {},
     Held::Nothing,
     "CALL3_backup.TXT"},
    {"BackupLinkToTheDatabase",
     [](const fs::path& f, const fs::path&) {
         fs::create_symlink("ms195.txt", f / "CALL3_backup.TXT");
     },
     Status::SameFile,
     {},
     Held::Nothing,
     "CALL3_backup.TXT"},
#endif
    {"BackupIsFolder",
     [](const fs::path& f, const fs::path&) { fs::create_directory(f / "CALL3_backup.TXT"); },
     Status::ListNotWritable,
     {FileFailure::IsFolder},
     Held::Nothing,
     "CALL3_backup.TXT"},
    {"ReadOnlyBackup",
     [](const fs::path& f, const fs::path&) {
         writeFile(f / "CALL3_backup.TXT", kOldList);
         fs::permissions(f / "CALL3_backup.TXT", fs::perms(0444));
     },
     Status::ListNotWritable,
     {FileFailure::PermissionDenied},
     Held::Nothing,
     "CALL3_backup.TXT"},
#ifdef _WIN32
    // Found only when the new list is already in place: it is put back.
    {"BackupHeldElsewhere",
     [](const fs::path& f, const fs::path&) { writeFile(f / "CALL3_backup.TXT", kOldList); },
     Status::ListNotWritable,
     {FileFailure::InUse},
     Held::Backup,
     "CALL3_backup.TXT"},
#endif
};

INSTANTIATE_TEST_SUITE_P(LookupList, Failures,
                         ::testing::Combine(::testing::ValuesIn(kLookupListFailures),
                                            ::testing::Values(kLookupListWriter)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name);
                         });

// Readers that let a file be replaced (editors, "tail -f", Java and .NET
// readers, sync tools, this program's own reader) do not stop the export
// where the system can replace such a file. Where it cannot (Wine, FAT,
// network shares), the file counts as in use, not as write-protected.
class SharedReaders : public CallsignListFile,
                      public ::testing::WithParamInterface<std::tuple<Held, ListWriter>> {};

TEST_P(SharedReaders, DoNotStopTheExport) {
    const auto& [held, writer] = GetParam();
    const bool replaceable = testing::replacesFilesHeldSharingDelete();
    const fs::path list = folder_ / writer.listName;
    const fs::path backup = call3BackupPath(list);
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(list, kOldList);
    writeFile(backup, kOldList);
    const auto before = snapshot(folder_);
    WriteOutcome result;
    {
        const testing::HeldFile reader(held == Held::List ? list : backup,
                                       testing::Holding::SharingDelete);
        result = writer.write(database_, list);
    }
    if (replaceable) {
        EXPECT_EQ(result.status, Status::Written);
        EXPECT_NE(readFile(list), kOldList);
    } else {
        EXPECT_EQ(result.status, Status::ListNotWritable);
        EXPECT_EQ(result.error.failure, FileFailure::InUse);
        EXPECT_EQ(snapshot(folder_), before);
    }
    EXPECT_EQ(readFile(backup), kOldList);
}

INSTANTIATE_TEST_SUITE_P(
    List, SharedReaders,
    ::testing::Combine(::testing::Values(Held::List),
                       ::testing::Values(kCallsignListWriter, kLookupListWriter)),
    [](const auto& info) { return std::string(std::get<1>(info.param).name); });
INSTANTIATE_TEST_SUITE_P(Backup, SharedReaders,
                         ::testing::Combine(::testing::Values(Held::Backup),
                                            ::testing::Values(kLookupListWriter)),
                         [](const auto& info) {
                             return std::string(std::get<1>(info.param).name);
                         });

#ifdef _WIN32
// Another program (a virus scanner, an indexer, a reader that shares delete
// where it cannot be replaced) that holds the old list for a moment does not
// stop the export.
class HeldForAMoment : public CallsignListFile,
                       public ::testing::WithParamInterface<testing::Holding> {};

TEST_P(HeldForAMoment, TheListIsReplacedOnceFree) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(list_, kOldList);
    auto holder = std::make_unique<testing::HeldFile>(list_, GetParam());
    std::thread release([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        holder.reset();
    });
    const ExportResult result = run();
    release.join();
    EXPECT_EQ(result.status, Status::Written);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\n");
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldForAMoment,
                         ::testing::Values(testing::Holding::Exclusively,
                                           testing::Holding::SharingDelete),
                         [](const auto& info) {
                             return info.param == testing::Holding::Exclusively ? "Exclusively"
                                                                                : "SharingDelete";
                         });

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
[[noreturn]] void writeUnderFileSizeLimit(const ListWriter& writer, const fs::path& database,
                                          const fs::path& list) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        std::_Exit(2);
    }
    const WriteOutcome result = writer.write(database, list);
    std::fprintf(stderr, "status %d error %d\n", static_cast<int>(result.status),
                 result.error.systemCode);
    std::_Exit(
        result.status == Status::ListNotWritable && result.error == fileErrorFromSystem(EFBIG) ? 0
                                                                                               : 1);
}

class WriteFailures : public CallsignListFile, public ::testing::WithParamInterface<ListWriter> {};

TEST_P(WriteFailures, KeepTheOldList) {
    std::string database = kHeading + "\r\n";
    for (int i = 0; i < 1000; ++i) {
        database += "QQ" + std::to_string(i) + ";x;jo62qm\r\n";
    }
    writeFile(database_, database);
    const fs::path list = folder_ / GetParam().listName;
    writeFile(list, kOldList);
    const auto before = snapshot(folder_);
    EXPECT_EXIT(writeUnderFileSizeLimit(GetParam(), database_, list), ::testing::ExitedWithCode(0),
                "");
    EXPECT_EQ(snapshot(folder_), before);
}

INSTANTIATE_TEST_SUITE_P(Lists, WriteFailures,
                         ::testing::Values(kCallsignListWriter, kLookupListWriter),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

} // namespace
} // namespace kelmora
