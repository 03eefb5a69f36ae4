#include "gui/practice/sheet_view.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "gui/practice/hint_box.h"
#include "gui/practice/letter_keyboard.h"
#include "gui/practice/value_picker.h"
#include "gui/shell/qt_text.h"

namespace quillo {

namespace {

// The colours and the frame both views share; they never wrap lines.
void SetUpView(QTextEdit& view) {
  view.setLineWrapMode(QTextEdit::NoWrap);
  view.setAcceptRichText(false);
  view.setFont(SheetFont(kDefaultText));
  QPalette palette = view.palette();
  palette.setColor(QPalette::Base, kViewBackground);
  palette.setColor(QPalette::Text, Qt::black);
  view.setPalette(palette);
  SheetTextWriter::Prepare(*view.document());
  // The raised text reaches above its line, past the area Qt repaints for a changed line: the
  // band above and below it is repainted too.
  QObject::connect(view.document()->documentLayout(), &QAbstractTextDocumentLayout::update, &view,
                   [&view](const QRectF& changed) {
                     const double band = kTextRaisePoints * view.logicalDpiY() / 72.0 + 3;
                     const QPointF offset(view.horizontalScrollBar()->value(),
                                          view.verticalScrollBar()->value());
                     const QRectF shown(offset, QSizeF(view.viewport()->size()));
                     const QRect area = changed.adjusted(0, -band, 0, band)
                                            .intersected(shown)
                                            .translated(-offset)
                                            .toAlignedRect();
                     if (!area.isEmpty()) view.viewport()->update(area);
                   });
}

// Shift turns the wheel into a horizontal scroll; true when the event was taken so.
bool ShiftWheel(QAbstractScrollArea& view, QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ShiftModifier)) return false;
  const QPoint delta = event->angleDelta();
  const int eighths = delta.y() != 0 ? delta.y() : delta.x();
  QScrollBar* bar = view.horizontalScrollBar();
  const int steps = eighths * QApplication::wheelScrollLines() * bar->singleStep() / 120;
  bar->setValue(bar->value() - steps);
  event->accept();
  return true;
}

// The editor's key of a key event.
Key KeyOf(const QKeyEvent& event) {
  Key key;
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  key.shift = modifiers & Qt::ShiftModifier;
  key.ctrl = modifiers & Qt::ControlModifier;
  key.alt = modifiers & Qt::AltModifier;
  switch (event.key()) {
    case Qt::Key_Backspace:
      key.code = KeyCode::Backspace;
      return key;
    case Qt::Key_Delete:
      key.code = KeyCode::Delete;
      return key;
    case Qt::Key_Left:
      key.code = KeyCode::Left;
      return key;
    case Qt::Key_Right:
      key.code = KeyCode::Right;
      return key;
    case Qt::Key_Up:
      key.code = KeyCode::Up;
      return key;
    case Qt::Key_Down:
      key.code = KeyCode::Down;
      return key;
    case Qt::Key_Home:
      key.code = KeyCode::Home;
      return key;
    case Qt::Key_End:
      key.code = KeyCode::End;
      return key;
    case Qt::Key_PageUp:
      key.code = KeyCode::PageUp;
      return key;
    case Qt::Key_PageDown:
      key.code = KeyCode::PageDown;
      return key;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      key.code = KeyCode::Enter;
      return key;
    case Qt::Key_Insert:
      key.code = KeyCode::Insert;
      return key;
    default:
      break;
  }
  const QString text = event.text();
  if (text.size() == 1 && !text[0].isNull()) {
    key.code = KeyCode::Character;
    key.ch = FromQt(text)[0];
    // Control characters (Ctrl+letter, Escape, Tab) are not typed text.
    if (static_cast<unsigned char>(key.ch) < 32 || key.ch == '\x7F') key.code = KeyCode::Other;
  }
  return key;
}

}  // namespace

// --- Editresult ---

Editresult::Editresult(QWidget* parent) : QTextEdit(parent) {
  setObjectName("Editresult");
  SetUpView(*this);
  setReadOnly(true);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setAcceptDrops(false);
  setContextMenuPolicy(Qt::NoContextMenu);
}

void Editresult::Load(const SheetDocument& log, const SheetPictures* pictures) {
  writer_.SetPictures(pictures);
  writer_.Load(*document(), log);
}

void Editresult::ApplyEdits(const SheetDocument& log, const std::vector<DocEdit>& edits) {
  writer_.Apply(*document(), log, edits);
}

void Editresult::ClearLog() {
  document()->clear();
  SheetTextWriter::Prepare(*document());
}

void Editresult::wheelEvent(QWheelEvent* event) {
  if (!ShiftWheel(*this, event)) QAbstractScrollArea::wheelEvent(event);
}

