// SPDX-License-Identifier: GPL-3.0-or-later
// Files a database folder may hold that no one would write on purpose. Each
// goes the way the window takes it: the opening (readDatabaseStart), a search
// (scanForHits), the callsign list (writeCallsignList) and the update of
// WSJT-X's look-up list (updateCall3List), and each must give one defined
// result, not merely survive.

#include "database/database_start.h"
#include "database/search_matcher.h"
#include "export/call3_update.h"
#include "export/callsign_list.h"
#include "support/database_heading.h"
#include "support/file_bytes.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

namespace kelmora {
namespace {

using testing::kHeading;
using testing::PrintTo;

namespace fs = std::filesystem;
using Status = ExportResult::Status;
using testing::appendToFile;
using testing::readFile;
using testing::writeFile;

const std::string kOneLineList = "QQ9OLD IO91wm\r\n";
const std::string kBlankListLine = "             \r\n";
constexpr std::size_t kSixtyFourMegabytes = 64u << 20;

// Lines and lists of megabytes are compared by size, hash and first bytes,
// so that a failure prints a few readable bytes instead of all of them.
struct Digest {
    std::size_t size = 0;
    std::size_t hash = 0;
    std::string head;

    static Digest of(std::string_view bytes) {
        return {bytes.size(), std::hash<std::string_view>{}(bytes),
                std::string(bytes.substr(0, 48))};
    }
    bool operator==(const Digest&) const = default;
};

void PrintTo(const Digest& digest, std::ostream* os) {
    *os << digest.size << " bytes beginning " << ::testing::PrintToString(digest.head);
}

std::optional<Digest> digestOf(const std::optional<std::string>& text) {
    return text ? std::optional<Digest>(Digest::of(*text)) : std::nullopt;
}

// What the three readers made of one database file.
struct Outcome {
    bool readable = true;
    std::optional<Digest> headingLine;
    std::optional<Digest> firstStation;
    ScanEnd scanEnd = ScanEnd::EndOfFile;
    std::vector<Digest> hits;
    Status exportStatus = Status::Written;
    FileFailure exportError = FileFailure::None;
    Digest list; // the list file afterwards: the old one when the export failed
    // The look-up list takes the same stations; only whether it could is compared.
    Status lookupStatus = Status::Written;
    FileFailure lookupError = FileFailure::None;

