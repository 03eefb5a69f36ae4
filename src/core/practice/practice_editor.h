// The practice editor: the open sheet's documents (sheet view and log view), the caret, the
// expected answers and the pupil's editing under the field rules. A view builds its text
// documents from Sheet() and Log() after RenderSheet, forwards every key and mouse event here
// and applies the returned edits and caret; the editor keeps the authoritative text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "practice/field_model.h"
#include "practice/sheet_document.h"
#include "practice/sheet_render.h"

namespace quillo {

class TraceLog;

enum class KeyCode : uint8_t {
  Character,  // a typed character (Key::ch, Windows-1252)
  Backspace,
  Delete,
  Left,
  Right,
  Up,
  Down,
  Home,
  End,
  PageUp,
  PageDown,
  Enter,
  Insert,
  Other,       // any other key (Tab, Escape, function keys, a modifier alone)
  MouseClick,  // only for AcceptKeyAt: the test a click or the pointer makes
};

struct Key {
  KeyCode code = KeyCode::Other;
  char ch = 0;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;

  static Key Char(char c) { return {KeyCode::Character, c, false, false, false}; }
  static Key Of(KeyCode code, bool shift = false) { return {code, 0, shift, false, false}; }
};

enum class PageScroll : uint8_t { None, PageUp, PageDown };

// What a key did. The edits are to be applied in order, then the caret set; after every key the
// view hides the log page and keeps the focus with an empty selection.
struct KeyOutcome {
  bool accepted = false;                 // the key changed the text or moved the caret
  bool writable = false;                 // the view's state after the key: writable, or read-only
  bool runCheck = false;                 // Enter: the check of the current field is due
  PageScroll scroll = PageScroll::None;  // Page Up / Page Down: scroll a page, caret unchanged
  std::vector<DocEdit> edits;
  int caret = 0;
};

// A change made by InsertAtCaret or by the value picker.
struct EditorChange {
  std::vector<DocEdit> edits;
  int caret = 0;
  bool movePointerToCaret = false;
};

// A picture the view could not produce after all, taken out of both documents.
struct PictureRemoval {
  std::vector<DocEdit> sheetEdits;
  std::vector<DocEdit> logEdits;
  int caret = 0;
};

enum class MouseButton : uint8_t { Left, Right, Middle };
enum class PointerShape : uint8_t { Help, Hand };

struct HoverOutcome {
  PointerShape shape = PointerShape::Hand;  // help over a field, hand elsewhere
  bool writable = false;
};

// Where a value picker would take its values from.
struct PickerSource {
  enum class Kind : uint8_t {
    None,
    Choices,     // the comma-separated choices in brackets before the caret (list 90 wide)
    AnswerList,  // the sheet's answer list (list 150 wide)
    WordBank,    // the field's word-bank entry, shown in a hint box
  };
  Kind kind = Kind::None;
  std::vector<std::string> values;  // Choices, AnswerList
  std::string hint;                 // WordBank
  int width = 0;                    // the list's or the hint box's width in pixels
  int height = 0;                   // the hint box's height in pixels
};

struct ClickOutcome {
  int caret = 0;
  bool caretMoved = false;          // moved into the nearest field by the click rule
  bool movePointerToCaret = false;  // the mouse pointer goes onto the caret
  bool writable = false;
  PickerSource picker;  // a right click in a field: what to offer
};

// The width of the word-bank hint box: 15 pixels per character plus 20, 12 per character when
// the text is longer than 6 characters.
int HintBoxWidth(const std::string& text);

class PracticeEditor {
 public:
  explicit PracticeEditor(TraceLog* trace = nullptr) : trace_(trace) {}

  // --- The open sheet ---
  // Clears the editor and renders the question lines (see RenderQuestionLines): the sheet and
  // log documents, the expected answers, the caret at the first field. The word bank is the
  // sheet's word-bank entries, one per field in order (may be empty).
  void RenderSheet(const std::vector<std::string>& questionLines,
                   const std::vector<std::string>& wordBank = {},
                   PictureResolver* resolver = nullptr);
  // Empties everything (the sheet is left).
  void Clear();
  // For a view that finds only after rendering that it cannot produce picture request index:
  // the picture's position is removed from the sheet and the log documents and the failure is
  // traced, as if the resolver had reported it. Nothing happens for an unknown index.
  PictureRemoval RemoveFailedPicture(int index);