void Editresult::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

// --- EditQR ---

EditQR::EditQR(PracticeEditor& editor, QWidget* parent)
    : QTextEdit(parent), editor_(editor), writer_(&pictures_) {
  setObjectName("EditQR");
  SetUpView(*this);
  setUndoRedoEnabled(false);
  setCursorWidth(0);  // the view draws its own caret
  blink_ = new QTimer(this);
  blink_->setInterval(std::max(QApplication::cursorFlashTime() / 2, 100));
  connect(blink_, &QTimer::timeout, this, [this] {
    caretOn_ = !caretOn_;
    viewport()->update(shownCaret_.united(CaretRect()));
  });
  connect(this, &QTextEdit::cursorPositionChanged, this, &EditQR::RestartBlink);
  setAcceptDrops(false);
  viewport()->setAcceptDrops(false);
  viewport()->setMouseTracking(true);
  setContextMenuPolicy(Qt::PreventContextMenu);
  ShowPointer(PointerShape::Hand);
}

EditQR::EditQR(PracticeSession& session, QWidget* parent) : EditQR(session.Editor(), parent) {
  session_ = &session;
  session.SetPictureResolver(&pictures_);
}

EditQR::~EditQR() {
  if (session_) session_->SetPictureResolver(nullptr);
}

void EditQR::OpenSheet(const std::vector<std::string>& questionLines,
                       const std::vector<std::string>& wordBank) {
  pictures_.Clear();
  editor_.RenderSheet(questionLines, wordBank, &pictures_);
  ShowEditorDocuments();
}

void EditQR::ShowEditorDocuments() {
  writer_.Load(*document(), editor_.Sheet());
  if (log_) log_->Load(editor_.Log(), &pictures_);
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  PlaceCaret(editor_.Caret());
  ensureCursorVisible();
  ShowWritable();
}

void EditQR::ClearSheet() {
  editor_.Clear();
  pictures_.Clear();
  writer_.Load(*document(), editor_.Sheet());
  if (log_) log_->ClearLog();
  ShowWritable();
}

void EditQR::ApplySheetEdits(const std::vector<DocEdit>& edits) {
  ApplyEdits(edits);
  PlaceCaret(editor_.Caret());
  ShowWritable();
}

void EditQR::ApplySessionChange(const SessionChange& change) {
  ApplyEdits(change.sheetEdits);
  if (log_) log_->ApplyEdits(editor_.Log(), change.logEdits);
  PlaceCaret(change.caret);
  ScrollLines(change.scrollLines);
  ShowWritable();
}

// --- Lines ---

int EditQR::CaretLine() const { return textCursor().blockNumber(); }

// A line counts as visible when more than its edge pixel is in the view (line tops are not
// whole pixels).
int EditQR::FirstVisibleLine() const { return cursorForPosition(QPoint(0, 1)).blockNumber(); }

int EditQR::LastVisibleLine() const {
  return cursorForPosition(QPoint(0, std::max(viewport()->height() - 2, 0))).blockNumber();
}

bool EditQR::CaretLineVisible() const {
  const int line = CaretLine();
  return line >= FirstVisibleLine() && line <= LastVisibleLine();
}

void EditQR::ScrollLines(int lines) {
  if (lines == 0) return;
  const int target = std::clamp(FirstVisibleLine() + lines, 0, document()->blockCount() - 1);
  const QTextBlock block = document()->findBlockByNumber(target);
  const int top =
      target == 0 ? 0 : qRound(document()->documentLayout()->blockBoundingRect(block).top());
  verticalScrollBar()->setValue(top);
}

// --- Navigation ---

void EditQR::GoToNextField() {
  PlaceCaret(editor_.GoToNextField());
  ScrollLines(ScrollAfterNextField(CaretLine(), LastVisibleLine()));
  ShowWritable();
  setFocus(Qt::OtherFocusReason);
}

void EditQR::GoToPreviousField() {
  PlaceCaret(editor_.GoToPreviousField());
  ScrollLines(ScrollAfterPreviousField(CaretLine(), FirstVisibleLine()));
  ShowWritable();
  setFocus(Qt::OtherFocusReason);
}

void EditQR::ScrollCaretLineToTop() {
  ScrollLines(quillo::ScrollCaretLineToTop(CaretLine(), FirstVisibleLine()));
  setFocus(Qt::OtherFocusReason);
}

void EditQR::InsertAtCaret(const QString& text) { TakeChange(editor_.InsertAtCaret(FromQt(text))); }

