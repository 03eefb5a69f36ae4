#include "books/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "book_test_support.h"
#include "books/job_files.h"
#include "books/sheet_files.h"
#include "engine/text_toolkit.h"
#include "setup/accounts.h"
#include "setup/settings_store.h"
#include "shell/error.h"
#include "shell/ini_file.h"
#include "sheet_test_support.h"

namespace quillo {
namespace {

using test::Bars;
using test::BodyOf;
using test::PartnerValue;
using test::Pick;
using test::QueueRandom;
using test::TestContext;

const char* const kSource = R"(book: Generation book
header: Ver.A 1.0;Generation;00000000;UP.Y
level 1: Lines
title: Seven lines
  example: Seven
  quantity: 3
  > L1
  > L2
  > L3
  > L4
  > L5
  > L6
  > L7
title: First of A
  example: A1
  quantity: 2
  merge: A
  > a1 {1}
  > a2 {2}
title: Between
  example: U
  quantity: 1
  merge: A
  > u1
title: Second of A
  example: A2
  quantity: 2
  merge: A
  > b1 {1}
  > b2 {2}
title: Own group
  example: B
  quantity: 1
  > c1
level 2: Templates
title: Two results
  example: G1
  quantity: 4
  spcode: G1
  > 1~3 + 0_QST()
title: Fixed template
  example: G1n
  quantity: 1
  spcode: G1n
  > 3 + 4_QST()
title: Broken template
  example: Bad
  quantity: 1
  spcode: G1n
  > _rZeroTo(x;7)+1_QST()
title: Vocabulary
  example: V
  quantity: 1
  spcode: VO1
  > ;{maison};{Haus};{house}
)";

// A book of the test source built into the context's book folder.
struct GenFixture {
  explicit GenFixture(const std::string& source = kSource, bool scramble = false) {
    test::InstallTestKey(tc);
    book = test::BuildInto(tc.dir, "program/Tremsol/Bib/Gen.IDX", source, scramble);
    titles = test::AllTitles(book, test::TestKey());
    target.bookPath = book;
    target.sheetPath = tc.dir.Path() + "out/Sheet.QST";
    target.bookTitle = "Generation book";
    target.levelName = "Lines";
  }
  std::vector<std::string> Sheet() { return ReadDerivedFile(tc.ctx, target.sheetPath).lines; }
  SheetResult Generate(const std::vector<std::string>& codes, int total = 0) {
    return GenerateSheet(tc.ctx, target, "s", total, Pick(titles, codes));
  }
  TestContext tc;
  std::string book;
  std::vector<TdBaseJob> titles;
  SheetTarget target;
};

TEST(DrawExercises, SwapsWithPartnersBelowTheLastAndFillsWithZeros) {
  QueueRandom random;
  EXPECT_EQ(DrawExercises(random, 1, 1), std::vector<int>{1});
  EXPECT_EQ(DrawExercises(random, 0, 2), (std::vector<int>{0, 0}));
  for (int i = 0; i < 7; ++i) random.Push(PartnerValue(0, 6));  // every swap with position 0
  EXPECT_EQ(DrawExercises(random, 7, 9), (std::vector<int>{7, 1, 2, 3, 4, 5, 6, 0, 0}));
  // Any draw is a set of distinct lines of the range.
  StdRandomSource seeded;
  seeded.FixSeed(3);
  std::vector<int> drawn = DrawExercises(seeded, 50, 20);
  EXPECT_EQ(std::set<int>(drawn.begin(), drawn.end()).size(), 20u);
  EXPECT_TRUE(std::all_of(drawn.begin(), drawn.end(), [](int d) { return d >= 1 && d <= 50; }));
}

TEST(ExpandTemplate, SortedDistinctAndTheEmptyMarker) {
  QueueRandom random;
  TraceLog trace;
  trace.SwitchOn();
  // Two possible results: both come out, sorted, and nothing more however many are asked for.
  EXPECT_EQ(ExpandTemplate(random, trace, 4, "1~3 + 0_QST()"),
            (std::vector<std::string>{"1 + 0 = {1}", "2 + 0 = {2}"}));
  // A template without random parts gives its one line.
  EXPECT_EQ(ExpandTemplate(random, trace, 5, "3 + 4_QST()"),
            std::vector<std::string>{"3 + 4 = {7}"});
  EXPECT_TRUE(trace.Lines().empty());
  // Every draw rejected, with and without random parts.
  for (const char* t : {"1~3 + 10_LESS(5)", "3 + 4_LESS(5)"}) {
    EXPECT_EQ(ExpandTemplate(random, trace, 2, t), std::vector<std::string>{"Er:ExprEmpty:784:"});
    EXPECT_EQ(trace.Lines().back(), std::string("Error:ExprEmpty:784:") + t);
  }
  EXPECT_THROW(ExpandTemplate(random, trace, 1, "_rZeroTo(x;7)"), Error);
}

TEST(ExpandTemplate, CollationOrder) {
  std::vector<std::string> words = {"b", "B", "a", "\xE9t\xE9", "10", "9", "{x}", "A", "ete"};
  std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
    return CollateLess(a, b);
  });
  EXPECT_EQ(words, (std::vector<std::string>{"{x}", "10", "9", "a", "A", "b", "B", "ete",
                                             "\xE9t\xE9"}));
}

