// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/call3_update.h"
#include "support/database_heading.h"
#include "support/file_bytes.h"
#include "support/platform.h"
#include "support/printing.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace kelmora {
namespace {

using testing::PrintTo;

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

const std::string kHeadingLine = testing::kHeading + "\r\n";
const Call3Source kSource{"ms195.txt", "2026-12-07"};

// The line an update with kSource writes.
std::string ownLine(int added, int changed) {
    return "// Kelmora-Database-Viewer update 2026-12-07 from ms195.txt: " + std::to_string(added) +
           " added, " + std::to_string(changed) + " changed";
}

// A new list gets the system's line end.
const std::string kNewLineEnd = testing::kWindows ? "\r\n" : "\n";

// Lines "AA00000,JO62,,," on: more than a megabyte for 80,000 of them.
std::string manyLines(int from, int to) {
    std::string lines;
    for (int i = from; i < to; ++i) {
        std::string number = std::to_string(i);
        lines += "AA" + std::string(5 - number.size(), '0') + number + ",JO62,,,\r\n";
    }
    return lines;
}

class Call3List : public ::testing::Test {
protected:
    Call3Result run() { return updateCall3List(database_, list_, true, kSource); }

    const testing::TempFolder temp_;
    const fs::path database_ = temp_.path() / "ms195.txt";
    const fs::path list_ = temp_.path() / "CALL3.TXT";
    const fs::path backup_ = temp_.path() / "CALL3_backup.TXT";
};

struct MergeCase {
    const char* name;
    std::string stations; // database lines after the heading
    std::optional<std::string> oldList;
    std::string newList;
    LookupCounts counts;
};

class Merges : public Call3List, public ::testing::WithParamInterface<MergeCase> {};

// The old list stays beside the new one, byte for byte; a new list has no backup.
TEST_P(Merges, GiveTheListAndKeepTheOldOne) {
    const MergeCase& c = GetParam();
    writeFile(database_, kHeadingLine + c.stations);
    if (c.oldList) {
        writeFile(list_, *c.oldList);
    }
    const Call3Result result = run();
    ASSERT_EQ(result.status, ExportResult::Status::Written) << result.failedFile;
    EXPECT_EQ(readFile(list_), c.newList);
    EXPECT_EQ(result.counts, c.counts);
    EXPECT_EQ(fs::exists(backup_), c.oldList.has_value());
    if (c.oldList) {
        EXPECT_EQ(readFile(backup_), *c.oldList);
        EXPECT_EQ(result.backupFile, backup_);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(temp_.path()), fs::directory_iterator()),
              c.oldList ? 3 : 2); // nothing else left behind
}