void EditQR::ShowKeyboard() {
  if (!CaretLineVisible()) return;
  TfoKeybVr* keyboard = Keyboard();
  const QRect caret = CaretRect();
  QPoint at = viewport()->mapToGlobal(QPoint(kLeftTextMargin, caret.bottom() + 8));
  if (const QScreen* screen = QGuiApplication::screenAt(at)) {
    const QRect area = screen->availableGeometry();
    if (at.y() + keyboard->height() > area.bottom())
      at.setY(viewport()->mapToGlobal(caret.topLeft()).y() - keyboard->height() - 8);
    at.setX(
        std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - keyboard->width())));
    at.setY(std::max(at.y(), area.top()));
  }
  keyboard->move(at);
  keyboard->show();
  keyboard->raise();
}

// --- The small windows ---

TForm1* EditQR::ValuePicker() {
  if (!picker_) {
    picker_ = new TForm1(this);
    connect(picker_, &TForm1::ValuePicked, this,
            [this](const QString& value) { TakeChange(editor_.PickValue(FromQt(value))); });
  }
  return picker_;
}

HintBox* EditQR::WordHint() {
  if (!hint_) hint_ = new HintBox(this);
  return hint_;
}

TfoKeybVr* EditQR::Keyboard() {
  if (!keyboard_) {
    keyboard_ = new TfoKeybVr(this);
    connect(keyboard_, &TfoKeybVr::LetterChosen, this, [this](const QString& letter) {
      activateWindow();
      InsertAtCaret(letter);
    });
  }
  return keyboard_;
}

void EditQR::OfferValues(const PickerSource& source) {
  const QRect caret = CaretRect();
  switch (source.kind) {
    case PickerSource::Kind::Choices:
    case PickerSource::Kind::AnswerList:
      ValuePicker()->Offer(source.values, source.width,
                           viewport()->mapToGlobal(caret.topRight() + QPoint(6, 0)));
      break;
    case PickerSource::Kind::WordBank:
      WordHint()->ShowHint(
          ToQt(source.hint), QSize(source.width, source.height),
          viewport()->mapToGlobal(QPoint(caret.left(), caret.top() - source.height - 2)));
      break;
    case PickerSource::Kind::None:
      break;
  }
}

// --- Applying the editor's decisions ---

void EditQR::ApplyEdits(const std::vector<DocEdit>& edits) {
  writer_.Apply(*document(), editor_.Sheet(), edits);
}

void EditQR::PlaceCaret(int pos) {
  QTextCursor cursor = textCursor();
  if (cursor.position() == pos && !cursor.hasSelection()) return;
  cursor.setPosition(std::clamp(pos, 0, editor_.Sheet().Size()));
  setTextCursor(cursor);
}

void EditQR::ShowWritable() {
  const bool writable = editor_.Writable();
  if (writable == shownWritable_) return;
  shownWritable_ = writable;
  setProperty("writable", writable);
  emit WritableChanged(writable);
}

void EditQR::ShowPointer(PointerShape shape) {
  viewport()->setCursor(shape == PointerShape::Help ? Qt::WhatsThisCursor : Qt::PointingHandCursor);
}

void EditQR::MovePointerToCaret() {
  QCursor::setPos(viewport()->mapToGlobal(CaretRect().center()));
}

QRect EditQR::CaretRect() const {
  const QTextCursor cursor = textCursor();
  const QTextBlock block = cursor.block();
  const QTextLayout* layout = block.layout();
  if (!layout) return {};
  const QTextLine line = layout->lineForTextPosition(cursor.position() - block.position());
  if (!line.isValid()) return {};
  // The caret spans the text of the line: a twelve-point line on the raised base line.
  const QFontMetricsF metrics(SheetFont(kDefaultText));
  const double raise = kTextRaisePoints * logicalDpiY() / 72.0;
  const QPointF origin =
      layout->position() - QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const double x = origin.x() + line.cursorToX(cursor.position() - block.position());
  const double baseline = origin.y() + line.y() + line.ascent() - raise;
  return QRectF(x - 1, baseline - metrics.ascent(), 2, metrics.height()).toAlignedRect();
}

void EditQR::RestartBlink() {
  caretOn_ = true;
  viewport()->update(shownCaret_);
  shownCaret_ = CaretRect();
  viewport()->update(shownCaret_);
  if (QApplication::cursorFlashTime() > 0) blink_->start();
}

void EditQR::paintEvent(QPaintEvent* event) {
  QTextEdit::paintEvent(event);
  if (!caretOn_ || !hasFocus()) return;
  shownCaret_ = CaretRect();
  QPainter painter(viewport());
  painter.fillRect(shownCaret_, Qt::black);
}

void EditQR::focusInEvent(QFocusEvent* event) {
  QTextEdit::focusInEvent(event);
  RestartBlink();
}

