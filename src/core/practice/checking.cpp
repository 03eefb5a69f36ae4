// Answer checking, colouring and the answer histories of the log view.
#include "practice/checking.h"

#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "setup/settings_store.h"
#include "shell/codec.h"

namespace quillo {

namespace {

bool RightAt(const PracticeEditor& editor, std::size_t k, std::string_view answer) {
  const auto& expected = editor.ExpectedAnswers();
  return k < expected.size() && IsRightAnswer(answer, expected[k].Expected);
}

std::string FieldText(const SheetDocument& doc, const FieldSpan& span) {
  return doc.Text().substr(static_cast<std::size_t>(span.begin),
                           static_cast<std::size_t>(span.end - span.begin));
}

// The answer as the log keeps it: the two separators of result files cannot be part of an
// entry (an answer inserted through the insert box may hold them).
std::string HistoryForm(std::string answer) {
  for (char& ch : answer) {
    if (ch == kHistorySeparator) ch = '|';
    if (ch == ';') ch = ',';
  }
  return answer;
}

std::string LastEntry(std::string_view history) {
  const std::size_t at = history.rfind(kHistorySeparator);
  return std::string(at == std::string_view::npos ? history : history.substr(at + 1));
}

enum class LogAction { None, AppendRight, AppendWrong, FirstRight, FirstWrong };

// What RebuildLog does with an answer given the history the log field holds.
LogAction LogActionFor(std::string_view history, const std::string& answer, bool right) {
  if (answer.empty()) return LogAction::None;
  if (history.empty()) return right ? LogAction::FirstRight : LogAction::FirstWrong;
  const std::string last = LastEntry(history);
  if (right && answer != last) return LogAction::AppendRight;
  if (LowerCase1252(answer) != LowerCase1252(last)) return LogAction::AppendWrong;
  return LogAction::None;
}

}  // namespace

CorrectionMode CorrectionModeOf(const Context& ctx) {
  if (SettingBool(ctx, "Rb1_PerCor")) return CorrectionMode::A;
  if (SettingBool(ctx, "Rb2_PerCor")) return CorrectionMode::B;
  if (SettingBool(ctx, "Rb3_PerCor")) return CorrectionMode::C;
  if (SettingBool(ctx, "Rb4_PerCor")) return CorrectionMode::D;
  return CorrectionMode::A;
}

char ModeLetter(CorrectionMode mode) { return static_cast<char>('A' + static_cast<int>(mode)); }

bool IsRightAnswer(std::string_view answer, std::string_view expected) {
  const std::string trimmed = Trim(answer);
  return !trimmed.empty() && trimmed == expected;
}

std::string Tally::Text() const {
  return std::to_string(empty) + "/" + std::to_string(right) + "/" + std::to_string(total);
}

Tally ComputeTally(const PracticeEditor& editor) {
  Tally tally;
  const std::vector<std::string> answers = editor.FieldContents();
  tally.total = static_cast<int>(answers.size());
  for (std::size_t k = 0; k < answers.size(); ++k) {
    if (answers[k].empty()) ++tally.empty;
    if (RightAt(editor, k, answers[k])) ++tally.right;
  }
  return tally;
}

std::string StatusText(const Context& ctx, const Tally& tally) {
  const std::string total = " (" + std::to_string(tally.total) + ")";
  if (tally.AllRight()) return MessageText(ctx, "svL203") + total;
  return MessageText(ctx, "svL201") + " " + std::to_string(tally.total - tally.right) + " " +
         MessageText(ctx, "svL202") + total;
}

int FirstEmptyField(const PracticeEditor& editor) {
  const std::vector<std::string> answers = editor.FieldContents();
  for (std::size_t k = 0; k < answers.size(); ++k)
    if (answers[k].empty()) return static_cast<int>(k);
  return -1;
}

int FirstWrongField(const PracticeEditor& editor) {
  const std::vector<std::string> answers = editor.FieldContents();
  for (std::size_t k = 0; k < answers.size(); ++k)
    if (!RightAt(editor, k, answers[k])) return static_cast<int>(k);
  return -1;
}

ButtonStates ButtonsForMode(CorrectionMode mode) {
  switch (mode) {
    case CorrectionMode::A:
      return {true, true, true};
    case CorrectionMode::B:
      return {false, false, true};
    case CorrectionMode::C:
      return {true, false, true};
    case CorrectionMode::D:
      return {true, false, false};
  }
  return {};
}

std::vector<DocEdit> ColourAllFields(PracticeEditor& editor) {
  std::vector<DocEdit> edits;
  const std::vector<FieldSpan> spans = FieldSpans(editor.Sheet());
  for (std::size_t k = 0; k < spans.size(); ++k) {
    const std::string answer = Trim(FieldText(editor.Sheet(), spans[k]));
    if (answer.empty()) continue;
    edits.push_back(editor.RestyleSheet(spans[k].begin, spans[k].end - spans[k].begin,
                                        RightAt(editor, k, answer) ? kRightText : kWrongText));
  }
  return edits;
}

std::vector<DocEdit> ColourCurrentField(PracticeEditor& editor, const ShowAnswerRule& rule) {
  std::vector<DocEdit> edits;
  const CaretPlace place = editor.Place(editor.Caret());
  if (!place.inside) return edits;
  const std::size_t k = static_cast<std::size_t>(editor.FieldAt(editor.Caret()).index);
  const FieldSpan span{place.openPos + 1, place.closePos};
  const std::string answer = Trim(FieldText(editor.Sheet(), span));
  if (answer.empty()) return edits;
  const bool right = RightAt(editor, k, answer);
  edits.push_back(
      editor.RestyleSheet(span.begin, span.end - span.begin, right ? kRightText : kWrongText));
  if (right || k >= editor.ExpectedAnswers().size()) return edits;

  TG_EdRTrue& record = editor.ExpectedAnswers()[k];
  if (!rule.enabled || record.AnswerShown) return edits;
  // Only an answer that the log records as a new distinct wrong answer can bring the count of
  // wrong answers to the rule's number; pressing Enter again on the same answer does not.
  const std::vector<FieldSpan> logSpans = FieldSpans(editor.Log());
  if (k < logSpans.size()) {
    const LogAction action =
        LogActionFor(FieldText(editor.Log(), logSpans[k]), HistoryForm(answer), false);
    if (action != LogAction::FirstWrong && action != LogAction::AppendWrong) return edits;
  }
  if (static_cast<int64_t>(record.FaultCount) + 1 < rule.after) return edits;
  record.AnswerShown = 1;
  int at = span.end + 1;
  if (at < editor.Sheet().Size() && editor.Sheet().KindAt(at) == ElementKind::Glyph) ++at;
  edits.push_back(
      editor.InsertIntoSheet(at, TextElements(" # " + record.Expected, kShownAnswerText)));
  return edits;
}

std::vector<DocEdit> ResetFieldColours(PracticeEditor& editor) {
  std::vector<DocEdit> edits;
  for (const FieldSpan& span : FieldSpans(editor.Sheet()))
    edits.push_back(editor.RestyleSheet(span.begin, span.end - span.begin, kTypedText));
  return edits;
}

std::vector<DocEdit> RebuildLog(PracticeEditor& editor) {
  std::vector<DocEdit> edits;
  const std::vector<std::string> answers = editor.FieldContents();
  const std::vector<FieldSpan> spans = FieldSpans(editor.Log());
  const std::size_t n = std::min(answers.size(), spans.size());
  auto& expected = editor.ExpectedAnswers();
  // From the last field back, so that every span found above stays valid.
  for (std::size_t k = n; k-- > 0;) {
    const bool right = RightAt(editor, k, answers[k]);
    const std::string answer = HistoryForm(answers[k]);
    const LogAction action = LogActionFor(FieldText(editor.Log(), spans[k]), answer, right);
    std::vector<Element> added;
    switch (action) {
      case LogAction::None:
        continue;
      case LogAction::FirstRight:
      case LogAction::FirstWrong:
        added = TextElements(answer, right ? kRightText : kWrongText);
        break;
      case LogAction::AppendRight:
      case LogAction::AppendWrong:
        added.push_back({ElementKind::Char, kHistorySeparator, kHistorySeparatorFormat, -1});
        for (const Element& e : TextElements(answer, right ? kRightText : kWrongText))
          added.push_back(e);
        break;
    }
    if ((action == LogAction::FirstWrong || action == LogAction::AppendWrong) &&
        k < expected.size())
      ++expected[k].FaultCount;
    edits.push_back(editor.InsertIntoLog(spans[k].end, added));
  }
  return edits;
}

std::vector<std::string> HistoryEntries(std::string_view history) {
  std::vector<std::string> entries;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = history.find(kHistorySeparator, from);
    entries.emplace_back(history.substr(from, at == std::string_view::npos ? at : at - from));
    if (at == std::string_view::npos) break;
    from = at + 1;
  }
  return entries;
}

}  // namespace quillo
