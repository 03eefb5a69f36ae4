// Tests of sheet rendering: the tag scan (pending tag, showing, the tag buffer and the reset at
// an unterminated tag), the answer fields and expected answers, the log copy, the field
// backgrounds and placeholders, pictures, and hostile lines.
#include "practice/sheet_render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "practice/field_model.h"
#include "practice_test_util.h"
#include "shell/trace_log.h"

namespace quillo {
namespace {

using test::Shown;
using test::Styles;
using Strings = std::vector<std::string>;

std::vector<std::string> ExpectedTexts(const RenderedSheet& r) {
  std::vector<std::string> out;
  for (const TG_EdRTrue& e : r.expected) {
    EXPECT_EQ(e.FaultCount, 0u);
    EXPECT_EQ(e.AnswerShown, 0);
    out.push_back(e.Expected);
  }
  return out;
}

TEST(SheetRender, TagsFieldsAndStyles) {
  const std::string kEnd = "\n\n\n";  // the three breaks after the last line
  struct Case {
    Strings lines;
    std::string shown;   // without the final three breaks
    std::string styles;  // "" when not checked
    Strings answers;
  };
  const Case cases[] = {
      {{"Write {3} and {4}."},
       "Write <|  |> and <|  |>.\n",
       "rrrrrrGdrrdGrrrrrGdrrdGrn",
       {"3", "4"}},
      // A title line is bold, the next line regular again.
      {{"#ChB$Addition", "1+1={2}"}, "Addition\n1+1=<|  |>\n", "bbbbbbbbnrrrrGdrrdGn", {"2"}},
      // After "#ChB$" nothing on the line is a tag: the tag text is hidden, "ok" still bold.
      {{"#ChB$Sum #FoPur_x$ ok"}, "Sum  ok\n", "bbbbbbbn", {}},
      // A field in a title line stays a field.
      {{"#ChB$Sum {5} ok"}, "Sum <|  |> ok\n", "bbbbGdrrdGbbbn", {"5"}},
      // A line ending inside a tag shows its last character.
      {{"a#bc"}, "ac\n", "rrn", {}},
      {{"abc#"}, "abc#\n", "rrrrn", {}},
      {{"#"}, "#\n", "rn", {}},
      {{"x #FoPur_ [2, 3, 5] $ {3}"}, "x [2, 3, 5] <|  |>\n", "rrppppppppprGdrrdGn", {"3"}},
      {{"#FoGra_note$ y"}, "note y\n", "ggggrrn", {}},
      {{"a#Del_hidden$b#Fo$c"}, "abc\n", "rrrn", {}},
      {{"a#Ch13$b"}, "a\nb\n", "rnrn", {}},
      {{"Q#EndLig$"}, "Q\n" + std::string(70, '_') + "\n", "", {}},
      {{"a #Unknown_x$ b #Nope$ c"}, "a  b  c\n", "", {}},
      // After an unrecognised tag nothing more on the line acts as a tag.
      {{"a #Zz$ b #FoPur_y$ c"}, "a  b  c\n", "rrrrrrrn", {}},
      // Bold never leaks into the next line, also when the title ends with "$".
      {{"#ChB$Price 5$", "next"}, "Price 5\nnext\n", "bbbbbbbnrrrrn", {}},
      {{"#ChB$", "plain"}, "\nplain\n", "nrrrrrn", {}},
      // Empty lines insert nothing; a blank line is shown.
      {{"", "x", "", " "}, "x\n \n", "rnrn", {}},
      {{"{ 7 }", "{}"}, "<|  |>\n<|  |>\n", "", {"7", ""}},
      // Unbalanced braces are characters, not fields.
      {{"a { b"}, "a { b\n", "rrrrrn", {}},
      {{"c } d"}, "c } d\n", "rrrrrn", {}},
      {{"{x{y}"}, "{x<|  |>\n", "rrGdrrdGn", {"y"}},
      // A field inside a hidden tag keeps its place in the field order.
      {{"#Del_{5}$ z"}, "<|  |> z\n", "GdrrdGrrn", {"5"}},
      // Source bytes cannot forge field marks or breaks.
      {{"a\x1E"
        "b\x1F\n"},
       "a b  \n",
       "rrrrrn",
       {}},
      {{}, "", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.empty() ? std::string("(no lines)") : c.lines.front());
    RenderedSheet r = RenderQuestionLines(c.lines);
    EXPECT_EQ(Shown(r.sheet), c.shown + kEnd);
    if (!c.styles.empty()) {
      EXPECT_EQ(Styles(r.sheet), c.styles + "nnn");
    }
    EXPECT_EQ(ExpectedTexts(r), c.answers);
    EXPECT_EQ(FieldCount(r.sheet), static_cast<int>(c.answers.size()));
  }
}

TEST(SheetRender, LogCopyBackgroundsPlaceholdersAndCaret) {
  RenderedSheet r = RenderQuestionLines({"Write {3} and {4}."});
  // The log view's copy is taken before the placeholders and the backgrounds.
  EXPECT_EQ(Shown(r.log), "Write <||> and <||>.\n\n\n\n");
  for (int i = 0; i < r.log.Size(); ++i) EXPECT_FALSE(r.log.FormatAt(i).fieldBackground);

  // The four marks of each field have the field background, the placeholder spaces not.
  std::string background;
  for (int i = 0; i < r.sheet.Size(); ++i)
    background.push_back(r.sheet.FormatAt(i).fieldBackground ? 'x' : '.');
  EXPECT_EQ(background, "......xx..xx.....xx..xx.....");
  EXPECT_EQ(FieldContents(r.sheet), (Strings{"", ""}));
  EXPECT_EQ(r.sheet.Text().substr(8, 2), "  ");

  // The caret stands at the start of the first field.
  EXPECT_EQ(r.caret, 8);
  EXPECT_TRUE(LocateCaret(r.sheet, r.caret).atStart);

  RenderedSheet none = RenderQuestionLines({"No fields here."});
  EXPECT_EQ(none.caret, 0);
  EXPECT_TRUE(none.expected.empty());
}

TEST(SheetRender, RunsMergeEqualFormats) {
  RenderedSheet r = RenderQuestionLines({"ab {1}", "#ChB$T"});
  std::vector<StyledRun> runs = r.sheet.Runs();
  std::string kinds;
  for (const StyledRun& run : runs)
    kinds += std::to_string(static_cast<int>(run.kind)) + run.text + ";";
  EXPECT_EQ(kinds, "0ab ;1\xEE;2\x1E;0  ;2\x1F;1\xED;3\n;0T;3\n\n\n\n;");
  int total = 0;
  for (const StyledRun& run : runs) total += run.Length();
  EXPECT_EQ(total, r.sheet.Size());
}

TEST(SheetRender, Lines) {
  RenderedSheet r = RenderQuestionLines({"ab", "#ChB$T", "c#Ch13$d"});
  struct Case {
    int pos, line;
  };
  const Case cases[] = {{0, 0}, {2, 0}, {3, 1}, {5, 2}, {7, 3}, {r.sheet.Size(), 7}, {-4, 0}};
  for (const Case& c : cases) EXPECT_EQ(r.sheet.LineOf(c.pos), c.line) << c.pos;
  EXPECT_EQ(r.sheet.LineStart(0), 0);
  EXPECT_EQ(r.sheet.LineStart(2), 5);
  EXPECT_EQ(r.sheet.LineStart(3), 7);
  EXPECT_EQ(r.sheet.LineStart(99), r.sheet.Size());
}

class FakeResolver : public PictureResolver {
 public:
  PictureOutcome Resolve(const PictureRequest& request) override {
    asked.push_back(request);
    if (request.argument == "fail") return {PictureOutcome::Kind::Failed, -1, ""};
    if (request.argument == "sound") return {PictureOutcome::Kind::Nothing, -1, ""};
    if (request.argument == "text") return {PictureOutcome::Kind::Text, -1, "T1\r\nT2"};
    return {PictureOutcome::Kind::Picture, 40 + static_cast<int>(asked.size()), ""};
  }
  std::vector<PictureRequest> asked;
};

TEST(SheetRender, PicturesAreRequestsResolvedByTheView) {
  const Strings lines = {"a #DwF_ 1\\2 $ b #DrawF_fig$ {5}", "#InsImg_fail$x#InsImg_sound$y",
                         "#InsImg_text$"};
  // Without a resolver every picture stays as a request occupying one position.
  RenderedSheet unresolved = RenderQuestionLines(lines);
  EXPECT_EQ(Shown(unresolved.sheet), "a @ b @ <|  |>\n@x@y\n@\n\n\n\n");
  ASSERT_EQ(unresolved.sheet.Pictures().size(), 5u);
  EXPECT_EQ(unresolved.sheet.Pictures()[0].kind, PictureKind::DrawnFraction);
  EXPECT_EQ(unresolved.sheet.Pictures()[0].argument, "1\\2");
  EXPECT_EQ(unresolved.sheet.Pictures()[1].kind, PictureKind::Figure);
  EXPECT_EQ(unresolved.sheet.Pictures()[2].kind, PictureKind::Media);
  EXPECT_EQ(unresolved.sheet.PictureAt(2), 0);

  FakeResolver resolver;
  TraceLog trace;
  trace.SwitchOn();
  RenderedSheet r = RenderQuestionLines(lines, &resolver, &trace);
  EXPECT_EQ(resolver.asked.size(), 5u);
  // A failed picture leaves nothing and traces; a sound gives nothing; a text entry is text.
  EXPECT_EQ(Shown(r.sheet), "a @ b @ <|  |>\nxy\nT1\nT2\n\n\n\n");
  EXPECT_EQ(Shown(r.log), "a @ b @ <||>\nxy\nT1\nT2\n\n\n\n");
  EXPECT_EQ(trace.Lines(), (Strings{std::string(kPictureFailedTrace)}));
  const std::vector<StyledRun> runs = r.sheet.Runs(2, 3);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].kind, ElementKind::Picture);
  EXPECT_EQ(r.sheet.Pictures()[static_cast<std::size_t>(runs[0].picture)].handle, 41);
  EXPECT_EQ(r.log.Pictures()[static_cast<std::size_t>(r.log.PictureAt(6))].handle, 42);
}

