// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/callsign_list.h"
#include "support/file_bytes.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
    fs::permissions(list_, fs::perms(0640));
    ASSERT_EQ(run().status, Status::Written);
    EXPECT_EQ(readFile(list_), "QQ1ABC JO62qm\r\n");
    EXPECT_EQ(fs::status(list_).permissions(), fs::perms(0640));
    EXPECT_EQ(snapshot(folder_).size(), 2u);
}

TEST_F(CallsignListFile, NewListTakesTheUmask) {
    writeFile(database_, kHeading);
    const mode_t previous = ::umask(027);
    const ExportResult result = run();
    ::umask(previous);
    ASSERT_EQ(result.status, Status::Written);
    EXPECT_EQ(fs::status(list_).permissions(), fs::perms(0640));
}

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

struct FailureCase {
    const char* name;
    std::function<void(const fs::path& folder)> prepare;
    Status status;
    FileError error;
};

class Failures : public CallsignListFile, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, ChangeNothing) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    writeFile(list_, kOldList);
    GetParam().prepare(folder_);
    const auto before = snapshot(folder_);
    const ExportResult result = run();
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.error.failure, GetParam().error.failure);
    EXPECT_EQ(result.error.systemCode, GetParam().error.systemCode)
        << systemErrorText(result.error.systemCode);
    EXPECT_EQ(result.failedFile, GetParam().status == Status::ListNotWritable ? list_ : database_);
    EXPECT_EQ(snapshot(folder_), before);
}

void replaceList(const fs::path& folder, const std::function<void(const fs::path&)>& make) {
    fs::remove(folder / "CALLSIGN.TXT");
    make(folder / "CALLSIGN.TXT");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Failures,
    ::testing::Values(
        FailureCase{"MissingDatabase", [](const fs::path& f) { fs::remove(f / "ms195.txt"); },
                    Status::DatabaseUnreadable, fileErrorFromSystem(ENOENT)},
        FailureCase{"DatabaseIsFolder",
                    [](const fs::path& f) {
                        fs::remove(f / "ms195.txt");
                        fs::create_directory(f / "ms195.txt");
                    },
                    Status::DatabaseUnreadable,
                    {FileFailure::IsFolder}},
        FailureCase{"ListIsFolder",
                    [](const fs::path& f) {
                        replaceList(f, [](const fs::path& l) { fs::create_directory(l); });
                    },
                    Status::ListNotWritable,
                    {FileFailure::IsFolder}},
        FailureCase{"ReadOnlyList",
                    [](const fs::path& f) { fs::permissions(f / "CALLSIGN.TXT", fs::perms(0444)); },
                    Status::ListNotWritable,
                    {FileFailure::PermissionDenied}},
        FailureCase{"LinkToDevice",
                    [](const fs::path& f) {
                        replaceList(f,
                                    [](const fs::path& l) { fs::create_symlink("/dev/full", l); });
                    },
                    Status::ListNotWritable,
                    {FileFailure::NotOrdinaryFile}},
        FailureCase{"LinkLoop",
                    [](const fs::path& f) {
                        replaceList(f, [](const fs::path& l) { fs::create_symlink(l, l); });
                    },
                    Status::ListNotWritable, fileErrorFromSystem(ELOOP)},
        FailureCase{"LinkIntoMissingFolder",
                    [](const fs::path& f) {
                        replaceList(f, [](const fs::path& l) {
                            fs::create_symlink("nowhere/CALLSIGN.TXT", l);
                        });
                    },
                    Status::ListNotWritable, fileErrorFromSystem(ENOENT)}),
    [](const auto& info) { return std::string(info.param.name); });

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

} // namespace
} // namespace kelmora
