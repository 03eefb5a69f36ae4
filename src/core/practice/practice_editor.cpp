// The practice editor's state and the pupil's editing under the field rules.
#include "practice/practice_editor.h"

#include <algorithm>

#include "engine/text_toolkit.h"
#include "shell/trace_log.h"

namespace quillo {

namespace {

constexpr int kMaxFieldLength = 29;
constexpr int kChoicesWidth = 90;
constexpr int kAnswerListWidth = 150;
constexpr int kHintBoxHeight = 25;

bool IsMoveOrErase(KeyCode code) {
  return code == KeyCode::Left || code == KeyCode::Right || code == KeyCode::Backspace ||
         code == KeyCode::Delete || code == KeyCode::MouseClick;
}

}  // namespace

int HintBoxWidth(const std::string& text) {
  const int n = static_cast<int>(text.size());
  return n > 6 ? 12 * n + 20 : 15 * n + 20;
}

// --- The open sheet ---

void PracticeEditor::RenderSheet(const std::vector<std::string>& questionLines,
                                 const std::vector<std::string>& wordBank,
                                 PictureResolver* resolver) {
  Clear();
  questionLines_ = questionLines;
  wordBank_ = wordBank;
  RenderedSheet rendered = RenderQuestionLines(questionLines, resolver, trace_);
  sheet_ = std::move(rendered.sheet);
  log_ = std::move(rendered.log);
  expected_ = std::move(rendered.expected);
  caret_ = rendered.caret;
  writable_ = Place(caret_).inside;
}

void PracticeEditor::Clear() {
  sheet_.Clear();
  log_.Clear();
  caret_ = 0;
  writable_ = false;
  answersChanged_ = false;
  heldPos_ = -1;
  expected_.clear();
  questionLines_.clear();
  wordBank_.clear();
  answerList_.clear();
}

PictureRemoval PracticeEditor::RemoveFailedPicture(int index) {
  PictureRemoval removal;
  const int inSheet = sheet_.PositionOfPicture(index);
  const int inLog = log_.PositionOfPicture(index);
  if (inSheet >= 0) {
    removal.sheetEdits.push_back(sheet_.Remove(inSheet, 1));
    if (caret_ > inSheet) --caret_;
  }
  if (inLog >= 0) removal.logEdits.push_back(log_.Remove(inLog, 1));
  if ((inSheet >= 0 || inLog >= 0) && trace_) trace_->Trace(kPictureFailedTrace);
  removal.caret = caret_;
  return removal;
}

void PracticeEditor::SetAnswerList(std::vector<std::string> answers) {
  std::sort(answers.begin(), answers.end());
  answers.erase(std::unique(answers.begin(), answers.end()), answers.end());
  answerList_ = std::move(answers);
}

// --- Fields ---

int PracticeEditor::GoToNextField(bool fromStart) {
  const int next = NextFieldCaret(sheet_, caret_, fromStart);
  if (next >= 0) SetCaret(next);
  return caret_;
}

int PracticeEditor::GoToPreviousField() {
  const int previous = PreviousFieldCaret(sheet_, caret_);
  if (previous >= 0) SetCaret(previous);
  return caret_;
}

int PracticeEditor::GoToField(int k) {
  const int at = FieldCaret(sheet_, k);
  if (at >= 0) SetCaret(at);
  return caret_;
}

void PracticeEditor::SetCaret(int pos) {
  caret_ = std::clamp(pos, 0, sheet_.Size());
  writable_ = Place(caret_).inside;
}

// --- Keys ---

bool PracticeEditor::KeyAcceptedAt(const Key& key, int pos) const {
  if (pos < 0 || pos > sheet_.Size()) return false;
  const CaretPlace place = Place(pos);
  if (!place.inside) return false;
  if ((key.code == KeyCode::Backspace || key.code == KeyCode::Left) && place.atStart) return false;
  if ((key.code == KeyCode::Delete || key.code == KeyCode::Right) && place.atEnd) return false;
  if (!IsMoveOrErase(key.code) && place.Length() >= kMaxFieldLength) return false;
  if (key.code == KeyCode::Character && key.ch == ' ' && !place.atStart &&
      sheet_.ByteAt(pos - 1) == ' ')
    return false;
  // Only characters of the field's content are ever erased.
  if (key.code == KeyCode::Backspace && sheet_.KindAt(pos - 1) != ElementKind::Char) return false;
  if (key.code == KeyCode::Delete && sheet_.KindAt(pos) != ElementKind::Char) return false;
  return true;
}

KeyOutcome PracticeEditor::AcceptKeyAt(const Key& key, int pos) {
  SetCaret(pos);
  KeyOutcome outcome;
  outcome.accepted = KeyAcceptedAt(key, caret_);
  if (outcome.accepted && (key.code == KeyCode::Backspace || key.code == KeyCode::Delete)) {
    const int openPos = Place(caret_).openPos;
    const int at = key.code == KeyCode::Backspace ? caret_ - 1 : caret_;
    outcome.edits.push_back(sheet_.Remove(at, 1));
    caret_ = at;
    RefillIfEmpty(openPos, outcome);
  }
  writable_ = outcome.accepted;
  outcome.writable = writable_;
  outcome.caret = caret_;
  return outcome;
}

void PracticeEditor::RefillIfEmpty(int openPos, KeyOutcome& outcome) {
  if (openPos + 1 >= sheet_.Size() || sheet_.ByteAt(openPos + 1) != kFieldClose) return;
  outcome.edits.push_back(sheet_.InsertText(openPos + 1, "  ", kDefaultText));
  caret_ = openPos + 1;
}

KeyOutcome PracticeEditor::HandleKey(const Key& key) {
  KeyOutcome outcome;
  outcome.caret = caret_;
  outcome.writable = writable_;
  // Ctrl and Alt combinations (clipboard, word moves and erasures) do nothing.
  if (key.ctrl || key.alt) return outcome;
  switch (key.code) {
    case KeyCode::Character: {
      const char ch = MapTypedCharacter(key.ch);
      if (!IsTypeableCharacter(ch)) return outcome;
      answersChanged_ = true;
      outcome.accepted = KeyAcceptedAt(Key::Char(ch), caret_);
      if (outcome.accepted) {
        outcome.edits.push_back(sheet_.InsertText(caret_, std::string(1, ch), kTypedText));
        ++caret_;
      }
      writable_ = outcome.accepted;
      break;
    }
    case KeyCode::Backspace:
    case KeyCode::Delete:
      answersChanged_ = true;
      return AcceptKeyAt(key, caret_);
    case KeyCode::Left:
    case KeyCode::Right:
      if (key.shift) return outcome;
      outcome.accepted = KeyAcceptedAt(key, caret_);
      if (outcome.accepted) caret_ += key.code == KeyCode::Left ? -1 : 1;
      writable_ = outcome.accepted;
      break;
    case KeyCode::PageUp:
    case KeyCode::PageDown:
      if (key.shift) return outcome;
      outcome.scroll = key.code == KeyCode::PageUp ? PageScroll::PageUp : PageScroll::PageDown;
      break;
    case KeyCode::Enter:
      outcome.runCheck = true;
      break;
    default:  // Home, End, Insert, Up, Down and every other key do nothing
      break;
  }
  outcome.caret = caret_;
  outcome.writable = writable_;
  return outcome;
}

EditorChange PracticeEditor::InsertAtCaret(const std::string& text) {
  EditorChange change;
  DocEdit edit = sheet_.InsertText(caret_, text, kTypedText);
  if (edit.count > 0) {
    caret_ += edit.count;
    answersChanged_ = true;
    change.edits.push_back(std::move(edit));
  }
  change.caret = caret_;
  change.movePointerToCaret = true;
  return change;
}

// --- Mouse ---

HoverOutcome PracticeEditor::HoverAt(int pos) {
  HoverOutcome outcome;
  writable_ = KeyAcceptedAt(Key::Of(KeyCode::MouseClick), pos);
  outcome.writable = writable_;
  outcome.shape = writable_ ? PointerShape::Help : PointerShape::Hand;
  return outcome;
}

HoverOutcome PracticeEditor::MouseMove(int pos) { return HoverAt(Holding() ? heldPos_ : pos); }

ClickOutcome PracticeEditor::MousePress(int pos, MouseButton button) {
  ClickOutcome outcome;
  pos = std::clamp(pos, 0, sheet_.Size());
  if (button == MouseButton::Middle) {  // no caret move, nothing pasted
    outcome.caret = caret_;
    outcome.writable = writable_;
    return outcome;
  }
  if (button == MouseButton::Left) heldPos_ = pos;
  const bool inField = Place(pos).inside;
  SetCaret(pos);
  if (!inField) {
    const int nearest = NearestFieldCaret(sheet_, pos);
    if (nearest >= 0) {
      SetCaret(nearest);
      outcome.caretMoved = nearest != pos;
      outcome.movePointerToCaret = outcome.caretMoved;
    }
  }
  if (button == MouseButton::Right && inField) outcome.picker = PickerSourceAt(caret_);
  outcome.caret = caret_;
  outcome.writable = writable_;
  return outcome;
}

HoverOutcome PracticeEditor::MouseRelease(int pos) {
  const int at = Holding() ? heldPos_ : pos;
  heldPos_ = -1;
  return HoverAt(at);
}

// --- Changes made by the check and by resuming a result ---

std::vector<DocEdit> PracticeEditor::SetFieldText(int k, std::string_view text) {
  std::vector<DocEdit> edits;
  const FieldSpan span = FieldSpanOf(sheet_, k);
  if (span.begin < 0) return edits;
  const int oldLength = span.end - span.begin;
  edits.push_back(sheet_.Remove(span.begin, oldLength));
  DocEdit inserted = sheet_.InsertText(span.begin, text, kTypedText);
  if (inserted.count == 0) inserted = sheet_.InsertText(span.begin, "  ", kDefaultText);
  const int newLength = inserted.count;
  edits.push_back(std::move(inserted));
  if (caret_ > span.end) {
    caret_ += newLength - oldLength;
  } else if (caret_ > span.begin) {
    caret_ = span.begin;
  }
  return edits;
}

DocEdit PracticeEditor::RestyleSheet(int pos, int count, const CharFormat& format) {
  return sheet_.Restyle(pos, count, format);
}

DocEdit PracticeEditor::InsertIntoSheet(int pos, const std::vector<Element>& elements) {
  DocEdit edit = sheet_.InsertElements(pos, elements);
  if (caret_ > edit.pos) caret_ += edit.count;
  return edit;
}

DocEdit PracticeEditor::InsertIntoLog(int pos, const std::vector<Element>& elements) {
  return log_.InsertElements(pos, elements);
}

// --- Value picker ---

PickerSource PracticeEditor::PickerSourceAt(int pos) const {
  PickerSource source;
  const std::string& text = sheet_.Text();
  pos = std::clamp(pos, 0, sheet_.Size());
  std::size_t lineStart = 0;
  if (pos > 0) {
    const std::size_t lastBreak = text.rfind(kLineBreakByte, static_cast<std::size_t>(pos - 1));
    if (lastBreak != std::string::npos) lineStart = lastBreak + 1;
  }
  std::size_t lineEnd = text.find(kLineBreakByte, static_cast<std::size_t>(pos));
  if (lineEnd == std::string::npos) lineEnd = text.size();

  // The text between the "[" before the caret and the next "]" of the line (characters only).
  std::string bracketed;
  std::size_t open =
      pos == 0 ? std::string::npos : text.rfind('[', static_cast<std::size_t>(pos - 1));
  if (open != std::string::npos && open >= lineStart) {
    std::size_t close = text.find(']', open + 1);
    if (close == std::string::npos || close > lineEnd) close = lineEnd;
    for (std::size_t i = open + 1; i < close; ++i)
      if (sheet_.KindAt(static_cast<int>(i)) == ElementKind::Char) bracketed.push_back(text[i]);
  }
  if (bracketed.find('*') != std::string::npos) return source;

  if (!bracketed.empty() && bracketed.find(',') != std::string::npos) {
    for (const std::string& value : SplitToStrings(',', bracketed)) {
      std::string trimmed = Trim(value);
      if (!trimmed.empty()) source.values.push_back(std::move(trimmed));
    }
    if (!source.values.empty()) {
      source.kind = PickerSource::Kind::Choices;
      source.width = kChoicesWidth;
      return source;
    }
  }
  if (!answerList_.empty()) {
    source.kind = PickerSource::Kind::AnswerList;
    source.values = answerList_;
    source.width = kAnswerListWidth;
    return source;
  }
  if (!wordBank_.empty()) {
    const int k = FieldAt(pos).index;
    if (k >= 0 && k < static_cast<int>(wordBank_.size())) {
      source.kind = PickerSource::Kind::WordBank;
      source.hint = wordBank_[static_cast<std::size_t>(k)];
      source.width = HintBoxWidth(source.hint);
      source.height = kHintBoxHeight;
    }
  }
  return source;
}

EditorChange PracticeEditor::PickValue(const std::string& value) {
  EditorChange change = InsertAtCaret(value);
  answersChanged_ = true;
  return change;
}

}  // namespace quillo
