// Tests of the practice editor's views: the rendered sheet and log, typing under the field
// rules through real key events, the refusals of everything that could change text outside a
// field or select text (keys, clicks, drags, pastes, drops, input methods), the click rule, the
// value picker, the hint box, the on-screen keyboard, the insert box, the navigation and a
// seeded storm of events after which the view still shows exactly the editor's document.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QToolButton>
#include <random>

#include "core/practice/session_test_util.h"
#include "gui/practice/hint_box.h"
#include "gui/practice/insert_box.h"
#include "gui/practice/letter_keyboard.h"
#include "gui/practice/sheet_view.h"
#include "gui/practice/value_picker.h"
#include "gui/shell/qt_text.h"
#include "shell/trace_log.h"

namespace quillo {
namespace {

using Lines = std::vector<std::string>;

const std::string kSymbols = std::string(QUILLO_STAGE_DIR) + "/SetG/PsLigSym.DAT";

// Arithmetic with fields, a title, hints before fields, a drawn fraction, a figure, a word.
const Lines kSample = {
    "#ChB$Additions and fractions",
    "#FoPur_1)$ 12 + 7 = {19}   and   30 - 4 = {26}#EndLig$",
    "#FoPur_2)$ Choose: #FoPur_ [2, 3, 5] $ {3}   The fraction #DwF_3\\4$ equals {0,75}#EndLig$",
    "#FoPur_3)$ #DrawF_<<1>\\<2>>+<<1>\\<4>>$ as a decimal: {0,75}#EndLig$",
    "#ChB$Words",
    "#FoPur_4)$ le chien: #FoPur_ [*o*] $ {dog}   la maison: {house} #FoGra_(noun)$#EndLig$",
};

// The text outside the fields: every field's content cut out.
std::string OutsideFields(const std::string& text) {
  std::string out;
  bool inField = false;
  for (char ch : text) {
    if (ch == kFieldClose) inField = false;
    if (!inField) out.push_back(ch);
    if (ch == kFieldOpen) inField = true;
  }
  return out;
}

// True when the view shows exactly the model: the same text and, position by position, the
// model's colour, size, weight and field background, and pictures where the model has them.
::testing::AssertionResult ShowsModel(const QTextDocument& doc, const SheetDocument& model) {
  const std::string text = ModelText(doc);
  if (text != model.Text())
    return ::testing::AssertionFailure()
           << "text differs:\n view  [" << text << "]\n model [" << model.Text() << "]";
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat f = fragment.charFormat();
      for (int pos = fragment.position(); pos < fragment.position() + fragment.length(); ++pos) {
        if (pos >= model.Size()) break;
        if (model.KindAt(pos) == ElementKind::Picture) {
          if (!f.isImageFormat()) return ::testing::AssertionFailure() << "no picture at " << pos;
          continue;
        }
        const CharFormat& m = model.FormatAt(pos);
        const QColor colour = f.foreground().color();
        const bool background = f.background().style() != Qt::NoBrush &&
                                f.background().color() == QColor(213, 232, 208);
        if (colour != QColor(m.colour.r, m.colour.g, m.colour.b) ||
            qRound(f.fontPointSize()) != m.pointSize || (f.fontWeight() >= QFont::Bold) != m.bold ||
            background != m.fieldBackground)
          return ::testing::AssertionFailure() << "format differs at " << pos;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

class EditorViewTest : public ::testing::Test {
 protected:
  EditorViewTest() : view(editor) {
    PictureSources sources;
    sources.symbolFile = kSymbols;
    view.SetPictureSources(sources);
    view.SetLogView(&log);
    view.resize(640, 260);
    view.show();
  }
  ~EditorViewTest() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w != &view && w != &log) w->close();
  }

  void Open(const Lines& lines, const Lines& wordBank = {}) {
    view.OpenSheet(lines, wordBank);
    QApplication::processEvents();
  }

  // A key as the keyboard delivers it: text for characters.
  void Press(Qt::Key key, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&view, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&view, &release);
  }
  void Type(const QString& text) {
    for (QChar ch : text) Press(Qt::Key_unknown, QString(ch));
  }
  void Mouse(QEvent::Type type, int pos, Qt::MouseButton button, Qt::KeyboardModifiers mods = {}) {
    MouseAt(type, PointOf(pos), button, mods);
  }
  void MouseAt(QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::KeyboardModifiers mods = {}) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                         ? Qt::MouseButtons()
                                         : button;
    QMouseEvent event(type, QPointF(at), QPointF(view.viewport()->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button,
                      type == QEvent::MouseMove ? heldButtons : buttons, mods);
    QApplication::sendEvent(view.viewport(), &event);
  }
  void Click(int pos, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, pos, button);
    Mouse(QEvent::MouseButtonRelease, pos, button);
  }
  // A point a quarter into the character at pos (its nearest caret position is pos), in
  // viewport coordinates.
  QPoint PointOf(int pos) {
    QTextCursor cursor(view.document());
    cursor.setPosition(pos);
    const QRect before = view.cursorRect(cursor);
    cursor.setPosition(std::min(pos + 1, editor.Sheet().Size()));
    const QRect after = view.cursorRect(cursor);
    const int x = after.top() == before.top() ? (3 * before.center().x() + after.center().x()) / 4
                                              : before.center().x() + 1;
    return QPoint(x, before.center().y());
  }

