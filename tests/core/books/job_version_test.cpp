#include "books/job_version.h"

#include <gtest/gtest.h>

#include "book_test_support.h"
#include "books/job_files.h"
#include "books/progress_files.h"
#include "books/sheet_files.h"
#include "engine/text_toolkit.h"
#include "shell/file_utils.h"
#include "sheet_test_support.h"

namespace quillo {
namespace {

using test::Pick;
using test::TestContext;

// Version 1 and 2 of a book: in version 2 "Apples" and "Pears" swapped their codes, "Plums"
// moved from 2.1 to 3.1 and "Cherries" is gone.
std::string SourceV1(const std::string& header) {
  return "book: Versions\nheader: " + header +
         "\n"
         "level 1: One\n"
         "title: Apples\n  quantity: 2\n  > a1\n  > a2\n  > a3\n"
         "title: Pears\n  quantity: 1\n  > p1\n"
         "level 2: Two\n"
         "title: Plums\n  quantity: 1\n  > q1\n"
         "title: Cherries\n  quantity: 1\n  > c1\n";
}
std::string SourceV2(const std::string& header) {
  return "book: Versions\nheader: " + header +
         "\n"
         "level 1: One\n"
         "title: Pears\n  quantity: 1\n  > p1\n  > p2\n"
         "title: Apples\n  quantity: 1\n  > a1\n  > a2\n"
         "level 3: Three\n"
         "title: Plums\n  quantity: 1\n  > q1\n";
}

struct VersionFixture {
  VersionFixture(bool scrambled, bool byCode) {
    test::InstallTestKey(tc);
    tc.ctx.trace.SwitchOn();
    std::string v = scrambled ? "Ver.C" : "Ver.A";
    std::string upy = byCode ? ";UP.Y" : "";
    oldHeader = v + " 1.0;Fruit;00000000" + upy;
    newHeader = v + " 2.0;Fruit;00000000" + upy;
    std::string old =
        test::BuildInto(tc.dir, "old/Versions.IDX", SourceV1(oldHeader), scrambled);
    oldTitles = test::AllTitles(old, test::TestKey());
    book = test::BuildInto(tc.dir, "program/Tremsol/Bib/Versions.IDX", SourceV2(newHeader),
                           scrambled);
    newTitles = test::AllTitles(book, test::TestKey());
    folder = tc.ctx.folders.UserFolder("Marie") + "Qst/Versions/";
    key = scrambled ? test::TestKey() : "";
    this->scrambled = scrambled;
  }
  // A job of the old version with the titles of those codes, quantity 5, merge letter "C".
  std::string Job(const std::string& name, const std::vector<std::string>& codes) {
    std::vector<TdBaseJob> records = Pick(oldTitles, codes);
    for (TdBaseJob& r : records) {
      r.Quantity = "5";
      r.MergeGroup = "C";
    }
    std::string path = folder + name;
    WriteJob(path, {path, "Versions", "Mixe", oldHeader}, records, scrambled, key);
    return path;
  }
  // The record lines of a file after its header, and its header's book header.
  std::vector<TdBaseJob> Records(const std::string& path) {
    std::vector<std::string> lines = ReadDerivedFile(tc.ctx, path).lines;
    return ReadTitleRecords({lines.begin() + 1, lines.end()});
  }
  std::string StoredHeader(const std::string& path) {
    return SplitToStrings('\xA6', ReadDerivedFile(tc.ctx, path).lines.at(0)).at(3);
  }
  // The new record of that code with the job's quantity and merge letter.
  TdBaseJob Moved(const std::string& code, const std::string& lineCount) {
    TdBaseJob r = Pick(newTitles, {code})[0];
    r.Checked = false;
    r.Quantity = "5";
    r.MergeGroup = "C";
    r.LineCount = lineCount;
    return r;
  }