TEST(MaskAnswer, Modes) {
  StdRandomSource random;
  random.FixSeed(11);
  auto shown = [](const std::string& mask) {
    return std::count_if(mask.begin(), mask.end(), [](char c) { return c != '*' && c != ' '; });
  };
  for (int round = 0; round < 20; ++round) {
    std::string four = MaskAnswer(random, "chat", 4);
    ASSERT_EQ(four.size(), 5u);
    EXPECT_EQ(std::count(four.begin(), four.end(), '*'), 1) << four;
    EXPECT_EQ(four.back(), ' ');
    EXPECT_EQ(shown(MaskAnswer(random, "maison", 3)), 2);
    EXPECT_EQ(shown(MaskAnswer(random, "chocolat", 3)), 3);
    EXPECT_EQ(shown(MaskAnswer(random, "maisonnette", 3)), 4);
    EXPECT_EQ(shown(MaskAnswer(random, "chat", 2)), 1);
    std::string two = MaskAnswer(random, "chat", 2);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(two[i] == '*' || two[i] == "chat"[i]);
  }
  EXPECT_EQ(MaskAnswer(random, "chat", 1), "**** ");
  EXPECT_EQ(MaskAnswer(random, " la maison ", 0), "** ****** ");
  EXPECT_EQ(MaskAnswer(random, "la  maison", 1), "** Error Ws6220 ****** ");
}

TEST(AddHints, HintBeforeEveryField) {
  QueueRandom random;
  EXPECT_EQ(AddHints(random, "Paris is in {France}.", 0), "Paris is in {France}.");
  EXPECT_EQ(AddHints(random, "{le} {chat}", 1), "#FoPur_ [** ] $ {le} #FoPur_ [**** ] $ {chat}");
  // After an empty field the rest keep their plain braces.
  EXPECT_EQ(AddHints(random, "{a}{}{b}", 1), "#FoPur_ [* ] $ {a}{}{b}");
}

TEST(BuildLanguageLine, Columns) {
  QueueRandom random;
  GenerationSettings s;
  s.lookAt1 = 2;
  s.tryLookAt2 = 0;
  s.fillIn3 = 1;
  s.modeStar = 0;
  EXPECT_EQ(BuildLanguageLine(random, ";{maison};{Haus};{house}", s, false),
            "#FoPur_DE: $ Haus#Ch13$#FoPur_FR: $ {maison}#EndLig$");
  // Type "A" books get no hints whatever the mode.
  s.modeStar = 1;
  EXPECT_EQ(BuildLanguageLine(random, ";{maison};{Haus};{house}", s, true),
            "#FoPur_DE: $ Haus#Ch13$#FoPur_FR: $ {maison}#EndLig$");
  EXPECT_EQ(BuildLanguageLine(random, ";{maison};{Haus};{house}", s, false),
            "#FoPur_DE: $ Haus#Ch13$#FoPur_FR: $ #FoPur_ [****** ] $ {maison}#EndLig$");
  // A heading, both shown columns with fields, English to fill in.
  s.lookAt1 = 1;
  s.tryLookAt2 = 2;
  s.fillIn3 = 3;
  s.showLookAt1 = true;
  s.showTryLookAt2 = false;
  EXPECT_EQ(BuildLanguageLine(random, "Home ; {maison} ; {Haus} ; {house}", s, false),
            "Home#Ch13$#FoPur_FR: $ #FoPur_ [****** ] $ {maison}#Ch13$#FoPur_DE: $ Haus#Ch13$"
            "#FoPur_EN: $ #FoPur_ [***** ] $ {house}#EndLig$");
  // No heading and no column to look at: the language after the one to fill in is shown.
  s.lookAt1 = 0;
  s.tryLookAt2 = 0;
  s.modeStar = 0;
  EXPECT_EQ(BuildLanguageLine(random, ";{maison};{Haus};{house}", s, false),
            "#FoPur_FR: $ maison#Ch13$#FoPur_EN: $ {house}#EndLig$");
}

