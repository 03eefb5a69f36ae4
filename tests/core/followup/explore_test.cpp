#include "followup/explore.h"

#include <gtest/gtest.h>

#include "followup_test_util.h"
#include "setup/accounts.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

std::string SheetText(const std::string& book) {
  return JoinLines({"Ver.A 1.0;Arithmetic;00000000;UP.Y", "#[0/0/2/-1;s;0;0]",
                    "#[/x.QST\xA6" + book + "\xA6Level]", "#[]", "#[]", "#[  ]", "1 + 1 = {2}"});
}

struct ExploreFixture {
  test::TestContext tc;
  std::string own = tc.ctx.folders.UserFolder("pupil") + "Qst/";

  std::string Sheet(const std::string& relativeToOwn, const std::string& book) {
    return tc.dir.Write(own.substr(tc.dir.Path().size()) + relativeToOwn, SheetText(book));
  }
};

TEST(ExploreTest, BooksWithSheetsAreListedByTheNameInTheirFirstSheet) {
  ExploreFixture f;
  f.Sheet("Arithmetic/b.QST", "Arithmetic");
  f.Sheet("Arithmetic/a.QST", "Arithmetic (first)");
  EnsureFolder(f.own + "Empty/");
  f.tc.dir.Write(f.own.substr(f.tc.dir.Path().size()) + "Empty/notes.JOB", "job");
  f.Sheet("Nameless/x.QST", "");
  f.tc.ctx.trace.SwitchOn();
  const std::vector<ExploreBook> books = FillBooks(f.tc.ctx, f.own);
  ASSERT_EQ(books.size(), 2u);
  EXPECT_EQ(books[0].text, "Arithmetic (first)");
  EXPECT_EQ(books[0].folder, f.own + "Arithmetic/");
  EXPECT_EQ(books[1].text, "er02: Nameless");
  EXPECT_EQ(f.tc.ctx.trace.Lines().back(),
            "InitFormfmRechQST-001-> sNomTitreLivre <- er02: Nameless");
  EXPECT_TRUE(FillBooks(f.tc.ctx, f.own + "missing/").empty());
}

TEST(ExploreTest, TheNewestSheetIsMarkedAndTheChoiceBecomesTheLastSheet) {
  ExploreFixture f;
  const DateTime now = f.tc.clock.Now();
  test::SetFileTime(f.Sheet("Arithmetic/a.QST", "Arithmetic"), test::DaysBefore(now, 2));
  test::SetFileTime(f.Sheet("Arithmetic/b.QST", "Arithmetic"), test::DaysBefore(now, 1));
  test::SetFileTime(f.Sheet("Arithmetic/c.QST", "Arithmetic"), test::DaysBefore(now, 3));
  ExplorePractices window(f.tc.ctx);
  ASSERT_EQ(window.Fill(f.own).size(), 1u);
  const ExploreSheets& sheets = window.OpenBook(0);
  EXPECT_EQ(sheets.names, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(sheets.newest, 1);

  EXPECT_FALSE(window.ChooseSheet("pupil", 7));
  EXPECT_TRUE(window.ChooseSheet("pupil", 2));
  const std::string account = f.tc.ctx.folders.UserFolder("pupil") + kAccountIni;
  EXPECT_EQ(IniReadString(account, "Last Input", "Nom 2", ""), f.own + "Arithmetic/c.QST");
  // A name that leaves the book folder is no sheet.
  EXPECT_FALSE(ChooseSheet(f.tc.ctx, "pupil", f.own + "Arithmetic/", "../Arithmetic/a"));
  window.Close();
  EXPECT_TRUE(window.Books().empty());
  EXPECT_TRUE(window.Sheets().names.empty());
}

TEST(ExploreTest, TheSharedFolderAndBack) {
  ExploreFixture f;
  f.Sheet("Arithmetic/a.QST", "Arithmetic");
  f.tc.dir.Write(f.tc.ctx.folders.sharedDir.substr(f.tc.dir.Path().size()) + "Fractions/s.QST",
                 SheetText("Fractions"));
  ExplorePractices window(f.tc.ctx);
  window.Fill(f.own);
  window.OpenBook(0);
  const std::vector<ExploreBook>& shared = window.SetShared(true);
  ASSERT_EQ(shared.size(), 1u);
  EXPECT_EQ(shared[0].text, "Fractions");
  EXPECT_TRUE(window.Sheets().names.empty());
  EXPECT_EQ(window.FolderInUse(), f.tc.ctx.folders.sharedDir);
  const std::vector<ExploreBook>& own = window.SetShared(false);
  ASSERT_EQ(own.size(), 1u);
  EXPECT_EQ(own[0].text, "Arithmetic");
}

}  // namespace
}  // namespace quillo