  std::string Field(int k) const {
    const std::vector<std::string> contents = editor.FieldContents();
    return k < static_cast<int>(contents.size()) ? contents[static_cast<std::size_t>(k)] : "?";
  }
  std::string RawField(int k) const {
    const FieldSpan span = FieldSpanOf(editor.Sheet(), k);
    return editor.Sheet().Text().substr(static_cast<std::size_t>(span.begin),
                                        static_cast<std::size_t>(span.end - span.begin));
  }
  void ExpectInSync() {
    EXPECT_TRUE(ShowsModel(*view.document(), editor.Sheet()));
    EXPECT_EQ(view.textCursor().position(), editor.Caret());
    EXPECT_FALSE(view.textCursor().hasSelection());
  }

  PracticeEditor editor;
  Editresult log;
  EditQR view;
  Qt::MouseButtons heldButtons;
};

TEST_F(EditorViewTest, RendersTheSheetAndItsLog) {
  Open(kSample);
  ExpectInSync();
  EXPECT_TRUE(ShowsModel(*log.document(), editor.Log()));
  ASSERT_EQ(editor.ExpectedAnswers().size(), 7u);

  // The caret waits in the first field; the view does not wrap and has its margins and ground.
  EXPECT_EQ(view.textCursor().position(), FieldSpanOf(editor.Sheet(), 0).begin);
  EXPECT_EQ(view.lineWrapMode(), QTextEdit::NoWrap);
  const QTextFrameFormat frame = view.document()->rootFrame()->frameFormat();
  EXPECT_EQ(frame.leftMargin(), 20);
  EXPECT_EQ(frame.rightMargin(), 5);
  EXPECT_EQ(view.palette().color(QPalette::Base), QColor(192, 220, 192));

  // The marks of a field: green bold arrows, invisible one-point delimiters, light green ground.
  const int open = FieldSpanOf(editor.Sheet(), 0).begin - 1;
  QTextCursor cursor(view.document());
  cursor.setPosition(open);  // the format of the glyph before the delimiter
  const QTextCharFormat glyph = cursor.charFormat();
  EXPECT_EQ(view.document()->characterAt(open - 1), QChar(kOpenGlyphChar));
  EXPECT_EQ(glyph.foreground().color(), QColor(0, 128, 0));
  EXPECT_EQ(glyph.fontWeight(), QFont::Bold);
  EXPECT_EQ(glyph.background().color(), QColor(213, 232, 208));
  cursor.setPosition(open + 1);
  EXPECT_EQ(cursor.charFormat().fontPointSize(), 1);
  EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(192, 220, 192));
  EXPECT_GT(glyph.baselineOffset(), 0);  // the raised text

  // The title is bold, the hint purple; the fraction and the figure are pictures.
  cursor.setPosition(1);
  EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
  const int hint = static_cast<int>(editor.Sheet().Text().find("[2, 3, 5]"));
  cursor.setPosition(hint + 1);
  EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(128, 0, 128));
  int pictures = 0;
  for (int pos = 0; pos < editor.Sheet().Size(); ++pos) {
    if (editor.Sheet().KindAt(pos) != ElementKind::Picture) continue;
    ++pictures;
    cursor.setPosition(pos + 1);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    const QImage shown =
        view.document()->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    EXPECT_GT(shown.width(), 1) << image.name().toStdString();
    EXPECT_GT(shown.height(), 10);
  }
  EXPECT_EQ(pictures, 2);
  EXPECT_EQ(view.Pictures().Count(), 2);
}