TEST(Sentences, ClozeGivesSomeBlanksBack) {
  StdRandomSource random;
  random.FixSeed(5);
  struct Case {
    const char* field;
    long blanksLeft;
  } cases[] = {{"{a} {b}", 2}, {"{a} {b} {c}", 1}, {"{a} {b} {c} {d} {e} {f}", 3},
               {"{1} {2} {3} {4} {5} {6} {7} {8} {9} {10}", 6}};
  for (const Case& c : cases) {
    std::string line = std::string("head;") + c.field + ";" + c.field + ";x";
    std::string reduced = ClozeReduce(random, line);
    std::vector<std::string> fields = SplitToStrings(';', reduced);
    ASSERT_EQ(fields.size(), 4u) << reduced;
    EXPECT_EQ(fields[0], "head");
    for (int f : {1, 2}) {
      EXPECT_EQ(std::count(fields[f].begin(), fields[f].end(), '{'), c.blanksLeft) << reduced;
      EXPECT_EQ(std::count(fields[f].begin(), fields[f].end(), '}'), c.blanksLeft) << reduced;
    }
    EXPECT_EQ(fields[3], "x");
  }
  EXPECT_EQ(PrepareSentence(random, ";l'\x9C" "uf (gros);x", false),
            ";{l} ' {oeuf} #FoGra_(gros)$;{x}");
}

TEST(GenerateSheet, MergeGroupsAcrossAnUncheckedTitle) {
  GenFixture f;
  std::vector<TdBaseJob> titles = Pick(f.titles, {"1.2", "1.3", "1.4", "1.5"});
  titles[1].Checked = false;  // "Between" is not ticked
  SheetResult r = GenerateSheet(f.tc.ctx, f.target, "s", 5, titles);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.questions, 5);
  std::vector<std::string> lines = f.Sheet();
  EXPECT_EQ(lines[1], "#[0/0/5/-1;s;0;0]");
  EXPECT_EQ(lines[2], Bars("#[") + f.target.sheetPath + Bars("|Generation book|Lines]"));
  std::vector<std::string> body = BodyOf(lines);
  ASSERT_EQ(body.size(), 8u);
  EXPECT_EQ(body[0], "#ChB$A1");
  EXPECT_EQ(body[1], "#ChB$A2");
  std::multiset<std::string> mixed(body.begin() + 2, body.begin() + 6);
  EXPECT_EQ(mixed, (std::multiset<std::string>{"a1 {1}", "a2 {2}", "b1 {1}", "b2 {2}"}));
  EXPECT_EQ(body[6], "#ChB$B");
  EXPECT_EQ(body[7], "c1");

  // Ticked, "Between" joins the group; a title without a letter stands alone.
  titles[1].Checked = true;
  f.Generate({"1.5", "1.2", "1.3"});
  body = BodyOf(f.Sheet());
  EXPECT_EQ(body[0], "#ChB$B");
  EXPECT_EQ(body[2], "#ChB$A1");
  EXPECT_EQ(body[3], "#ChB$U");
  EXPECT_EQ(body.size(), 7u);
}

TEST(GenerateSheet, DrawnOrAscendingOrder) {
  // Partners 0, 1, 4, 3, 4, 5, 0 turn 1..7 into 7, 2, 5, ...
  const std::vector<int> partners = {0, 1, 4, 3, 4, 5, 0};
  for (bool ascending : {false, true}) {
    GenFixture f;
    SettingsStore store;
    store.SetBool(ascending ? "RB_PoseQstNonMelanger" : "RB_PoseQstMelanger", true);
    f.tc.ctx.settings = &store;
    QueueRandom random;
    for (int p : partners) random.Push(PartnerValue(p, 6));
    f.tc.ctx.random = &random;
    f.Generate({"1.1"});
    std::vector<std::string> body = BodyOf(f.Sheet());
    std::vector<std::string> expected =
        ascending ? std::vector<std::string>{"#ChB$Seven", "L2", "L5", "L7"}
                  : std::vector<std::string>{"#ChB$Seven", "L7", "L2", "L5"};
    EXPECT_EQ(body, expected);
  }
}

TEST(GenerateSheet, G1WithFewerDistinctResultsThanAsked) {
  GenFixture f;
  SettingsStore store;
  store.SetBool("RB_PoseQstNonMelanger", true);
  f.tc.ctx.settings = &store;
  SheetResult r = f.Generate({"2.1"}, 4);
  EXPECT_EQ(r.questions, 2);
  EXPECT_EQ(BodyOf(f.Sheet()),
            (std::vector<std::string>{"#ChB$G1", "1 + 0 = {1}", "2 + 0 = {2}", "", ""}));
}