const MergeCase kMerges[] = {
    {"NewListSortedWithTheSystemsLineEnd",
     "QQ2BBB;x;jo62qm\r\nQQ1AAA;x;JN48\r\n",
     std::nullopt,
     ownLine(2, 0) + kNewLineEnd + "QQ1AAA,JN48,,," + kNewLineEnd + "QQ2BBB,JO62QM,,," +
         kNewLineEnd,
     {.added = 2}},
    {"GridChangedOtherFieldsKept",
     "QQ1ABC;x;jo50aa\r\nQQ2EME;x;IO91WM\r\n",
     "QQ1ABC,JO62QM,,,\nQQ2EME,JO01,EME,QRV 432,2019-03-01\nQQ3OLD,KO12,,,\n",
     ownLine(0, 2) + "\nQQ1ABC,JO50AA,,,\nQQ2EME,IO91WM,EME,QRV 432,2019-03-01\nQQ3OLD,KO12,,,\n",
     {.changed = 2}},
    {"SameGridUnchanged",
     "QQ1ABC;x;jo62qm\r\n",
     "QQ1ABC,JO62QM,,,\n",
     ownLine(0, 0) + "\nQQ1ABC,JO62QM,,,\n",
     {.unchanged = 1}},
    // Comments first in their order, the own line after the version line,
    // "ZZZZ" lines last.
    {"CommentsFirstEndLast",
     "QQ5NEW;x;JO62\r\n",
     "// Version: 2024-01-01\n// all stations\nQQ1ABC,JO62,,,\nZZZZ,end\n// late note\n"
     "ZZZZZZ\nQQ9ZZZ,JN48,,,\n",
     "// Version: 2024-01-01\n" + ownLine(1, 0) +
         "\n// all stations\n// late note\nQQ1ABC,JO62,,,\nQQ5NEW,JO62,,,\nQQ9ZZZ,JN48,,,\n"
         "ZZZZ,end\nZZZZZZ\n",
     {.added = 1}},
    // A comment is no database's heading line, whatever it says.
    {"CommentLikeAHeadingLine",
     "QQ2B;x;JO62\r\n",
     "//;CALL;LOCATOR\n// Version: 1\nQQ1A,JO01,,,\n",
     "//;CALL;LOCATOR\n// Version: 1\n" + ownLine(1, 0) + "\nQQ1A,JO01,,,\nQQ2B,JO62,,,\n",
     {.added = 1}},
    {"EarlierOwnLineReplaced",
     "QQ1ABC;x;jo62qm\r\n",
     "// Version: 2024-01-01\nQQ0A,JO01,,,\n"
     "// Kelmora-Database-Viewer update 2025-01-01 from ms190.txt: 9 added, 9 changed\n",
     "// Version: 2024-01-01\n" + ownLine(1, 0) + "\nQQ0A,JO01,,,\nQQ1ABC,JO62QM,,,\n",
     {.added = 1}},
    // The first station of a callsign counts, the first with a locator
    // when the others have none; in and out of the list alike.
    {"DuplicatesFirstCounts",
     "QQ1ABC;x;JO62\r\nQQ1ABC;x;JO01\r\nQQ7NEW;x;\r\nQQ7NEW;x;KO12\r\nqq7new;x;JN48\r\n",
     "QQ1ABC,IO91,,,\n",
     ownLine(1, 1) + "\nQQ1ABC,JO62,,,\nQQ7NEW,KO12,,,\n",
     {.added = 1, .changed = 1, .invalidLocator = 1, .duplicate = 2}},
    {"LowerCaseAndPaddedCallsAndLocators",
     " qq1abc ;x; jo62qm \r\n\"Qq2b\";x;\"Jn48\"\r\n",
     "QQ1ABC,JO01,,,\n",
     ownLine(1, 1) + "\nQQ1ABC,JO62QM,,,\nQQ2B,JN48,,,\n",
     {.added = 1, .changed = 1}},
    {"InvalidStationsLeftOut",
     "QQ1ABC/P;x;JO62\r\nQQ1;x;JS62\r\nQQ2;x;JO62YA\r\nQQ3;x;JO6\r\nQQ4;x;JO62Q\r\n"
     "QQ5;x;\r\nQ1;x;JO62\r\nQQ1ABCDEFGHIJ;x;JO62\r\nQQ1\xC4"
     "B;x;JO62\r\nZZZZ1;x;JO62\r\nQQ 1;x;JO62\r\nQQ6;x;AA00XX\r\n",
     std::nullopt,
     ownLine(1, 0) + kNewLineEnd + "QQ6,AA00XX,,," + kNewLineEnd,
     {.added = 1, .slashInCall = 1, .invalidCall = 5, .invalidLocator = 5}},
    {"CrLfListKeepsCrLf",
     "QQ2B;x;JO62\r\n",
     "// Version: 1\r\nQQ1A,JO01,,,\r\nQQ3C,JO02,,,\r\n",
     "// Version: 1\r\n" + ownLine(1, 0) + "\r\nQQ1A,JO01,,,\r\nQQ2B,JO62,,,\r\nQQ3C,JO02,,,\r\n",
     {.added = 1}},
    {"LfListKeepsLfAndLosesStrayCr",
     "QQ2B;x;JO62\r\n",
     "QQ1A,JO01,,,\nQQ3C,JO02,,,\r\nQQ4D,JO03",
     ownLine(1, 0) + "\nQQ1A,JO01,,,\nQQ2B,JO62,,,\nQQ3C,JO02,,,\nQQ4D,JO03\n",
     {.added = 1}},
    // Every CR before an LF belongs to the line end: a line written with one
    // left over would lose it at the next update, which would change it again.
    {"LfListLosesEveryCrAtALinesEnd",
     "QQ2B;x;JO62\r\n",
     "QQ1A,JO01,,,\nQQ3C,JO02,,,\r\r\nQQ4D,J\rO03\r\r",
     ownLine(1, 0) + "\nQQ1A,JO01,,,\nQQ2B,JO62,,,\nQQ3C,JO02,,,\nQQ4D,J\rO03\n",
     {.added = 1}},
    // Malformed lines stay, sorted by the text before their first comma;
    // a locator written into a line gets a comma behind it.
    {"MalformedLinesStay",
     "QQ1ABC;x;JO62\r\nQQ2B;x;JO01AA\r\n",
     "no comma here\n qq1abc,JO62,,,\nQQ1ABC\n\nQQ2B,JO62QM\n\xE4\xF6,x\n",
     ownLine(0, 2) + "\n\n qq1abc,JO62,,,\nQQ1ABC,JO62,\nQQ2B,JO01AA,\nno comma here\n\xE4\xF6,x\n",
     {.changed = 2}},
    {"UnsortedListSortedKeepingTheOrderOfEqualCalls",
     "",
     "QQ3C,JO01,,,\nQQ1A,JO02,first\nQQ2B,JO03,,,\nQQ1A,JO04,second\n",
     ownLine(0, 0) + "\nQQ1A,JO02,first\nQQ1A,JO04,second\nQQ2B,JO03,,,\nQQ3C,JO01,,,\n",
     {}},
    // Rewritten in upper case, but no station moved.
    {"LocatorDifferingOnlyInCaseUnchanged",
     "2E0AAG;x;IO82VE\r\nQQ1A;x;JO62\r\n",
     "2E0AAG,IO82ve,,,\nQQ1A,jo62,first\nQQ1A,JO62,second\n",
     ownLine(0, 0) + "\n2E0AAG,IO82VE,,,\nQQ1A,JO62,first\nQQ1A,JO62,second\n",
     {.unchanged = 2}},
    // The comma after the locator that a changed line gets: some readers
    // skip a line without it.
    {"ConfirmedLocatorGetsItsComma",
     "QQ1ABC;x;JO62\r\n",
     "QQ1ABC,JO62\n",
     ownLine(0, 0) + "\nQQ1ABC,JO62,\n",
     {.unchanged = 1}},
    {"CallTwiceInTheListGetsItInBothLines",
     "QQ1A;x;KO12\r\n",
     "QQ1A,JO02,first\nQQ1A,JO04,second\n",
     ownLine(0, 1) + "\nQQ1A,KO12,first\nQQ1A,KO12,second\n",
     {.changed = 1}},
    {"ByteOrderMarkStaysFirst",
     "QQ1A;x;KO12\r\n",
     "\xEF\xBB\xBF// Version: 1\nQQ1A,JO02,,,\n",
     "\xEF\xBB\xBF// Version: 1\n" + ownLine(0, 1) + "\nQQ1A,KO12,,,\n",
     {.changed = 1}},
    // Long stretches of untouched lines go out as they were, around the
    // lines that change.
    {"LongListAroundChanges",
     "AA40000;x;JO01\r\nAA40000A;x;JO02\r\nAA79999;x;JO62\r\n",
     "// Version: 1\r\n" + manyLines(0, 80'000),
     "// Version: 1\r\n" + ownLine(1, 1) + "\r\n" + manyLines(0, 40'000) +
         "AA40000,JO01,,,\r\nAA40000A,JO02,,,\r\n" + manyLines(40'001, 80'000),
     {.added = 1, .changed = 1, .unchanged = 1}},
    {"EmptyListFileKeptAsBackup",
     "QQ1A;x;KO12\r\n",
     "",
     ownLine(1, 0) + kNewLineEnd + "QQ1A,KO12,,," + kNewLineEnd,
     {.added = 1}},
};

INSTANTIATE_TEST_SUITE_P(Lists, Merges, ::testing::ValuesIn(kMerges),
                         [](const auto& info) { return std::string(info.param.name); });

// A second update from the same database changes only the comment line.
TEST_F(Call3List, SecondUpdateChangesOnlyItsOwnLine) {
    writeFile(database_, kHeadingLine + "QQ1ABC;x;jo62qm\r\nQQ2B;x;JO01\r\nQQ1ABC;x;JO02\r\n");
    writeFile(list_, "// Version: 1\r\nQQ0A,JO01,EME,,\r\nQQ1ABC,IO91,,,\r\nZZZZ\r\n");
    ASSERT_EQ(run().status, ExportResult::Status::Written);
    const std::string first = readFile(list_);
    const Call3Result second = updateCall3List(database_, list_, true, {"ms196.txt", "2027-01-31"});
    ASSERT_EQ(second.status, ExportResult::Status::Written);
    EXPECT_EQ(second.counts, (LookupCounts{.unchanged = 2, .duplicate = 1}));
    std::string expected = first;
    const std::string oldLine = ownLine(1, 1);
    expected.replace(expected.find(oldLine), oldLine.size(),
                     "// Kelmora-Database-Viewer update 2027-01-31 from ms196.txt: 0 added, 0 "
                     "changed");
    EXPECT_EQ(readFile(list_), expected);
    EXPECT_EQ(readFile(backup_), first);
}

TEST(Call3BackupPath, TakesTheSuffixOfTheList) {
    EXPECT_EQ(call3BackupPath(fs::path("w") / "CALL3.TXT"), fs::path("w") / "CALL3_backup.TXT");
    EXPECT_EQ(call3BackupPath("calls"), fs::path("calls_backup"));
}

} // namespace
} // namespace kelmora