    bool operator==(const Outcome&) const = default;
};

// A file read to its end: the opening shows heading and station, the search
// finds the hits and the export writes the list.
Outcome readOutcome(std::optional<std::string> headingLine, std::optional<std::string> firstStation,
                    const std::vector<std::string>& hits, const std::string& list) {
    Outcome outcome;
    outcome.headingLine = digestOf(headingLine);
    outcome.firstStation = digestOf(firstStation);
    for (const std::string& hit : hits) {
        outcome.hits.push_back(Digest::of(hit));
    }
    outcome.list = Digest::of(list);
    return outcome;
}

// A file that the reader must not open: nothing is shown, the search fails
// without hits and the old list stays.
Outcome refusedOutcome(FileFailure error) {
    Outcome outcome;
    outcome.readable = false;
    outcome.scanEnd = ScanEnd::ReadFailed;
    outcome.exportStatus = Status::DatabaseUnreadable;
    outcome.exportError = error;
    outcome.list = Digest::of(kOneLineList);
    outcome.lookupStatus = Status::DatabaseUnreadable;
    outcome.lookupError = error;
    return outcome;
}

// The way the window goes: the opening decides whether there is a heading
// line, and the export takes that decision.
Outcome observe(const fs::path& database, const fs::path& list, std::string_view searchText,
                StationSelection selection) {
    Outcome outcome;
    const DatabaseStart start = readDatabaseStart(database);
    outcome.readable = start.readable;
    outcome.headingLine = digestOf(start.headingLine);
    outcome.firstStation = digestOf(start.firstStation);

    const ScanOutcome scan = scanForHits(database, SearchPattern::fromUtf8(searchText),
                                         [&outcome](std::string_view line) {
                                             outcome.hits.push_back(Digest::of(line));
                                             return true;
                                         });
    outcome.scanEnd = scan.end;

    const ExportResult result =
        writeCallsignList(database, list, start.headingLine.has_value(), selection);
    outcome.exportStatus = result.status;
    outcome.exportError = result.error.failure;
    outcome.list = Digest::of(readFile(list));

    const Call3Result lookup = updateCall3List(database, list.parent_path() / "CALL3.TXT",
                                               start.headingLine.has_value(), {"ms1.txt", "2026"});
    outcome.lookupStatus = lookup.status;
    outcome.lookupError = lookup.error.failure;
    return outcome;
}

void expectOutcome(const Outcome& actual, const Outcome& expected) {
    EXPECT_EQ(actual.readable, expected.readable);
    EXPECT_EQ(actual.headingLine, expected.headingLine);
    EXPECT_EQ(actual.firstStation, expected.firstStation);
    EXPECT_EQ(actual.scanEnd, expected.scanEnd);
    EXPECT_EQ(actual.hits, expected.hits);
    EXPECT_EQ(actual.exportStatus, expected.exportStatus);
    EXPECT_EQ(actual.exportError, expected.exportError);
    EXPECT_EQ(actual.list, expected.list);
    EXPECT_EQ(actual.lookupStatus, expected.lookupStatus);
    EXPECT_EQ(actual.lookupError, expected.lookupError);
}

// A reader that blocks or loops ends the test program instead of the ctest
// timeout ending it much later. (Windows has no alarm; there ctest's timeout
// has to do.)
class Watchdog {
public:
#ifdef _WIN32
    explicit Watchdog(unsigned) {}
#else
    explicit Watchdog(unsigned seconds) {
        ::alarm(seconds);
    }
    ~Watchdog() {
        ::alarm(0);
    }
#endif
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};

class HostileFolder : public ::testing::Test {
protected:
    void SetUp() override { writeFile(list_, kOneLineList); }

    const testing::TempFolder temp_;
    const fs::path folder_ = temp_.path();
    const fs::path database_ = folder_ / "ms1.txt";
    const fs::path list_ = folder_ / "CALLSIGN.TXT";
};

struct HostileCase {
    const char* name;
    // Puts the hostile thing into the folder; returns the path to open.
    std::function<fs::path(const fs::path& folder)> make;
    std::string searchText;
    // Built only when the case runs: some expectations are megabytes.
    std::function<Outcome()> expected;
};

class HostileFiles : public HostileFolder, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileFiles, GiveTheirDefinedResult) {
    const HostileCase& c = GetParam();
    const fs::path database = c.make(folder_);
    const Watchdog watchdog(60);
    expectOutcome(observe(database, list_, c.searchText, StationSelection::All), c.expected());
}

std::function<fs::path(const fs::path&)> fileWith(std::function<std::string()> content) {
    return [content = std::move(content)](const fs::path& folder) {
        writeFile(folder / "ms1.txt", content());
        return folder / "ms1.txt";
    };
}

std::function<fs::path(const fs::path&)> fileWith(const std::string& content) {
    return fileWith([content] { return content; });
}

std::string repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text.append(piece);
    }
    return text;
}

// Callsign, a 64 MB remark and the locator on a line that never ends; the
// search text stands at the very end, 64 MB after the line's start.
std::string hugeStation() {
    std::string line = "QQ1ABC;";
    line.append(kSixtyFourMegabytes, 'x');
    line.append(";JO62QM");
    return line;
}

// The station's fields first, then 64 MB of remark: by the time the line's
// end is found, its start has long left the search's buffer.
std::string stationWithHugeLastField() {
    std::string line = "QQ1ABC;x;JO62QM;";
    line.append(kSixtyFourMegabytes, 'x');
    return line;
}