TEST(GenerateSheet, BrokenTitles) {
  GenFixture f;
  f.tc.ctx.trace.SwitchOn();
  f.tc.dir.Write("out/Sheet.QST", "the old sheet\r\n");

  // An empty Location stops everything: no sheet, the old one stays.
  std::vector<TdBaseJob> titles = Pick(f.titles, {"1.5", "2.2"});
  titles[1].Location.clear();
  SheetResult r = GenerateSheet(f.tc.ctx, f.target, "s", 2, titles);
  EXPECT_FALSE(r.written);
  EXPECT_EQ(r.questions, 0);
  EXPECT_EQ(f.tc.ctx.trace.Lines().back(), "Error: 3973: Gen.IDX -Ligne Vide...");
  EXPECT_EQ(f.tc.dir.Read("out/Sheet.QST"), "the old sheet\r\n");

  // A template that errors ends the generation with its error; the old sheet stays.
  try {
    f.Generate({"1.5", "2.3"});
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
  }
  EXPECT_EQ(f.tc.dir.Read("out/Sheet.QST"), "the old sheet\r\n");

  // A quantity above the line count skips that title only.
  titles = Pick(f.titles, {"1.5", "1.2"});
  titles[1].Quantity = "3";
  r = GenerateSheet(f.tc.ctx, f.target, "s", 4, titles);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.questions, 1);
  EXPECT_EQ(BodyOf(f.Sheet()), (std::vector<std::string>{"#ChB$B", "c1"}));
  EXPECT_EQ(f.tc.ctx.trace.Lines().back(),
            "Error:2764  Nombre de rech. est superieur que autoriser ");

  // Counts that are not numbers, or absurd, are errors.
  const std::string written = f.tc.dir.Read("out/Sheet.QST");
  titles = Pick(f.titles, {"1.5"});
  for (const char* bad : {"x", "99999999"}) {
    titles[0].Quantity = bad;
    EXPECT_THROW(GenerateSheet(f.tc.ctx, f.target, "s", 1, titles), Error) << bad;
  }
  // A book that cannot be read.
  f.target.bookPath = f.tc.dir.Path() + "missing.IDX";
  EXPECT_THROW(f.Generate({"1.5"}), Error);
  EXPECT_EQ(f.tc.dir.Read("out/Sheet.QST"), written);
}

TEST(GenerateSheet, FixedTemplateAndVocabulary) {
  GenFixture f;
  SettingsStore store;
  store.SetInt("UpDo_iModeStar", 0);
  f.tc.ctx.settings = &store;
  EXPECT_EQ(f.Generate({"2.2", "2.4"}).questions, 2);
  EXPECT_EQ(BodyOf(f.Sheet()),
            (std::vector<std::string>{"#ChB$G1n", "3 + 4 = {7}", "#ChB$V",
                                      "#FoPur_DE: $ Haus#Ch13$#FoPur_FR: $ {maison}#EndLig$"}));
}

TEST(GenerateSheet, AnswerBankOfTypeABooksAndScrambledSheets) {
  std::string source = kSource;
  source.replace(source.find("Ver.A 1.0;Generation;00000000"), 29, "Ver.C 1.0;Generation;0000A000");
  GenFixture f(source, true);
  SettingsStore store;
  store.SetInt("UpDo_iModeStar", 1);
  f.tc.ctx.settings = &store;
  EXPECT_EQ(f.Generate({"1.2", "1.4"}).questions, 4);
  std::vector<std::string> lines = f.Sheet();
  EXPECT_EQ(lines[0], "Ver.C 1.0;Generation;0000A000;UP.Y");
  EXPECT_EQ(lines[5], "#[*;*;*;*]");
  // The raw file is scrambled throughout.
  std::vector<std::string> raw = test::RawLines(f.tc.dir.Read("out/Sheet.QST"));
  ASSERT_EQ(raw.size(), lines.size());
  EXPECT_TRUE(IsScrambled(raw[0]));
  EXPECT_NE(raw[5], lines[5]);

  // A sheet without answers gets an empty bank; one of fewer than eight lines none.
  f.Generate({"1.5"});
  EXPECT_EQ(f.Sheet()[5], "#[]");
  std::vector<TdBaseJob> skipped = Pick(f.titles, {"1.2"});
  skipped[0].Quantity = "3";
  EXPECT_TRUE(GenerateSheet(f.tc.ctx, f.target, "s", 3, skipped).written);
  EXPECT_EQ(f.Sheet(), SheetHeaderLines("Ver.C 1.0;Generation;0000A000;UP.Y", 3, "s",
                                        f.target.sheetPath, "Generation book", "Lines"));
}