// "#InsImg_" entries come through the media hook: a picture, a text, nothing, or a failure that
// is traced and leaves nothing in the text; leaving the sheet empties both views.
TEST(EditorViewMedia, MediaEntriesComeThroughTheHook) {
  TraceLog trace;
  trace.SwitchOn();
  PracticeEditor editor(&trace);
  Editresult log;
  EditQR view(editor);
  view.SetLogView(&log);
  std::vector<std::string> asked;
  PictureSources sources;
  sources.media = [&asked](const std::string& reference) {
    asked.push_back(reference);
    MediaItem item;
    if (reference == "Lib;Pic\\a.bmp") {
      item.kind = MediaItem::Kind::Picture;
      item.picture = QImage(12, 9, QImage::Format_RGB32);
      item.picture.fill(Qt::red);
    } else if (reference == "Lib;Txt\\t.txt") {
      item.kind = MediaItem::Kind::Text;
      item.text = "caf\xE9";
    } else if (reference == "Lib;Snd\\s.mp3") {
      item.kind = MediaItem::Kind::Nothing;
    }
    return item;
  };
  view.SetPictureSources(sources);
  view.OpenSheet(
      {"A #InsImg_ Lib;Pic\\a.bmp $B#InsImg_Lib;Txt\\t.txt$C#InsImg_Lib;Snd\\s.mp3$"
       "D#InsImg_Lib;gone.bmp$ {1}"});
  EXPECT_EQ(asked, (std::vector<std::string>{"Lib;Pic\\a.bmp", "Lib;Txt\\t.txt", "Lib;Snd\\s.mp3",
                                             "Lib;gone.bmp"}));
  const std::string text = view.ViewText();
  EXPECT_EQ(text.substr(0, 15), std::string("A ") + kPictureByte +
                                    "Bcaf\xE9"
                                    "CD " +
                                    kGlyphOpen + kFieldOpen + "  ");
  EXPECT_EQ(text, editor.Sheet().Text());
  EXPECT_EQ(log.ViewText(), editor.Log().Text());
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{std::string(kPictureFailedTrace)});
  QTextCursor cursor(view.document());
  cursor.setPosition(3);
  const QImage shown =
      view.document()
          ->resource(QTextDocument::ImageResource, QUrl(cursor.charFormat().toImageFormat().name()))
          .value<QImage>();
  EXPECT_EQ(shown.size(), QSize(12, 9));

  view.ClearSheet();
  EXPECT_EQ(view.ViewText(), "");
  EXPECT_EQ(log.ViewText(), "");
  EXPECT_EQ(view.Pictures().Count(), 0);
}

TEST_F(EditorViewTest, TypingFollowsTheFieldRules) {
  struct Case {
    const char* what;
    QString typed;
    std::string field;
  };
  const Case cases[] = {
      {"digits", "19", "19"},
      {"a second space is refused", "a  b", "a b"},
      {"slash, colon and question mark are refused", "3/4:?", "34"},
      {"acute accent types an apostrophe", QString::fromUtf16(u"l\u00B4eau"), "l'eau"},
      {"accented letters pass", QString::fromUtf16(u"\u00E9t\u00E9"), "\xE9t\xE9"},
      {"control characters do nothing", "1\t2\x1b", "12"},
  };
  for (const Case& c : cases) {
    Open({"Q {x} R"});
    Type(c.typed);
    EXPECT_EQ(Field(0), c.field) << c.what;
    ExpectInSync();
  }
  // Typed text is blue.
  QTextCursor cursor(view.document());
  cursor.setPosition(FieldSpanOf(editor.Sheet(), 0).begin + 1);
  EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 0, 255));
}

TEST_F(EditorViewTest, AFieldHoldsTwentyNineCharacters) {
  Open({"Q {x} R"});
  Type("a");
  Press(Qt::Key_Delete);
  Press(Qt::Key_Delete);  // the placeholder spaces are gone: the field holds "a"
  ASSERT_EQ(RawField(0), "a");
  Type(QString(29, 'b'));
  EXPECT_EQ(RawField(0), "a" + std::string(28, 'b'));
  Press(Qt::Key_Backspace);
  Press(Qt::Key_Left);
  EXPECT_EQ(RawField(0).size(), 28u);
  ExpectInSync();
}

TEST_F(EditorViewTest, ErasingAFieldLeavesTwoSpaces) {
  Open({"Q {x} R"});
  Type("7");
  Press(Qt::Key_Backspace);
  EXPECT_EQ(RawField(0), "  ");
  // Backspace at the field start and Delete at its end erase nothing of the text around it.
  const std::string outside = OutsideFields(editor.Sheet().Text());
  Press(Qt::Key_Backspace);
  Press(Qt::Key_Right);
  Press(Qt::Key_Right);
  Press(Qt::Key_Delete);
  Press(Qt::Key_Delete);
  EXPECT_EQ(RawField(0), "  ");
  EXPECT_EQ(OutsideFields(editor.Sheet().Text()), outside);
  ExpectInSync();
}

