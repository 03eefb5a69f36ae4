#include "books/book_files.h"

#include <gtest/gtest.h>

#include "book_test_support.h"
#include "shell/trace_log.h"

namespace quillo {
namespace {

using test::Bars;
using test::TempDir;

TEST(BookOptions, ReadsTheOptionCodeByPosition) {
  struct Case {
    const char* header;
    const char* code;
    bool positional;
    const char* practice1;
    const char* practice2;
    char type;
  } cases[] = {
      {"Ver.A;Book;0102A000;UP.Y", "0102A000", true, "01", "02", 'A'},
      {"Ver.A;Book; 3344B000 ", "3344B000", true, "33", "44", 'B'},
      {"Ver.A;Book;0102A00", "0102A00", false, "", "", '\0'},  // 7 characters: not read
      {"Ver.A", "", false, "", "", '\0'},
  };
  for (const Case& c : cases) {
    BookOptions o = ReadBookOptions(c.header);
    EXPECT_EQ(o.code, c.code) << c.header;
    EXPECT_EQ(o.positional, c.positional) << c.header;
    EXPECT_EQ(o.practice1, c.practice1) << c.header;
    EXPECT_EQ(o.practice2, c.practice2) << c.header;
    EXPECT_EQ(o.typeLetter, c.type) << c.header;
  }
  EXPECT_TRUE(HasAnswerBank("Ver.A;Vocabulary;0000A000"));
  EXPECT_FALSE(HasAnswerBank("Ver.A;Vocabulary;0000B000"));
  EXPECT_TRUE(UpdatesByCode("Ver.A;Book;0000A000;UP.Y"));
  EXPECT_FALSE(UpdatesByCode("Ver.A;Book;0000A000;up.y"));
}

TEST(BookTrailer, ReadsBothOffsets) {
  struct Case {
    const char* trailer;
    int64_t level;
    int64_t title;
  } cases[] = {
      {"#R|=120|#E|=456|", 120, 456},
      {"#E|=456|#R|=120|", 120, 456},
      {"#E|=456|", -1, 456},                  // no "#R¦="
      {"#R|=12x|#E|=4|", -1, 4},              // not a number
      {"#R|=120#E|=4|", -1, 4},               // no "¦" after the number
      {"#R|=99999999999999999999|", -1, -1},  // too long to be an offset
      {"", -1, -1},
  };
  for (const Case& c : cases) {
    BookTrailer t = ParseBookTrailer(Bars(c.trailer));
    EXPECT_EQ(t.levelOffset, c.level) << c.trailer;
    EXPECT_EQ(t.titleOffset, c.title) << c.trailer;
  }
}

TEST(LevelInfo, GivesTheOffsetsToGoBackAndToEnter) {
  struct Case {
    const char* info;
    int64_t back;
    int64_t enter;
  } cases[] = {
      {"12.345-67.890", 12345, 67890},
      {"100-250", 100, 250},
      {"100-x2", 100, 7},
      {"a-250", 7, 250},
      {"250", 7, 7},
      {"", 7, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LevelBackOffset(c.info, 7), c.back) << c.info;
    EXPECT_EQ(LevelEnterOffset(c.info, 7), c.enter) << c.info;
  }
}

TEST(VocabularyColumns, NeedExactlyThreeSemicolons) {
  EXPECT_TRUE(HasVocabularyColumns("Heading;maison;Haus;house"));
  EXPECT_TRUE(HasVocabularyColumns(";;;"));
  EXPECT_FALSE(HasVocabularyColumns("a;b;c"));
  EXPECT_FALSE(HasVocabularyColumns("a;b;c;d;e"));
}

TEST(TitleRecords, CutElevenFieldsAndStopAtAShortLine) {
  TdBaseJob r;
  r.Code = "2.1.3";
  r.Title = "At home";
  r.Example = "Heading;FR;DE;EN";
  r.Quantity = "3";
  r.LineCount = "5";
  r.Location = "120-300";
  r.MergeGroup = "A";
  r.SpCode = "VO1";
  r.LevelKey = "";
  r.Extra10 = "x";
  r.Extra11 = "y";
  std::string line = RecordToLine(r);
  EXPECT_EQ(line, Bars("2.1.3|At home|Heading;FR;DE;EN|3|5|120-300|A|VO1||x|y|"));
  EXPECT_EQ(LineToRecord(line), r);
  // Text after the eleventh "¦" is not part of the record.
  EXPECT_EQ(LineToRecord(line + Bars("more|")), r);
  EXPECT_FALSE(LineToRecord(line.substr(0, line.size() - 1)).has_value());

  std::vector<TdBaseJob> records = ReadTitleRecords({line, line, Bars("#P|"), line});
  EXPECT_EQ(records.size(), 2u);

  EXPECT_EQ(LocationOffset("1234-5678"), 1234);
  EXPECT_EQ(LocationOffset("1234"), 1234);
  EXPECT_EQ(LocationOffset("-5"), -1);
  EXPECT_EQ(LocationOffset("x1-5"), -1);
}

// One scenario of the two line readers, checked over both.
struct Read {
  int64_t offset;
  std::string text;
  int64_t next;
  bool atEnd;
};

void CheckReads(const std::string& content, bool scrambled, std::size_t window,
                const std::vector<Read>& reads) {
  TempDir dir;
  std::string path = dir.Write("book.IDX", content);
  OffsetLineReader reader(content, scrambled, test::TestKey(), window);
  for (const Read& r : reads) {
    for (bool fromFile : {true, false}) {
      LineAt got = fromFile ? ReadLineAt(path, r.offset, scrambled, test::TestKey(), window)
                            : reader.At(r.offset);
      SCOPED_TRACE("offset " + std::to_string(r.offset) + (fromFile ? " (file)" : " (memory)"));
      EXPECT_EQ(got.text, r.text);
      EXPECT_EQ(got.next, r.next);
      EXPECT_EQ(got.atEnd, r.atEnd);
    }
  }
}

TEST(ReadLineAt, ReadsOneLineThroughTheWindow) {
  const std::string fits(2047, 'a');
  const std::string tooLong(2048, 'b');
  // "abc", a line of 2047 bytes, one of 2048, and a last line without CR LF.
  const std::string content = "abc\r\n" + fits + "\r\n" + tooLong + "\r\ntail";
  const int64_t longAt = 5 + 2049;
  const auto size = static_cast<int64_t>(content.size());
  CheckReads(content, false, kBookWindow,
             {
                 {0, "abc", 5, false},
                 {5, fits, longAt, false},
                 {longAt, "", longAt + 2, false},  // longer than the window
                 {longAt + 2, std::string(2046, 'b'), longAt + 2050, false},
                 {size - 4, "", size - 2, false},  // no CR LF before the end
                 {2, "c", 5, false},               // inside a line: its rest
                 {3, "", 5, false},                // at a CR LF: an empty line
                 {size, "", size, true},
                 {-1, "", -1, true},
             });
  // The job window takes lines of up to 4023 bytes.
  const std::string jobLine(4023, 'j');
  CheckReads(jobLine + "\r\n" + jobLine + "j\r\n", false, kJobWindow,
             {{0, jobLine, 4025, false}, {4025, "", 4027, false}});
}

TEST(ReadLineAt, UnscramblesWithTheBooksFlag) {
  const std::string plain = Bars("1.1|Additions|10-20");
  const std::string content = "x\r\n" + ScrambleLine(plain, true, test::TestKey()) + "\r\n";
  CheckReads(content, true, kBookWindow,
             {{3, plain, 3 + static_cast<int64_t>(plain.size()) + 2, false}});
}

TEST(ReadLineAt, MissingFileReadsNothing) {
  TempDir dir;
  LineAt got = ReadLineAt(dir.Path() + "none.IDX", 0, false, "");
  EXPECT_TRUE(got.atEnd);
  EXPECT_FALSE(FileExists(dir.Path() + "none.IDX"));
}

TEST(FindEdxOffsets, TakesTheFirstOfEachRunOfMatchingLines) {
  TempDir dir;
  std::string book = dir.Write("Book.IDX", "x\r\n");
  auto edx = [&](const std::string& first) {
    dir.Write("Book.EDX", Bars(first + "\r\n"
                                       "1.1.1|0|\r\n"
                                       "1.1.2|40|\r\n"
                                       "1.2.1|80|\r\n"
                                       "1.1.3|120|\r\n"
                                       "1.1.4|x|\r\n"  // not a number: ends a run
                                       "1.1.5|200|\r\n"));
  };
  edx("EDX|1000.5x3:|");
  EXPECT_EQ(FindEdxOffsets(book, "1.1."), (std::vector<int64_t>{1000, 1120, 1200}));
  EXPECT_EQ(FindEdxOffsets(book, "1."), (std::vector<int64_t>{1000, 1200}));
  EXPECT_EQ(FindEdxOffsets(book, "2."), std::vector<int64_t>{});
  // A first line whose fields are not digits makes the file unusable.
  for (const char* bad :
       {"EDX|10a0.53:|", "EDX|1000.5y3:|", "EDX|1000.53|", "EDX|.53:|", "EDX 1000.53:"}) {
    edx(bad);
    EXPECT_EQ(FindEdxOffsets(book, "1.1."), std::vector<int64_t>{}) << bad;
  }
  EXPECT_EQ(FindEdxOffsets(dir.Path() + "Other.IDX", "1.1."), std::vector<int64_t>{});
}

TEST(ListBooks, ListsCaptionsAndSkipsEmptyOnes) {
  TempDir dir;
  std::string source = test::SampleSource();
  std::string plain = test::BuildInto(dir, "Plain.IDX", source, false);
  std::string scrambled = test::BuildInto(dir, "scrambled.idx", source, true);
  dir.Write("Empty.IDX", "\r\nVer.A;x\r\n");
  dir.Write("Notes.txt", "Not a book\r\n");
  std::vector<TtableStr2Col> books = ListBooks(dir.Path(), test::TestKey());
  const std::string caption = "Test book \x96 Calcul & W\xF6rter";
  EXPECT_EQ(books, (std::vector<TtableStr2Col>{{plain, caption, ""}, {scrambled, caption, ""}}));
}

}  // namespace
}  // namespace quillo