TEST(GenerateSheet, RecordsTheSheetForTheUser) {
  GenFixture f;
  std::string folder = f.tc.ctx.folders.UserFolder("Marie");
  EnsureFolder(folder);
  f.target.user = "Marie";
  f.Generate({"1.5"});
  EXPECT_EQ(IniReadString(folder + kAccountIni, "Last Input", "Nom 2", ""), f.target.sheetPath);
  // Nothing written, nothing recorded.
  f.target.sheetPath = f.tc.dir.Path() + "out/Other.QST";
  EXPECT_FALSE(GenerateSheet(f.tc.ctx, f.target, "s", 0, {}).written);
  EXPECT_NE(IniReadString(folder + kAccountIni, "Last Input", "Nom 2", ""), f.target.sheetPath);
}

TEST(GenerateFromLines, JobAndProgressModes) {
  GenFixture f;
  auto line = [&](const std::string& code) { return RecordToLine(Pick(f.titles, {code})[0]); };
  f.tc.ctx.trace.SwitchOn();

  // Mode "s": an empty quantity forces quantity and line count to 1.
  TdBaseJob own = Pick(f.titles, {"1.5"})[0];
  own.Quantity.clear();
  SheetResult r = GenerateFromLines(f.tc.ctx, f.target, "s", "", {RecordToLine(own), line("1.2")}, 0);
  EXPECT_EQ(r.questions, 3);
  EXPECT_EQ(f.Sheet()[1], "#[0/0/3/-1;s;0;0]");
  EXPECT_EQ(f.tc.ctx.trace.Lines().front(), "Error:98752 not No force to 1");

  // Mode "p": every title in the merge letter's group, plain titles capped at their lines,
  // G1 titles get the quantity as quantity and line count.
  r = GenerateFromLines(f.tc.ctx, f.target, "p", "A", {line("1.2"), line("2.1"), line("1.5")}, 3);
  EXPECT_EQ(r.questions, 2 + 2 + 1);
  std::vector<std::string> lines = f.Sheet();
  EXPECT_EQ(lines[1], "#[0/0/3/-1;p;0;0]");
  std::vector<std::string> body = BodyOf(lines);
  EXPECT_EQ(std::vector<std::string>(body.begin(), body.begin() + 3),
            (std::vector<std::string>{"#ChB$A1", "#ChB$G1", "#ChB$B"}));
  EXPECT_EQ(body.size(), 3u + 2 + 3 + 1);
}

TEST(RegenerateFromJob, FromTheSavedJobOrTheNotice) {
  GenFixture f;
  std::string folder = f.tc.ctx.folders.UserFolder("Marie") + "Qst/Gen/";
  std::string sheet = folder + "Test.QST";
  std::string header = "Ver.A 1.0;Generation;00000000;UP.Y";
  WriteJob(folder + "Test.JOB", {folder + "Test.JOB", "Generation book", "Mixe", header},
           Pick(f.titles, {"1.5", "2.2"}), false, "");
  SheetResult r = RegenerateFromJob(f.tc.ctx, sheet, "Marie");
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.questions, 2);
  std::vector<std::string> lines = ReadDerivedFile(f.tc.ctx, sheet).lines;
  EXPECT_EQ(lines[2], Bars("#[") + sheet + Bars("|Generation book|Mixe]"));
  EXPECT_TRUE(f.tc.msgBox.Shown().empty());

  f.tc.ctx.trace.SwitchOn();
  r = RegenerateFromJob(f.tc.ctx, folder + "Other.QST", "Marie");
  EXPECT_FALSE(r.written);
  ASSERT_EQ(f.tc.msgBox.Shown().size(), 1u);
  EXPECT_EQ(f.tc.msgBox.Shown()[0].title, "Info");
  EXPECT_EQ(f.tc.msgBox.Shown()[0].line1, "There is no query saved for practice !");
  EXPECT_EQ(f.tc.msgBox.Shown()[0].line2, "Other");
  EXPECT_EQ(f.tc.ctx.trace.Lines().back(),
            "Info There is no query saved for practice ! Other");

  // A sheet of a book that is not installed: nothing happens.
  std::string lost = f.tc.ctx.folders.UserFolder("Marie") + "Qst/Lost/Test.QST";
  EXPECT_FALSE(RegenerateFromJob(f.tc.ctx, lost, "Marie").written);
  EXPECT_EQ(f.tc.msgBox.Shown().size(), 1u);
}

}  // namespace
}  // namespace quillo