TEST_F(EditorViewTest, NothingChangesTextOutsideAFieldOrSelects) {
  Open(kSample);
  const std::string text = editor.Sheet().Text();
  QApplication::clipboard()->setText("PASTED");
  if (QApplication::clipboard()->supportsSelection())
    QApplication::clipboard()->setText("PASTED", QClipboard::Selection);

  // The caret outside every field: typing, erasing and composing are refused.
  editor.SetCaret(3);
  view.ShowEditorDocuments();
  Type("x1 ");
  Press(Qt::Key_Backspace);
  Press(Qt::Key_Delete);
  Press(Qt::Key_Return);
  QInputMethodEvent composed;
  composed.setCommitString("xyz");
  QApplication::sendEvent(&view, &composed);
  EXPECT_EQ(editor.Sheet().Text(), text);

  // In a field: shortcuts, Shift moves, drags, double and triple clicks, the middle button,
  // drops and a committed composition that holds refused characters.
  const int begin = FieldSpanOf(editor.Sheet(), 1).begin;
  Click(begin + 1);
  const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
  for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Up,
                      Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown})
    Press(key, {}, shift);
  for (Qt::Key key : {Qt::Key_A, Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_Y})
    Press(key, QString(QChar(static_cast<char16_t>(key - Qt::Key_A + 1))), Qt::ControlModifier);
  Press(Qt::Key_V, "v", Qt::ControlModifier);
  Press(Qt::Key_Insert, {}, Qt::ShiftModifier);
  EXPECT_EQ(editor.Sheet().Text(), text);
  EXPECT_FALSE(view.textCursor().hasSelection());

  heldButtons = Qt::LeftButton;
  Mouse(QEvent::MouseButtonPress, 2, Qt::LeftButton);
  Mouse(QEvent::MouseMove, begin, Qt::LeftButton);
  Mouse(QEvent::MouseMove, editor.Sheet().Size() - 1, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, editor.Sheet().Size() - 1, Qt::LeftButton);
  heldButtons = {};
  EXPECT_FALSE(view.textCursor().hasSelection());
  for (int clicks = 0; clicks < 3; ++clicks) {
    Mouse(clicks == 1 ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, 20, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 20, Qt::LeftButton);
  }
  EXPECT_FALSE(view.textCursor().hasSelection());
  Click(begin, Qt::MiddleButton);
  auto* mime = new QMimeData;
  mime->setText("DROPPED");
  QDragEnterEvent enter(PointOf(begin), Qt::CopyAction, mime, Qt::LeftButton, {});
  QApplication::sendEvent(view.viewport(), &enter);
  QDropEvent drop(QPointF(PointOf(begin)), Qt::CopyAction, mime, Qt::LeftButton, {});
  QApplication::sendEvent(view.viewport(), &drop);
  delete mime;
  EXPECT_FALSE(drop.isAccepted());
  EXPECT_EQ(editor.Sheet().Text(), text);

  Click(begin);
  QInputMethodEvent inField;
  inField.setCommitString("x/y");
  QApplication::sendEvent(&view, &inField);
  EXPECT_EQ(Field(1), "xy");
  EXPECT_EQ(OutsideFields(editor.Sheet().Text()), OutsideFields(text));
  ExpectInSync();
}