  const SheetDocument& Sheet() const { return sheet_; }
  const SheetDocument& Log() const { return log_; }
  int Caret() const { return caret_; }
  bool Writable() const { return writable_; }
  const std::vector<TG_EdRTrue>& ExpectedAnswers() const { return expected_; }
  std::vector<TG_EdRTrue>& ExpectedAnswers() { return expected_; }
  const std::vector<std::string>& QuestionLines() const { return questionLines_; }
  const std::vector<std::string>& WordBank() const { return wordBank_; }
  const std::vector<std::string>& AnswerList() const { return answerList_; }
  // Sorted, without duplicates.
  void SetAnswerList(std::vector<std::string> answers);
  bool AnswersChanged() const { return answersChanged_; }
  void SetAnswersChanged(bool changed) { answersChanged_ = changed; }

  // --- Fields ---
  std::vector<std::string> FieldContents() const { return quillo::FieldContents(sheet_); }
  FieldRef FieldAt(int pos) const { return quillo::FieldAt(sheet_, pos); }
  CaretPlace Place(int pos) const { return LocateCaret(sheet_, pos); }
  // Caret moves; each returns the new caret (unchanged when there is nowhere to go).
  int GoToNextField(bool fromStart = false);
  int GoToPreviousField();
  int GoToField(int k);
  // Sets the caret where the view put it (clamped to the document).
  void SetCaret(int pos);

  // --- Keys ---
  // Whether the field rules accept the key at pos (no change made).
  bool KeyAcceptedAt(const Key& key, int pos) const;
  // The rules' decision for the key at pos; an accepted Backspace or Delete is performed (an
  // emptied field gets two spaces back and the caret stays at its start).
  KeyOutcome AcceptKeyAt(const Key& key, int pos);
  // The one entry point for keys pressed in the sheet view, at the caret.
  KeyOutcome HandleKey(const Key& key);
  // Inserts text at the caret in the typed-text format, wherever the caret is; control
  // characters are dropped. Sets AnswersChanged when something was inserted.
  EditorChange InsertAtCaret(const std::string& text);

  // --- Mouse ---
  // The pointer over pos (the held position while the left button is down).
  HoverOutcome MouseMove(int pos);
  // A press at pos: the left button holds pos until release; the click rule places the caret; a
  // right click inside a field also tells what the value picker offers.
  ClickOutcome MousePress(int pos, MouseButton button);
  // The release, treated as happening at the held position.
  HoverOutcome MouseRelease(int pos);
  bool Holding() const { return heldPos_ >= 0; }

  // --- Changes made by the check and by resuming a result ---
  // Each returns the edits of the one document it changed. The caret stays on the character it
  // stood on; a caret inside a replaced field content goes to the field's start.
  // Replaces the content of field k of the sheet by text in the typed-text format (two spaces in
  // the default format when text is empty); control characters are dropped. Nothing for an
  // unknown field.
  std::vector<DocEdit> SetFieldText(int k, std::string_view text);
  DocEdit RestyleSheet(int pos, int count, const CharFormat& format);
  DocEdit InsertIntoSheet(int pos, const std::vector<Element>& elements);
  DocEdit InsertIntoLog(int pos, const std::vector<Element>& elements);

  // --- Value picker ---
  PickerSource PickerSourceAt(int pos) const;
  // A value picked from the list: inserted at the caret, AnswersChanged set.
  EditorChange PickValue(const std::string& value);

 private:
  HoverOutcome HoverAt(int pos);
  // Inserts two default-format spaces into the field opened at openPos when it is empty.
  void RefillIfEmpty(int openPos, KeyOutcome& outcome);

  TraceLog* trace_;
  SheetDocument sheet_;
  SheetDocument log_;
  int caret_ = 0;
  bool writable_ = false;
  bool answersChanged_ = false;
  int heldPos_ = -1;
  std::vector<TG_EdRTrue> expected_;
  std::vector<std::string> questionLines_;
  std::vector<std::string> wordBank_;
  std::vector<std::string> answerList_;
};

}  // namespace quillo