  TestContext tc;
  std::string oldHeader, newHeader, book, folder, key;
  bool scrambled = false;
  std::vector<TdBaseJob> oldTitles, newTitles;
};

TEST(CheckJobVersion, MigratesEveryJobOfTheFolderByTitle) {
  for (bool scrambled : {false, true}) {
    SCOPED_TRACE(scrambled ? "scrambled" : "plain");
    VersionFixture f(scrambled, false);
    std::string a = f.Job("A.JOB", {"1.1", "1.2", "2.1", "2.2"});
    std::string b = f.Job("B.JOB", {"2.2"});
    EXPECT_TRUE(CheckJobVersion(f.tc.ctx, a));

    ASSERT_EQ(f.tc.msgBox.Shown().size(), 1u);
    const ShownMessage& box = f.tc.msgBox.Shown()[0];
    EXPECT_EQ(box.title, "Version");
    EXPECT_EQ(box.line1, "New version detected !");
    EXPECT_EQ(box.line2, "File update...");
    EXPECT_EQ(f.tc.progress.steps, (std::vector<std::string>{"A.JOB [1/2]", "B.JOB [2/2]"}));

    // Apples (old 1.1) is found at or after position 1.1: new 1.2, its old line count 3 cut to
    // the new title's 2. Pears (old 1.2) is not found at or after 1.2; Plums lost its code 2.1;
    // Cherries is gone.
    EXPECT_EQ(f.StoredHeader(a), f.newHeader);
    EXPECT_EQ(f.Records(a), (std::vector<TdBaseJob>{f.Moved("1.2", "2")}));
    EXPECT_EQ(IsScrambled(test::RawLines(f.tc.dir.Read(a.substr(f.tc.dir.Path().size())))[0]),
              scrambled);
    // B kept nothing and is gone.
    EXPECT_FALSE(FileExists(b));
  }
}

TEST(CheckJobVersion, ByCodeALineKeepsItsPlace) {
  VersionFixture f(false, true);
  std::string a = f.Job("A.JOB", {"1.1", "1.2", "2.1"});
  EXPECT_TRUE(CheckJobVersion(f.tc.ctx, a));
  EXPECT_EQ(f.Records(a), (std::vector<TdBaseJob>{f.Moved("1.1", "2"), f.Moved("1.2", "1")}));
}

TEST(CheckJobVersion, CurrentEmptyAndRefused) {
  VersionFixture f(false, false);
  // Made from the current version: untouched, no box.
  std::string current = f.folder + "Current.JOB";
  WriteJob(current, {current, "Versions", "Mixe", f.newHeader}, Pick(f.newTitles, {"1.1"}), false,
           "");
  std::string before = f.tc.dir.Read(current.substr(f.tc.dir.Path().size()));
  EXPECT_TRUE(CheckJobVersion(f.tc.ctx, current));
  EXPECT_EQ(f.tc.dir.Read(current.substr(f.tc.dir.Path().size())), before);
  EXPECT_TRUE(f.tc.msgBox.Shown().empty());

  // An empty first line: deleted, with the trace line.
  std::string empty = f.tc.dir.Write("appdata/Tremsol/Users/Marie/Qst/Versions/Empty.JOB",
                                     "\r\nsomething\r\n");
  EXPECT_FALSE(CheckJobVersion(f.tc.ctx, empty));
  EXPECT_FALSE(FileExists(empty));
  EXPECT_EQ(f.tc.ctx.trace.Lines().back(), std::string(kEmptyJobTrace) + empty);

  // Refusing the box deletes the file checked and nothing else.
  std::string a = f.Job("A.JOB", {"1.1"});
  std::string b = f.Job("B.JOB", {"1.1"});
  f.tc.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(CheckJobVersion(f.tc.ctx, a));
  EXPECT_FALSE(FileExists(a));
  EXPECT_TRUE(FileExists(b));
  EXPECT_EQ(f.StoredHeader(b), f.oldHeader);
  EXPECT_TRUE(FileExists(current));

  // A book that cannot be read changes nothing.
  EXPECT_TRUE(CheckJobVersion(f.tc.ctx, b, f.tc.dir.Path() + "missing.IDX"));
  EXPECT_EQ(f.StoredHeader(b), f.oldHeader);
}

TEST(CheckJobVersion, ProgressFilesAndTheirStates) {
  VersionFixture f(false, false);
  std::string ul = f.folder + "UL/";
  JobHeader header{f.book, "Versions", "Mixe", f.oldHeader};
  auto lines = [&](const std::vector<std::string>& codes) {
    std::vector<std::string> out;
    for (const TdBaseJob& r : Pick(f.oldTitles, codes)) out.push_back(RecordToLine(r));
    return out;
  };
  std::string week = ul + "Week.STP";
  std::string gone = ul + "Gone.STP";
  WriteProgressFile(f.tc.ctx, week, header, lines({"1.1", "1.2", "2.1"}), true);
  WriteProgressFile(f.tc.ctx, gone, header, lines({"2.2"}), true);
  ProgressState state = ReadProgressState(StatePathOf(week));
  state.StartPos = 2;
  WriteProgressState(StatePathOf(week), state);

  EXPECT_TRUE(CheckJobVersion(f.tc.ctx, week));
  std::vector<TdBaseJob> kept = f.Records(week);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].Code, "1.2");
  state = ReadProgressState(StatePathOf(week));
  EXPECT_EQ(state.TotPosCount, 1);
  EXPECT_EQ(state.StartPos, 1);
  EXPECT_FALSE(FileExists(gone));
  EXPECT_FALSE(FileExists(StatePathOf(gone)));
}

TEST(MigrateRecordLines, LineCountNeverAboveTheNewTitles) {
  TdBaseJob n1{false, "1.1", "Apples", "", "1", "4", "10-", "", "", "", "", ""};
  TdBaseJob old = n1;
  old.Quantity = "3";
  old.MergeGroup = "B";
  for (const auto& [oldCount, keptCount] :
       std::vector<std::pair<std::string, std::string>>{{"2", "2"}, {"9", "4"}, {"", ""}}) {
    old.LineCount = oldCount;
    TdBaseJob expected = n1;
    expected.Quantity = "3";
    expected.MergeGroup = "B";
    expected.LineCount = keptCount;
    EXPECT_EQ(MigrateRecordLines({RecordToLine(old), "", "junk"}, {n1}, true),
              std::vector<std::string>{RecordToLine(expected)});
  }
}

TEST(ProgressWindow, SpinnerBySteppingFive) {
  struct Case {
    int bar;
    const char* text;
  } cases[] = {{0, " | "},  {4, " | "}, {5, "/"},  {14, "---"}, {15, "\\"}, {60, "---"},
               {65, "\\"}, {90, "*"},  {95, " \xA6 "}, {99, " \xA6 "}, {250, " \xA6 "}, {-3, " | "}};
  for (const Case& c : cases) EXPECT_EQ(ProgressSpinner(c.bar), c.text) << c.bar;
  EXPECT_EQ(ProgressStepText(3, 7), "[3] /");
}

}  // namespace
}  // namespace quillo