TEST_F(EditorViewTest, AClickOutsideAFieldMovesTheCaretIntoTheNearestOne) {
  Open({"First line with a field {1} here", "Second line {2} and {3} end"});
  const std::string& text = editor.Sheet().Text();
  struct Case {
    const char* what;
    int clicked;
    int caret;
  };
  const int second = static_cast<int>(text.find("Second"));
  const Case cases[] = {
      {"text before the first field", 2, FieldSpanOf(editor.Sheet(), 0).begin},
      {"start of the second line", second + 1, FieldSpanOf(editor.Sheet(), 1).begin},
      {"after the last field", static_cast<int>(text.find("end")) + 2,
       FieldSpanOf(editor.Sheet(), 2).end},
  };
  for (const Case& c : cases) {
    Click(c.clicked);
    EXPECT_EQ(editor.Caret(), c.caret) << c.what;
    EXPECT_TRUE(editor.Place(editor.Caret()).inside) << c.what;
    ExpectInSync();
  }
  // The pointer: the help shape over a field, the hand elsewhere.
  MouseAt(QEvent::MouseMove, PointOf(FieldSpanOf(editor.Sheet(), 1).begin + 1), Qt::NoButton);
  EXPECT_EQ(view.viewport()->cursor().shape(), Qt::WhatsThisCursor);
  EXPECT_TRUE(view.Writable());
  MouseAt(QEvent::MouseMove, PointOf(second + 2), Qt::NoButton);
  EXPECT_EQ(view.viewport()->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(view.Writable());
}

TEST_F(EditorViewTest, TheValuePickerInsertsAValue) {
  Open({"Choose #FoPur_ [2, 3, 5] $ {3} please"});
  const int begin = FieldSpanOf(editor.Sheet(), 0).begin;
  Click(begin + 1, Qt::RightButton);
  TForm1* picker = view.ValuePicker();
  ASSERT_TRUE(picker->isVisible());
  EXPECT_EQ(picker->width(), 90);
  QListWidget* list = picker->List();
  EXPECT_EQ(list->objectName(), "LB_ValueForInsert");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentRow(), 0);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_FALSE(picker->isVisible());
  EXPECT_EQ(Field(0), "3");
  EXPECT_TRUE(editor.AnswersChanged());
  ExpectInSync();

  // Escape and a right click close it without a value; a double click picks.
  Click(begin + 1, Qt::RightButton);
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(picker->isVisible());
  Click(begin + 1, Qt::RightButton);
  QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                    list->visualItemRect(list->item(1)).center());
  EXPECT_FALSE(picker->isVisible());
  EXPECT_EQ(Field(0), "3");
  Click(begin + 1, Qt::RightButton);
  const QPoint third = list->visualItemRect(list->item(2)).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, QPointF(third), QPointF(list->viewport()->mapToGlobal(third)),
                      Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &event);
  }
  EXPECT_EQ(Field(0), "53");  // the caret stood before the "3"
  ExpectInSync();
}

TEST_F(EditorViewTest, TheAnswerListAndTheWordBank) {
  Open({"One {cat} two {dog}"});
  editor.SetAnswerList({"dog", "cat"});
  Click(FieldSpanOf(editor.Sheet(), 1).begin, Qt::RightButton);
  EXPECT_EQ(view.ValuePicker()->width(), 150);
  EXPECT_EQ(view.ValuePicker()->List()->item(0)->text(), "cat");
  QTest::keyClick(view.ValuePicker()->List(), Qt::Key_Escape);

  // Without choices and answer list, the word-bank entry shows in the hint box.
  Open({"One {cat} two {dog}"}, {"*a*", "*o*"});
  Click(FieldSpanOf(editor.Sheet(), 1).begin, Qt::RightButton);
  HintBox* hint = view.WordHint();
  ASSERT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->Text(), "*o*");
  EXPECT_EQ(hint->size(), QSize(15 * 3 + 20, 25));
  EXPECT_LT(hint->geometry().bottom(),
            view.viewport()->mapToGlobal(view.cursorRect().topLeft()).y());
  // A moving pointer closes it only after its delay; a click at once.
  QTest::mouseMove(hint, QPoint(5, 5));
  EXPECT_TRUE(hint->isVisible());
  hint->SetMoveCloseDelay(0);
  QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), QPointF(hint->mapToGlobal(QPoint(6, 6))),
                   Qt::NoButton, {}, {});
  QApplication::sendEvent(hint, &move);
  EXPECT_FALSE(hint->isVisible());
  Click(FieldSpanOf(editor.Sheet(), 0).begin, Qt::RightButton);
  EXPECT_EQ(hint->Text(), "*a*");
  QTest::mouseClick(hint, Qt::LeftButton);
  EXPECT_FALSE(hint->isVisible());
}

