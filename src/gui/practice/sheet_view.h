// The views of the practice editor: the sheet view EditQR, in which the pupil fills the answer
// fields, and the read-only log view Editresult. Both render the editor's documents; the sheet
// view forwards every key, click, drag and wheel turn to the editor, applies the edits it
// returns to its text and puts its caret where the editor's caret is. Nothing reaches Qt's own
// text editing: no typing, pasting, dropping or selecting outside the editor's rules.
#pragma once

#include <QPointer>
#include <QTextEdit>
#include <string>
#include <vector>

#include "gui/practice/sheet_pictures.h"
#include "gui/practice/sheet_text.h"
#include "practice/practice_editor.h"
#include "practice/practice_session.h"

class QTimer;

namespace quillo {

class HintBox;
class TForm1;
class TfoKeybVr;

// The log view: a read-only copy of the sheet with the answer history.
class Editresult : public QTextEdit {
  Q_OBJECT

 public:
  explicit Editresult(QWidget* parent = nullptr);

  // Shows the log document (pictures from the sheet's pictures).
  void Load(const SheetDocument& log, const SheetPictures* pictures);
  // Applies edits made to the log document (it is the document after them).
  void ApplyEdits(const SheetDocument& log, const std::vector<DocEdit>& edits);
  void ClearLog();
  // The text in the document's bytes (see ModelText).
  std::string ViewText() const { return ModelText(*document()); }

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  SheetTextWriter writer_;
};

// The sheet view.
class EditQR : public QTextEdit {
  Q_OBJECT

 public:
  // The editor holds the open sheet; it outlives the view.
  explicit EditQR(PracticeEditor& editor, QWidget* parent = nullptr);
  // A view over a practice session's editor (the session outlives the view): keys go through
  // the session, so that Enter checks the field and moves on as the correction mode says, and
  // the session's sheets take their pictures from this view.
  explicit EditQR(PracticeSession& session, QWidget* parent = nullptr);
  ~EditQR() override;

  PracticeEditor& Editor() { return editor_; }
  SheetPictures& Pictures() { return pictures_; }
  void SetPictureSources(PictureSources sources) { pictures_.SetSources(std::move(sources)); }
  // The log view that receives the log document; may be null.
  void SetLogView(Editresult* log) { log_ = log; }

  // --- The open sheet ---
  // Renders the question lines in the editor (pictures through Pictures()) and shows the sheet
  // and, in the log view, its log copy; the caret stands in the first field.
  void OpenSheet(const std::vector<std::string>& questionLines,
                 const std::vector<std::string>& wordBank = {});
  // Shows the editor's documents again as they are (a sheet resumed from a result).
  void ShowEditorDocuments();
  // Empties the editor, both views and the pictures (the sheet is left; a session's view is
  // cleared after the session has left its sheet, so that the next sheet's pictures start anew).
  void ClearSheet();
  // Applies edits that the editor made to the sheet outside this view's events (the check's
  // colours, the answer shown) and puts the caret where the editor has it.
  void ApplySheetEdits(const std::vector<DocEdit>& edits);
  // Applies what a session operation changed (Check button, go to empty or wrong): the sheet's
  // and the log's edits, the caret and the scrolling.
  void ApplySessionChange(const SessionChange& change);

  // --- Lines (0-based; the view does not wrap, so a line is a paragraph) ---
  int CaretLine() const;
  int FirstVisibleLine() const;  // the top line, also when only partly shown
  int LastVisibleLine() const;   // the bottom line, also when only partly shown
  bool CaretLineVisible() const;
  // Scrolls so that the line n lines below (above, for n < 0) the first visible one is at the
  // top.
  void ScrollLines(int lines);

  // Whether the field rules let the pupil write where the caret or the pointer is.
  bool Writable() const { return editor_.Writable(); }
  // The text in the sheet document's bytes (see ModelText).
  std::string ViewText() const { return ModelText(*document()); }

  // The small windows, created when first needed.
  TForm1* ValuePicker();
  HintBox* WordHint();
  TfoKeybVr* Keyboard();

 public slots:
  // BtHi_QstNavNext: the next field, then two lines down when the caret's line has reached the
  // last visible line.
  void GoToNextField();
  // BtHi_QstNavPrev: the previous field, then one line up when the first visible line is at or
  // below the caret's line.
  void GoToPreviousField();
  // BtHi_QstNavTopCaret: the caret's line to the top of the view.
  void ScrollCaretLineToTop();
  // The insert box, the keyboard: the text at the caret in the typed style.
  void InsertAtCaret(const QString& text);
  // BtHi_QstNavKeyBoard: the on-screen keyboard, while the caret's line is visible.
  void ShowKeyboard();

 signals:
  // Enter in a view without a session: the check of the current field is due.
  void CheckRequested();
  // Enter in a session's view: the field was checked (the tally, status and timer may have
  // changed) and its changes are shown.
  void Checked();
  // After every key: the practice window hides the log page.
  void KeyHandled();
  void WritableChanged(bool writable);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The caret is drawn by the view itself, as high as the text of its line: Qt's own caret
  // takes the height of the character before it, which at a field's start is the one-point
  // delimiter.
  QRect CaretRect() const;
  void RestartBlink();
  void Press(QMouseEvent* event);
  void TakeKey(const Key& key);
  // The key's outcome, with the check that Enter ran in a session.
  void TakeKeyOutcome(const KeyOutcome& outcome, const SessionChange* check);
  void TakeChange(const EditorChange& change);
  void ApplyEdits(const std::vector<DocEdit>& edits);
  void PlaceCaret(int pos);
  void ShowWritable();
  void ShowPointer(PointerShape shape);
  void MovePointerToCaret();
  void OfferValues(const PickerSource& source);
  int PositionAt(const QPoint& viewportPoint) const;

  PracticeEditor& editor_;
  PracticeSession* session_ = nullptr;
  SheetPictures pictures_;
  SheetTextWriter writer_;
  QPointer<Editresult> log_;
  TForm1* picker_ = nullptr;
  HintBox* hint_ = nullptr;
  TfoKeybVr* keyboard_ = nullptr;
  bool shownWritable_ = false;
  QTimer* blink_;
  bool caretOn_ = true;
  QRect shownCaret_;
};

}  // namespace quillo
