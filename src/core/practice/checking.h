// Answer checking of the practice editor: which answers are right, the tally and status text,
// the colouring of fields, the correct answer shown after repeated faults, and the answer
// histories of the log view with their fault counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "practice/practice_editor.h"

namespace quillo {

struct Context;

// How much the pupil is told while working (settings "Rb1_PerCor" .. "Rb4_PerCor").
enum class CorrectionMode : uint8_t {
  A,  // corrections allowed: every check colours, Enter stays on a wrong answer, log at any time
  B,  // no corrections: nothing coloured until every answer is right; no Check button, no log
  C,  // points without correction: like B, but the Check button works
  D,  // correction once every field is filled
};

// The chosen mode; the first mode when the settings choose none.
CorrectionMode CorrectionModeOf(const Context& ctx);
char ModeLetter(CorrectionMode mode);

// The history separator of the log view and of result files.
inline constexpr char kHistorySeparator = '\xA6';

// The formats of checked answers and of the log view's histories.
constexpr CharFormat kRightText{FontKind::Text, false, 12, kGreen, false};
constexpr CharFormat kWrongText{FontKind::Text, false, 12, kRed, false};
constexpr CharFormat kHistorySeparatorFormat{FontKind::Text, true, 12, kGreen, false};
// The correct answer shown beside a field.
constexpr CharFormat kShownAnswerText{FontKind::Text, false, 8, kBlue, false};

// Right means exactly equal, character by character, after the answer's surrounding spaces were
// removed; an empty answer is never right.
bool IsRightAnswer(std::string_view answer, std::string_view expected);

// E/R/T: empty answers, right answers, fields.
struct Tally {
  int empty = 0;
  int right = 0;
  int total = 0;
  bool AllRight() const { return right == total; }
  std::string Text() const;  // "E/R/T"
  friend bool operator==(const Tally&, const Tally&) = default;
};
Tally ComputeTally(const PracticeEditor& editor);

// "Still" " " (T - R) " " "to make" " (" T ")" while R < T, "Finished" " (" T ")" when R = T, in
// the interface language.
std::string StatusText(const Context& ctx, const Tally& tally);

// The first field with an empty answer, or with an answer that is not right (empty included);
// -1 when there is none.
int FirstEmptyField(const PracticeEditor& editor);
int FirstWrongField(const PracticeEditor& editor);

// The toolbar buttons a correction mode sets when a sheet opens.
struct ButtonStates {
  bool checkEnabled = true;        // BtHi_QstNavCheckRes
  bool logVisible = true;          // BtHi_QstNavLogFile
  bool jumpToWrongEnabled = true;  // GoToEmptyOrWrong may go to wrong answers
  friend bool operator==(const ButtonStates&, const ButtonStates&) = default;
};
ButtonStates ButtonsForMode(CorrectionMode mode);

// When the correct answer is shown beside a field: the switch "Cb_InsResultAfter" and the
// number of distinct wrong answers "UpDo_InsResultAfter".
struct ShowAnswerRule {
  bool enabled = true;
  int after = 4;
};

// Every field with a non-empty answer is set red (not right) or green (right); empty answers
// are left alone. Returns the sheet's edits.
std::vector<DocEdit> ColourAllFields(PracticeEditor& editor);
// The same for the field at the caret; when its answer is wrong and the rule makes it due (the
// answer is a new distinct wrong answer that brings the field's wrong answers to the rule's
// number, and it was not shown before), " # " and the expected answer are inserted after the
// field's closing glyph, once per field.
std::vector<DocEdit> ColourCurrentField(PracticeEditor& editor, const ShowAnswerRule& rule);
// Every field's content back to the typed-text blue.
std::vector<DocEdit> ResetFieldColours(PracticeEditor& editor);

// Brings the log view's histories up to date with the sheet's answers: a first answer is
// written green or red; later a right answer that differs from the last entry, or a wrong one
// that differs from it ignoring letter case, is appended after a bold green separator. Every
// recorded wrong answer raises the field's FaultCount. Returns the log's edits.
std::vector<DocEdit> RebuildLog(PracticeEditor& editor);

// The entries of a history (text between separators); an empty history is one empty entry.
std::vector<std::string> HistoryEntries(std::string_view history);

}  // namespace quillo