TEST_F(EditorViewTest, TheKeyboardInsertsALetter) {
  Open({"Mot {\xE9t\xE9} fin"});
  view.ShowKeyboard();
  TfoKeybVr* keyboard = view.Keyboard();
  ASSERT_TRUE(keyboard->isVisible());
  EXPECT_EQ(keyboard->windowTitle(), "FL Keyboard");
  EXPECT_TRUE(keyboard->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(TfoKeybVr::FrenchLetters().size(), 21);
  EXPECT_EQ(TfoKeybVr::GermanLetters().size(), 7);
  QPushButton* first = keyboard->LetterButton(TfoKeybVr::FrenchLetters()[0]);
  QPushButton* second = keyboard->LetterButton(TfoKeybVr::FrenchLetters()[1]);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->size(), QSize(25, 25));
  EXPECT_EQ(second->x() - first->x(), 30);
  EXPECT_EQ(keyboard->LetterButton(TfoKeybVr::GermanLetters()[0])->y() - first->y(), 30);

  // A letter closes the keyboard and goes to the caret, also one the typing rules refuse.
  QTest::mouseClick(keyboard->LetterButton(QChar(u'\u00E9')), Qt::LeftButton);
  EXPECT_FALSE(keyboard->isVisible());
  view.ShowKeyboard();
  QTest::mouseClick(keyboard->LetterButton(QChar(u'\u00C1')), Qt::LeftButton);
  EXPECT_EQ(Field(0), "\xE9\xC1");
  ExpectInSync();

  // The close picture closes it without a letter; dragging the top strip moves it.
  view.ShowKeyboard();
  const QPoint before = keyboard->pos();
  QTest::mousePress(keyboard, Qt::LeftButton, {}, QPoint(100, 10));
  QMouseEvent drag(QEvent::MouseMove, QPointF(130, 25),
                   QPointF(keyboard->mapToGlobal(QPoint(130, 25))), Qt::NoButton, Qt::LeftButton,
                   {});
  QApplication::sendEvent(keyboard, &drag);
  QTest::mouseRelease(keyboard, Qt::LeftButton, {}, QPoint(130, 25));
  EXPECT_EQ(keyboard->pos() - before, QPoint(30, 15));
  keyboard->findChild<QToolButton*>("Img_KeybClose")->click();
  EXPECT_FALSE(keyboard->isVisible());
  EXPECT_EQ(Field(0), "\xE9\xC1");
}

TEST_F(EditorViewTest, TheInsertBoxInsertsItsText) {
  Open({"Q {x} R"});
  InsertBox box;
  QObject::connect(&box, &InsertBox::InsertRequested, &view, &EditQR::InsertAtCaret);
  box.show();
  auto* toggle = box.findChild<QPushButton*>("Bt_1PlusMoins");
  ASSERT_TRUE(toggle);
  EXPECT_EQ(toggle->text(), "+");
  EXPECT_TRUE(box.findChild<QFrame*>("Pa_Insert")->isHidden());
  toggle->click();
  EXPECT_EQ(toggle->text(), "-");
  EXPECT_FALSE(box.findChild<QFrame*>("Pa_Insert")->isHidden());
  box.findChild<QLineEdit*>("Ed_InsertTxt")->setText(QString::fromUtf16(u"\u00BD"));
  box.findChild<QPushButton*>("Bt_Insert")->click();
  EXPECT_EQ(Field(0), "\xBD");
  ExpectInSync();
  toggle->click();
  EXPECT_EQ(toggle->text(), "+");
}

TEST_F(EditorViewTest, NavigationMovesAndScrolls) {
  Lines lines;
  for (int i = 0; i < 40; ++i)
    lines.push_back("Question " + std::to_string(i) + " = {" + std::to_string(i) + "}");
  Open(lines);
  ASSERT_EQ(view.FirstVisibleLine(), 0);
  ASSERT_LT(view.LastVisibleLine(), 30);

  // Every move to the next field keeps a line or more in sight below the caret: once the
  // caret's line reaches the bottom, the view moves two lines on.
  for (int k = 1; k < 40; ++k) {
    view.GoToNextField();
    ASSERT_EQ(editor.FieldAt(editor.Caret()).index, k);
    ASSERT_EQ(view.CaretLine(), k);
    ASSERT_TRUE(view.CaretLineVisible()) << k;
    ASSERT_LT(view.CaretLine(), view.LastVisibleLine()) << k;
  }
  EXPECT_GT(view.FirstVisibleLine(), 20);

  // Page Up scrolls without moving the caret.
  const int caret = editor.Caret();
  const int first = view.FirstVisibleLine();
  Press(Qt::Key_PageUp);
  EXPECT_LT(view.FirstVisibleLine(), first);
  EXPECT_EQ(editor.Caret(), caret);
  EXPECT_EQ(view.textCursor().position(), caret);
  // Typing brings the caret back in sight.
  Press(Qt::Key_PageUp);
  ASSERT_FALSE(view.CaretLineVisible());
  Type("5");
  EXPECT_TRUE(view.CaretLineVisible());

  // The caret's line to the top; then the previous field, above the top line: the view shows
  // one line more above it.
  editor.GoToField(20);
  view.ApplySheetEdits({});
  view.ScrollCaretLineToTop();
  EXPECT_EQ(view.FirstVisibleLine(), 20);
  view.GoToPreviousField();
  EXPECT_EQ(view.CaretLine(), 19);
  EXPECT_EQ(view.FirstVisibleLine(), 18);
  // The next field from the first line, with the view at the top: no scrolling.
  view.ScrollLines(-100);
  editor.GoToField(0);
  view.ShowEditorDocuments();
  view.GoToNextField();
  EXPECT_EQ(view.FirstVisibleLine(), 0);
  ExpectInSync();
}

