// Tests of the practice editor: the key rules inside and outside fields, the reported edits (a
// mirror replays them like a view), field moves, the mouse rules, the value picker and
// InsertAtCaret; then a seeded storm of random input over hostile sheets.
#include "practice/practice_editor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "practice_test_util.h"
#include "shell/trace_log.h"

namespace quillo {
namespace {

using test::Mirror;
using test::Shown;
using Strings = std::vector<std::string>;

// An editor over "Q {x} R" whose only field holds exactly `content`, caret at `offset` in it.
struct OneField {
  PracticeEditor editor;
  int begin = 0;

  OneField(const std::string& content, int offset) {
    editor.RenderSheet({"Q {x} R"});
    begin = FieldSpanOf(editor.Sheet(), 0).begin;
    if (!content.empty()) {
      editor.InsertAtCaret(content);
      editor.HandleKey(Key::Of(KeyCode::Delete));
      editor.HandleKey(Key::Of(KeyCode::Delete));
    }
    editor.SetCaret(begin + offset);
    editor.SetAnswersChanged(false);
  }
  std::string Content() const {
    const FieldSpan span = FieldSpanOf(editor.Sheet(), 0);
    return editor.Sheet().Text().substr(static_cast<std::size_t>(span.begin),
                                        static_cast<std::size_t>(span.end - span.begin));
  }
};

Key CtrlChar(char c) {
  Key k = Key::Char(c);
  k.ctrl = true;
  return k;
}

TEST(PracticeEditorKeys, FieldRules) {
  const std::string k29(29, 'a');
  const std::string k28(28, 'a');
  struct Case {
    const char* what;
    std::string content;
    int offset;
    Key key;
    bool accepted;
    std::string after;
    int offsetAfter;
    bool changesAnswers;
  };
  const Case cases[] = {
      {"backspace at field start", "ab", 0, Key::Of(KeyCode::Backspace), false, "ab", 0, true},
      {"delete at field end", "ab", 2, Key::Of(KeyCode::Delete), false, "ab", 2, true},
      {"left at field start", "ab", 0, Key::Of(KeyCode::Left), false, "ab", 0, false},
      {"right at field end", "ab", 2, Key::Of(KeyCode::Right), false, "ab", 2, false},
      {"left inside", "ab", 1, Key::Of(KeyCode::Left), true, "ab", 0, false},
      {"right inside", "ab", 1, Key::Of(KeyCode::Right), true, "ab", 2, false},
      {"shift+left selects nothing", "ab", 1, Key::Of(KeyCode::Left, true), false, "ab", 1, false},
      {"backspace", "ab", 1, Key::Of(KeyCode::Backspace), true, "b", 0, true},
      {"delete", "ab", 1, Key::Of(KeyCode::Delete), true, "a", 1, true},
      {"emptied by backspace", "a", 1, Key::Of(KeyCode::Backspace), true, "  ", 0, true},
      {"emptied by delete", "a", 0, Key::Of(KeyCode::Delete), true, "  ", 0, true},
      {"shift+backspace erases", "ab", 2, Key::Of(KeyCode::Backspace, true), true, "a", 1, true},
      {"letter", "ab", 2, Key::Char('c'), true, "abc", 3, true},
      {"accented letter", "ab", 0, Key::Char('\xE9'), true,
       "\xE9"
       "ab",
       1, true},
      {"acute accent types an apostrophe", "ab", 1, Key::Char('\xB4'), true, "a'b", 2, true},
      {"second space", "a ", 2, Key::Char(' '), false, "a ", 2, true},
      {"space after a letter", "ab", 1, Key::Char(' '), true, "a b", 2, true},
      {"space at field start before a space", "  ", 0, Key::Char(' '), true, "   ", 1, true},
      {"slash", "ab", 1, Key::Char('/'), false, "ab", 1, false},
      {"colon", "ab", 1, Key::Char(':'), false, "ab", 1, false},
      {"question mark", "ab", 1, Key::Char('?'), false, "ab", 1, false},
      {"tab", "ab", 1, Key::Char('\t'), false, "ab", 1, false},
      {"capital U umlaut is not typeable", "ab", 1, Key::Char('\xDC'), false, "ab", 1, false},
      {"ctrl+v", "ab", 1, CtrlChar('v'), false, "ab", 1, false},
      {"full field refuses a letter", k29, 29, Key::Char('b'), false, k29, 29, true},
      {"full field refuses a space", k29, 3, Key::Char(' '), false, k29, 3, true},
      {"full field takes backspace", k29, 29, Key::Of(KeyCode::Backspace), true, k28, 28, true},
      {"full field takes delete", k29, 0, Key::Of(KeyCode::Delete), true, k28, 0, true},
      {"full field takes left", k29, 5, Key::Of(KeyCode::Left), true, k29, 4, false},
      {"full field takes right", k29, 5, Key::Of(KeyCode::Right), true, k29, 6, false},
      {"28 characters take one more", k28, 28, Key::Char('b'), true, k28 + "b", 29, true},
      {"home does nothing", "ab", 1, Key::Of(KeyCode::Home), false, "ab", 1, false},
      {"end does nothing", "ab", 1, Key::Of(KeyCode::End), false, "ab", 1, false},
      {"up does nothing", "ab", 1, Key::Of(KeyCode::Up), false, "ab", 1, false},
      {"insert does nothing", "ab", 1, Key::Of(KeyCode::Insert), false, "ab", 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OneField f(c.content, c.offset);
    ASSERT_EQ(f.Content(), c.content);
    Mirror mirror(f.editor.Sheet());
    KeyOutcome out = f.editor.HandleKey(c.key);
    EXPECT_EQ(out.accepted, c.accepted);
    EXPECT_EQ(f.Content(), c.after);
    EXPECT_EQ(out.caret - f.begin, c.offsetAfter);
    EXPECT_EQ(f.editor.Caret(), out.caret);
    EXPECT_EQ(f.editor.AnswersChanged(), c.changesAnswers);
    EXPECT_FALSE(out.runCheck);
    mirror.Apply(out.edits);
    EXPECT_TRUE(mirror.Matches(f.editor.Sheet()));
    EXPECT_EQ(Shown(f.editor.Sheet()).substr(0, 4), "Q <|");
  }
}

TEST(PracticeEditorKeys, TypedTextIsBlueAndRefusalsMakeTheViewReadOnly) {
  OneField f("", 0);
  KeyOutcome typed = f.editor.HandleKey(Key::Char('7'));
  EXPECT_TRUE(typed.writable);
  EXPECT_EQ(f.editor.Sheet().FormatAt(f.begin), kTypedText);
  EXPECT_EQ(f.editor.FieldContents(), Strings{"7"});

  // Outside a field every key is refused and the view turns read-only.
  f.editor.SetCaret(0);
  for (char ch : {'a', '/', ' '}) {
    KeyOutcome out = f.editor.HandleKey(Key::Char(ch));
    EXPECT_FALSE(out.accepted);
    EXPECT_TRUE(out.edits.empty());
  }
  EXPECT_FALSE(f.editor.Writable());
  EXPECT_FALSE(f.editor.HandleKey(Key::Of(KeyCode::Backspace)).accepted);
  EXPECT_FALSE(f.editor.HandleKey(Key::Of(KeyCode::Right)).accepted);
  EXPECT_EQ(f.editor.Caret(), 0);
  EXPECT_EQ(Shown(f.editor.Sheet()), "Q <|7  |> R\n\n\n\n");
}

TEST(PracticeEditorKeys, EnterAndPageKeys) {
  OneField f("ab", 1);
  KeyOutcome enter = f.editor.HandleKey(Key::Of(KeyCode::Enter));
  EXPECT_TRUE(enter.runCheck);
  EXPECT_TRUE(enter.edits.empty());
  struct Case {
    Key key;
    PageScroll scroll;
  };
  const Case cases[] = {{Key::Of(KeyCode::PageDown), PageScroll::PageDown},
                        {Key::Of(KeyCode::PageUp), PageScroll::PageUp},
                        {Key::Of(KeyCode::PageDown, true), PageScroll::None}};
  for (const Case& c : cases) {
    KeyOutcome out = f.editor.HandleKey(c.key);
    EXPECT_EQ(out.scroll, c.scroll);
    EXPECT_EQ(out.caret, f.begin + 1);
  }
}

TEST(PracticeEditorKeys, WriteThreeAndFour) {
  PracticeEditor editor;
  editor.RenderSheet({"Write {3} and {4}."});
  Mirror mirror(editor.Sheet());
  for (char ch : std::string("3")) mirror.Apply(editor.HandleKey(Key::Char(ch)).edits);
  editor.GoToNextField();
  for (char ch : std::string("4 2")) mirror.Apply(editor.HandleKey(Key::Char(ch)).edits);
  mirror.Apply(editor.HandleKey(Key::Of(KeyCode::Backspace)).edits);
  mirror.Apply(editor.HandleKey(Key::Of(KeyCode::Backspace)).edits);
  EXPECT_TRUE(mirror.Matches(editor.Sheet()));
  EXPECT_EQ(editor.FieldContents(), (Strings{"3", "4"}));
  ASSERT_EQ(editor.ExpectedAnswers().size(), 2u);
  EXPECT_EQ(editor.ExpectedAnswers()[1].Expected, "4");
  EXPECT_EQ(editor.FieldAt(editor.Caret()).index, 1);
  EXPECT_EQ(editor.FieldAt(editor.Caret()).content, "4  ");
  EXPECT_TRUE(editor.AnswersChanged());
}

TEST(PracticeEditorFields, Moves) {
  PracticeEditor editor;
  editor.RenderSheet({"A {1} B {2}", "C {3}"});
  auto start = [&](int k) { return FieldSpanOf(editor.Sheet(), k).begin; };
  struct Case {
    const char* what;
    int from;   // caret before the move
    char move;  // n next, N next from start, p previous, 0..9 go to field
    int to;
  };
  const int kStays = -1;
  const Case cases[] = {
      {"next from field 0", start(0), 'n', start(1)},
      {"next from inside field 1", start(1) + 1, 'n', start(2)},
      {"next from the last field stays", start(2), 'n', kStays},
      {"next from the text start", 0, 'n', start(0)},
      {"next from start of the text when asked", start(2), 'N', start(0)},
      {"previous from field 2", start(2), 'p', start(1)},
      {"previous from inside field 1", start(1) + 1, 'p', start(0)},
      {"previous from field 0 stays", start(0), 'p', kStays},
      {"previous from the text start stays", 0, 'p', kStays},
      {"go to field 2", 0, '2', start(2)},
      {"go to a missing field stays", start(1), '3', kStays},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    editor.SetCaret(c.from);
    int result = 0;
    if (c.move == 'n') result = editor.GoToNextField();
    if (c.move == 'N') result = editor.GoToNextField(true);
    if (c.move == 'p') result = editor.GoToPreviousField();
    if (c.move >= '0' && c.move <= '9') result = editor.GoToField(c.move - '0');
    EXPECT_EQ(result, c.to == kStays ? c.from : c.to);
    EXPECT_EQ(editor.Caret(), result);
  }
  EXPECT_EQ(editor.GoToField(-1), editor.Caret());

  PracticeEditor empty;
  empty.RenderSheet({"Nothing to fill."});
  EXPECT_EQ(empty.GoToNextField(true), 0);
  EXPECT_EQ(empty.GoToPreviousField(), 0);
  EXPECT_EQ(empty.GoToField(0), 0);
  EXPECT_TRUE(empty.FieldContents().empty());
  EXPECT_FALSE(empty.HandleKey(Key::Char('a')).accepted);
  EXPECT_EQ(empty.MousePress(3, MouseButton::Left).caret, 3);
}

TEST(PracticeEditorFields, CaretPlaces) {
  PracticeEditor editor;
  editor.RenderSheet({"A {1} B"});
  const FieldSpan span = FieldSpanOf(editor.Sheet(), 0);  // "  " between the delimiters
  struct Case {
    int pos;
    bool inside, atStart, atEnd;
    int length;
  };
  const Case cases[] = {
      {0, false, false, false, 0},
      {span.begin - 1, false, false, false, 0},  // between the glyph and the delimiter
      {span.begin, true, true, false, 2},
      {span.begin + 1, true, false, false, 2},
      {span.end, true, false, true, 2},
      {span.end + 1, false, false, false, 0},  // after the closing delimiter
      {editor.Sheet().Size(), false, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pos);
    const CaretPlace place = editor.Place(c.pos);
    EXPECT_EQ(place.inside, c.inside);
    EXPECT_EQ(place.atStart, c.atStart);
    EXPECT_EQ(place.atEnd, c.atEnd);
    EXPECT_EQ(place.Length(), c.length);
  }
}

TEST(PracticeEditorMouse, ClickMovesIntoTheNearestField) {
  PracticeEditor editor;
  editor.RenderSheet({"Q {1} and then some words {2} end of the line"});
  const FieldSpan f0 = FieldSpanOf(editor.Sheet(), 0);
  const FieldSpan f1 = FieldSpanOf(editor.Sheet(), 1);
  const int size = editor.Sheet().Size();
  struct Case {
    const char* what;
    int click;
    int caret;
    bool moved;
  };
  const Case cases[] = {
      {"before the first field", 0, f0.begin, true},
      {"inside a field", f0.begin + 1, f0.begin + 1, false},
      {"at a field's start", f1.begin, f1.begin, false},
      {"within 5 after a field goes back into it", f0.end + 4, f0.end, true},
      {"farther on goes forward to the next field", f0.end + 8, f1.begin, true},
      {"on the opening glyph", f1.begin - 2, f1.begin, true},
      {"past the last field goes back to it", size, f1.end, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClickOutcome out = editor.MousePress(c.click, MouseButton::Left);
    editor.MouseRelease(c.click);
    EXPECT_EQ(out.caret, c.caret);
    EXPECT_EQ(out.caretMoved, c.moved);
    EXPECT_EQ(out.movePointerToCaret, c.moved);
    EXPECT_TRUE(out.writable);
    EXPECT_EQ(out.picker.kind, PickerSource::Kind::None);
  }
}

TEST(PracticeEditorMouse, HoverAndPressAndHold) {
  PracticeEditor editor;
  editor.RenderSheet({"Q {1} R"});
  const int inField = FieldSpanOf(editor.Sheet(), 0).begin + 1;
  HoverOutcome over = editor.MouseMove(inField);
  EXPECT_EQ(over.shape, PointerShape::Help);
  EXPECT_TRUE(over.writable);
  HoverOutcome away = editor.MouseMove(0);
  EXPECT_EQ(away.shape, PointerShape::Hand);
  EXPECT_FALSE(editor.Writable());

  // While the left button is down, moves and the release happen at the pressed position.
  editor.MousePress(inField, MouseButton::Left);
  EXPECT_TRUE(editor.Holding());
  EXPECT_EQ(editor.MouseMove(0).shape, PointerShape::Help);
  EXPECT_EQ(editor.MouseRelease(0).shape, PointerShape::Help);
  EXPECT_FALSE(editor.Holding());
  EXPECT_EQ(editor.Caret(), inField);
  EXPECT_EQ(editor.MouseMove(0).shape, PointerShape::Hand);

  // The middle button pastes nothing and leaves the caret alone.
  ClickOutcome middle = editor.MousePress(0, MouseButton::Middle);
  EXPECT_EQ(middle.caret, inField);
  EXPECT_EQ(editor.Sheet().Size(), RenderQuestionLines({"Q {1} R"}).sheet.Size());
}

TEST(PracticeEditorPicker, SourcesInOrder) {
  struct Case {
    const char* what;
    Strings lines;
    Strings answerList;
    Strings wordBank;
    int field;  // right click inside this field
    PickerSource::Kind kind;
    Strings values;
    std::string hint;
    int width;
  };
  using K = PickerSource::Kind;
  const Case cases[] = {
      {"bracketed choices",
       {"Pick #FoPur_ [2, 3,5 ] $ {3}"},
       {"z"},
       {"w"},
       0,
       K::Choices,
       {"2", "3", "5"},
       "",
       90},
      {"a star blocks every source",
       {"#FoPur_ [*o**e*] $ {chose}"},
       {"z"},
       {"w"},
       0,
       K::None,
       {},
       "",
       0},
      {"no comma: the answer list",
       {"[single] {x}"},
       {"b", "a", "b"},
       {"w"},
       0,
       K::AnswerList,
       {"a", "b"},
       "",
       150},
      {"no list: the word bank entry",
       {"{x} {y}"},
       {},
       {"w*", "*o**e*r"},
       1,
       K::WordBank,
       {},
       "*o**e*r",
       12 * 7 + 20},
      {"short word bank entry", {"{x}"}, {}, {"w*"}, 0, K::WordBank, {}, "w*", 15 * 2 + 20},
      {"no entry for the field", {"{x} {y}"}, {}, {"w*"}, 1, K::None, {}, "", 0},
      {"a bracket of an earlier line does not count",
       {"[1, 2]", "{x}"},
       {},
       {},
       0,
       K::None,
       {},
       "",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PracticeEditor editor;
    editor.RenderSheet(c.lines, c.wordBank);
    editor.SetAnswerList(c.answerList);
    ClickOutcome out =
        editor.MousePress(FieldSpanOf(editor.Sheet(), c.field).begin + 1, MouseButton::Right);
    EXPECT_FALSE(out.caretMoved);
    EXPECT_EQ(out.picker.kind, c.kind);
    EXPECT_EQ(out.picker.values, c.values);
    EXPECT_EQ(out.picker.hint, c.hint);
    EXPECT_EQ(out.picker.width, c.width);
    EXPECT_FALSE(editor.Holding());
  }

  // A right click outside a field only moves the caret.
  PracticeEditor editor;
  editor.RenderSheet({"Pick [1, 2] then {x}"});
  ClickOutcome outside = editor.MousePress(0, MouseButton::Right);
  EXPECT_TRUE(outside.caretMoved);
  EXPECT_EQ(outside.picker.kind, PickerSource::Kind::None);
}

TEST(PracticeEditorInsert, InsertAtCaretAndPickedValues) {
  PracticeEditor editor;
  editor.RenderSheet({"Q {x} R"});
  Mirror mirror(editor.Sheet());
  const int begin = editor.Caret();
  // Not filtered, but control characters cannot forge field marks.
  EditorChange change = editor.InsertAtCaret("\xDC/b\x1E\x1F\x1C");
  mirror.Apply(change.edits);
  EXPECT_EQ(change.caret, begin + 3);
  EXPECT_TRUE(change.movePointerToCaret);
  EXPECT_TRUE(editor.AnswersChanged());
  EXPECT_EQ(editor.FieldContents(), Strings{"\xDC/b"});
  EXPECT_EQ(editor.Sheet().FormatAt(begin), kTypedText);

  editor.SetAnswersChanged(false);
  mirror.Apply(editor.PickValue("12").edits);
  EXPECT_TRUE(editor.AnswersChanged());
  EXPECT_EQ(editor.FieldContents(), Strings{"\xDC/b12"});
  EXPECT_TRUE(mirror.Matches(editor.Sheet()));

  // Wherever the caret stands.
  editor.SetCaret(0);
  mirror.Apply(editor.InsertAtCaret("x").edits);
  EXPECT_TRUE(mirror.Matches(editor.Sheet()));
  EXPECT_EQ(Shown(editor.Sheet()).substr(0, 3), "xQ ");
}

TEST(PracticeEditorChanges, FieldTextAndInsertsKeepTheCaretOnItsCharacter) {
  PracticeEditor editor;
  editor.RenderSheet({"a {1} b {2} c {3}"});
  Mirror sheet(editor.Sheet());
  Mirror log(editor.Log());
  const FieldSpan third = FieldSpanOf(editor.Sheet(), 2);

  // A caret after the changed field moves with its character; one inside goes to the start.
  editor.SetCaret(third.begin + 1);
  sheet.Apply(editor.SetFieldText(0,
                                  "12\x1E"
                                  "3"));
  EXPECT_EQ(editor.FieldContents(), (Strings{"123", "", ""}));
  EXPECT_EQ(editor.Caret(), FieldSpanOf(editor.Sheet(), 2).begin + 1);
  EXPECT_EQ(editor.Sheet().FormatAt(FieldSpanOf(editor.Sheet(), 0).begin), kTypedText);
  sheet.Apply(editor.SetFieldText(2, "9"));
  EXPECT_EQ(editor.Caret(), FieldSpanOf(editor.Sheet(), 2).begin);
  sheet.Apply(editor.SetFieldText(0, ""));  // back to the two placeholder spaces
  EXPECT_EQ(Shown(editor.Sheet()).substr(0, 8), "a <|  |>");
  EXPECT_TRUE(editor.SetFieldText(7, "x").empty());

  const int caret = editor.Caret();
  sheet.Apply({editor.InsertIntoSheet(0, {{ElementKind::Char, 'z', kDefaultText, -1}})});
  EXPECT_EQ(editor.Caret(), caret + 1);
  sheet.Apply({editor.InsertIntoSheet(editor.Sheet().Size(),
                                      {{ElementKind::Char, 'y', kDefaultText, -1}})});
  EXPECT_EQ(editor.Caret(), caret + 1);
  log.Apply({editor.InsertIntoLog(FieldSpanOf(editor.Log(), 1).begin,
                                  {{ElementKind::Char, '5', kTypedText, -1}})});
  EXPECT_EQ(quillo::FieldContents(editor.Log()), (Strings{"", "5", ""}));
  EXPECT_TRUE(sheet.Matches(editor.Sheet()));
  EXPECT_TRUE(log.Matches(editor.Log()));
}

TEST(PracticeEditorPictures, AFailureReportedLaterLeavesBothDocuments) {
  TraceLog trace;
  trace.SwitchOn();
  PracticeEditor editor(&trace);
  editor.RenderSheet({"a #DwF_1\\2$ {5}"});
  Mirror sheet(editor.Sheet());
  Mirror log(editor.Log());
  const int caret = editor.Caret();
  PictureRemoval removal = editor.RemoveFailedPicture(0);
  sheet.Apply(removal.sheetEdits);
  log.Apply(removal.logEdits);
  EXPECT_TRUE(sheet.Matches(editor.Sheet()));
  EXPECT_TRUE(log.Matches(editor.Log()));
  EXPECT_EQ(Shown(editor.Sheet()), "a  <|  |>\n\n\n\n");
  EXPECT_EQ(Shown(editor.Log()), "a  <||>\n\n\n\n");
  EXPECT_EQ(removal.caret, caret - 1);
  EXPECT_EQ(editor.Caret(), caret - 1);
  EXPECT_TRUE(editor.Place(editor.Caret()).atStart);
  EXPECT_EQ(trace.Lines(), Strings{std::string(kPictureFailedTrace)});
  // Once removed, or never there: nothing more.
  EXPECT_TRUE(editor.RemoveFailedPicture(0).sheetEdits.empty());
  EXPECT_TRUE(editor.RemoveFailedPicture(7).logEdits.empty());
  EXPECT_EQ(trace.Lines().size(), 1u);
}

TEST(PracticeEditorNavigation, ScrollDecisions) {
  struct Case {
    int caretLine, firstVisible, lastVisible;
    int afterNext, afterPrevious, toTop;
  };
  const Case cases[] = {
      {10, 0, 20, 0, 0, 10}, {20, 0, 20, 2, 0, 20}, {25, 0, 20, 2, 0, 25},
      {5, 5, 20, 0, -1, 0},  {3, 5, 20, 0, -1, -2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScrollAfterNextField(c.caretLine, c.lastVisible), c.afterNext);
    EXPECT_EQ(ScrollAfterPreviousField(c.caretLine, c.firstVisible), c.afterPrevious);
    EXPECT_EQ(ScrollCaretLineToTop(c.caretLine, c.firstVisible), c.toTop);
  }
}

TEST(PracticeEditorState, ClearAndRerender) {
  PracticeEditor editor;
  editor.RenderSheet({"#ChB$T", "a {1}"}, {"*"});
  editor.SetAnswerList({"1"});
  editor.HandleKey(Key::Char('5'));
  editor.RenderSheet({"b {2} {3}"});
  EXPECT_EQ(editor.QuestionLines(), Strings{"b {2} {3}"});
  EXPECT_TRUE(editor.WordBank().empty());
  EXPECT_TRUE(editor.AnswerList().empty());
  EXPECT_FALSE(editor.AnswersChanged());
  EXPECT_EQ(editor.ExpectedAnswers().size(), 2u);
  EXPECT_TRUE(editor.Writable());
  editor.Clear();
  EXPECT_TRUE(editor.Sheet().Empty());
  EXPECT_TRUE(editor.Log().Empty());
  EXPECT_TRUE(editor.ExpectedAnswers().empty());
  EXPECT_FALSE(editor.HandleKey(Key::Char('a')).accepted);
}

// Random keys, clicks and insertions over hostile sheets: nothing crashes, the edits always
// describe the change, and the fields keep their count, order and length limit.
TEST(PracticeEditorRobustness, RandomInputKeepsTheFieldsIntact) {
  std::mt19937 rng(12345);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::string alphabet = "ab {}{}{}#$_ \xB4/:?\x1E\x1F\t\xE9Z9*,[]";
  auto randomChar = [&] {
    return alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
  };
  const KeyCode codes[] = {KeyCode::Backspace, KeyCode::Delete, KeyCode::Left,
                           KeyCode::Right,     KeyCode::Enter,  KeyCode::Home};
  for (int sheet = 0; sheet < 40; ++sheet) {
    Strings lines;
    for (int l = pick(6); l > 0; --l) {
      std::string line;
      for (int n = pick(60); n > 0; --n) line.push_back(randomChar());
      lines.push_back(line);
    }
    PracticeEditor editor;
    editor.RenderSheet(lines, {"w"});
    const std::size_t fields = editor.ExpectedAnswers().size();
    Mirror mirror(editor.Sheet());
    for (int step = 0; step < 300; ++step) {
      const int size = editor.Sheet().Size();
      switch (pick(6)) {
        case 0:
          editor.MousePress(pick(size + 1), pick(2) ? MouseButton::Left : MouseButton::Right);
          editor.MouseRelease(pick(size + 1));
          break;
        case 1:
          mirror.Apply(editor.HandleKey(Key::Of(codes[pick(6)])).edits);
          break;
        case 2:
          if (pick(10) == 0) mirror.Apply(editor.InsertAtCaret(std::string(1, randomChar())).edits);
          break;
        default:
          mirror.Apply(editor.HandleKey(Key::Char(randomChar())).edits);
          break;
      }
      ASSERT_GE(editor.Caret(), 0);
      ASSERT_LE(editor.Caret(), editor.Sheet().Size());
    }
    EXPECT_TRUE(mirror.Matches(editor.Sheet()));
    EXPECT_EQ(editor.FieldContents().size(), fields);
    EXPECT_EQ(FieldCount(editor.Sheet()), static_cast<int>(fields));
    // Delimiters alternate, opening first, and no field is ever empty.
    const std::string& text = editor.Sheet().Text();
    char expect = kFieldOpen;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != kFieldOpen && text[i] != kFieldClose) continue;
      ASSERT_EQ(text[i], expect);
      if (text[i] == kFieldClose) {
        EXPECT_NE(text[i - 1], kFieldOpen);
      }
      expect = expect == kFieldOpen ? kFieldClose : kFieldOpen;
    }
  }
}

}  // namespace
}  // namespace quillo
