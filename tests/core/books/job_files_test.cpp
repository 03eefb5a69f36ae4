#include "books/job_files.h"

#include <gtest/gtest.h>

#include "book_test_support.h"
#include "shell/error.h"
#include "shell/trace_log.h"

namespace quillo {
namespace {

using test::Bars;
using test::TempDir;

TdBaseJob Record(const std::string& code, const std::string& title) {
  TdBaseJob r;
  r.Code = code;
  r.Title = title;
  r.Example = "Heading;maison;Haus;house";
  r.Quantity = "4";
  r.LineCount = "6";
  r.Location = "345-678";
  r.MergeGroup = "A";
  r.SpCode = "VO1";
  r.LevelKey = "12";
  return r;
}

class JobRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(JobRoundTrip, ReadsBackTheTitlesOfABuiltBook) {
  TempDir dir;
  const std::string key = test::TestKey();
  std::string book = test::BuildInto(dir, "Bib/Sample.IDX", test::SampleSource(), GetParam());
  BookBasics basics = ReadBookBasics(book, key);
  TraceLog trace;
  trace.SwitchOn();
  std::vector<TdBaseJob> records =
      ReadTitleRecords(WalkToLevel(book, "2.1", key, trace)->titleLines);
  ASSERT_EQ(records.size(), 2u);
  records[0].Quantity = "7";  // the user's choices
  records[1].MergeGroup = "C";
  records.push_back(TdBaseJob{});

  std::string path = dir.Path() + "Qst/Sample/My job.JOB";
  JobHeader header{path, basics.title, "Vocabulary", basics.header};
  WriteJob(path, header, records, basics.scrambled, key);

  std::string raw;
  ASSERT_TRUE(ReadWholeFile(path, raw));
  std::vector<std::string> lines = test::RawLines(raw);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");
  // The raw first line tells readers whether the job is scrambled, as the book's header does.
  EXPECT_EQ(IsScrambled(lines[0]), GetParam());
  EXPECT_EQ(lines[1] == RecordToLine(records[0]), !GetParam());

  JobContent job = ReadJob(path, basics.scrambled, key, trace);
  EXPECT_EQ(job.header.Path, path);
  EXPECT_EQ(job.header.BookTitle, basics.title);
  EXPECT_EQ(job.header.LevelName, "Vocabulary");
  EXPECT_EQ(job.header.BookHeader, basics.header);
  for (TdBaseJob& r : records) r.Checked = true;
  EXPECT_EQ(job.records, records);
  EXPECT_TRUE(trace.Lines().empty());
  // A record read back still leads to its exercise lines in the book.
  LineAt first = ReadLineAt(book, LocationOffset(job.records[0].Location), basics.scrambled, key);
  EXPECT_EQ(first.text, Bars("|;{maison};{Haus};{house}|"));
}

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, JobRoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Scrambled" : "Plain"; });

TEST(ReadJob, TracesAMissingBookTitleOrLevelName) {
  TempDir dir;
  const std::string book = "Error:Book Name not fund. 6754021 in ";
  const std::string level = "Error:Level Name not fund. 6754022 in ";
  struct Case {
    std::string content;  // "" : no file at all
    std::vector<std::string> trace;
  } cases[] = {
      {Bars("p|Book|Level|Ver.A\r\n"), {}},
      {Bars("p||Level|Ver.A\r\n"), {book}},
      {Bars("p|Book||Ver.A\r\n"), {level}},
      {"\r\n", {book, level}},
      {"", {book, level}},
  };
  for (const Case& c : cases) {
    std::string path = dir.Path() + "Job.JOB";
    RemoveFile(path);
    if (!c.content.empty()) dir.Write("Job.JOB", c.content);
    TraceLog trace;
    trace.SwitchOn();
    ReadJob(path, false, "", trace);
    std::vector<std::string> expected;
    for (const std::string& line : c.trace) expected.push_back(line + path);
    EXPECT_EQ(trace.Lines(), expected) << c.content;
  }
}

TEST(ReadJob, StopsAtTheFirstLineThatIsNotARecord) {
  TempDir dir;
  std::string r1 = RecordToLine(Record("1.1", "One"));
  std::string path =
      dir.Write("Job.JOB", Bars("p|B|L|Ver.A\r\n") + r1 + Bars("\r\nshort|\r\n") + r1 + "\r\n");
  TraceLog trace;
  EXPECT_EQ(ReadJob(path, false, "", trace).records.size(), 1u);
}

TEST(WriteJob, RefusesWhatCouldNotBeReadBack) {
  TempDir dir;
  std::string path = dir.Path() + "Job.JOB";
  JobHeader header{path, "Book", "Level", "Ver.A"};
  TdBaseJob fits = Record("1.1", "T");
  fits.Example = std::string(kMaxJobLine - RecordToLine(fits).size() + fits.Example.size(), 'e');
  ASSERT_EQ(RecordToLine(fits).size(), kMaxJobLine);
  WriteJob(path, header, {fits}, true, test::TestKey());
  TraceLog trace;
  EXPECT_EQ(ReadJob(path, true, test::TestKey(), trace).records.at(0).Example, fits.Example);

  TdBaseJob tooLong = fits;
  tooLong.Example += "e";
  TdBaseJob withSeparator = Record("1.1", Bars("A|B"));
  TdBaseJob withBreak = Record("1.1", "A\nB");
  struct Case {
    JobHeader header;
    TdBaseJob record;
    std::string message;
  } cases[] = {
      {header, tooLong, "line 2 is longer than 4023 bytes"},
      {header, withSeparator, Bars("a field holds \"|\" or a line break: A|B")},
      {header, withBreak, Bars("a field holds \"|\" or a line break: A\nB")},
      {{path, Bars("Bo|ok"), "Level", "Ver.A"},
       fits,
       Bars("a field holds \"|\" or a line break: Bo|ok")},
  };
  for (const Case& c : cases) {
    try {
      WriteJob(path, c.header, {c.record}, false, "");
      ADD_FAILURE() << c.message;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot write job " + path + ": " + c.message);
    }
  }
  // The job written before is untouched.
  EXPECT_EQ(ReadJob(path, true, test::TestKey(), trace).records.at(0).Example, fits.Example);
}

}  // namespace
}  // namespace quillo