TEST_F(EditorViewTest, TheViewFollowsTheEditorThroughRandomEvents) {
  Open(kSample, {"*9", "*6", "*", "*,75", "*,*5", "d*g", "h*use"});
  editor.SetAnswerList({"dog", "19", "house"});
  const std::string outside = OutsideFields(editor.Sheet().Text());
  std::mt19937 random(20240307);
  const QString typed = QString::fromUtf16(u"ab 1,2-=/?:\u00E9\u00B4\u00DF*");
  const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete,   Qt::Key_Left,   Qt::Key_Right,
                          Qt::Key_Home,      Qt::Key_End,      Qt::Key_Up,     Qt::Key_Down,
                          Qt::Key_PageUp,    Qt::Key_PageDown, Qt::Key_Return, Qt::Key_Tab};
  for (int step = 0; step < 600; ++step) {
    const int size = editor.Sheet().Size();
    const int pos = std::uniform_int_distribution<int>(0, size - 1)(random);
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
      case 0:
      case 1:
      case 2:
        Type(QString(typed[std::uniform_int_distribution<int>(0, typed.size() - 1)(random)]));
        break;
      case 3:
        Press(keys[std::uniform_int_distribution<int>(0, 11)(random)], {},
              random() % 4 == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        break;
      case 4:
        Click(pos);
        break;
      case 5:
        heldButtons = Qt::LeftButton;
        Mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton);
        Mouse(QEvent::MouseMove, (pos + 17) % size, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, (pos + 31) % size, Qt::LeftButton);
        heldButtons = {};
        break;
      case 6:
        Click(pos, Qt::RightButton);
        if (view.ValuePicker()->isVisible()) {
          QTest::keyClick(view.ValuePicker()->List(),
                          random() % 2 ? Qt::Key_Return : Qt::Key_Escape);
        }
        if (view.WordHint()->isVisible()) view.WordHint()->close();
        break;
      case 7:
        random() % 2 ? view.GoToNextField() : view.GoToPreviousField();
        break;
      case 8:
        view.InsertAtCaret(random() % 2 ? "x" : QString::fromUtf16(u"\u00E0"));
        break;
      default:
        Mouse(QEvent::MouseButtonDblClick, pos, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, pos, Qt::LeftButton);
        break;
    }
    ASSERT_EQ(view.ViewText(), editor.Sheet().Text()) << "step " << step;
    ASSERT_EQ(view.textCursor().position(), editor.Caret()) << "step " << step;
    ASSERT_FALSE(view.textCursor().hasSelection()) << "step " << step;
    ASSERT_EQ(OutsideFields(editor.Sheet().Text()), outside) << "step " << step;
  }
  ExpectInSync();
}