TEST(SheetRender, LineAnswersPairBracesLikeTheRenderer) {
  EXPECT_EQ(LineAnswers("a {1} b { x y } {}"), (Strings{"1", "x y", ""}));
  EXPECT_EQ(LineAnswers("{a{b} c} {"), (Strings{"b"}));
  EXPECT_TRUE(LineAnswers("no fields").empty());
}

TEST(SheetRender, HostileLinesNeverBreakTheFieldOrder) {
  // A 5,000-character line, a line of 1,000 fields, a title of 5,000 characters.
  std::string longLine(5000, 'x');
  longLine[2500] = '#';
  std::string manyFields;
  for (int i = 0; i < 1000; ++i) manyFields += "q{" + std::to_string(i) + "} ";
  const Strings lines = {longLine, manyFields, "#ChB$" + std::string(5000, 'T'),
                         std::string(3000, '{') + std::string(3000, '}')};
  RenderedSheet r = RenderQuestionLines(lines);
  ASSERT_EQ(r.expected.size(), 1001u);
  EXPECT_EQ(r.expected[999].Expected, "999");
  EXPECT_EQ(FieldCount(r.sheet), 1001);
  EXPECT_EQ(FieldContents(r.sheet).size(), 1001u);
  // "x...x#x...x": hidden from the "#" to the line's end, except the last character.
  EXPECT_EQ(Shown(r.sheet).substr(0, 2502), std::string(2500, 'x') + "x\n");
}

}  // namespace
}  // namespace quillo