std::string everyByteValue() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::string everyByteFrom(int first) {
    return everyByteValue().substr(static_cast<std::size_t>(first));
}

// UTF-16LE of ASCII text, as a Windows editor saves "Unicode".
std::string utf16le(std::string_view ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

using namespace std::string_literals;

// The station lines of the invalid UTF-8 file: a Windows-1252 line, UTF-8
// bytes in a line that other bytes make Windows-1252, an overlong "/" that
// is no "/", and a lone lead byte.
const std::string kLatinStation = "QQ1\xC4"
                                  "BC;M\xFCnchen;jo62qm";
const std::string kBrokenUtf8Station = "QQ1\xC3\x84"
                                       "BC;x;jo62qm;\xFF";
const std::string kOverlongSlashStation = "QQ\xC0\xAF"
                                          "P;x;jo62qm";
const std::string kLoneLeadByteStation = "QQ2\xC3;x;\xE4o62qm";
const std::string kUtf8Station = "QQ1\xC3\x84"
                                 "BC;x;jo62qm";
const std::string kUtf16Station = "\0Q\0Q\0"
                                  "1\0A\0B\0C\0;\0x\0;\0j\0o\0"
                                  "6\0"
                                  "2\0q\0m\0"s;

const HostileCase kContents[] = {
    HostileCase{"EmptyFile", fileWith(""), "QQ1ABC",
                [] { return readOutcome(std::nullopt, std::nullopt, {}, ""); }},
    HostileCase{"OnlyLineEnd", fileWith("\r\n"), "QQ1ABC",
                [] { return readOutcome(std::nullopt, "", {}, ""); }},
    HostileCase{"OnlySeparator", fileWith(";"), ";",
                [] { return readOutcome(std::nullopt, ";", {}, ""); }},
    HostileCase{"HundredThousandSeparators",
                fileWith(kHeading + "\r\n" + std::string(100'000, ';')), ";",
                [] {
                    const std::string line(100'000, ';');
                    return readOutcome(kHeading, line, {line}, kBlankListLine);
                }},
    HostileCase{"LineOfSixtyFourMegabytesWithoutEnd",
                fileWith([] { return kHeading + "\r\n" + hugeStation(); }), "JO62QM",
                [] {
                    const std::string line = hugeStation();
                    return readOutcome(kHeading, line, {line}, "QQ1ABC JO62qm\r\n");
                }},
    HostileCase{
        "LineOfSixtyFourMegabytesTextAtItsStart",
        fileWith([] { return kHeading + "\r\n" + stationWithHugeLastField() + "\r\nQQ2X;x;io91"; }),
        "QQ1ABC",
        [] {
            const std::string line = stationWithHugeLastField();
            return readOutcome(kHeading, line, {line}, "QQ1ABC JO62qm\r\nQQ2X   IO91  \r\n");
        }},
    // Lines 0..9, 11..12 and 14..255; the first is no heading, the third
    // holds "/" in its callsign field.
    HostileCase{"EveryByteValue", fileWith(everyByteValue), "ABC",
                [] {
                    return readOutcome(
                        std::nullopt, everyByteValue().substr(0, 10), {everyByteFrom(14)},
                        "\v\f" + std::string(5, ' ') + "\v\f" + std::string(4, ' ') + "\r\n");
                }},
    HostileCase{"InvalidUtf8",
                fileWith(kHeading + "\r\n" + kLatinStation + "\r\n" + kBrokenUtf8Station + "\r\n" +
                         kOverlongSlashStation + "\r\n" + kLoneLeadByteStation + "\r\n"),
                "QQ1\xC3\x84"
                "BC",
                [] {
                    return readOutcome(kHeading, kLatinStation, {kLatinStation},
                                       "QQ1\xC4"
                                       "BC JO62qm\r\n"
                                       "QQ1\xC3\x84"
                                       "BCJO62qm\r\n"
                                       "QQ\xC0\xAF"
                                       "P  JO62qm\r\n"
                                       "QQ2\xC3   \xC4O62qm\r\n");
                }},
    HostileCase{"Utf8ByteOrderMark",
                fileWith("\xEF\xBB\xBF" + kHeading + "\r\n" + kUtf8Station + "\r\n"),
                "QQ1\xC3\x84"
                "BC",
                [] {
                    return readOutcome(kHeading, kUtf8Station, {kUtf8Station},
                                       "QQ1\xC3\x84"
                                       "BC JO62qm\r\n");
                }},
    // Read as single-byte text: CR and LF stand apart with NULs between,
    // so NUL lines appear, and no line holds CALL.
    HostileCase{"Utf16WithByteOrderMark", fileWith(utf16le(kHeading + "\r\nQQ1ABC;x;jo62qm\r\n")),
                "Q",
                [] {
                    const std::string nulLine =
                        "\0"s + std::string(6, ' ') + "\0"s + std::string(5, ' ') + "\r\n";
                    return readOutcome(std::nullopt, utf16le(kHeading), {kUtf16Station},
                                       nulLine +
                                           "\0Q\0Q\0"
                                           "1\0\0J\0o\0"
                                           "6\r\n"s +
                                           nulLine + nulLine);
                }},
    HostileCase{
        "CarriageReturnLineEnds", fileWith(kHeading + "\rQQ1ABC;x;jo62qm\rQQ2X;x;io91\r"), "QQ",
        [] {
            return readOutcome(kHeading, "QQ1ABC;x;jo62qm", {"QQ1ABC;x;jo62qm", "QQ2X;x;io91"},
                               "QQ1ABC JO62qm\r\nQQ2X   IO91  \r\n");
        }},
    // Without a heading line the first empty line is skipped as one.
    HostileCase{"MillionEmptyLines",
                fileWith([] { return repeated("\r\n", 1'000'000) + "QQ1ABC;x;jo62qm"; }), "QQ1ABC",
                [] {
                    return readOutcome(std::nullopt, "", {"QQ1ABC;x;jo62qm"},
                                       repeated(kBlankListLine, 999'999) + "QQ1ABC JO62qm\r\n");
                }},
    HostileCase{"HeadingLineOnly", fileWith(kHeading), "CALL",
                [] { return readOutcome(kHeading, std::nullopt, {}, ""); }},
#ifndef _WIN32
    // The export reads the very file it replaces: it must read it whole
    // as it was, and neither loop on its own output nor lose it.
    HostileCase{"LinkToTheList",
                [](const fs::path& folder) {
                    writeFile(folder / "CALLSIGN.TXT", kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
                    fs::create_symlink("CALLSIGN.TXT", folder / "ms1.txt");
                    return folder / "ms1.txt";
                },
                "QQ1ABC",
                [] {
                    return readOutcome(kHeading, "QQ1ABC;x;jo62qm", {"QQ1ABC;x;jo62qm"},
                                       "QQ1ABC JO62qm\r\n");
                }},
#endif
};

INSTANTIATE_TEST_SUITE_P(Contents, HostileFiles, ::testing::ValuesIn(kContents),
                         [](const auto& info) { return std::string(info.param.name); });

// A device that would give bytes without end, were it read.
#ifdef _WIN32
const fs::path kEndlessDevice = "NUL";
#else
const fs::path kEndlessDevice = "/dev/zero";
#endif

const HostileCase kRefused[] = {
    HostileCase{"Device", [](const fs::path&) { return kEndlessDevice; }, "QQ",
                [] { return refusedOutcome(FileFailure::NotOrdinaryFile); }},
#ifndef _WIN32
    HostileCase{"LinkToDevZero",
                [](const fs::path& folder) {
                    fs::create_symlink("/dev/zero", folder / "ms1.txt");
                    return folder / "ms1.txt";
                },
                "QQ", [] { return refusedOutcome(FileFailure::NotOrdinaryFile); }},
    HostileCase{"Fifo",
                [](const fs::path& folder) {
                    if (::mkfifo((folder / "ms1.txt").c_str(), 0644) != 0) {
                        throw std::runtime_error("mkfifo failed");
                    }
                    return folder / "ms1.txt";
                },
                "QQ", [] { return refusedOutcome(FileFailure::NotOrdinaryFile); }},
#endif
    HostileCase{"RemovedBetweenListingAndOpening",
                [](const fs::path& folder) {
                    writeFile(folder / "ms1.txt", kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
                    fs::path listed;
                    for (const auto& entry : fs::directory_iterator(folder)) {
                        if (entry.path().filename() == "ms1.txt") {
                            listed = entry.path();
                        }
                    }
                    fs::remove(listed);
                    return listed;
                },
                "QQ", [] { return refusedOutcome(FileFailure::NotFound); }},
    HostileCase{"FolderNamedLikeDatabase",
                [](const fs::path& folder) {
                    fs::create_directory(folder / "ms1.txt");
                    writeFile(folder / "ms1.txt" / "ms2.txt", kHeading);
                    return folder / "ms1.txt";
                },
                "QQ", [] { return refusedOutcome(FileFailure::IsFolder); }},
};

INSTANTIATE_TEST_SUITE_P(Refused, HostileFiles, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// Root reads any file, so the unreadable file is read by a child that gives
// up root for the "nobody" account; the exit code reports the outcome.
constexpr uid_t kNobody = 65534;

[[noreturn]] void observeAsNobody(const fs::path& database, const fs::path& list) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
        std::_Exit(2);
    }
    const Outcome outcome = observe(database, list, "QQ", StationSelection::All);
    std::_Exit(outcome == refusedOutcome(FileFailure::PermissionDenied) ? 0 : 1);
}

TEST_F(HostileFolder, FileWithoutReadPermission) {
    writeFile(database_, kHeading + "\r\nQQ1ABC;x;jo62qm\r\n");
    fs::permissions(database_, fs::perms::none);
    if (::geteuid() != 0) {
        expectOutcome(observe(database_, list_, "QQ", StationSelection::All),
                      refusedOutcome(FileFailure::PermissionDenied));
        return;
    }
    // The child must reach the file through the folder and read the old list.
    fs::permissions(folder_, fs::perms(0755));
    fs::permissions(list_, fs::perms(0644));
    EXPECT_EXIT(observeAsNobody(database_, list_), ::testing::ExitedWithCode(0), "");
}

// Appends a line to the file each time the file is read, from a thread of
// its own. The reader has then opened the file before it grows, so it must
// not see a single appended byte.
class AppendOnEveryRead {
public:
    AppendOnEveryRead(const fs::path& file, std::string line)
        : file_(file), line_(std::move(line)), inotify_(::inotify_init1(IN_CLOEXEC)) {
        if (inotify_ < 0 || ::inotify_add_watch(inotify_, file.c_str(), IN_ACCESS) < 0 ||
            ::pipe(stop_) != 0) {
            throw std::runtime_error("cannot watch " + file.string());
        }
        thread_ = std::thread([this] { appendWhileWatching(); });
    }
    ~AppendOnEveryRead() {
        stop();
        ::close(stop_[0]);
        ::close(stop_[1]);
        ::close(inotify_);
    }
    AppendOnEveryRead(const AppendOnEveryRead&) = delete;
    AppendOnEveryRead& operator=(const AppendOnEveryRead&) = delete;

    // Ends the watching; returns how often the file grew.
    int stop() {
        if (thread_.joinable()) {
            const char stop = 's';
            static_cast<void>(::write(stop_[1], &stop, 1));
            thread_.join();
        }
        return appends_;
    }

private:
    // Reads that happened before the stop are answered before it is obeyed,
    // so a reader that read at all has seen the file grow.
    void appendWhileWatching() {
        pollfd fds[2] = {{inotify_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if ((fds[0].revents & POLLIN) != 0 && consumeEvents() && appendLine()) {
                ++appends_;
            }
            if ((fds[1].revents & POLLIN) != 0) {
                return;
            }
        }
    }

    bool consumeEvents() {
        alignas(inotify_event) char events[4096];
        return ::read(inotify_, events, sizeof events) > 0;
    }

    bool appendLine() {
        const int fd = ::open(file_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        const bool whole =
            ::write(fd, line_.data(), line_.size()) == static_cast<ssize_t>(line_.size());
        ::close(fd);
        return whole;
    }

    fs::path file_;
    std::string line_;
    int inotify_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
    int appends_ = 0; // read after the join only
};

#endif

// Station lines of 18 bytes with 7-character callsigns Q100000, Q100001...
std::string stationCallsign(std::size_t i) {
    std::string callsign = "Q";
    callsign += std::to_string(100000 + i);
    return callsign;
}

std::string stations(std::size_t count) {
    std::string lines;
    for (std::size_t i = 0; i < count; ++i) {
        lines += stationCallsign(i) + ";X;jo62qm\r\n";
    }
    return lines;
}

// Each would be exported and found, were it read.
const std::string kGrownStation = "Q999999;X;jo00aa\r\n";

#ifndef _WIN32
std::string listOf(std::size_t count) {
    std::string list;
    for (std::size_t i = 0; i < count; ++i) {
        list += stationCallsign(i) + "JO62qm\r\n";
    }
    return list;
}

TEST_F(HostileFolder, OpeningStopsAtTheSizeAtOpening) {
    // A heading line of many read blocks, still without its end when opened.
    const std::string heading = "CALL;" + std::string(4'000'000, 'x');
    writeFile(database_, heading);
    const Watchdog watchdog(60);
    AppendOnEveryRead growth(database_, "\r\n" + kGrownStation);
    const DatabaseStart start = readDatabaseStart(database_);
    EXPECT_GT(growth.stop(), 0);
    EXPECT_TRUE(start.readable);
    EXPECT_EQ(digestOf(start.headingLine), Digest::of(heading));
    EXPECT_EQ(start.firstStation, std::nullopt);
}

TEST_F(HostileFolder, ExportStopsAtTheSizeAtOpening) {
    constexpr std::size_t kCount = 4'000'000 / 18;
    writeFile(database_, kHeading + "\r\n" + stations(kCount));
    const Watchdog watchdog(60);
    AppendOnEveryRead growth(database_, kGrownStation);
    const ExportResult result = writeCallsignList(database_, list_, true, StationSelection::All);
    EXPECT_GT(growth.stop(), 0);
    EXPECT_EQ(result.status, Status::Written);
    EXPECT_EQ(result.stationsWritten, kCount);
    EXPECT_EQ(Digest::of(readFile(list_)), Digest::of(listOf(kCount)));
}

#endif

TEST_F(HostileFolder, SearchStopsAtTheSizeAtOpening) {
    // Three search blocks; the hits in the first make the file grow.
    constexpr std::size_t kCount = 3 * kSearchBlockSize / 18;
    writeFile(database_, kHeading + "\r\n" + stations(kCount));
    const Watchdog watchdog(60);
    std::vector<std::string> hits;
    const ScanOutcome outcome =
        scanForHits(database_, SearchPattern::fromUtf8(";X;"), [&](std::string_view line) {
            hits.emplace_back(line);
            if (hits.size() <= 10) {
                appendToFile(database_, kGrownStation);
            }
            return true;
        });
    EXPECT_EQ(outcome.end, ScanEnd::EndOfFile);
    EXPECT_EQ(outcome.hits, kCount);
    ASSERT_EQ(hits.size(), kCount);
    EXPECT_EQ(hits.back(), stationCallsign(kCount - 1) + ";X;jo62qm");
}

} // namespace
} // namespace kelmora