// A view over a practice session: Enter checks the field through the session; the colours of
// the sheet and the history of the log reach both views; the Check button's change applies.
TEST(EditorViewSession, EnterChecksThroughTheSession) {
  test::SessionFixture f;
  Editresult log;
  EditQR view(f.session);
  view.SetLogView(&log);
  view.resize(600, 200);
  view.show();
  f.Open({"Sum #DwF_1\\2$ {7} and {8}"}, CorrectionMode::A);
  view.ShowEditorDocuments();
  const PracticeEditor& editor = f.session.Editor();
  EXPECT_EQ(editor.Sheet().Pictures()[0].handle, 0);  // drawn by the view's pictures
  EXPECT_EQ(view.Pictures().Count(), 1);
  int checked = 0;
  QObject::connect(&view, &EditQR::Checked, [&checked] { ++checked; });
  auto key = [&view](Qt::Key code, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(&view, &press);
  };

  // Mode A: a wrong answer turns red, goes to the log and keeps the caret in its field.
  key(Qt::Key_unknown, "6");
  key(Qt::Key_Return);
  EXPECT_EQ(checked, 1);
  EXPECT_EQ(editor.FieldAt(editor.Caret()).index, 0);
  QTextCursor cursor(view.document());
  cursor.setPosition(FieldSpanOf(editor.Sheet(), 0).begin + 1);
  EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
  EXPECT_TRUE(ShowsModel(*view.document(), editor.Sheet()));
  EXPECT_TRUE(ShowsModel(*log.document(), editor.Log()));
  EXPECT_NE(log.ViewText().find('6'), std::string::npos);

  // Put right, the answer turns green and the caret moves on.
  key(Qt::Key_Backspace);
  key(Qt::Key_unknown, "7");
  key(Qt::Key_Return);
  EXPECT_EQ(editor.FieldAt(editor.Caret()).index, 1);
  EXPECT_EQ(view.textCursor().position(), editor.Caret());
  cursor.setPosition(FieldSpanOf(editor.Sheet(), 0).begin + 1);
  EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 128, 0));
  EXPECT_TRUE(ShowsModel(*view.document(), editor.Sheet()));
  EXPECT_TRUE(ShowsModel(*log.document(), editor.Log()));

  key(Qt::Key_unknown, "9");
  view.ApplySessionChange(f.session.CheckButton());
  EXPECT_TRUE(ShowsModel(*view.document(), editor.Sheet()));
  EXPECT_TRUE(ShowsModel(*log.document(), editor.Log()));
  EXPECT_EQ(f.session.CurrentTally().Text(), "0/1/2");
}

// Whether the picture holds a pixel of that colour (or one within 8 of each part).
bool HasColour(const QImage& picture, const QColor& colour) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x)
      if (std::abs(qRed(row[x]) - colour.red()) <= 8 &&
          std::abs(qGreen(row[x]) - colour.green()) <= 8 &&
          std::abs(qBlue(row[x]) - colour.blue()) <= 8)
        return true;
  }
  return false;
}

// The painted sheet, keyboard and picker show their colours. With QUILLO_SCREENSHOT_DIR set,
// the pictures are also saved there.
TEST_F(EditorViewTest, PaintsTheSheetAndTheSmallWindows) {
  view.resize(820, 330);
  Open(kSample, {"1*", "2*", "*", "*,75", "*,*5", "d*g", "h*u*e"});
  Type("19");
  view.GoToNextField();
  Type("26");
  view.GoToNextField();
  Type("3");
  view.GoToNextField();
  view.activateWindow();
  view.setFocus();
  QApplication::processEvents();
  const QImage sheet = view.grab().toImage();
  EXPECT_EQ(sheet.pixelColor(view.viewport()->x() + 8, sheet.height() / 2), QColor(192, 220, 192));
  EXPECT_TRUE(HasColour(sheet, QColor(213, 232, 208)));  // the field ground
  EXPECT_TRUE(HasColour(sheet, QColor(0, 0, 255)));      // typed text
  EXPECT_TRUE(HasColour(sheet, QColor(128, 0, 128)));    // hints
  EXPECT_TRUE(HasColour(sheet, QColor(0, 0, 0)));

  view.ShowKeyboard();
  QApplication::processEvents();
  const QImage keyboard = view.Keyboard()->grab().toImage();
  EXPECT_EQ(keyboard.size(), view.Keyboard()->size());
  EXPECT_TRUE(HasColour(keyboard, QColor(255, 204, 153)));
  view.Keyboard()->close();

  Click(FieldSpanOf(editor.Sheet(), 0).begin + 1, Qt::RightButton);
  QApplication::processEvents();
  const QImage hint = view.WordHint()->grab().toImage();
  EXPECT_EQ(hint.pixelColor(hint.width() - 3, 2), QColor(238, 238, 170));
  view.WordHint()->close();

  Click(FieldSpanOf(editor.Sheet(), 2).begin + 1, Qt::RightButton);
  QApplication::processEvents();
  const QImage picker = view.ValuePicker()->grab().toImage();
  EXPECT_TRUE(HasColour(picker, QColor(213, 232, 208)));

  const QString folder = qEnvironmentVariable("QUILLO_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    QDir().mkpath(folder);
    sheet.save(folder + "/sheet_view.png");
    keyboard.save(folder + "/keyboard.png");
    hint.save(folder + "/hint_box.png");
    picker.save(folder + "/value_picker.png");
    QTest::qWait(200);
    if (QScreen* screen = QGuiApplication::primaryScreen())
      screen->grabWindow(0).save(folder + "/screen.png");
  }
  view.ValuePicker()->close();
}

}  // namespace
}  // namespace quillo