void EditQR::focusOutEvent(QFocusEvent* event) {
  QTextEdit::focusOutEvent(event);
  blink_->stop();
  viewport()->update(shownCaret_);
}

void EditQR::TakeKey(const Key& key) {
  if (!session_) {
    TakeKeyOutcome(editor_.HandleKey(key), nullptr);
    return;
  }
  const PracticeSession::KeyResult result = session_->HandleKey(key);
  TakeKeyOutcome(result.key, result.checked ? &result.check : nullptr);
}

void EditQR::TakeKeyOutcome(const KeyOutcome& outcome, const SessionChange* check) {
  ApplyEdits(outcome.edits);
  if (check) {
    ApplyEdits(check->sheetEdits);
    if (log_) log_->ApplyEdits(editor_.Log(), check->logEdits);
  }
  switch (outcome.scroll) {
    case PageScroll::PageUp:
      verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
      break;
    case PageScroll::PageDown:
      verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
      break;
    case PageScroll::None:
      PlaceCaret(outcome.caret);
      // What was typed is in sight, also after a page was scrolled away from the caret.
      if (!outcome.edits.empty()) ensureCursorVisible();
      break;
  }
  ShowWritable();
  if (check) {
    // After the check the caret may have moved on: the next lines come into sight.
    ScrollLines(ScrollAfterNextField(CaretLine(), LastVisibleLine()));
    emit Checked();
  } else if (outcome.runCheck) {
    emit CheckRequested();
  }
  emit KeyHandled();
}

void EditQR::TakeChange(const EditorChange& change) {
  ApplyEdits(change.edits);
  PlaceCaret(change.caret);
  ensureCursorVisible();
  ShowWritable();
  setFocus(Qt::OtherFocusReason);
  if (change.movePointerToCaret) MovePointerToCaret();
}

int EditQR::PositionAt(const QPoint& viewportPoint) const {
  return cursorForPosition(viewportPoint).position();
}

// --- Events: everything goes to the editor ---

void EditQR::keyPressEvent(QKeyEvent* event) {
  event->accept();
  TakeKey(KeyOf(*event));
}

void EditQR::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void EditQR::inputMethodEvent(QInputMethodEvent* event) {
  // A composed text is typed character by character under the field rules; what is being
  // composed is not shown in the text.
  event->accept();
  const QString committed = event->commitString();
  for (const QChar ch : committed) {
    const std::string byte = FromQt(QString(ch));
    if (byte.size() == 1) TakeKey(Key::Char(byte[0]));
  }
}

void EditQR::Press(QMouseEvent* event) {
  event->accept();
  MouseButton button;
  switch (event->button()) {
    case Qt::LeftButton:
      button = MouseButton::Left;
      break;
    case Qt::RightButton:
      button = MouseButton::Right;
      break;
    case Qt::MiddleButton:
      button = MouseButton::Middle;
      break;
    default:
      return;
  }
  setFocus(Qt::MouseFocusReason);
  const ClickOutcome outcome = editor_.MousePress(PositionAt(event->position().toPoint()), button);
  PlaceCaret(outcome.caret);
  ShowWritable();
  ShowPointer(outcome.writable ? PointerShape::Help : PointerShape::Hand);
  if (outcome.movePointerToCaret) MovePointerToCaret();
  if (button == MouseButton::Right) OfferValues(outcome.picker);
}

void EditQR::mousePressEvent(QMouseEvent* event) { Press(event); }

// A double (or triple) click is one more click: it never selects.
void EditQR::mouseDoubleClickEvent(QMouseEvent* event) { Press(event); }

void EditQR::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  const HoverOutcome outcome = editor_.MouseMove(PositionAt(event->position().toPoint()));
  ShowPointer(outcome.shape);
  ShowWritable();
}

void EditQR::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  const HoverOutcome outcome = editor_.MouseRelease(PositionAt(event->position().toPoint()));
  ShowPointer(outcome.shape);
  ShowWritable();
}

void EditQR::wheelEvent(QWheelEvent* event) {
  // Scrolling only: the wheel never zooms the text.
  if (!ShiftWheel(*this, event)) QAbstractScrollArea::wheelEvent(event);
}

void EditQR::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

void EditQR::dragEnterEvent(QDragEnterEvent* event) { event->ignore(); }

void EditQR::dragMoveEvent(QDragMoveEvent* event) { event->ignore(); }

void EditQR::dropEvent(QDropEvent* event) { event->ignore(); }

bool EditQR::canInsertFromMimeData(const QMimeData*) const { return false; }

void EditQR::insertFromMimeData(const QMimeData*) {}

}  // namespace quillo
